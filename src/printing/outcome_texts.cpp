#include "printing/outcome_texts.h"

namespace vantrel {

Notice SpoolFailureNotice(const SpoolOutcome& outcome) {
    const std::string& path = outcome.shownName;
    switch (outcome.failure) {
        case SpoolFailure::None:
            break;
        case SpoolFailure::PrinterName:
            return {"There is an error in the printer name.", MsgStyle::Ok};
        case SpoolFailure::SpoolerUnreachable:
        case SpoolFailure::SpoolerRefused:
        case SpoolFailure::SpoolerBusy:
            return {"Could not print " + path + " on " + outcome.printer + ": " + outcome.reason,
                    MsgStyle::Critical};
        case SpoolFailure::File:
            return {"Can't read file: " + path + " (" + outcome.reason + ")",
                    MsgStyle::Exclamation};
        case SpoolFailure::Changed:
            return {"Did not print " + path + ": " + outcome.reason + ", so its job was withdrawn.",
                    MsgStyle::Exclamation};
    }
    return {};
}

std::vector<Notice> CopiesNotices(const CopiesOutcome& outcome) {
    if (outcome.failure == SpoolFailure::None) return {};
    std::vector<Notice> notices{SpoolFailureNotice(
        {false, outcome.failure, outcome.reason, {}, outcome.shownName, outcome.printer})};
    if (outcome.requested > 1) {
        notices.push_back(
            {"Printing of " + outcome.shownName + " stopped at the failed copy " +
                 std::to_string(outcome.spooled + 1) + ": " + std::to_string(outcome.spooled) +
                 " of " + std::to_string(outcome.requested) + " copies were spooled before it.",
             MsgStyle::Exclamation});
    }
    return notices;
}

std::string JobEndText(const FollowedJob& job, std::optional<std::chrono::seconds> limit) {
    const std::string named = "job " + std::to_string(job.job.id) + " on " + job.job.printer;
    const std::string& reason = job.last.reason;
    const std::string because = reason.empty() ? "" : ": " + reason;
    const std::string aside = reason.empty() ? "" : " (" + reason + ")";
    switch (job.last.state) {
        case JobState::Completed:
            return {};
        case JobState::Cancelled:
            return named + " was cancelled";
        case JobState::Aborted:
            return named + " was aborted" + because;
        case JobState::Stopped:
            return named + " stopped" + because;
        case JobState::Unknown:
            return named + ": completion unknown" + aside;
        case JobState::Pending:
        case JobState::Held:
        case JobState::Processing:
            break;
    }
    const std::string after = limit ? " after " + std::to_string(limit->count()) + " s" : "";
    if (job.last.printerPaused) {
        return "still " + std::string(job.last.state == JobState::Held ? "held" : "pending") +
               after + ": job " + std::to_string(job.job.id) + ": " +
               PausedPrinterText(job.job.printer);
    }
    return "still " + std::string(job.last.state == JobState::Held ? "held" : "pending") + after +
           ": " + named + aside;
}

std::string PausedPrinterText(const std::string& printer) {
    return printer + " is paused: the jobs wait in its queue";
}

std::string UnknownPrinterText(const std::string& name) {
    return "no printer name begins with \"" + name + "\"";
}

std::string KeptFileText(AfterPrint check, const std::string& path) {
    if (check == AfterPrint::Changed) {
        return path + " changed while it was printed, so it was kept.";
    }
    return "Not every copy of " + path + " was printed, so the file was kept.";
}

}  // namespace vantrel
