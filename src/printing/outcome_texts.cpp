#include "printing/outcome_texts.h"

namespace vantrel {

std::string SpoolerUnreachableText(const std::string& reason) {
    return "The print spooler cannot be reached: " + reason;
}

std::string SpoolerUnreachableText(const SpoolError& error) {
    return SpoolerUnreachableText(std::string(error.what()));
}

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
        case JobState::LeftQueue:
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

std::optional<Notice> AfterPrintNotice(const AfterPrintOutcome& outcome, const std::string& path) {
    std::string text;
    switch (outcome.fate) {
        case AfterPrintFate::Left:
        case AfterPrintFate::Deleted:
        case AfterPrintFate::Moved:
            return std::nullopt;
        case AfterPrintFate::NotAllCopies:
            text = "Not every copy of " + path + " was printed, so the file was kept.";
            break;
        case AfterPrintFate::Changed:
        case AfterPrintFate::Gone:
            text = path + " changed while it was printed, so it was kept.";
            break;
        case AfterPrintFate::NoFolder:
            return Notice{"The Copy To Directory Does Not Exist. File Not Moved", MsgStyle::Ok};
        case AfterPrintFate::OwnFolder:
            return Notice{
                "The Copy To Directory is the file's own directory. File Not Moved: " + path,
                MsgStyle::Ok};
        case AfterPrintFate::NameTaken:
        case AfterPrintFate::NotMoved: {
            const std::error_code error =
                outcome.error ? outcome.error : std::make_error_code(std::errc::file_exists);
            text = "Could not copy " + path + " to " + outcome.destination + ": " +
                   error.message() + ". File Not Moved";
            break;
        }
        case AfterPrintFate::NotDeleted:
            text = "Could not delete " + path + ": " + outcome.error.message();
            break;
    }
    return Notice{text, MsgStyle::Exclamation};
}

}  // namespace vantrel
