#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "batch/wait_option.h"
#include "platform/file_system.h"
#include "platform/message_sink.h"
#include "platform/printer_system.h"
#include "printing/spool_file_raw.h"

namespace vantrel {

// What a batch command line asks for, before the printer is looked up.
struct CommandLineRequest {
    bool reversedOrder = false;        // "R": the printer name comes before the file name
    bool deleteAfterPrinting = false;  // "D"
    bool copiesFollow = false;         // "C": the next word is the number of copies
    std::string copiesText = "1";
    std::string fileName;
    std::string printerName;
    bool defaultPrinter = false;  // none was named: the default printer name stands in
};

// The words of a command line are its arguments, each one word whatever blanks it holds (a
// quoted name), without the blanks at either end; an argument of blanks alone is none.
std::vector<std::string> CommandWords(const std::vector<std::string>& arguments);

// Reads the words as options, copies, file name and printer name; a printer name of several
// words is one name again, the words joined by blanks. defaultPrinterName stands in when no
// printer is named.
CommandLineRequest ParseCommandLine(const std::vector<std::string>& words,
                                    const std::string& defaultPrinterName);

// The first word that begins with "--": a guessed long option, which is refused rather than
// read letter by letter ("--dry-run" would otherwise mean delete and reverse). Nothing when
// there is none.
std::optional<std::string> LongOptionWord(const std::vector<std::string>& words);

// Copies all of standard input into a new private temporary file, which goes with the returned
// object. Throws FileReadError.
std::unique_ptr<PrivateFile> KeepStandardInput(FileSystem& files);

struct BatchResult {
    int copiesRequested = 0;
    int copiesSpooled = 0;
    bool deleted = false;
    bool ok = false;  // every copy spooled (and, waited for, printed), the file deleted when asked
};

// Runs one batch command line: prints the file raw in the asked copies on the named or the
// default printer, then deletes it when asked, every copy was spooled and it is still the file
// that was printed. standardInputClosed: the program was started without standard input. With a
// wait, every copy's job is followed to its end first: the print counts, and the file goes, only
// when every job completed; each one that did not is named with its state and the reason.
BatchResult RunCommandLine(const std::vector<std::string>& arguments, PrinterSystem& system,
                           FileSystem& files, const SpoolOptions& options, MessageSink& messages,
                           bool standardInputClosed = false,
                           const std::optional<JobWait>& wait = std::nullopt);

}  // namespace vantrel
