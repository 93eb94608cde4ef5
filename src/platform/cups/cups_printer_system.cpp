#include "platform/cups/cups_printer_system.h"

#include <cups/cups.h>

#include <atomic>
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

// A request to stop from outside (the service's signals), or the owner's giving up on waits:
// either ends every wait of the system's connections.
class GiveUpOrStop : public StopSignals {
  public:
    explicit GiveUpOrStop(StopSignals* outer) : outer_(outer) {}
    void giveUp() { givenUp_ = true; }
    bool requested() override { return givenUp_ || (outer_ && outer_->requested()); }
    bool waitFor(std::chrono::milliseconds timeout) override {
        return outer_ ? outer_->waitFor(timeout) || requested() : requested();
    }
    int descriptor() const override { return outer_ ? outer_->descriptor() : -1; }

  private:
    StopSignals* outer_;
    std::atomic<bool> givenUp_ = false;
};

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
                return SpoolError("the print server at " + CupsServerName() + " does not answer",
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

    void giveUpWaits() override { stop_.giveUp(); }

    QueueLook lookAtQueue(const std::string& deviceName, const std::vector<int>& jobIds) override {
        return asked([&](http_t* http) { return AskQueueLook(http, deviceName, jobIds); });
    }

    std::vector<Printer> printers() override {
        std::vector<Printer> result;
        for (const QueueFacts& queue : *queues()) result.push_back(queue.printer);
        return result;
    }

    // The user's default (LPDEST or PRINTER, ~/.cups/lpoptions, then the scheduler's), asked
    // over the system's own connection, so that its waits are bounded and stoppable as every
    // other request's. It may be an instance ("queue/instance"); then the printer is its queue.
    std::optional<std::string> defaultPrinterEntry() override {
        const auto listed = queues();
        return asked([&](http_t* http) -> std::optional<std::string> {
            cups_dest_t* dest = cupsGetNamedDest(http, nullptr, nullptr);
            if (!dest) {
                const ipp_status_t status = cupsLastError();
                if (!Succeeded(status) && status != IPP_STATUS_ERROR_NOT_FOUND) {
                    throw FailedRequestError(http);
                }
                return std::nullopt;
            }
            std::optional<std::string> entry;
            for (const QueueFacts& queue : *listed) {
                if (queue.printer.deviceName == dest->name) {
                    entry = queue.printer.deviceName + ",cups," + queue.printer.port;
                }
            }
            cupsFreeDests(1, dest);
            return entry;
        });
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
            std::make_shared<const Destination>(Destination{*facts, link_, &stop_}));
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
        StallWatch watch{&stop_, kStallSeconds};
        http_t* http = link_->take(kConnectTimeoutMs, watch);
        if (!http) throw CupsUnreachableError();
        try {
            auto answer = request(http);
            link_->keep(http);
            return answer;
        } catch (const SpoolError&) {
            // A scheduler that let the request wait in vain does not answer, whatever the
            // request made of it.
            const SpoolError why = FailedRequestError(http);
            httpClose(http);
            if (why.kind() == SpoolError::Kind::Unreachable) throw why;
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
        const auto list = queues();
        for (const QueueFacts& queue : *list) {
            if (UCase(queue.printer.deviceName) == UCase(name)) return queue;
        }
        return std::nullopt;
    }

    // A print asks for the list several times within a few milliseconds (the printer check at
    // start-up, the default, the name match, the print job's own lookup); one listing serves
    // them all while it is fresh. A failed listing is never kept.
    static constexpr std::chrono::milliseconds kFreshFor{1000};

    std::shared_ptr<const std::vector<QueueFacts>> queues() {
        const auto now = std::chrono::steady_clock::now();
        const std::string server = CupsServerName();
        if (!listed_ || server != listedServer_ || now - listedAt_ >= kFreshFor) {
            listed_.reset();
            listed_ = std::make_shared<const std::vector<QueueFacts>>(
                asked([](http_t* http) { return ListQueues(http); }));
            listedAt_ = now;
            listedServer_ = server;
        }
        return listed_;
    }

    GiveUpOrStop stop_;
    std::shared_ptr<KeptLink> link_ = std::make_shared<KeptLink>();
    std::optional<QueueFacts> asked_;
    std::string askedKey_;
    std::chrono::steady_clock::time_point askedAt_;
    std::shared_ptr<const std::vector<QueueFacts>> listed_;
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
