#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/printer_system.h"

namespace vantrel {

// What the command-line and AutoPrint callers pass when no printer matched.
inline const std::string kNoPrinterSelection = "None";

// The printer selection string: DeviceName + " - " + Port.
std::string SelectionString(const Printer& printer);

// Selection match: the printer whose selection string is exactly the selection; else the last
// printer whose device name begins the selection string and whose port ends it, both exactly;
// nothing when none matches.
std::optional<Printer> FindSelectedPrinter(const std::vector<Printer>& printers,
                                           const std::string& selection);

// Name prefix match: the selection string of the printer named exactly name, ignoring case;
// else of the last printer whose device name begins with name, ignoring case; "None" when none
// does.
std::string SelectionForPrinterName(const std::vector<Printer>& printers, const std::string& name);

// List prefix match: the first entry that begins with name, ignoring case.
std::optional<int> FindListEntry(const std::vector<std::string>& entries, const std::string& name);

// The default printer name of a default-printer entry: the text before the first ",",
// upper-cased; the whole text when it has no ",".
std::string DefaultPrinterName(const std::string& entry);

// The default printer name as batch mode and AutoPrint use it: "none" without an entry.
std::string DefaultPrinterNameOrNone(const std::optional<std::string>& entry);

// A list whose entries are printer selection strings (the main window's printer list).
class PrinterListBox {
  public:
    virtual ~PrinterListBox() = default;
    virtual std::vector<std::string> entries() const = 0;
    virtual void setSelectedIndex(int index) = 0;
};

// Selects the default printer's entry in the list; leaves the selection alone when there is no
// default printer or no entry for it.
void SelectDefaultPrinter(PrinterListBox& list, PrinterSystem& system);

}  // namespace vantrel
