#include "autoprint/autoprint_rules.h"

#include <algorithm>

#include "platform/replace_file.h"
#include "printing/printer_selection.h"
#include "text/runtime_text.h"

namespace vantrel {

std::vector<std::string> VisibleEntryNames(FileSystem& files, const std::string& folder,
                                           std::error_code* error) {
    std::error_code failed;
    std::vector<std::string> names = files.entryNames(folder, failed);
    std::erase_if(names, [](const std::string& name) { return name.starts_with('.'); });
    std::sort(names.begin(), names.end());
    if (error) *error = failed;
    return names;
}

AutoPrintPrinter FindAutoPrintPrinter(PrinterSystem& system,
                                      const std::optional<std::string>& name) {
    AutoPrintPrinter found;
    std::string wanted;
    if (name) {
        wanted = *name;
    } else {
        const auto entry = system.defaultPrinterEntry();
        if (!entry) {
            found.missing = "no default printer is set";
            return found;
        }
        wanted = Trim(DefaultPrinterName(*entry));
    }
    const auto printers = system.printers();
    const std::string selection = SelectionForPrinterName(printers, wanted);
    const auto printer = FindSelectedPrinter(printers, selection);
    if (selection == kNoPrinterSelection || !printer) {
        found.missing = name ? "no printer name begins with \"" + wanted + "\""
                             : "the default printer " + wanted + " is not installed";
        return found;
    }
    found.selection = selection;
    found.deviceName = printer->deviceName;
    return found;
}

AutoPrintPrinter FindBoundPrinter(PrinterSystem& system, const std::string& deviceName) {
    AutoPrintPrinter found;
    for (const Printer& printer : system.printers()) {
        if (printer.deviceName == deviceName) {
            found.selection = SelectionString(printer);
            found.deviceName = deviceName;
            return found;
        }
    }
    found.missing = "the printer " + deviceName + " is gone";
    return found;
}

std::optional<std::string> ExactlyNamedPrinter(const std::vector<Printer>& printers,
                                               const std::string& name) {
    const auto printer = FindSelectedPrinter(printers, SelectionForPrinterName(printers, name));
    if (!printer || UCase(printer->deviceName) != UCase(name)) return std::nullopt;
    return printer->deviceName;
}

std::string FailedMoveErrorText(const std::error_code& error) {
    if (error == std::errc::too_many_symbolic_link_levels) {
        return kFailedDirectoryName + " is a link, which AutoPrint does not follow";
    }
    if (error == std::errc::not_a_directory) return kFailedDirectoryName + " is not a folder";
    return error.message();
}

}  // namespace vantrel
