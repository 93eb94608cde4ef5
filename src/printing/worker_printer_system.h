#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/printer_system.h"
#include "printing/spooler_worker.h"

namespace vantrel {

// The spooler with every call made on a worker thread of its own: the calls of the connections
// and jobs it opens too, and the withdrawal of a job dropped unfinished. The caller waits for
// each call as wait says; a wait that gives up has the spooler give up its waits.
class WorkerPrinterSystem : public PrinterSystem {
  public:
    WorkerPrinterSystem(PrinterSystem& inner, SpoolerWait& wait);
    ~WorkerPrinterSystem() override;

    std::vector<Printer> printers() override;
    bool anyPrinters() override;
    std::optional<Printer> printerNamed(const std::string& name) override;
    std::optional<std::string> defaultPrinterEntry() override;
    std::unique_ptr<PrinterConnection> openPrinter(const std::string& deviceName) override;
    JobStatus jobStatus(const std::string& deviceName, int jobId) override;
    JobFacts jobFacts(const std::string& deviceName, int jobId) override;
    std::vector<int> ownJobsWithoutDocument(const std::string& deviceName,
                                            const std::string& documentName) override;
    void cancelJob(const std::string& deviceName, int jobId) override;
    QueueLook lookAtQueue(const std::string& deviceName, const std::vector<int>& jobIds) override;
    // Called on the caller's thread, so that the call under way on the worker ends soon.
    void giveUpWaits() override;

    // Makes call(inner) on the worker.
    template <typename Call>
    auto onWorker(Call call) -> decltype(call(std::declval<PrinterSystem&>())) {
        return worker_->run([this, &call] { return call(inner_); }, [this] { giveUpWaits(); });
    }
    SpoolerWorker& worker() { return *worker_; }

  private:
    PrinterSystem& inner_;
    std::unique_ptr<SpoolerWorker> worker_;
};

}  // namespace vantrel
