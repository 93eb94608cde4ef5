#include "app/batch_mode.h"

#include <cstdio>

#include "app/startup_steps.h"
#include "batch/command_line.h"
#include "platform/backends.h"
#include "platform/file_system.h"
#include "printing/outcome_texts.h"
#include "printing/printer_selection.h"
#include "settings/settings_steps.h"
#include "text/runtime_text.h"

namespace vantrel {

int RunBatchMode(const std::vector<std::string>& arguments, MessageSink& messages,
                 bool standardInputClosed, const std::optional<JobWait>& wait) {
    auto system = MakeSystemPrinterSystem();
    if (!CheckPrintersInstalled(*system, messages)) return 1;

    auto store = MakeSystemSettingsStore();
    auto profile = MakeSystemLegacyProfile();
    Settings settings = BringInSettings(*store, *profile, NoScreenRoom(), messages);

    auto files = MakeSystemFileSystem();
    auto result =
        RunCommandLine(arguments, *system, *files, SpoolOptions{EjectBetweenJobs(settings)},
                       messages, standardInputClosed, wait);
    return result.ok ? 0 : 1;
}

int ListPrinters(MessageSink& messages) {
    auto system = MakeSystemPrinterSystem();
    try {
        auto printers = system->printers();
        std::vector<std::string> entries;
        for (const auto& printer : printers) entries.push_back(SelectionString(printer));
        std::optional<int> defaultIndex;
        if (auto entry = system->defaultPrinterEntry()) {
            defaultIndex = FindListEntry(entries, DefaultPrinterName(*entry));
        }
        for (std::size_t i = 0; i < entries.size(); ++i) {
            bool isDefault = defaultIndex && *defaultIndex == static_cast<int>(i);
            // The names and devices are the scheduler's, which may be anyone's.
            std::printf("%s%s\n", EscapeControls(entries[i]).c_str(),
                        isDefault ? "  (default)" : "");
        }
    } catch (const SpoolError& error) {
        messages.show(SpoolerUnreachableText(error), MsgStyle::Critical, kAppTitle);
        return 1;
    }
    return 0;
}

}  // namespace vantrel
