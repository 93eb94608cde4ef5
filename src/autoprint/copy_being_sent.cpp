#include "autoprint/copy_being_sent.h"

namespace vantrel {

SentCopy SettleCopyBeingSent(PrinterSystem& printers, const std::string& path, SpooledFile& entry) {
    if (entry.jobs.empty() || entry.jobs.back() != kBeingSent) return SentCopy::Known;
    const int copy = static_cast<int>(entry.jobs.size());
    const auto ids = printers.jobsNamed(entry.printer, SpooledCopyName(path, entry.identity, copy));
    bool held = false;
    for (auto id = ids.rbegin(); id != ids.rend(); ++id) {
        const JobState state = printers.jobStatus(entry.printer, *id).state;
        if (state == JobState::Held) held = true;
        if (state == JobState::Held || state == JobState::Aborted || state == JobState::Cancelled ||
            state == JobState::Unknown) {
            continue;
        }
        entry.jobs.back() = *id;
        return SentCopy::Known;
    }
    if (held) return SentCopy::Undecided;
    entry.jobs.pop_back();
    return SentCopy::SendAgain;
}

}  // namespace vantrel
