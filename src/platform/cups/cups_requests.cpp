#include "platform/cups/cups_requests.h"

#include <algorithm>
#include <cerrno>
#include <string_view>

#include "platform/cups/cups_link.h"
#include "platform/cups/ipp_text.h"

namespace vantrel {

namespace {

bool Succeeded(ipp_status_t status) {
    return static_cast<int>(status) < 0x0100;
}

std::string Resource(const std::string& queue) {
    return "/printers/" + queue;
}

const char* TextOf(ipp_t* answer, const char* name) {
    ipp_attribute_t* found = ippFindAttribute(answer, name, IPP_TAG_ZERO);
    return found ? ippGetString(found, 0, nullptr) : nullptr;
}

}  // namespace

ipp_t* QueueRequest(ipp_op_t operation, const std::string& queue) {
    ipp_t* request = ippNewRequest(operation);
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(),
                     "/printers/%s", queue.c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    return request;
}

bool IsCupsQueueName(std::string_view name) {
    return !name.empty() && name.size() < 128 && std::ranges::all_of(name, [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte > ' ' && byte < 0x7f &&
               std::string_view("/\\?'\"#@%").find(c) == std::string_view::npos;
    });
}

SpoolError CupsUnreachableError() {
    return SpoolError(
        "the CUPS print server (" + CupsServerName() + ") is not running or can't be reached",
        SpoolError::Kind::Unreachable);
}

SpoolError CupsRequestError() {
    ipp_status_t status = cupsLastError();
    if (status == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE) return CupsUnreachableError();
    const char* text = cupsLastErrorString();
    return SpoolError(std::string("the CUPS print server says: ") +
                      (text && *text ? text : ippErrorString(status)));
}

std::optional<QueueFacts> AskQueue(http_t* http, const std::string& name) {
    if (!IsCupsQueueName(name)) return std::nullopt;
    static const char* const kWanted[] = {"printer-name", "device-uri", "printer-uri-supported",
                                          "printer-is-accepting-jobs", "printer-type"};
    ipp_t* request = QueueRequest(IPP_OP_GET_PRINTER_ATTRIBUTES, name);
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  std::size(kWanted), nullptr, kWanted);
    ipp_t* answer = cupsDoRequest(http, request, "/");
    const ipp_status_t status = cupsLastError();
    std::optional<QueueFacts> facts;
    const char* queue = TextOf(answer, "printer-name");
    ipp_attribute_t* type = ippFindAttribute(answer, "printer-type", IPP_TAG_ENUM);
    if (Succeeded(status) && queue && !(type && ippGetInteger(type, 0) & CUPS_PRINTER_DISCOVERED)) {
        const char* uri = TextOf(answer, "device-uri");
        if (!uri) uri = TextOf(answer, "printer-uri-supported");
        ipp_attribute_t* accepting =
            ippFindAttribute(answer, "printer-is-accepting-jobs", IPP_TAG_BOOLEAN);
        facts = QueueFacts{{queue, uri ? WithoutCredentials(uri) : std::string()},
                           !accepting || ippGetBoolean(accepting, 0)};
    }
    ippDelete(answer);
    if (!Succeeded(status) && status != IPP_STATUS_ERROR_NOT_FOUND) throw CupsRequestError();
    return facts;
}

bool AnyQueue(http_t* http) {
    ipp_t* request = ippNewRequest(IPP_OP_CUPS_GET_PRINTERS);
    ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "limit", 1);
    // The queues of the scheduler's own, as the full listing takes them.
    ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_ENUM, "printer-type", 0);
    ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_ENUM, "printer-type-mask",
                  CUPS_PRINTER_DISCOVERED);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr,
                 "printer-name");
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    ipp_t* answer = cupsDoRequest(http, request, "/");
    const bool any = ippFindAttribute(answer, "printer-name", IPP_TAG_NAME) != nullptr;
    ippDelete(answer);
    const ipp_status_t status = cupsLastError();
    if (!Succeeded(status) && status != IPP_STATUS_ERROR_NOT_FOUND) throw CupsRequestError();
    return any;
}

