#include "fakes/fake_printer_system.h"

#include <algorithm>

namespace vantrel::testing {

namespace {

class FakeJob : public RawJob {
  public:
    FakeJob(FakePrinterSystem& system, std::size_t index) : system_(system), index_(index) {}
    ~FakeJob() override { doc().cancelled |= !doc().finished; }
    void write(const char* data, std::size_t n) override {
        system_.answerLate();
        doc().writes.push_back(n);
        doc().data.append(data, n);
    }
    void finish() override {
        system_.answerLate();
        if (system_.finishFails)
            throw SpoolError("job 7 on " + doc().deviceName + " was cancelled");
        doc().finished = true;
        if (system_.afterFinish) system_.afterFinish();
    }
    void cancel() noexcept override { doc().cancelled = true; }
    int id() const override { return static_cast<int>(index_) + 1; }

  private:
    FakeDocument& doc() { return system_.documents[index_]; }
    FakePrinterSystem& system_;
    std::size_t index_;
};

class FakeConnection : public PrinterConnection {
  public:
    FakeConnection(FakePrinterSystem& system, std::string deviceName)
        : system_(system), deviceName_(std::move(deviceName)) {}
    void checkAcceptingJobs() override {
        if (std::count(system_.rejecting.begin(), system_.rejecting.end(), deviceName_))
            throw SpoolError("the printer is not accepting jobs");
    }
    std::unique_ptr<RawJob> startDocument(const std::string& documentName) override {
        if (system_.onStart) system_.onStart();
        system_.answerLate();
        if (system_.failDocument == system_.documents.size() + 1)
            throw SpoolError("the printer is not accepting jobs");
        system_.documents.push_back({deviceName_, documentName, {}, {}, false, false});
        if (system_.afterCreate) system_.afterCreate();
        return std::make_unique<FakeJob>(system_, system_.documents.size() - 1);
    }

  private:
    FakePrinterSystem& system_;
    std::string deviceName_;
};

}  // namespace

void FakePrinterSystem::answerLate() {
    std::unique_lock lock(gate_);
    if (callDelay.count() > 0) thawed_.wait_for(lock, callDelay, [this] { return givenUp_; });
    ++held_;
    thawed_.wait(lock, [this] { return !frozen_ || givenUp_; });
    --held_;
    if (frozen_)
        throw SpoolError("the print server does not answer", SpoolError::Kind::Unreachable);
}

void FakePrinterSystem::freeze() {
    std::lock_guard lock(gate_);
    frozen_ = true;
}

void FakePrinterSystem::thaw() {
    {
        std::lock_guard lock(gate_);
        frozen_ = false;
    }
    thawed_.notify_all();
}

int FakePrinterSystem::callsHeld() {
    std::lock_guard lock(gate_);
    return held_;
}

void FakePrinterSystem::giveUpWaits() {
    {
        std::lock_guard lock(gate_);
        givenUp_ = true;
    }
    thawed_.notify_all();
}

QueueLook FakePrinterSystem::lookAtQueue(const std::string& deviceName,
                                         const std::vector<int>& jobIds) {
    answerLate();
    ++queueLooks;
    QueueLook look = PrinterSystem::lookAtQueue(deviceName, jobIds);
    const bool isPaused = std::count(paused.begin(), paused.end(), deviceName) > 0;
    for (JobStatus& job : look.jobs) job.printerPaused = isPaused && !IsFinal(job.state);
    return look;
}

std::vector<Printer> FakePrinterSystem::printers() {
    answerLate();
    ++listings;
    if (listFails)
        throw SpoolError("the print server is not running", SpoolError::Kind::Unreachable);
    return installed;
}

std::optional<Printer> FakePrinterSystem::printerNamed(const std::string& name) {
    answerLate();
    if (listFails)
        throw SpoolError("the print server is not running", SpoolError::Kind::Unreachable);
    for (const Printer& printer : installed)
        if (namesPrinters && printer.deviceName == name) return printer;
    return std::nullopt;
}

std::optional<std::string> FakePrinterSystem::defaultPrinterEntry() {
    answerLate();
    if (listFails)
        throw SpoolError("the print server is not running", SpoolError::Kind::Unreachable);
    return defaultEntry;
}

std::unique_ptr<PrinterConnection> FakePrinterSystem::openPrinter(const std::string& deviceName) {
    answerLate();
    bool known = std::any_of(installed.begin(), installed.end(),
                             [&](const Printer& p) { return p.deviceName == deviceName; });
    if (!known || std::count(unopenable.begin(), unopenable.end(), deviceName)) return nullptr;
    return std::make_unique<FakeConnection>(*this, deviceName);
}

JobStatus FakePrinterSystem::jobStatus(const std::string&, int jobId) {
    const int ask = statusAsks[jobId]++;
    if (statusFailures > 0) {
        --statusFailures;
        throw SpoolError("the print server is not running", SpoolError::Kind::Unreachable);
    }
    if (auto script = jobStates.find(jobId); script != jobStates.end() && !script->second.empty())
        return script->second[std::min<std::size_t>(ask, script->second.size() - 1)];
    if (jobId < 1 || jobId > static_cast<int>(documents.size())) return {};
    const FakeDocument& doc = documents[jobId - 1];
    if (!doc.finished && !doc.cancelled) return {JobState::Held, "job incoming"};
    return {doc.cancelled ? JobState::Cancelled : JobState::Completed, {}};
}

JobFacts FakePrinterSystem::jobFacts(const std::string& deviceName, int jobId) {
    JobFacts facts{jobStatus(deviceName, jobId), false};
    if (jobId >= 1 && jobId <= static_cast<int>(documents.size()))
        facts.documentReceived = documents[jobId - 1].finished;
    return facts;
}

void FakePrinterSystem::cancelJob(const std::string&, int jobId) {
    if (jobId >= 1 && jobId <= static_cast<int>(documents.size()))
        documents[jobId - 1].cancelled = true;
}

std::vector<int> FakePrinterSystem::ownJobsWithoutDocument(const std::string& deviceName,
                                                           const std::string& documentName) {
    std::vector<int> ids;
    for (std::size_t i = 0; i < documents.size(); ++i) {
        const FakeDocument& doc = documents[i];
        if (doc.deviceName == deviceName && doc.documentName == documentName && doc.owner == "me" &&
            !doc.finished && !doc.cancelled)
            ids.push_back(static_cast<int>(i) + 1);
    }
    return ids;
}

std::vector<FakeDocument> FakePrinterSystem::printed() const {
    std::vector<FakeDocument> out;
    std::copy_if(documents.begin(), documents.end(), std::back_inserter(out),
                 [](const FakeDocument& d) { return d.finished && !d.cancelled; });
    return out;
}

}  // namespace vantrel::testing
