#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/printer_system.h"

namespace vantrel {

// One watched folder and the printer its files go to.
struct HotFolder {
    std::string folder;                  // absolute
    std::optional<std::string> printer;  // as given; nothing: the default printer
    bool operator==(const HotFolder&) const = default;
};

// What "vantrel --autoprint ..." asks for.
struct AutoPrintRequest {
    std::vector<HotFolder> folders;  // none: the drop directory on the default printer
    std::chrono::milliseconds settle{1000};
    bool wait = false;  // a file goes once its jobs completed, not once they were spooled
};

// A command line that is refused; what() says why, in words for the user.
class AutoPrintUsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The folder a path names, absolute and without links, when it is a directory; nothing
// otherwise.
using FolderResolver = std::function<std::optional<std::string>(const std::string&)>;

// Reads the words after --autoprint: "--settle SECONDS", "--wait" and any number of "DIR=PRINTER"
// or "DIR". A word is split at its last "="; a word that names a directory as a whole is a folder
// for the default printer. Throws AutoPrintUsageError for an unknown option, a settle time that
// is no number of seconds from 0 to 3600, an empty folder or printer, a folder that is no
// directory, a folder given twice, and a folder that is another one's Failed subdirectory.
AutoPrintRequest ParseAutoPrintArguments(const std::vector<std::string>& words,
                                         const FolderResolver& resolve);

// The resolver on the given files.
FolderResolver FolderResolverOn(FileSystem& files);

// Why a printer given by name cannot be used: no installed printer matches it. Nothing when
// every named printer is there, or when the spooler cannot be asked now (it is waited for).
std::optional<std::string> MissingNamedPrinter(const std::vector<HotFolder>& folders,
                                               PrinterSystem& system);

}  // namespace vantrel
