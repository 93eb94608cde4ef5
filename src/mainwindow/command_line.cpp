#include "mainwindow/command_line.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>

#include "platform/runtime_text.h"
#include "printing/printer_selection.h"
#include "printing/spool_file_raw.h"

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
    double value = Val(copiesText);
    if (value <= 0) value = 1;
    auto copies = RoundHalfEven(value, INT_MIN, INT_MAX);
    if (!copies) return std::nullopt;
    return static_cast<int>(*copies);
}

namespace {

bool DeleteFile(const std::string& path, MessageSink& messages) {
    errno = 0;
    if (std::remove(path.c_str()) == 0) return true;
    messages.show("Could not delete " + path + ": " + std::strerror(errno), MsgStyle::Exclamation);
    return false;
}

}  // namespace

BatchResult RunCommandLine(const std::string& commandText, PrinterSystem& system,
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
    for (int copy = 1; copy <= *copies; ++copy) {
        if (SpoolFileRaw(request.fileName, selection, system, live, messages).spooled) {
            ++result.copiesSpooled;
        }
    }
    const bool allSpooled = result.copiesSpooled == result.copiesRequested;
    if (request.deleteAfterPrinting) {
        if (allSpooled) {
            result.deleted = DeleteFile(request.fileName, messages);
        } else {
            messages.show("File not deleted, since not every copy was printed: " + request.fileName,
                          MsgStyle::Exclamation);
        }
    }
    result.ok = allSpooled && (result.deleted || !request.deleteAfterPrinting);
    return result;
}

}  // namespace vantrel
