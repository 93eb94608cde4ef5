#include "printing/print_copies.h"

#include "printing/document_name.h"

namespace vantrel {

CopiesOutcome PrintCopies(const std::string& path, const std::string& selection, int copies,
                          PrinterSystem& system, FileSystem& files, const LiveSettings& live,
                          MessageSink& messages) {
    return PrintCopiesOf({path, DocumentName(path), [&] { return files.openForReading(path); }},
                         selection, copies, system, live, messages);
}

CopiesOutcome PrintCopiesOf(const SpoolInput& input, const std::string& selection, int copies,
                            PrinterSystem& system, const LiveSettings& live,
                            MessageSink& messages) {
    const std::string& path = input.shownName;
    CopiesOutcome outcome;
    outcome.requested = copies;
    for (int copy = 1; copy <= copies; ++copy) {
        SpoolOutcome one = SpoolInputRaw(input, selection, system, live, messages);
        if (!one.spooled) {
            outcome.failure = one.failure;
            outcome.reason = one.reason;
            if (copies > 1) {
                messages.show("Printing of " + path + " stopped at the failed copy " +
                                  std::to_string(copy) + ": " + std::to_string(outcome.spooled) +
                                  " of " + std::to_string(copies) +
                                  " copies were spooled before it.",
                              MsgStyle::Exclamation);
            }
            break;
        }
        if (!outcome.identity) outcome.identity = one.identity;
        ++outcome.spooled;
    }
    return outcome;
}

AfterPrint CheckPrintedFile(const CopiesOutcome& outcome, FileSystem& files,
                            const std::string& path) {
    if (!outcome.allSpooled()) return AfterPrint::NotAllCopies;
    // A producer that renames a new file into place, or appends, while the old one is printed
    // must not lose the new content: only the very file that was printed may go.
    auto now = files.identityOf(path);
    if (!now || !outcome.identity || !(*now == *outcome.identity)) return AfterPrint::Changed;
    return AfterPrint::MayGo;
}

std::string KeptFileText(AfterPrint check, const std::string& path) {
    if (check == AfterPrint::Changed) {
        return path + " changed while it was printed, so it was kept.";
    }
    return "Not every copy of " + path + " was printed, so the file was kept.";
}

}  // namespace vantrel
