#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/printer_system.h"

namespace vantrel::testing {

// One document as the fake spooler received it; its job's number is its place, from 1.
struct FakeDocument {
    std::string deviceName;
    std::string documentName;
    std::vector<std::size_t> writes;  // size of each write call
    std::string data;
    bool finished = false;
    bool cancelled = false;
    std::string owner = "me";  // who created the job
};

// An in-memory spooler that records every document and can be told to fail.
class FakePrinterSystem : public PrinterSystem {
  public:
    std::vector<Printer> installed;
    std::optional<std::string> defaultEntry;
    std::vector<FakeDocument> documents;

    bool listFails = false;                   // printers() and the default: unreachable
    std::vector<std::string> unopenable;      // openPrinter() gives nullptr for these
    std::vector<std::string> rejecting;       // take no jobs (checkAcceptingJobs throws)
    std::optional<std::size_t> failDocument;  // only this document (1 = first) fails
    bool finishFails = false;                 // as for a job cancelled while it was sent
    std::function<void()> afterFinish;        // called once a document was released
    std::function<void()> afterCreate;        // called once a job exists, before it is returned
    std::function<void()> onStart;  // called as a document starts; what it throws fails it
    // What jobStatus tells of a job, one entry per ask, the last one kept; a finished job
    // without an entry has completed, a withdrawn one was cancelled, one left half-sent is held,
    // an unknown number is unknown.
    std::map<int, std::vector<JobStatus>> jobStates;
    std::map<int, int> statusAsks;    // how often each job's state was asked
    int statusFailures = 0;           // so many asks fail first, the spooler unreachable
    std::vector<std::string> paused;  // printers stopped by someone: their jobs wait
    int queueLooks = 0;               // lookAtQueue calls
    int listings = 0;                 // printers() calls
    bool namesPrinters = false;       // printerNamed() answers, as a CUPS scheduler does

    // A slow or frozen spooler: every call takes callDelay, and while frozen waits until thawed;
    // once giveUpWaits() came, a frozen call fails as unreachable instead. Calls may come from a
    // worker thread; callsHeld() tells how many the freeze holds now.
    std::chrono::milliseconds callDelay{0};
    void freeze();
    void thaw();
    int callsHeld();
    void giveUpWaits() override;

    std::vector<Printer> printers() override;
    std::optional<std::string> defaultPrinterEntry() override;
    std::optional<Printer> printerNamed(const std::string& name) override;
    std::unique_ptr<PrinterConnection> openPrinter(const std::string& deviceName) override;
    JobStatus jobStatus(const std::string& deviceName, int jobId) override;
    JobFacts jobFacts(const std::string& deviceName, int jobId) override;
    std::vector<int> ownJobsWithoutDocument(const std::string& deviceName,
                                            const std::string& documentName) override;
    void cancelJob(const std::string& deviceName, int jobId) override;
    QueueLook lookAtQueue(const std::string& deviceName, const std::vector<int>& jobIds) override;
    // Where every call passes: the delay and the freeze.
    void answerLate();

    // Documents that were finished (released for printing).
    std::vector<FakeDocument> printed() const;

  private:
    std::mutex gate_;
    std::condition_variable thawed_;
    bool frozen_ = false;
    bool givenUp_ = false;
    int held_ = 0;
};

}  // namespace vantrel::testing
