#include "mainwindow/jobs_line.h"

#include <algorithm>

#include "printing/outcome_texts.h"

namespace vantrel {

namespace {

std::string EndWord(JobState state) {
    switch (state) {
        case JobState::Cancelled:
            return "cancelled";
        case JobState::Aborted:
            return "aborted";
        case JobState::Unknown:
            return "completion unknown";
        default:
            return "stopped";
    }
}

bool Paused(const FollowedJob& job) {
    return !job.ended() && (job.last.printerPaused || job.last.state == JobState::Stopped ||
                            job.last.state == JobState::Held);
}

}  // namespace

JobsLine JobsLineOf(const std::vector<FollowedJob>& jobs) {
    if (!std::all_of(jobs.begin(), jobs.end(), [](const auto& job) { return job.ended(); })) {
        const auto paused = std::find_if(jobs.begin(), jobs.end(), Paused);
        if (paused == jobs.end()) return {};
        return {PausedPrinterText(paused->job.printer), false};
    }
    const std::string of = " of " + std::to_string(jobs.size()) + " ";
    const auto failed = std::find_if(jobs.begin(), jobs.end(),
                                     [](const auto& job) { return !EndedWell(job.last.state); });
    if (failed == jobs.end()) {
        // Printed is said only of what the spooler saw printed.
        const bool seen = std::all_of(jobs.begin(), jobs.end(), [](const auto& job) {
            return job.last.state == JobState::Completed;
        });
        return {std::to_string(jobs.size()) + of + (seen ? "printed" : "sent to the printer"),
                false};
    }
    const JobState state = failed->last.state;
    const auto alike = std::count_if(jobs.begin(), jobs.end(),
                                     [state](const auto& job) { return job.last.state == state; });
    const std::string& reason = failed->last.reason;
    return {std::to_string(alike) + of + EndWord(state) + " at " + failed->job.printer +
                (reason.empty() ? "" : ": " + reason),
            true};
}

}  // namespace vantrel
