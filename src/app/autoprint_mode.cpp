#include "app/autoprint_mode.h"

#include <cstdio>
#include <memory>
#include <optional>
#include <system_error>

#include "autoprint/autoprint_arguments.h"
#include "autoprint/autoprint_rules.h"
#include "autoprint/drop_directory.h"
#include "autoprint/hot_folder_service.h"
#include "autoprint/kept_files_record.h"
#include "autoprint/printer_bindings.h"
#include "autoprint/reused_connections.h"
#include "autoprint/spooled_jobs_record.h"
#include "platform/app_path.h"
#include "platform/backends.h"
#include "platform/replace_file.h"
#include "platform/stderr_messages.h"
#include "platform/system_places.h"
#include "platform/text_output.h"
#include "printing/copies_count.h"
#include "settings/settings_steps.h"
#include "text/runtime_text.h"

namespace vantrel {

namespace {

int Refuse(const std::string& why) {
    WriteText(stderr, "vantrel: " + EscapeControls(why) +
                          "\nUsage: vantrel --autoprint [--settle SECONDS] [--wait] "
                          "[DIR[=PRINTER] ...]; see vantrel --help\n");
    return 2;
}

void JournalLine(const std::string& line) {
    WriteText(stderr, line + "\n");
}

void Tell(const std::string& text) {
    StderrMessages messages;
    messages.show(text, MsgStyle::Critical, kAppTitle);
}

// The drop directory on the default printer, made when missing; nothing when it cannot be.
std::optional<HotFolder> DropDirectoryFolder(FileSystem& files) {
    const std::string drop = ChooseDropDirectory(AppPath(), UserDataDirectory());
    if (auto why = EnsureDropDirectory(files, drop)) {
        Tell("The AutoPrint directory " + drop + " cannot be created: " + *why);
        return std::nullopt;
    }
    return HotFolder{drop, std::nullopt};
}

// The user's stored settings.
Settings BringInStoredSettings() {
    auto store = MakeSystemSettingsStore();
    auto profile = MakeSystemLegacyProfile();
    StderrMessages messages;
    return BringInSettings(*store, *profile, NoScreenRoom(), messages);
}

// The stored number of copies, or nothing when it cannot be used.
std::optional<int> StoredCopies(const Settings& settings) {
    const CopiesCount copies = ReadCopies(settings.copies, CopiesRule::AutoPrint);
    if (!copies.usable()) {
        Tell("the stored number of copies \"" + settings.copies +
             "\" is not a whole number from 1 to 32767; set it in the window");
        return std::nullopt;
    }
    return copies.count;
}

// The records must be the user's own: another user who could write to them, or swap the
// folder for a link, could make a file count as printed. Nothing when they are; else why.
std::optional<std::string> UnsafeStateDirectory() {
    const std::string state = UserStateDirectory();
    if (state.empty()) return std::nullopt;
    if (auto error = MakePrivateFolders(state)) {
        return "its state directory " + state + " cannot be made: " + error.message();
    }
    if (auto why = WhyNotPrivateFolder(state)) {
        return "its state directory is not safe to keep its records in: " + *why +
               "; it must belong to the user and be writable by nobody else";
    }
    return std::nullopt;
}

}  // namespace

int RunAutoPrintMode(const std::vector<std::string>& words) {
    auto files = MakeSystemFileSystem();
    AutoPrintRequest request;
    try {
        request = ParseAutoPrintArguments(words, FolderResolverOn(*files));
    } catch (const AutoPrintUsageError& error) {
        return Refuse(error.what());
    }
    // From here on a SIGTERM waits to be read, and ends the run cleanly.
    std::unique_ptr<StopSignals> stop;
    try {
        stop = CatchStopSignals();
    } catch (const std::system_error& error) {
        Tell(std::string("AutoPrint cannot catch its stop signals: ") + error.what());
        return 1;
    }
    if (request.folders.empty()) {
        auto drop = DropDirectoryFolder(*files);
        if (!drop) return 1;
        request.folders.push_back(*drop);
    }
    auto printers = MakeSystemPrinterSystem(*stop);
    if (auto missing = MissingNamedPrinter(request.folders, *printers)) return Refuse(*missing);
    const Settings settings = BringInStoredSettings();
    const auto copies = StoredCopies(settings);
    if (!copies) return 2;

    if (auto unsafe = UnsafeStateDirectory()) {
        Tell("AutoPrint cannot start: " + *unsafe);
        return 1;
    }

    std::vector<std::string> paths;
    for (const auto& folder : request.folders) paths.push_back(folder.folder);
    std::unique_ptr<FolderEvents> events;
    try {
        events = WatchFolders(paths, *stop);
    } catch (const std::system_error& error) {
        Tell(std::string("AutoPrint cannot watch its folders: ") + error.what());
        return 1;
    }
    ReusedConnections reused(*printers, std::chrono::seconds(1));
    HotFolderService service({request.folders, request.settle, *copies, KeptFilesRecordPath(),
                              SpoolOptions{EjectBetweenJobs(settings)}, SpooledJobsRecordPath(),
                              request.wait, PrinterBindingsRecordPath()},
                             {reused, *files, *events, *stop}, JournalLine);
    service.run();
    return 0;
}

}  // namespace vantrel
