#pragma once

// Helpers for tests that print through the private CUPS scheduler of scripts/cups/: where it
// is, what its capture printers received, what its queues hold, and running the real program.

#include <sys/types.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace vantrel::integration {

// The raw queues that scripts/cups/start-server.sh sets up.
inline constexpr const char* kDefaultQueue = "Office_Laser";  // the server's default
inline constexpr const char* kLabelQueue = "Label_Printer";
inline constexpr const char* kRejectingQueue = "Closed_Desk";  // not accepting jobs
inline constexpr const char* kDisabledQueue = "Paused_Desk";   // accepting, holding
// Devices that refuse the connection: the job is aborted, or the queue stops and keeps it.
inline constexpr const char* kAbortingQueue = "Refused_Abort";
inline constexpr const char* kStoppingQueue = "Refused_Stop";

// The private scheduler named by CUPS_SERVER and VANTREL_TEST_CUPS_DIR, or nothing.
struct PrivateCups {
    std::string dir;     // its directory (capture/QUEUE/ holds what each printer received)
    std::string server;  // its socket, for CUPS_SERVER
};
std::optional<PrivateCups> FindPrivateCups();
// Why the tests are skipped without one.
inline constexpr const char* kNoPrivateCups =
    "no private CUPS server: scripts/test.sh starts one (or run scripts/cups/start-server.sh "
    "and export the variables it prints)";

// In a fixture's SetUp: fills `target` with the private scheduler, or skips the test; fails it
// when VANTREL_REQUIRE_CUPS is set (scripts/test.sh sets it, having started the scheduler).
#define VANTREL_USE_PRIVATE_CUPS(target)                                     \
    do {                                                                     \
        auto found_ = ::vantrel::integration::FindPrivateCups();             \
        if (!found_ && std::getenv("VANTREL_REQUIRE_CUPS"))                  \
            FAIL() << ::vantrel::integration::kNoPrivateCups;                \
        if (!found_) GTEST_SKIP() << ::vantrel::integration::kNoPrivateCups; \
        (target) = *found_;                                                  \
    } while (false)

using testing::PatternBytes;
using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

// The job files (job-NNNN.bin, oldest first, as full paths) that the capture printer of a queue
// received, leaving out those in `before` (an earlier result).
std::vector<std::string> CapturedJobs(const PrivateCups& cups, const std::string& queue,
                                      const std::vector<std::string>& before = {});

struct QueuedJob {
    std::string title;
    int state = 0;  // ipp_jstate_t
};
// The jobs of a queue as the scheduler lists them; completed ones too when asked.
std::vector<QueuedJob> QueueJobs(const std::string& queue, bool includeCompleted);
// True when the scheduler lists a job of that title in the queue; finished ones too when asked.
bool HasJob(const std::string& queue, const std::string& title, bool includeCompleted);
// Waits until the queue has no pending or processing job (held ones don't count), so that
// whatever was spooled has reached the capture printer.
void WaitUntilQueueIdle(const std::string& queue);
// Polls until done() is true; false when it is not within the timeout.
bool WaitFor(const std::function<bool()>& done,
             std::chrono::seconds timeout = std::chrono::seconds(60));

using Env = std::map<std::string, std::string>;

// Starts a program with the environment of the test, changed by extraEnv; its standard input is
// the file named by in (closed when in is empty), its output and errors go into the files named.
// Returns its process id.
pid_t Spawn(const std::vector<std::string>& argv, const Env& extraEnv, const std::string& out,
            const std::string& err, const std::string& in = "/dev/null");
// Its exit status, once it has ended; 128 + the signal when one ended it.
int WaitForExit(pid_t child);

struct RunResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};
// Runs a program to its end (lpadmin, gzip and the like).
RunResult RunProgram(const std::vector<std::string>& argv, const Env& extraEnv = {},
                     const std::string& in = "/dev/null");

// The environment of the real vantrel: HOME (where its settings live) set to home, no display
// needed, and extraEnv.
Env VantrelEnv(const std::string& home, Env extraEnv = {});

// Writes the stored "Eject page between jobs" setting into the settings file under home.
void StorePageEject(const std::string& home, int value);

// A scheduler of the test's own with one capture queue, "Spare", for tests that stop or kill
// it; stopped with everything it started when the object goes.
class OwnScheduler {
  public:
    ~OwnScheduler();
    // Runs a bash command with scripts/cups/common.sh sourced and $1 the scheduler's directory;
    // returns its exit status.
    int run(const std::string& command) const;
    int start() const { return run("cups_start_scheduler \"$1\""); }
    int startWithQueue() const {
        return run("cups_start_scheduler \"$1\" && cups_add_capture_queue \"$1\" Spare");
    }
    PrivateCups cups() const { return {dir_.path(), dir_.file("cups.sock")}; }

  private:
    TempDir dir_;
};

}  // namespace vantrel::integration
