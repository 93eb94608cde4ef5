#include "platform/cups/cups_printer_system.h"

#include <cups/cups.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "platform/backends.h"
#include "platform/cups/cups_job_status.h"
#include "platform/cups/cups_link.h"
#include "platform/cups/cups_requests.h"
#include "platform/cups/ipp_text.h"
#include "text/runtime_text.h"

namespace vantrel {

namespace {

constexpr int kConnectTimeoutMs = 30000;
// A scheduler that neither takes nor answers anything for this long counts as gone.
constexpr double kStallSeconds = 60.0;
// Withdrawing a job is worth a shorter wait: it runs after a failure already; shorter still once
// a request to stop came, for a scheduler that may never answer.
constexpr int kCancelConnectTimeoutMs = 5000;
constexpr double kCancelStallSeconds = 10.0;
constexpr double kStoppingCancelStallSeconds = 2.0;

bool Succeeded(ipp_status_t status) {
    return static_cast<int>(status) < 0x0100;
}

// Why the scheduler created no job. It says "not possible" when it holds as many jobs as it may
// ("Too many active jobs", a user's or a printer's quota): that passes once some have printed.
// The reason is then the scheduler's own words, as a clause ("too many active jobs").
SpoolError JobRefusal() {
    const ipp_status_t status = cupsLastError();
    if (status != IPP_STATUS_ERROR_TOO_MANY_JOBS && status != IPP_STATUS_ERROR_NOT_POSSIBLE) {
        return CupsRequestError();
    }
    const char* text = cupsLastErrorString();
    std::string words = text && *text ? text : ippErrorString(status);
    while (!words.empty() && words.back() == '.') words.pop_back();
    if (!words.empty() && words[0] >= 'A' && words[0] <= 'Z') words[0] += 'a' - 'A';
    return SpoolError(words, SpoolError::Kind::Busy);
}

// Cancel-Job for a scheduler that may read it only after this process has gone (frozen, say,
// while a stop request ends the run). libcups would wait for a "100 Continue" and, on a local
// socket, for a refusal before it sends the user's credentials; a scheduler that finds the client
// gone when it answers drops the request. So the request goes whole at once, credentials
// included, and the answer is awaited only for the connection's stall time. False when the
// scheduler answered with a refusal, which libcups's own request may overcome by authenticating.
bool CancelUnattended(http_t* http, int jobId) {
    ipp_t* request = NewJobRequest(IPP_OP_CANCEL_JOB, jobId);
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
            throw CupsRequestError();
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
    QueueFacts facts;
    std::shared_ptr<KeptLink> link;
    StopSignals* stop = nullptr;  // ends the job's waits; none: only the stall time does
};

// One job of one raw document, on a connection that serves it alone while the document is open:
// closing that connection is what breaks off a document half sent, and the job is withdrawn over
// a second one. Once the scheduler has answered for the whole document, the connection is kept
// for the next request.
class CupsJob : public RawJob {
  public:
    explicit CupsJob(std::shared_ptr<const Destination> destination)
        : destination_(std::move(destination)) {}
    CupsJob(const CupsJob&) = delete;
    CupsJob& operator=(const CupsJob&) = delete;
    ~CupsJob() override { cancel(); }

    // Creates the job alone: its document begins with the first write, so that the caller can
    // note the job's number before any byte of it is sent.
    void start(const std::string& title) {
        watch_ = {destination_->stop, kStallSeconds};
        http_ = destination_->link->take(kConnectTimeoutMs, watch_);
        if (!http_) throw CupsUnreachableError();
        jobId_ = CreateJob(http_, queue(), title);
        if (jobId_ <= 0) fail(JobRefusal());
        title_ = title;
        writing_ = true;
    }

    void write(const char* data, std::size_t n) override {
        if (!writing_) throw SpoolError("the print job is already closed");
        if (n == 0) return;
        beginDocument();
        if (watch_.stop && watch_.stop->requested()) fail(StoppedError());
        watch_.silentFor = 0;
        http_status_t status = cupsWriteRequestData(http_, data, n);
        if (status != HTTP_STATUS_CONTINUE) fail(TransferError(status));
    }

