#include "printing/printer_selection.h"

#include "text/runtime_text.h"

namespace vantrel {

std::string SelectionString(const Printer& printer) {
    return printer.deviceName + " - " + printer.port;
}

std::optional<Printer> FindSelectedPrinter(const std::vector<Printer>& printers,
                                           const std::string& selection) {
    std::optional<Printer> found;
    for (const auto& printer : printers) {
        // A printer whose whole selection string is the selection is the one meant, even when
        // another printer's name begins it and its port ends it.
        if (SelectionString(printer) == selection) return printer;
        if (selection.starts_with(printer.deviceName) && selection.ends_with(printer.port)) {
            found = printer;  // the walk goes on: the last match wins
        }
    }
    return found;
}

std::string SelectionForPrinterName(const std::vector<Printer>& printers, const std::string& name) {
    std::string selection = kNoPrinterSelection;
    for (const auto& printer : printers) {
        // A printer named exactly so wins over longer names that begin with the name, or a
        // queue "Label" could never be reached beside "Label_Printer".
        if (UCase(printer.deviceName) == UCase(name)) return SelectionString(printer);
        if (StartsWithIgnoringCase(printer.deviceName, name)) selection = SelectionString(printer);
    }
    return selection;
}

std::optional<int> FindListEntry(const std::vector<std::string>& entries, const std::string& name) {
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (StartsWithIgnoringCase(entries[i], name)) return static_cast<int>(i);
    }
    return std::nullopt;
}

std::string DefaultPrinterName(const std::string& entry) {
    return UCase(entry.substr(0, entry.find(',')));
}

std::string DefaultPrinterNameOrNone(const std::optional<std::string>& entry) {
    return entry ? DefaultPrinterName(*entry) : std::string("none");
}

void SelectDefaultPrinter(PrinterListBox& list, PrinterSystem& system) {
    auto entry = system.defaultPrinterEntry();
    if (!entry) return;
    if (auto index = FindListEntry(list.entries(), DefaultPrinterName(*entry))) {
        list.setSelectedIndex(*index);
    }
}

}  // namespace vantrel
