#include "platform/cups/cups_printer_system.h"

#include <cups/cups.h>
#include <sys/socket.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/backends.h"
#include "platform/cups/ipp_text.h"

namespace vantrel {

namespace {

constexpr int kConnectTimeoutMs = 30000;
// A scheduler that neither takes nor answers anything for this long counts as gone.
constexpr double kStallSeconds = 60.0;
// Withdrawing a job is worth a shorter wait: it runs after a failure already.
constexpr int kCancelConnectTimeoutMs = 5000;
constexpr double kCancelStallSeconds = 10.0;

bool Succeeded(ipp_status_t status) {
    return static_cast<int>(status) < 0x0100;
}

std::string ServerName() {
    const char* server = cupsServer();
    return server && *server ? server : "localhost";
}

std::string Unreachable() {
    return "the CUPS print server (" + ServerName() + ") is not running or can't be reached";
}

SpoolError UnreachableError() {
    return SpoolError(Unreachable(), SpoolError::Kind::Unreachable);
}

// Why the last libcups request failed, in words for the user.
SpoolError LastRequestError() {
    ipp_status_t status = cupsLastError();
    if (status == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE) return UnreachableError();
    const char* text = cupsLastErrorString();
    return SpoolError(std::string("the CUPS print server says: ") +
                      (text && *text ? text : ippErrorString(status)));
}

// Why the scheduler created no job. It says "not possible" when it holds as many jobs as it may
// ("Too many active jobs", a user's or a printer's quota): that passes once some have printed,
// as a spooler that went away comes back.
SpoolError JobRefusal() {
    const ipp_status_t status = cupsLastError();
    SpoolError error = LastRequestError();
    if (status != IPP_STATUS_ERROR_TOO_MANY_JOBS && status != IPP_STATUS_ERROR_NOT_POSSIBLE) {
        return error;
    }
    return SpoolError(error.what(), SpoolError::Kind::Unreachable);
}

// The job's state as the scheduler tells it now; nothing when it cannot tell (a finished job
// that it no longer lists, say).
std::optional<ipp_jstate_t> JobState(http_t* http, int jobId) {
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(),
                     "/jobs/%d", jobId);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr,
                 "job-state");
    ipp_t* answer = cupsDoRequest(http, request, "/jobs/");
    std::optional<ipp_jstate_t> state;
    if (ipp_attribute_t* found = ippFindAttribute(answer, "job-state", IPP_TAG_ENUM)) {
        state = static_cast<ipp_jstate_t>(ippGetInteger(found, 0));
    }
    ippDelete(answer);
    return state;
}

// Called when the scheduler has been silent for the stall time: give up. (Without a callback
// libcups would give up on a read but wait for ever on a write.)
int GiveUp(http_t*, void*) {
    return 0;
}

// A new connection to the scheduler, or nullptr. cupsServer() may be a host or the path of a
// unix socket; httpConnect2 takes both. (libcups ignores SIGPIPE for the process, so a scheduler
// that goes away shows as a failed write, not as the end of the program.)
http_t* ConnectToScheduler(int connectTimeoutMs, double stallSeconds) {
    http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                                connectTimeoutMs, nullptr);
    if (http) httpSetTimeout(http, stallSeconds, GiveUp, nullptr);
    return http;
}

// While a request to stop is awaited, the job's connection looks up this often: a scheduler that
// does not answer then gives up the wait at once, and the document is withdrawn. Withdrawing
// it then waits briefly, for a scheduler that may never answer.
constexpr double kStopCheckSeconds = 0.25;
constexpr double kStoppingCancelStallSeconds = 2.0;

// How long a connection has waited in vain, and whether a request to stop ends the wait.
struct StallWatch {
    StopSignals* stop = nullptr;
    double stallSeconds = kStallSeconds;
    double silentFor = 0;
};

int KeepWaiting(http_t*, void* data) {
    auto* watch = static_cast<StallWatch*>(data);
    watch->silentFor += kStopCheckSeconds;
    return !(watch->stop && watch->stop->requested()) && watch->silentFor < watch->stallSeconds;
}

// ConnectToScheduler, with waits that a request to stop ends.
http_t* ConnectWatched(int connectTimeoutMs, StallWatch& watch) {
    if (!watch.stop) return ConnectToScheduler(connectTimeoutMs, watch.stallSeconds);
    http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                                connectTimeoutMs, nullptr);
    if (http) httpSetTimeout(http, kStopCheckSeconds, KeepWaiting, &watch);
    return http;
}

