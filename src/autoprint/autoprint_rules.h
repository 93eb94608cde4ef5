#pragma once

#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "platform/file_lock.h"
#include "platform/file_system.h"
#include "platform/message_sink.h"
#include "platform/printer_system.h"
#include "printing/print_copies.h"

namespace vantrel {

// The rules every AutoPrint keeps, the window's and the headless one alike.

// A folder's subdirectory for the files that could not be printed.
inline const std::string kFailedDirectoryName = "Failed";

// The names of a folder's visible entries (dot files are hidden), in name order; none when the
// folder cannot be read, and then why in error when one is given.
std::vector<std::string> VisibleEntryNames(FileSystem& files, const std::string& folder,
                                           std::error_code* error = nullptr);

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

// The printer of that very device name, for a folder bound to it: a printer whose name merely
// begins with it never stands in for it. Throws SpoolError when the spooler cannot be asked.
AutoPrintPrinter FindBoundPrinter(PrinterSystem& system, const std::string& deviceName);

// The device name of the printer that name names by itself (ignoring case, as the name prefix
// match does), not as the beginning of another's name; nothing when there is none.
std::optional<std::string> ExactlyNamedPrinter(const std::vector<Printer>& printers,
                                               const std::string& name);

// Prints a file that settled as `settled`: each copy opens the file at path itself, never
// through a link, and only while it is still that file, so that nothing swapped in after the
// look is read. A file found changed at the open fails with SpoolFailure::Changed, as one that
// changed while it was sent does: nothing of it was printed, and it is to settle again.
CopiesOutcome PrintSettledFile(const std::string& path, const FileIdentity& settled,
                               const std::string& selection, int copies, PrinterSystem& system,
                               FileSystem& files, const LiveSettings& live, MessageSink& messages);

// What became of a printed file that was to be deleted.
enum class PrintedRemoval {
    Deleted,
    Changed,      // the path names other content now, or a link: it stays, to settle again
    Undeletable,  // it stays, and is remembered so as not to be printed again
};
// Deletes the printed file, only while the path still names the very file that was printed.
PrintedRemoval RemovePrintedFile(const CopiesOutcome& printed, FileSystem& files,
                                 const std::string& path, std::error_code& error);

// The lock that makes one AutoPrint the only one to watch a folder: a file in the user's state
// directory named after the folder's device and number, so that every path to the folder
// meets the same lock. Empty when the folder cannot be asked.
std::string FolderLockPath(const std::string& stateDirectory, const std::string& folder);
// Takes that lock without waiting; nothing when another AutoPrint holds it. Throws
// std::system_error when the lock file cannot be made.
std::unique_ptr<FileLock> TryLockFolder(const std::string& stateDirectory,
                                        const std::string& folder);

// Where MoveToFailedFolder put a file, or why it could not.
struct FailedMove {
    std::string to;         // the file's new path
    std::error_code error;  // set when the file stayed where it was
    std::string failedDir;  // the folder's Failed subdirectory
};

// Moves a file that could not be printed into the Failed subdirectory of its folder (made when
// missing), under its own name, or name.2, name.3, ... when that is taken; a file that takes a
// name meanwhile is never replaced.
FailedMove MoveToFailedFolder(FileSystem& files, const std::string& folder,
                              const std::string& path);

// The print job's own messages are not shown: AutoPrint tells once per file, or once per
// outage, in words of its own.
class UnshownMessages : public MessageSink {
  public:
    MsgAnswer show(const std::string&, int style, const std::string&) override {
        return (style & 7) == MsgStyle::YesNo ? MsgAnswer::No : MsgAnswer::Ok;
    }
};

}  // namespace vantrel