std::vector<QueueFacts> ListQueues(http_t* http) {
    static const char* const kWanted[] = {"printer-name", "device-uri", "printer-uri-supported",
                                          "printer-is-accepting-jobs"};
    ipp_t* request = ippNewRequest(IPP_OP_CUPS_GET_PRINTERS);
    // The queues of the scheduler's own: printers found on the network are left out, whose
    // browsing would cost a quarter of a second for every listing.
    ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_ENUM, "printer-type", 0);
    ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_ENUM, "printer-type-mask",
                  CUPS_PRINTER_DISCOVERED);
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  std::size(kWanted), nullptr, kWanted);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    ipp_t* answer = cupsDoRequest(http, request, "/");
    const ipp_status_t status = cupsLastError();
    std::vector<QueueFacts> queues;
    // Each queue's attributes are a group of their own, ended by a separator (no name).
    QueueFacts queue;
    std::string device, supported;
    auto endOfQueue = [&] {
        if (!queue.printer.deviceName.empty()) {
            const std::string& uri = device.empty() ? supported : device;
            queue.printer.port = uri.empty() ? std::string() : WithoutCredentials(uri);
            queues.push_back(std::move(queue));
        }
        queue = {};
        device.clear();
        supported.clear();
    };
    for (ipp_attribute_t* at = ippFirstAttribute(answer); at; at = ippNextAttribute(answer)) {
        const char* name = ippGetName(at);
        if (!name) {
            endOfQueue();
            continue;
        }
        const std::string_view attribute(name);
        const char* text =
            ippGetValueTag(at) == IPP_TAG_BOOLEAN ? nullptr : ippGetString(at, 0, nullptr);
        if (attribute == "printer-name" && text) {
            queue.printer.deviceName = text;
        } else if (attribute == "device-uri" && text) {
            device = text;
        } else if (attribute == "printer-uri-supported" && text) {
            supported = text;
        } else if (attribute == "printer-is-accepting-jobs") {
            queue.accepting = ippGetBoolean(at, 0);
        }
    }
    endOfQueue();
    ippDelete(answer);
    if (!Succeeded(status) && status != IPP_STATUS_ERROR_NOT_FOUND) throw FailedRequestError(http);
    return queues;
}

SpoolError FailedRequestError(http_t* http) {
    const int error = http ? httpError(http) : 0;
    if (error == EAGAIN || error == EWOULDBLOCK || error == ETIMEDOUT) {
        return SpoolError("the print server at " + CupsServerName() + " does not answer",
                          SpoolError::Kind::Unreachable);
    }
    return CupsRequestError();
}

int CreateJob(http_t* http, const std::string& queue, const std::string& title) {
    ipp_t* request = QueueRequest(IPP_OP_CREATE_JOB, queue);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr, title.c_str());
    ipp_t* answer = cupsDoRequest(http, request, Resource(queue).c_str());
    ipp_attribute_t* id = ippFindAttribute(answer, "job-id", IPP_TAG_INTEGER);
    const int jobId = Succeeded(cupsLastError()) && id ? ippGetInteger(id, 0) : 0;
    ippDelete(answer);
    return jobId;
}

http_status_t StartDocument(http_t* http, const std::string& queue, int jobId,
                            const std::string& title) {
    ipp_t* request = QueueRequest(IPP_OP_SEND_DOCUMENT, queue);
    ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", jobId);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "document-name", nullptr, title.c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_MIMETYPE, "document-format", nullptr,
                 CUPS_FORMAT_RAW);
    ippAddBoolean(request, IPP_TAG_OPERATION, "last-document", 1);
    const http_status_t status =
        cupsSendRequest(http, request, Resource(queue).c_str(), CUPS_LENGTH_VARIABLE);
    ippDelete(request);
    return status;
}

std::optional<ipp_jstate_t> JobStateIn(ipp_t* answer) {
    if (ipp_attribute_t* found = ippFindAttribute(answer, "job-state", IPP_TAG_ENUM)) {
        return static_cast<ipp_jstate_t>(ippGetInteger(found, 0));
    }
    return std::nullopt;
}

ipp_t* NewJobRequest(ipp_op_t operation, int jobId) {
    ipp_t* request = ippNewRequest(operation);
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(),
                     "/jobs/%d", jobId);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    return request;
}

std::optional<ipp_jstate_t> AskJobState(http_t* http, int jobId) {
    ipp_t* request = NewJobRequest(IPP_OP_GET_JOB_ATTRIBUTES, jobId);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr,
                 "job-state");
    ipp_t* answer = cupsDoRequest(http, request, "/jobs/");
    const auto state = JobStateIn(answer);
    ippDelete(answer);
    return state;
}

}  // namespace vantrel