// Cancel-Job for a scheduler that may read it only after this process has gone (frozen, say,
// while a stop request ends the run). libcups would wait for a "100 Continue" and, on a local
// socket, for a refusal before it sends the user's credentials; a scheduler that finds the client
// gone when it answers drops the request. So the request goes whole at once, credentials
// included, and the answer is awaited only for the connection's stall time. False when the
// scheduler answered with a refusal, which libcups's own request may overcome by authenticating.
bool CancelUnattended(http_t* http, int jobId) {
    ipp_t* request = ippNewRequest(IPP_OP_CANCEL_JOB);
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(),
                     "/jobs/%d", jobId);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    httpClearFields(http);
    httpSetField(http, HTTP_FIELD_CONTENT_TYPE, "application/ipp");
    httpSetLength(http, ippLength(request));
    if (httpAddrFamily(httpGetAddress(http)) == AF_LOCAL) {
        httpSetAuthString(http, "PeerCred", cupsUser());
    }
    ipp_state_t state = IPP_STATE_IDLE;
    if (httpPost(http, "/jobs/") == 0) {
        do {
            state = ippWrite(http, request);
        } while (state != IPP_STATE_DATA && state != IPP_STATE_ERROR);
    }
    ippDelete(request);
    if (state != IPP_STATE_DATA || httpFlushWrite(http) < 0) return false;
    ipp_t* answer = cupsGetResponse(http, "/jobs/");
    const int error = httpError(http);
    const bool silent = error == EAGAIN || error == EWOULDBLOCK || error == ETIMEDOUT;
    const bool cancelled = answer && Succeeded(ippGetStatusCode(answer));
    ippDelete(answer);
    return cancelled || silent;
}

// The destinations libcups knows, freed with the list.
struct DestList {
    cups_dest_t* dests = nullptr;
    int count = 0;

    DestList() = default;
    DestList(const DestList&) = delete;
    DestList& operator=(const DestList&) = delete;
    ~DestList() { cupsFreeDests(count, dests); }

    cups_dest_t* begin() const { return dests; }
    cups_dest_t* end() const { return dests + count; }
};

int CollectDestination(void* list, unsigned flags, cups_dest_t* dest) {
    auto* destinations = static_cast<DestList*>(list);
    if (!(flags & CUPS_DEST_FLAGS_REMOVED)) {
        destinations->count = cupsCopyDest(dest, destinations->count, &destinations->dests);
    }
    return 1;
}

// Asks the scheduler for its queues; "none" is an empty list, an unreachable or refusing
// scheduler a SpoolError. Only the scheduler's own queues: the type mask leaves out printers
// found by DNS-SD, whose browsing would cost a quarter of a second for every listing.
std::shared_ptr<DestList> GetDestinations() {
    auto list = std::make_shared<DestList>();
    cupsEnumDests(CUPS_DEST_FLAGS_NONE, 0, nullptr, 0, CUPS_PRINTER_DISCOVERED, CollectDestination,
                  list.get());
    if (list->count == 0) {
        ipp_status_t status = cupsLastError();
        if (!Succeeded(status) && status != IPP_STATUS_ERROR_NOT_FOUND) {
            throw LastRequestError();
        }
    }
    return list;
}

// The queue's device URI, which may carry a password; never shown with it.
std::string PortOf(const cups_dest_t& dest) {
    const char* uri = cupsGetOption("device-uri", dest.num_options, dest.options);
    if (!uri) uri = cupsGetOption("printer-uri-supported", dest.num_options, dest.options);
    return uri ? WithoutCredentials(uri) : std::string();
}

// One queue with what the scheduler told about it; shared by its connection and its jobs.
struct Destination {
    std::shared_ptr<DestList> list;  // owns dest
    cups_dest_t* dest = nullptr;
    cups_dinfo_t* info = nullptr;
    StopSignals* stop = nullptr;  // ends the job's waits; none: only the stall time does

    Destination(std::shared_ptr<DestList> owner, cups_dest_t* queue, cups_dinfo_t* details)
        : list(std::move(owner)), dest(queue), info(details) {}
    Destination(const Destination&) = delete;
    Destination& operator=(const Destination&) = delete;
    ~Destination() { cupsFreeDestInfo(info); }
};

// One job of one raw document, on a connection of its own: closing that connection is what
// breaks off a document half sent, and the job is withdrawn over a second one.
class CupsJob : public RawJob {
  public:
    explicit CupsJob(std::shared_ptr<Destination> destination)
        : destination_(std::move(destination)) {}
    CupsJob(const CupsJob&) = delete;
    CupsJob& operator=(const CupsJob&) = delete;
    ~CupsJob() override { cancel(); }

