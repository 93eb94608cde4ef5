#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>

#include "autoprint/spooled_jobs_record.h"
#include "platform/file_system.h"
#include "platform/http_server.h"
#include "platform/printer_system.h"
#include "platform/wait_clock.h"
#include "printing/spool_file_raw.h"

namespace vantrel {

// The file in the user's state directory that keeps the prints of Idempotency-Keys.
inline const std::string kServeRecordName = "serve-spooled";

// The longest wait a GET /jobs/ID?wait=S may ask for, in seconds.
constexpr int kLongestJobWait = 300;

struct DeskSeams {
    PrinterSystem& printing;  // sends the documents, one print at a time
    PrinterSystem& looking;   // lists printers and asks about jobs, one call at a time
    FileSystem& files;        // the private scratch file a body is kept in
    WaitClock& clock;         // the waits for jobs; its sleep ends early on a request to stop
    std::function<bool()> stopping;
};

struct DeskSettings {
    SpoolOptions spool;
    std::uint64_t maxBodyBytes = 0;
    std::string recordPath;  // empty: keys are kept in memory only
};

// The printing behind the endpoint: the printers, a print of a request's body, and a job's
// state. Its answers are JSON, its failures in the same words as a command line's. Safe to use
// from every connection's thread.
class PrintDesk {
  public:
    PrintDesk(DeskSeams seams, DeskSettings settings,
              std::function<void(const std::string&)> journal);

    // GET /printers: {"printers":[{"name":..,"default":..}, ...]}
    HttpAnswer printers();
    // POST /jobs?printer=NAME&copies=N&name=TITLE: refused, or answered from an earlier request
    // of the same Idempotency-Key, before a byte of the body is read; else where the body goes,
    // kept in a private scratch file, to be printed once it is whole.
    Admission order(const HttpRequest& request);
    // GET /jobs/ID[?wait=S]: the state of a job printed here.
    HttpAnswer job(const HttpRequest& request, const std::string& id);

  private:
    friend class KeptBody;
    struct Order;
    HttpAnswer print(const Order& order, PrivateFile& body, std::uint64_t bytes);
    HttpAnswer repeated(const std::string& key, const Order& order);
    void remember(const std::string& printer, const std::vector<int>& jobs);
    void release(const std::string& key);

    DeskSeams seams_;
    DeskSettings settings_;
    std::function<void(const std::string&)> journal_;
    std::mutex printing_;  // one print at a time
    std::mutex looking_;   // one look at a time
    std::mutex state_;     // what follows
    SpooledJobsRecord record_;
    std::set<std::string> keysUnderWay_;
    std::map<int, std::string> printers_;  // the printer of each job printed here
};

}  // namespace vantrel
