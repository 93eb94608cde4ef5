#include "printing/print_copies.h"

#include "printing/document_name.h"

namespace vantrel {

CopiesOutcome PrintCopies(const std::string& path, const std::string& selection, int copies,
                          PrinterSystem& system, FileSystem& files, const SpoolOptions& options) {
    return PrintCopiesOf({path, DocumentName(path), [&] { return files.openForReading(path); }},
                         selection, copies, system, options);
}

CopiesOutcome PrintCopiesOf(SpoolInput input, const std::string& selection, int copies,
                            PrinterSystem& system, const SpoolOptions& options,
                            const CopySteps& steps) {
    CopiesOutcome outcome;
    outcome.requested = copies;
    outcome.spooled = steps.spooledBefore;
    outcome.shownName = input.shownName;
    for (int copy = steps.spooledBefore + 1; copy <= copies; ++copy) {
        if (steps.beginning) steps.beginning(copy, input);
        if (steps.created) input.jobCreated = [&](int id) { steps.created(copy, id); };
        SpoolOutcome one = SpoolInputRaw(input, selection, system, options);
        outcome.printer = one.printer;
        if (!one.spooled) {
            outcome.failure = one.failure;
            outcome.reason = one.reason;
            break;
        }
        if (!outcome.identity) outcome.identity = one.identity;
        if (one.jobId != 0) outcome.jobIds.push_back(one.jobId);
        ++outcome.spooled;
        if (steps.spooled) steps.spooled(copy, one);
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

}  // namespace vantrel
