#include "mainwindow/command_line.h"

#include <algorithm>
#include <climits>

#include "platform/runtime_text.h"
#include "printing/print_copies.h"
#include "printing/printer_selection.h"

namespace vantrel {

namespace {

void ReadOptionGroup(const std::string& word, CommandLineRequest& request) {
    for (char letter : UCase(word.substr(1))) {
        if (letter == 'R') request.reversedOrder = true;
        if (letter == 'D') request.deleteAfterPrinting = true;
        if (letter == 'C') request.copiesFollow = true;
    }
}

// In reversed order the file name is the last word and the printer name everything before it.
void SplitReversed(const std::string& text, CommandLineRequest& request) {
    std::string fileName = text;
    for (auto blank = fileName.find(' '); blank != std::string::npos; blank = fileName.find(' ')) {
        fileName = Trim(fileName.substr(blank + 1));
    }
    request.fileName = fileName;
    request.printerName = Trim(text.substr(0, text.size() - fileName.size() - 1));
}

}  // namespace

CommandLineRequest ParseCommandLine(std::string text, const std::string& defaultPrinterName) {
    CommandLineRequest request;
    auto blank = text.find(' ');
    if (blank != std::string::npos) {
        std::string firstWord = Trim(text.substr(0, blank));
        if (firstWord.starts_with('-')) {
            ReadOptionGroup(firstWord, request);
            text = Trim(text.substr(blank + 1));
        }
    }
    blank = text.find(' ');
    if (request.copiesFollow && blank != std::string::npos) {
        request.copiesText = Trim(text.substr(0, blank));
        text = Trim(text.substr(blank + 1));
    }
    blank = text.find(' ');
    if (blank == std::string::npos) {
        request.fileName = Trim(text);
        request.printerName = Trim(defaultPrinterName);
    } else if (!request.reversedOrder) {
        request.fileName = Trim(text.substr(0, blank));
        request.printerName = Trim(text.substr(blank + 1));
    } else {
        SplitReversed(text, request);
    }
    return request;
}

std::optional<int> BatchCopies(const std::string& copiesText) {
    auto copies = RoundHalfEven(Val(copiesText), INT_MIN, INT_MAX);
    if (!copies) return std::nullopt;
    // Below 1 is 1: a count that rounds to 0 must not reach the deletion without a copy.
    return static_cast<int>(std::max<long long>(*copies, 1));
}

std::optional<std::string> LongOptionWord(const std::string& commandText) {
    std::size_t at = 0;
    while (at < commandText.size()) {
        std::size_t end = commandText.find(' ', at);
        if (end == std::string::npos) end = commandText.size();
        std::string word = commandText.substr(at, end - at);
        if (word.starts_with("--")) return word;
        at = end + 1;
    }
    return std::nullopt;
}

BatchResult RunCommandLine(const std::string& commandText, PrinterSystem& system, FileSystem& files,
                           const LiveSettings& live, MessageSink& messages) {
    BatchResult result;
    if (commandText.empty()) {
        messages.show("No file to print: the command line holds only blanks.",
                      MsgStyle::Exclamation);
        return result;
    }
    CommandLineRequest request;
    std::string selection;
    try {
        request =
            ParseCommandLine(commandText, DefaultPrinterNameOrNone(system.defaultPrinterEntry()));
        selection = SelectionForPrinterName(system.printers(), request.printerName);
    } catch (const SpoolError& error) {
        messages.show(SpoolerUnreachableText(error), MsgStyle::Critical);
        return result;
    }
    auto copies = BatchCopies(request.copiesText);
    if (!copies) {
        messages.show("Invalid number of copies: " + request.copiesText, MsgStyle::Exclamation);
        return result;
    }
    result.copiesRequested = *copies;
    const auto printed =
        PrintCopies(request.fileName, selection, *copies, system, files, live, messages);
    result.copiesSpooled = printed.spooled;
    if (printed.failure == SpoolFailure::PrinterName) {
        messages.show("no printer name begins with \"" + request.printerName +
                          "\"; see vantrel --list-printers",
                      MsgStyle::Exclamation);
    }
    if (request.deleteAfterPrinting) {
        const AfterPrint check = CheckPrintedFile(printed, files, request.fileName);
        if (check != AfterPrint::MayGo) {
            messages.show(KeptFileText(check, request.fileName), MsgStyle::Exclamation);
            return result;
        }
        if (auto error = files.removeFile(request.fileName)) {
            messages.show("Could not delete " + request.fileName + ": " + error.message(),
                          MsgStyle::Exclamation);
            return result;
        }
        result.deleted = true;
    }
    result.ok = printed.allSpooled();
    return result;
}

}  // namespace vantrel
