#pragma once

#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "platform/file_lock.h"
#include "platform/file_system.h"
#include "platform/printer_system.h"

namespace vantrel {

// The rules every AutoPrint keeps, the window's and the headless one alike.

// A folder's subdirectory for the files that could not be printed.
inline const std::string kFailedDirectoryName = "Failed";

// The names of a folder's visible entries (dot files are hidden), in name order; none when the
// folder cannot be read, and then why in error when one is given.
std::vector<std::string> VisibleEntryNames(FileSystem& files, const std::string& folder,
                                           std::error_code* error = nullptr);

// The printer that a file of an AutoPrint folder goes to.
struct AutoPrintPrinter {
    std::string selection;   // the printer selection string; empty when there is no such printer
    std::string deviceName;  // the printer's name as the spooler spells it
    std::string missing;     // why there is none: no default printer, or none of that name
};

// The printer called name (the name prefix match of the command line) or, without a name, the
// default printer, as the spooler lists them now. Throws SpoolError when it cannot be asked.
AutoPrintPrinter FindAutoPrintPrinter(PrinterSystem& system,
                                      const std::optional<std::string>& name);

// The printer of that very device name, for a folder bound to it: a printer whose name merely
// begins with it never stands in for it. Throws SpoolError when the spooler cannot be asked.
AutoPrintPrinter FindBoundPrinter(PrinterSystem& system, const std::string& deviceName);

// The device name of the printer that name names by itself (ignoring case, as the name prefix
// match does), not as the beginning of another's name; nothing when there is none.
std::optional<std::string> ExactlyNamedPrinter(const std::vector<Printer>& printers,
                                               const std::string& name);

// The lock file in a watched folder that makes one AutoPrint, of whichever user or machine, the
// only one to watch it (TryWatchFolder); a dot file, so never printed.
inline const std::string kFolderLockName = ".vantrel-autoprint.lock";

// Why a file could not be moved into the Failed subdirectory, in words.
std::string FailedMoveErrorText(const std::error_code& error);

}  // namespace vantrel
