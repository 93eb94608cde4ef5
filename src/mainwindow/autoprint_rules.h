#pragma once

#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "platform/message_sink.h"
#include "platform/printer_system.h"

namespace vantrel {

// The rules every AutoPrint keeps, the window's and the headless one alike.

// A folder's subdirectory for the files that could not be printed.
inline const std::string kFailedDirectoryName = "Failed";

// The names of a folder's visible entries (dot files are hidden), in name order; none when the
// folder cannot be read.
std::vector<std::string> VisibleEntryNames(const std::string& folder);

// The stored copies text as a usable number of copies (1 to 32767), or nothing.
std::optional<int> AutoPrintCopies(const std::string& copiesText);

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

// Where MoveToFailedFolder put a file, or why it could not.
struct FailedMove {
    std::string to;         // the file's new path
    std::error_code error;  // set when the file stayed where it was
    std::string failedDir;  // the folder's Failed subdirectory
};

// Moves a file that could not be printed into the Failed subdirectory of its folder (made when
// missing), under its own name, or name.2, name.3, ... when that is taken.
FailedMove MoveToFailedFolder(const std::string& folder, const std::string& path);

// The print job's own messages are not shown: AutoPrint tells once per file, or once per
// outage, in words of its own.
class UnshownMessages : public MessageSink {
  public:
    MsgAnswer show(const std::string&, int style, const std::string&) override {
        return (style & 7) == MsgStyle::YesNo ? MsgAnswer::No : MsgAnswer::Ok;
    }
};

}  // namespace vantrel
