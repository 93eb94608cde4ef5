#include "platform/cups/cups_job_status.h"

#include <algorithm>
#include <cctype>
#include <string_view>

#include "platform/cups/cups_requests.h"
#include "platform/cups/ipp_text.h"
#include "text/runtime_text.h"

namespace vantrel {

namespace {

// The scheduler's texts are a backend's or anyone's: shown escaped, and never at any length.
constexpr std::size_t kReasonMaxBytes = 200;

bool Succeeded(ipp_status_t status) {
    return static_cast<int>(status) < 0x0100;
}

int IntegerIn(ipp_t* answer, const char* name) {
    ipp_attribute_t* found = ippFindAttribute(answer, name, IPP_TAG_INTEGER);
    return found ? ippGetInteger(found, 0) : 0;
}

bool HasKeyword(ipp_attribute_t* list, std::string_view keyword) {
    for (int i = 0; i < ippGetCount(list); ++i) {
        const char* value = ippGetString(list, i, nullptr);
        if (value && keyword == value) return true;
    }
    return false;
}

// A backend's message as part of a sentence: "The printer is not responding." reads "the
// printer is not responding".
std::string AsClause(std::string text) {
    text = EscapeControls(Trim(text));
    if (text.size() > kReasonMaxBytes) text.resize(kReasonMaxBytes);
    while (!text.empty() && text.back() == '.') text.pop_back();
    if (text.size() > 1 && std::isupper(static_cast<unsigned char>(text[0])) &&
        std::islower(static_cast<unsigned char>(text[1]))) {
        text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
    }
    return text;
}

// The reasons that say something beyond the state itself, as words ("printer-stopped":
// "printer stopped").
std::string ReasonWords(ipp_attribute_t* reasons) {
    static constexpr std::string_view kSaidByTheState[] = {"none",
                                                           "job-incoming",
                                                           "job-queued",
                                                           "job-printing",
                                                           "job-completed-successfully",
                                                           "processing-to-stop-point",
                                                           "job-transforming"};
    std::string words;
    for (int i = 0; i < ippGetCount(reasons); ++i) {
        const char* value = ippGetString(reasons, i, nullptr);
        if (!value || std::ranges::find(kSaidByTheState, std::string_view(value)) !=
                          std::end(kSaidByTheState)) {
            continue;
        }
        std::string word = value;
        std::ranges::replace(word, '-', ' ');
        words += (words.empty() ? "" : ", ") + word;
    }
    return AsClause(words);
}

JobState StateOf(ipp_jstate_t state, ipp_attribute_t* reasons) {
    switch (state) {
        case IPP_JSTATE_PENDING:
            return HasKeyword(reasons, "printer-stopped") ? JobState::Stopped : JobState::Pending;
        case IPP_JSTATE_HELD:
            return JobState::Held;
        case IPP_JSTATE_PROCESSING:
            return JobState::Processing;
        case IPP_JSTATE_STOPPED:
            return JobState::Stopped;
        case IPP_JSTATE_CANCELED:
            return JobState::Cancelled;
        case IPP_JSTATE_ABORTED:
            return JobState::Aborted;
        case IPP_JSTATE_COMPLETED:
            return JobState::Completed;
    }
    return JobState::Unknown;
}

}  // namespace

JobStatus JobStatusIn(ipp_t* answer) {
    const auto state = JobStateIn(answer);
    if (!state) return {};
    ipp_attribute_t* reasons = ippFindAttribute(answer, "job-state-reasons", IPP_TAG_KEYWORD);
    JobStatus status{StateOf(*state, reasons), {}};
    if (status.state == JobState::Completed) return status;
    ipp_attribute_t* message = ippFindAttribute(answer, "job-printer-state-message", IPP_TAG_TEXT);
    const char* said = message ? ippGetString(message, 0, nullptr) : nullptr;
    status.reason = said && *said ? AsClause(said) : std::string();
    if (status.reason.empty()) status.reason = ReasonWords(reasons);
    return status;
}

JobStatus AskJobStatus(http_t* http, int jobId) {
    static const char* const kWanted[] = {"job-state", "job-state-reasons",
                                          "job-printer-state-message"};
    ipp_t* request = NewJobRequest(IPP_OP_GET_JOB_ATTRIBUTES, jobId);
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  std::size(kWanted), nullptr, kWanted);
    ipp_t* answer = cupsDoRequest(http, request, "/jobs/");
    const ipp_status_t status = cupsLastError();
    const JobStatus found = JobStatusIn(answer);
    ippDelete(answer);
    if (status == IPP_STATUS_ERROR_NOT_FOUND) return {};
    if (!Succeeded(status)) throw CupsRequestError();
    return found;
}

