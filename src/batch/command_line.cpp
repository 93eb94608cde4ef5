#include "batch/command_line.h"

#include <algorithm>
#include <span>
#include <vector>

#include "platform/forwarding_systems.h"
#include "printing/after_print.h"
#include "printing/copies_count.h"
#include "printing/outcome_texts.h"
#include "printing/print_copies.h"
#include "printing/printer_selection.h"
#include "text/runtime_text.h"

namespace vantrel {

namespace {

void ReadOptionGroup(const std::string& word, CommandLineRequest& request) {
    for (char letter : UCase(word.substr(1))) {
        if (letter == 'R') request.reversedOrder = true;
        if (letter == 'D') request.deleteAfterPrinting = true;
        if (letter == 'C') request.copiesFollow = true;
    }
}

std::string Joined(std::span<const std::string> words) {
    std::string text;
    for (const auto& word : words) text += (text.empty() ? "" : " ") + word;
    return text;
}

}  // namespace

std::vector<std::string> CommandWords(const std::vector<std::string>& arguments) {
    std::vector<std::string> words;
    for (const auto& argument : arguments) {
        if (std::string word = Trim(argument); !word.empty()) words.push_back(std::move(word));
    }
    return words;
}

CommandLineRequest ParseCommandLine(const std::vector<std::string>& words,
                                    const std::string& defaultPrinterName) {
    CommandLineRequest request;
    std::span<const std::string> rest(words);
    // Only a word with another after it is an option word; a lone "-" is standard input.
    if (rest.size() > 1 && rest[0].starts_with('-') && rest[0] != "-") {
        ReadOptionGroup(rest[0], request);
        rest = rest.subspan(1);
    }
    if (request.copiesFollow && rest.size() > 1) {
        request.copiesText = rest[0];
        rest = rest.subspan(1);
    }
    if (rest.size() <= 1) {
        request.fileName = rest.empty() ? std::string() : rest[0];
        request.printerName = Trim(defaultPrinterName);
        request.defaultPrinter = true;
    } else if (!request.reversedOrder) {
        request.fileName = rest.front();
        request.printerName = Joined(rest.subspan(1));
    } else {  // the file name last, the printer name before it
        request.fileName = rest.back();
        request.printerName = Joined(rest.first(rest.size() - 1));
    }
    return request;
}

std::optional<std::string> LongOptionWord(const std::vector<std::string>& words) {
    for (const auto& word : words) {
        if (word.starts_with("--")) return word;
    }
    return std::nullopt;
}

namespace {

constexpr const char* kStandardInputName = "standard input";

SpoolInput StandardInput(std::function<std::unique_ptr<FileReader>()> open) {
    return {kStandardInputName, "Vantrel: " + std::string(kStandardInputName), std::move(open),
            false};
}

// Prints what arrives on standard input. One copy streams it; more copies keep it in a private
// temporary file first, so that every copy is the same bytes.
// Throws FileReadError when the input cannot be kept for more than one copy.
CopiesOutcome PrintStandardInput(const std::string& selection, int copies, PrinterSystem& system,
                                 FileSystem& files, const SpoolOptions& options) {
    std::unique_ptr<PrivateFile> kept;
    if (copies > 1) kept = KeepStandardInput(files);
    auto open = [&]() { return kept ? kept->openForReading() : files.openStandardInput(); };
    return PrintCopiesOf(StandardInput(open), selection, copies, system, options);
}

// The spooler as a print to a printer found by its exact name sees it: that printer wins over
// all others that the name begins, and its selection string is its own, so no full listing is
// needed to match it.
class NamedPrinter : public ForwardingPrinterSystem {
  public:
    NamedPrinter(PrinterSystem& system, Printer named)
        : ForwardingPrinterSystem(system), printer(std::move(named)) {}
    std::vector<Printer> printers() override { return {printer}; }