    void finish() override {
        if (!writing_) throw SpoolError("the print job is already closed");
        beginDocument();
        // When the document's last chunk cannot be written libcups returns no answer and leaves
        // the last error as it was (a success), so a scheduler that died after the last write
        // would count as done without this look at the answer.
        ipp_t* answer = cupsGetResponse(http_, Resource().c_str());
        const bool answered = answer != nullptr;
        // The answer tells the job's state: a job cancelled by someone else while its document
        // was sent is taken all the same, with success, yet nothing prints.
        std::optional<ipp_jstate_t> state = JobStateIn(answer);
        ippDelete(answer);
        if (!answered) fail(TransferError(HTTP_STATUS_ERROR));
        if (!Succeeded(cupsLastError())) fail(CupsRequestError());
        writing_ = false;
        done_ = true;
        if (!state) state = AskJobState(http_, jobId_);
        if (state == IPP_JSTATE_CANCELED || state == IPP_JSTATE_ABORTED) {
            httpClose(http_);
            http_ = nullptr;
            throw SpoolError("job " + std::to_string(jobId_) + " on " + queue() + " was " +
                             (state == IPP_JSTATE_CANCELED ? "cancelled" : "aborted"));
        }
        destination_->link->keep(std::exchange(http_, nullptr));
    }

    int id() const override { return jobId_; }

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
                    cupsCancelJob2(second, queue().c_str(), jobId_, 0);
                }
                httpClose(second);
            }
        }
        if (http_) httpClose(http_);
        http_ = nullptr;
    }

  private:
    void beginDocument() {
        if (documentBegun_) return;
        documentBegun_ = true;
        const http_status_t started = StartDocument(http_, queue(), jobId_, title_);
        if (started != HTTP_STATUS_CONTINUE) fail(TransferError(started));
    }

    const std::string& queue() const { return destination_->facts.printer.deviceName; }
    std::string Resource() const { return "/printers/" + queue(); }
    bool Stopping() const { return watch_.stop && watch_.stop->requested(); }

    SpoolError StoppedError() const {
        if (Stopping()) {
            return SpoolError("a request to stop came while the document was sent",
                              SpoolError::Kind::Unreachable);
        }
        return TransferError(HTTP_STATUS_ERROR);
    }

    SpoolError TransferError(http_status_t status) const {
        if (status == HTTP_STATUS_ERROR) {
            int error = httpError(http_);
            if (error == EAGAIN || error == EWOULDBLOCK || error == ETIMEDOUT) {
                return SpoolError(
                    "the CUPS print server (" + CupsServerName() + ") stopped responding",
                    SpoolError::Kind::Unreachable);
            }
            return SpoolError(
                "the connection to the CUPS print server (" + CupsServerName() + ") broke" +
                    (error ? std::string(": ") + std::strerror(error) : std::string()),
                SpoolError::Kind::Unreachable);
        }
        // The scheduler answered before it took all of the document; read why.
        ippDelete(cupsGetResponse(http_, "/"));
        if (!Succeeded(cupsLastError())) return CupsRequestError();
        return SpoolError("the CUPS print server refused the document (HTTP " +
                          std::to_string(status) + " " + httpStatus(status) + ")");
    }

    [[noreturn]] void fail(const SpoolError& error) {
        cancel();
        throw error;
    }

    std::shared_ptr<const Destination> destination_;
    StallWatch watch_;  // of http_, which points to it
    http_t* http_ = nullptr;
    int jobId_ = 0;
    std::string title_;
    bool documentBegun_ = false;
    bool writing_ = false;  // the document is open for data
    bool done_ = false;     // finished or cancelled
};

class CupsConnection : public PrinterConnection {
  public:
    explicit CupsConnection(std::shared_ptr<const Destination> destination)
        : destination_(std::move(destination)) {}

    void checkAcceptingJobs() override {
        if (!destination_->facts.accepting) {
            throw SpoolError("the printer " + destination_->facts.printer.deviceName +
                             " is not accepting jobs");
        }
    }

    std::unique_ptr<RawJob> startDocument(const std::string& documentName) override {
        auto job = std::make_unique<CupsJob>(destination_);
        job->start(IppName(documentName));
        return job;
    }

  private:
    std::shared_ptr<const Destination> destination_;
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

    bool anyPrinters() override {
        return asked([](http_t* http) { return AnyQueue(http); });
    }

