#include "platform/cups/cups_job_status.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <optional>
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

// A job's status from its state, reasons and the printer's message about it.
JobStatus StatusFrom(ipp_jstate_t state, ipp_attribute_t* reasons, ipp_attribute_t* message) {
    JobStatus status{StateOf(state, reasons), {}};
    if (status.state == JobState::Completed) return status;
    const char* said = message ? ippGetString(message, 0, nullptr) : nullptr;
    status.reason = said && *said ? AsClause(said) : std::string();
    if (status.reason.empty()) status.reason = ReasonWords(reasons);
    return status;
}

// Whether the queue was paused by someone (cupsdisable): stopped, with the reason "paused".
bool QueuePaused(http_t* http, const std::string& queue) {
    static const char* const kWanted[] = {"printer-state", "printer-state-reasons"};
    ipp_t* request = QueueRequest(IPP_OP_GET_PRINTER_ATTRIBUTES, queue);
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  std::size(kWanted), nullptr, kWanted);
    ipp_t* answer = cupsDoRequest(http, request, "/");
    const ipp_status_t status = cupsLastError();
    ipp_attribute_t* state = ippFindAttribute(answer, "printer-state", IPP_TAG_ENUM);
    const bool paused =
        state && ippGetInteger(state, 0) == IPP_PSTATE_STOPPED &&
        HasKeyword(ippFindAttribute(answer, "printer-state-reasons", IPP_TAG_KEYWORD), "paused");
    ippDelete(answer);
    if (!Succeeded(status) && status != IPP_STATUS_ERROR_NOT_FOUND) throw CupsRequestError();
    return paused;
}

// One page of the queue's jobs from first on, up to last, into found; the highest job number
// in the answer, 0 when it held none.
int AskJobsPage(http_t* http, const std::string& queue, int first, int last,
                std::map<int, JobStatus>& found) {
    static const char* const kWanted[] = {"job-id", "job-state", "job-state-reasons",
                                          "job-printer-state-message"};
    ipp_t* request = QueueRequest(IPP_OP_GET_JOBS, queue);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "which-jobs", nullptr, "all");
    // Only the span of the jobs asked about, not the queue's whole history.
    ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "first-job-id", first);
    ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "limit", last - first + 1);
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  std::size(kWanted), nullptr, kWanted);
    ipp_t* answer = cupsDoRequest(http, request, "/");
    const ipp_status_t status = cupsLastError();
    int highest = 0;
    // Each job's attributes are a group of their own, ended by a separator (no name).
    int id = 0;
    std::optional<ipp_jstate_t> state;
    ipp_attribute_t* reasons = nullptr;
    ipp_attribute_t* message = nullptr;
    auto endOfJob = [&] {
        if (id > 0 && state) found[id] = StatusFrom(*state, reasons, message);
        highest = std::max(highest, id);
        id = 0;
        state.reset();
        reasons = message = nullptr;
    };
    for (ipp_attribute_t* at = ippFirstAttribute(answer); at; at = ippNextAttribute(answer)) {
        const char* name = ippGetName(at);
        if (!name) {
            endOfJob();
            continue;
        }
        const std::string_view attribute(name);
        if (attribute == "job-id") {
            id = ippGetInteger(at, 0);
        } else if (attribute == "job-state") {
            state = static_cast<ipp_jstate_t>(ippGetInteger(at, 0));
        } else if (attribute == "job-state-reasons") {
            reasons = at;
        } else if (attribute == "job-printer-state-message") {
            message = at;
        }
    }
    endOfJob();
    ippDelete(answer);
    if (!Succeeded(status) && status != IPP_STATUS_ERROR_NOT_FOUND) throw CupsRequestError();
    return highest;
}

}  // namespace

JobStatus JobStatusIn(ipp_t* answer) {
    const auto state = JobStateIn(answer);
    if (!state) return {};
    return StatusFrom(*state, ippFindAttribute(answer, "job-state-reasons", IPP_TAG_KEYWORD),
                      ippFindAttribute(answer, "job-printer-state-message", IPP_TAG_TEXT));
}

QueueLook AskQueueLook(http_t* http, const std::string& queue, const std::vector<int>& jobIds) {
    QueueLook look;
    if (jobIds.empty()) return look;
    const auto [first, last] = std::ranges::minmax(jobIds);
    std::map<int, JobStatus> found;
    // The scheduler answers at most so many jobs at once (500 for CUPS): the rest, page by page.
    for (int from = first;;) {
        const int highest = AskJobsPage(http, queue, from, last, found);
        if (highest < from || highest >= last) break;
        from = highest + 1;
    }
    bool waiting = false;
    for (const int jobId : jobIds) {
        const auto it = found.find(jobId);
        look.jobs.push_back(it == found.end() ? JobStatus{} : it->second);  // purged: unknown
        waiting |= look.jobs.back().state == JobState::Pending;
    }
    // A job waits without a word of its own on a paused queue: the queue tells why.
    if (waiting && QueuePaused(http, queue)) {
        for (JobStatus& job : look.jobs) job.printerPaused = job.state == JobState::Pending;
    }
    return look;
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

// The facts' state alone: one request shape for both questions.
JobStatus AskJobStatus(http_t* http, int jobId) {
    return AskJobFacts(http, jobId).status;
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