    const Printer printer;
};

}  // namespace

std::unique_ptr<PrivateFile> KeepStandardInput(FileSystem& files) {
    auto kept = files.createPrivateFile();
    auto in = files.openStandardInput();
    std::vector<char> buffer(kSpoolChunkSize);
    while (std::size_t got = in->read(buffer.data(), buffer.size()))
        kept->write(buffer.data(), got);
    return kept;
}

namespace {

// Follows the print's jobs to their end; whether every one ended well, each other one told.
bool PrintedToTheEnd(const CopiesOutcome& printed, PrinterSystem& system, const JobWait& wait,
                     MessageSink& messages) {
    std::vector<JobRef> jobs;
    for (int id : printed.jobIds) jobs.push_back({printed.printer, id});
    SteadyWaitClock steady;
    bool all = true;
    for (const FollowedJob& job :
         FollowJobs(system, jobs, wait.limit, wait.clock ? *wait.clock : steady)) {
        if (EndedWell(job.last.state)) continue;
        all = false;
        messages.show(JobEndText(job, wait.limit), MsgStyle::Exclamation);
    }
    return all;
}

}  // namespace

BatchResult RunCommandLine(const std::vector<std::string>& arguments, PrinterSystem& system,
                           FileSystem& files, const SpoolOptions& options, MessageSink& messages,
                           bool standardInputClosed, const std::optional<JobWait>& wait) {
    BatchResult result;
    const std::vector<std::string> words = CommandWords(arguments);
    if (words.empty()) {
        messages.show("No file to print: the command line holds only blanks.",
                      MsgStyle::Exclamation);
        return result;
    }
    CommandLineRequest request = ParseCommandLine(words, "");
    std::optional<NamedPrinter> named;
    std::string selection;
    try {
        // The default is asked for only when it stands in.
        if (request.defaultPrinter) {
            request.printerName = Trim(DefaultPrinterNameOrNone(system.defaultPrinterEntry()));
        }
        if (auto printer = system.printerNamed(request.printerName))
            named.emplace(system, *printer);
        selection = named ? SelectionString(named->printer)
                          : SelectionForPrinterName(system.printers(), request.printerName);
    } catch (const SpoolError& error) {
        messages.show(SpoolerUnreachableText(error), MsgStyle::Critical);
        return result;
    }
    const CopiesCount copies = ReadCopies(request.copiesText, CopiesRule::CommandLine);
    if (!copies.usable()) {
        messages.show(CopiesRefusalText(copies, request.copiesText), MsgStyle::Exclamation);
        return result;
    }
    result.copiesRequested = copies.count;
    // "-" is standard input, unless a file of that name is there.
    const bool fromPipe = request.fileName == "-" && !files.identityOf(request.fileName);
    if (fromPipe && standardInputClosed) {
        messages.show("Nothing to print: standard input is closed.", MsgStyle::Exclamation);
        return result;
    }
    PrinterSystem& spooler = named ? *named : system;
    CopiesOutcome printed;
    try {
        printed = fromPipe ? PrintStandardInput(selection, copies.count, spooler, files, options)
                           : PrintCopies(request.fileName, selection, copies.count, spooler, files,
                                         options);
    } catch (const FileReadError& error) {
        messages.show("Can't read standard input: " + std::string(error.what()),
                      MsgStyle::Exclamation);
        return result;
    }
    ShowNotices(CopiesNotices(printed), messages);
    result.copiesSpooled = printed.spooled;
    const bool printedAll =
        printed.allSpooled() && (!wait || PrintedToTheEnd(printed, spooler, *wait, messages));
    if (printed.failure == SpoolFailure::PrinterName) {
        messages.show(UnknownPrinterText(request.printerName) + "; see vantrel --list-printers",
                      MsgStyle::Exclamation);
    }
    if (request.deleteAfterPrinting && fromPipe) {
        messages.show("Nothing to delete: the input came from standard input.", MsgStyle::Ok);
    } else if (request.deleteAfterPrinting) {
        const AfterPrintOutcome after =
            printedAll
                ? CarryOutAfterPrint(AfterPrintAction::Delete, printed, request.fileName, files)
                : FateOnly(AfterPrintFate::NotAllCopies);
        if (const auto notice = AfterPrintNotice(after, request.fileName)) {
            messages.show(notice->text, notice->style);
            return result;
        }
        result.deleted = true;
    }
    result.ok = printedAll;
    return result;
}

}  // namespace vantrel