    std::optional<Printer> printerNamed(const std::string& name) override {
        auto facts = named(name);
        // Its selection string is its own alone: queue names hold no blanks, so no other
        // queue's name and device can spell it.
        if (!facts || UCase(facts->printer.deviceName) != UCase(name)) return std::nullopt;
        return facts->printer;
    }

    std::unique_ptr<PrinterConnection> openPrinter(const std::string& deviceName) override {
        auto facts = IsCupsQueueName(deviceName) ? named(deviceName) : listed(deviceName);
        if (!facts) return nullptr;
        return std::make_unique<CupsConnection>(
            std::make_shared<const Destination>(Destination{*facts, link_, stop_}));
    }

    // A job's number is the scheduler's own, whatever its queue: its URI names it alone.
    JobStatus jobStatus(const std::string&, int jobId) override {
        return asked([&](http_t* http) { return AskJobStatus(http, jobId); });
    }

    JobFacts jobFacts(const std::string&, int jobId) override {
        return asked([&](http_t* http) { return AskJobFacts(http, jobId); });
    }

    std::vector<int> ownJobsWithoutDocument(const std::string& deviceName,
                                            const std::string& documentName) override {
        return asked([&](http_t* http) {
            return AskOwnJobsWithoutDocument(http, deviceName, documentName);
        });
    }

    void cancelJob(const std::string& deviceName, int jobId) override {
        asked([&](http_t* http) {
            if (cupsCancelJob2(http, deviceName.c_str(), jobId, 0) == IPP_STATUS_OK) return 0;
            // A job that ended or went meanwhile needs no withdrawing.
            const ipp_status_t status = cupsLastError();
            if (status == IPP_STATUS_ERROR_NOT_POSSIBLE || status == IPP_STATUS_ERROR_NOT_FOUND)
                return 0;
            throw CupsRequestError();
        });
    }

  private:
    // One request over the kept connection; it is kept again once the request was answered.
    template <typename Request>
    std::invoke_result_t<Request, http_t*> asked(Request request) {
        StallWatch watch{stop_, kStallSeconds};
        http_t* http = link_->take(kConnectTimeoutMs, watch);
        if (!http) throw CupsUnreachableError();
        try {
            auto answer = request(http);
            link_->keep(http);
            return answer;
        } catch (const SpoolError&) {
            httpClose(http);
            throw;
        }
    }

    // The queue asked for by its name; the answer serves the print that follows at once (the
    // batch print asks for the printer, then opens it) as the listing does.
    std::optional<QueueFacts> named(const std::string& name) {
        const auto now = std::chrono::steady_clock::now();
        const std::string key = UCase(name) + '\n' + CupsServerName();
        if (!asked_ || askedKey_ != key || now - askedAt_ >= kFreshFor) {
            asked_.reset();
            auto facts = asked([&](http_t* http) { return AskQueue(http, name); });
            if (!facts) return std::nullopt;
            asked_ = std::move(facts);
            askedKey_ = key;
            askedAt_ = now;
        }
        return asked_;
    }

    // The queue in the listing, for names that are never asked for by themselves.
    std::optional<QueueFacts> listed(const std::string& name) {
        auto list = destinations();
        const cups_dest_t* dest = cupsGetDest(name.c_str(), nullptr, list->count, list->dests);
        if (!dest) return std::nullopt;
        const char* accepting =
            cupsGetOption("printer-is-accepting-jobs", dest->num_options, dest->options);
        return QueueFacts{{dest->name, PortOf(*dest)},
                          !accepting || std::string_view(accepting) != "false"};
    }

    // A print asks for the list several times within a few milliseconds (the printer check at
    // start-up, the default, the name match, the print job's own lookup); one listing serves
    // them all while it is fresh. A failed listing is never kept.
    static constexpr std::chrono::milliseconds kFreshFor{1000};

    std::shared_ptr<DestList> destinations() {
        const auto now = std::chrono::steady_clock::now();
        const std::string server = CupsServerName();
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
    std::shared_ptr<KeptLink> link_ = std::make_shared<KeptLink>();
    std::optional<QueueFacts> asked_;
    std::string askedKey_;
    std::chrono::steady_clock::time_point askedAt_;
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
