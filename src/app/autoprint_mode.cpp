#include "app/autoprint_mode.h"

#include <cstdio>
#include <memory>
#include <system_error>

#include "hotfolder/autoprint_arguments.h"
#include "hotfolder/hot_folder_service.h"
#include "hotfolder/reused_connections.h"
#include "mainwindow/autoprint_rules.h"
#include "mainwindow/autoprint_watcher.h"
#include "mainwindow/drop_directory.h"
#include "platform/app_path.h"
#include "platform/backends.h"
#include "platform/runtime_text.h"
#include "platform/stderr_messages.h"
#include "settings/settings_steps.h"

namespace vantrel {

namespace {

int Refuse(const std::string& why) {
    std::fprintf(stderr,
                 "vantrel: %s\n"
                 "Usage: vantrel --autoprint [--settle SECONDS] [DIR[=PRINTER] ...]; see vantrel "
                 "--help\n",
                 EscapeControls(why).c_str());
    return 2;
}

void JournalLine(const std::string& line) {
    const std::string text = line + "\n";
    std::fputs(text.c_str(), stderr);
    std::fflush(stderr);
}

}  // namespace

int RunAutoPrintMode(const std::vector<std::string>& words) {
    StderrMessages messages;
    AutoPrintRequest request;
    try {
        request = ParseAutoPrintArguments(words, ResolveSystemFolder);
    } catch (const AutoPrintUsageError& error) {
        return Refuse(error.what());
    }
    if (request.folders.empty()) {
        const std::string drop = ChooseDropDirectory(AppPath(), UserDataDirectory());
        if (auto why = EnsureDropDirectory(drop)) {
            messages.show("The AutoPrint directory " + drop + " cannot be created: " + *why,
                          MsgStyle::Critical, kAppTitle);
            return 1;
        }
        request.folders.push_back({drop, std::nullopt});
    }

    auto printers = MakeSystemPrinterSystem();
    if (auto missing = MissingNamedPrinter(request.folders, *printers)) return Refuse(*missing);

    auto store = MakeSystemSettingsStore();
    auto profile = MakeSystemLegacyProfile();
    PlainLiveSettings live;
    PlainMainWindowSettings window;
    BringInSettings(*store, *profile, live, window, messages);
    const auto copies = AutoPrintCopies(window.copiesText());
    if (!copies) {
        return Refuse("the stored number of copies \"" + window.copiesText() +
                      "\" is not a whole number from 1 to 32767");
    }

    auto files = MakeSystemFileSystem();
    std::vector<std::string> paths;
    for (const auto& folder : request.folders) paths.push_back(folder.folder);
    std::unique_ptr<StopSignals> stop;
    std::unique_ptr<FolderEvents> events;
    try {
        stop = CatchStopSignals();
        events = WatchFolders(paths, *stop);
    } catch (const std::system_error& error) {
        messages.show(std::string("AutoPrint cannot watch its folders: ") + error.what(),
                      MsgStyle::Critical, kAppTitle);
        return 1;
    }
    ReusedConnections reused(*printers, std::chrono::seconds(1));
    HotFolderService service({request.folders, request.settle, *copies, KeptFilesRecordPath()},
                             live, {reused, *files, *events, *stop}, JournalLine);
    service.run();
    return 0;
}

}  // namespace vantrel