JobFacts AskJobFacts(http_t* http, int jobId) {
    static const char* const kWanted[] = {"job-state", "job-state-reasons",
                                          "job-printer-state-message", "number-of-documents",
                                          "job-k-octets"};
    ipp_t* request = NewJobRequest(IPP_OP_GET_JOB_ATTRIBUTES, jobId);
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  std::size(kWanted), nullptr, kWanted);
    ipp_t* answer = cupsDoRequest(http, request, "/jobs/");
    const ipp_status_t status = cupsLastError();
    JobFacts facts{JobStatusIn(answer), false};
    facts.documentReceived = facts.status.state == JobState::Completed ||
                             IntegerIn(answer, "number-of-documents") > 0 ||
                             IntegerIn(answer, "job-k-octets") > 0;
    ippDelete(answer);
    if (status == IPP_STATUS_ERROR_NOT_FOUND) return {};
    if (!Succeeded(status)) throw CupsRequestError();
    return facts;
}

std::vector<int> AskOwnJobsWithoutDocument(http_t* http, const std::string& queue,
                                           const std::string& name) {
    static const char* const kWanted[] = {"job-id", "job-name", "job-originating-user-name",
                                          "number-of-documents", "job-k-octets"};
    ipp_t* request = QueueRequest(IPP_OP_GET_JOBS, queue);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "which-jobs", nullptr,
                 "not-completed");
    ippAddBoolean(request, IPP_TAG_OPERATION, "my-jobs", 1);
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  std::size(kWanted), nullptr, kWanted);
    ipp_t* answer = cupsDoRequest(http, request, "/");
    const ipp_status_t status = cupsLastError();
    const std::string wanted = IppName(name);
    const std::string_view user = cupsUser();
    std::vector<int> ids;
    // Each job's attributes are a group of their own, ended by a separator (no name).
    struct Seen {
        int id = 0;
        std::string_view name, owner;
        int documents = 0, kOctets = 0;
    } job;
    auto endOfJob = [&] {
        if (job.id > 0 && job.name == wanted && job.owner == user && job.documents == 0 &&
            job.kOctets == 0) {
            ids.push_back(job.id);
        }
        job = {};
    };
    for (ipp_attribute_t* at = ippFirstAttribute(answer); at; at = ippNextAttribute(answer)) {
        const char* attribute = ippGetName(at);
        const std::string_view key = attribute ? attribute : "";
        const char* text = ippGetString(at, 0, nullptr);
        if (!attribute) {
            endOfJob();
        } else if (key == "job-id") {
            job.id = ippGetInteger(at, 0);
        } else if (key == "job-name") {
            job.name = text ? text : "";
        } else if (key == "job-originating-user-name") {
            job.owner = text ? text : "";
        } else if (key == "number-of-documents") {
            job.documents = ippGetInteger(at, 0);
        } else if (key == "job-k-octets") {
            job.kOctets = ippGetInteger(at, 0);
        }
    }
    endOfJob();
    ippDelete(answer);
    if (!Succeeded(status) && status != IPP_STATUS_ERROR_NOT_FOUND) throw CupsRequestError();
    std::ranges::sort(ids);
    return ids;
}

}  // namespace vantrel