    void start(const std::string& title) {
        watch_.stop = destination_->stop;
        http_ = ConnectWatched(kConnectTimeoutMs, watch_);
        if (!http_) throw UnreachableError();
        ipp_status_t created =
            cupsCreateDestJob(http_, dest(), info(), &jobId_, title.c_str(), 0, nullptr);
        if (!Succeeded(created) || jobId_ <= 0) fail(JobRefusal());
        http_status_t started = cupsStartDestDocument(http_, dest(), info(), jobId_, title.c_str(),
                                                      CUPS_FORMAT_RAW, 0, nullptr, 1);
        if (started != HTTP_STATUS_CONTINUE) fail(TransferError(started));
        writing_ = true;
    }

    void write(const char* data, std::size_t n) override {
        if (!writing_) throw SpoolError("the print job is already closed");
        if (n == 0) return;
        if (watch_.stop && watch_.stop->requested()) fail(StoppedError());
        watch_.silentFor = 0;
        http_status_t status = cupsWriteRequestData(http_, data, n);
        if (status != HTTP_STATUS_CONTINUE) fail(TransferError(status));
    }

    void finish() override {
        if (!writing_) throw SpoolError("the print job is already closed");
        // What cupsFinishDestDocument does, but with a look at the answer: when the document's
        // last chunk cannot be written libcups returns no answer and leaves the last error as it
        // was (a success), so a scheduler that died after the last write would count as done.
        const std::string resource = std::string("/printers/") + dest()->name;
        ipp_t* answer = cupsGetResponse(http_, resource.c_str());
        const bool answered = answer != nullptr;
        ippDelete(answer);
        if (!answered) fail(TransferError(HTTP_STATUS_ERROR));
        if (!Succeeded(cupsLastError())) fail(LastRequestError());
        writing_ = false;
        done_ = true;
        checkNotWithdrawn();
        httpClose(http_);
        http_ = nullptr;
    }

    void cancel() noexcept override {
        if (done_) return;
        done_ = true;
        writing_ = false;
        if (jobId_ > 0) {
            // Not over the job's own connection: a request there would end the document
            // and release it for printing.
            StallWatch briefly{nullptr,
                               Stopping() ? kStoppingCancelStallSeconds : kCancelStallSeconds};
            if (http_t* second = ConnectWatched(kCancelConnectTimeoutMs, briefly)) {
                if (!Stopping() || !CancelUnattended(second, jobId_)) {
                    cupsCancelDestJob(second, dest(), jobId_);
                }
                httpClose(second);
            }
        }
        if (http_) httpClose(http_);
        http_ = nullptr;
    }

  private:
    // A job cancelled by someone else while its document was sent: the scheduler takes the rest
    // of the document all the same and answers with success, yet nothing prints.
    void checkNotWithdrawn() {
        const auto state = JobState(http_, jobId_);
        if (state != IPP_JSTATE_CANCELED && state != IPP_JSTATE_ABORTED) return;
        httpClose(http_);
        http_ = nullptr;
        throw SpoolError("job " + std::to_string(jobId_) + " on " + dest()->name + " was " +
                         (state == IPP_JSTATE_CANCELED ? "cancelled" : "aborted"));
    }

    cups_dest_t* dest() const { return destination_->dest; }
    bool Stopping() const { return watch_.stop && watch_.stop->requested(); }

    SpoolError StoppedError() const {
        if (Stopping()) {
            return SpoolError("a request to stop came while the document was sent",
                              SpoolError::Kind::Unreachable);
        }
        return TransferError(HTTP_STATUS_ERROR);
    }
    cups_dinfo_t* info() const { return destination_->info; }

    SpoolError TransferError(http_status_t status) const {
        if (status == HTTP_STATUS_ERROR) {
            int error = httpError(http_);
            if (error == EAGAIN || error == EWOULDBLOCK || error == ETIMEDOUT) {
                return SpoolError("the CUPS print server (" + ServerName() + ") stopped responding",
                                  SpoolError::Kind::Unreachable);
            }
            return SpoolError(
                "the connection to the CUPS print server (" + ServerName() + ") broke" +
                    (error ? std::string(": ") + std::strerror(error) : std::string()),
                SpoolError::Kind::Unreachable);
        }
        // The scheduler answered before it took all of the document; read why.
        ippDelete(cupsGetResponse(http_, "/"));
        if (!Succeeded(cupsLastError())) return LastRequestError();
        return SpoolError("the CUPS print server refused the document (HTTP " +
                          std::to_string(status) + " " + httpStatus(status) + ")");
    }

