#include "printing/worker_printer_system.h"

#include <utility>

namespace vantrel {

namespace {

// Hands a spooler object to the worker to be destroyed there, after the calls queued before:
// destroying an unfinished job withdraws it, which is a call like any other.
template <typename Object>
void DestroyOnWorker(SpoolerWorker& worker, std::unique_ptr<Object> object) {
    if (!object) return;
    std::shared_ptr<Object> shared(std::move(object));
    worker.post([shared = std::move(shared)]() mutable { shared.reset(); });
}

class WorkerJob : public RawJob {
  public:
    WorkerJob(WorkerPrinterSystem& system, std::unique_ptr<RawJob> job)
        : system_(system), job_(std::move(job)), id_(job_->id()) {}
    ~WorkerJob() override { DestroyOnWorker(system_.worker(), std::move(job_)); }
    void write(const char* data, std::size_t n) override {
        system_.onWorker([&](PrinterSystem&) { job_->write(data, n); });
    }
    void finish() override {
        system_.onWorker([&](PrinterSystem&) { job_->finish(); });
    }
    void cancel() noexcept override {
        try {
            system_.onWorker([&](PrinterSystem&) { job_->cancel(); });
        } catch (...) {
            // cancel() throws nothing; only a wait that could not be set up would.
        }
    }
    int id() const override { return id_; }

  private:
    WorkerPrinterSystem& system_;
    std::unique_ptr<RawJob> job_;
    int id_;
};

class WorkerConnection : public PrinterConnection {
  public:
    WorkerConnection(WorkerPrinterSystem& system, std::unique_ptr<PrinterConnection> connection)
        : system_(system), connection_(std::move(connection)) {}
    ~WorkerConnection() override { DestroyOnWorker(system_.worker(), std::move(connection_)); }
    void checkAcceptingJobs() override {
        system_.onWorker([&](PrinterSystem&) { connection_->checkAcceptingJobs(); });
    }
    std::unique_ptr<RawJob> startDocument(const std::string& documentName) override {
        auto job = system_.onWorker(
            [&](PrinterSystem&) { return connection_->startDocument(documentName); });
        return std::make_unique<WorkerJob>(system_, std::move(job));
    }

  private:
    WorkerPrinterSystem& system_;
    std::unique_ptr<PrinterConnection> connection_;
};

}  // namespace

WorkerPrinterSystem::WorkerPrinterSystem(PrinterSystem& inner, SpoolerWait& wait)
    : inner_(inner), worker_(std::make_unique<SpoolerWorker>(wait)) {}

// The worker ends after the calls queued: a job dropped last is withdrawn before the program
// goes on.
WorkerPrinterSystem::~WorkerPrinterSystem() = default;

std::vector<Printer> WorkerPrinterSystem::printers() {
    return onWorker([](PrinterSystem& inner) { return inner.printers(); });
}

bool WorkerPrinterSystem::anyPrinters() {
    return onWorker([](PrinterSystem& inner) { return inner.anyPrinters(); });
}

std::optional<Printer> WorkerPrinterSystem::printerNamed(const std::string& name) {
    return onWorker([&](PrinterSystem& inner) { return inner.printerNamed(name); });
}

std::optional<std::string> WorkerPrinterSystem::defaultPrinterEntry() {
    return onWorker([](PrinterSystem& inner) { return inner.defaultPrinterEntry(); });
}

std::unique_ptr<PrinterConnection> WorkerPrinterSystem::openPrinter(const std::string& deviceName) {
    auto connection = onWorker([&](PrinterSystem& inner) { return inner.openPrinter(deviceName); });
    if (!connection) return nullptr;
    return std::make_unique<WorkerConnection>(*this, std::move(connection));
}

JobStatus WorkerPrinterSystem::jobStatus(const std::string& deviceName, int jobId) {
    return onWorker([&](PrinterSystem& inner) { return inner.jobStatus(deviceName, jobId); });
}

JobFacts WorkerPrinterSystem::jobFacts(const std::string& deviceName, int jobId) {
    return onWorker([&](PrinterSystem& inner) { return inner.jobFacts(deviceName, jobId); });
}

std::vector<int> WorkerPrinterSystem::ownJobsWithoutDocument(const std::string& deviceName,
                                                             const std::string& documentName) {
    return onWorker([&](PrinterSystem& inner) {
        return inner.ownJobsWithoutDocument(deviceName, documentName);
    });
}

void WorkerPrinterSystem::cancelJob(const std::string& deviceName, int jobId) {
    onWorker([&](PrinterSystem& inner) {
        inner.cancelJob(deviceName, jobId);
        return true;
    });
}

QueueLook WorkerPrinterSystem::lookAtQueue(const std::string& deviceName,
                                           const std::vector<int>& jobIds) {
    return onWorker([&](PrinterSystem& inner) { return inner.lookAtQueue(deviceName, jobIds); });
}

void WorkerPrinterSystem::giveUpWaits() {
    inner_.giveUpWaits();
}

}  // namespace vantrel
