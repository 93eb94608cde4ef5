#include "autoprint/copy_being_sent.h"

namespace vantrel {

namespace {

SentCopy SendAgain(SpooledFile& entry) {
    entry.jobs.pop_back();
    entry.lastUnconfirmed = false;
    return SentCopy::SendAgain;
}

}  // namespace

SentCopy SettleCopyBeingSent(PrinterSystem& printers, const std::string& path, SpooledFile& entry) {
    if (entry.jobs.empty()) return SentCopy::Known;
    const int last = entry.jobs.back();
    if (last == kBeingSent) return SentCopy::Lost;
    if (last == kBeingCreated) {
        // Its job may have been created before the run died: only this user's own jobs of that
        // copy that hold no document, which print nothing, are withdrawn.
        const std::string name =
            SpooledCopyName(path, entry.identity, static_cast<int>(entry.jobs.size()));
        for (int id : printers.ownJobsWithoutDocument(entry.printer, name)) {
            printers.cancelJob(entry.printer, id);
        }
        return SendAgain(entry);
    }
    if (!entry.lastUnconfirmed) return SentCopy::Known;
    const JobFacts facts = printers.jobFacts(entry.printer, last);
    if (facts.status.state == JobState::Unknown) return SentCopy::Lost;
    if (facts.documentReceived) {
        entry.lastUnconfirmed = false;
        return SentCopy::Known;
    }
    if (!IsFinal(facts.status.state)) printers.cancelJob(entry.printer, last);
    return SendAgain(entry);
}

}  // namespace vantrel
