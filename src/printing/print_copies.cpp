#include "printing/print_copies.h"

namespace vantrel {

CopiesOutcome PrintCopies(const std::string& path, const std::string& selection, int copies,
                          PrinterSystem& system, FileSystem& files, const SpoolOptions& options) {
    return PrintCopiesOf(FileInput(path, files), selection, copies, system, options);
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
        SpoolOutcome one = SpoolFileRaw(input, selection, system, options);
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

}  // namespace vantrel