    [[noreturn]] void fail(const SpoolError& error) {
        cancel();
        throw error;
    }

    std::shared_ptr<Destination> destination_;
    StallWatch watch_;  // of http_, which points to it
    http_t* http_ = nullptr;
    int jobId_ = 0;
    bool writing_ = false;  // the document is open for data
    bool done_ = false;     // finished or cancelled
};

class CupsConnection : public PrinterConnection {
  public:
    explicit CupsConnection(std::shared_ptr<Destination> destination)
        : destination_(std::move(destination)) {}

    void checkAcceptingJobs() override {
        const cups_dest_t* dest = destination_->dest;
        const char* accepting =
            cupsGetOption("printer-is-accepting-jobs", dest->num_options, dest->options);
        if (accepting && std::string_view(accepting) == "false") {
            throw SpoolError(std::string("the printer ") + dest->name + " is not accepting jobs");
        }
    }

    std::unique_ptr<RawJob> startDocument(const std::string& documentName) override {
        auto job = std::make_unique<CupsJob>(destination_);
        job->start(IppName(documentName));
        return job;
    }

  private:
    std::shared_ptr<Destination> destination_;
};

class CupsPrinterSystem : public PrinterSystem {
  public:
    explicit CupsPrinterSystem(StopSignals* stop = nullptr) : stop_(stop) {}

    std::vector<Printer> printers() override {
        auto list = destinations();
        std::vector<Printer> result;
        for (const cups_dest_t& dest : *list) {
            if (!dest.instance) result.push_back({dest.name, PortOf(dest)});
        }
        return result;
    }

    std::optional<std::string> defaultPrinterEntry() override {
        auto list = destinations();
        for (const cups_dest_t& dest : *list) {
            if (dest.is_default) return Entry(dest);
        }
        // The default may be an instance ("queue/instance") of a queue, which the listing
        // doesn't mark; then the printer is its queue.
        if (cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, nullptr, nullptr)) {
            std::optional<std::string> entry;
            if (cupsGetDest(dest->name, nullptr, list->count, list->dests)) entry = Entry(*dest);
            cupsFreeDests(1, dest);
            return entry;
        }
        return std::nullopt;
    }

    std::unique_ptr<PrinterConnection> openPrinter(const std::string& deviceName) override {
        auto list = destinations();
        cups_dest_t* dest = cupsGetDest(deviceName.c_str(), nullptr, list->count, list->dests);
        if (!dest) return nullptr;
        cups_dinfo_t* info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest);
        if (!info) {
            if (cupsLastError() == IPP_STATUS_ERROR_NOT_FOUND) return nullptr;  // just removed
            throw LastRequestError();
        }
        auto destination = std::make_shared<Destination>(std::move(list), dest, info);
        destination->stop = stop_;
        return std::make_unique<CupsConnection>(std::move(destination));
    }

  private:
    // A print asks for the list several times within a few milliseconds (the printer check at
    // start-up, the default, the name match, the print job's own lookup); one listing serves
    // them all while it is fresh. A failed listing is never kept.
    static constexpr std::chrono::milliseconds kFreshFor{1000};

    std::shared_ptr<DestList> destinations() {
        const auto now = std::chrono::steady_clock::now();
        const std::string server = ServerName();
        if (!listed_ || server != listedServer_ || now - listedAt_ >= kFreshFor) {
            listed_.reset();
            listed_ = GetDestinations();
            listedAt_ = now;
            listedServer_ = server;
        }
        return listed_;
    }

    static std::string Entry(const cups_dest_t& dest) {
        return std::string(dest.name) + ",cups," + PortOf(dest);
    }

    StopSignals* stop_;
    std::shared_ptr<DestList> listed_;
    std::chrono::steady_clock::time_point listedAt_;
    std::string listedServer_;
};

}  // namespace

std::unique_ptr<PrinterSystem> MakeCupsPrinterSystem() {
    return std::make_unique<CupsPrinterSystem>();
}

std::unique_ptr<PrinterSystem> MakeSystemPrinterSystem() {
    return MakeCupsPrinterSystem();
}

std::unique_ptr<PrinterSystem> MakeSystemPrinterSystem(StopSignals& stop) {
    return std::make_unique<CupsPrinterSystem>(&stop);
}

}  // namespace vantrel
