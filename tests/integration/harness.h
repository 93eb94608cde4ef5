#pragma once

// Helpers for tests that print through the private CUPS scheduler of scripts/cups/: where it
// is, what its capture printers received, what its queues hold, and running the real program.

#include <chrono>
#include <filesystem>
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

// The private scheduler named by CUPS_SERVER and VANTREL_TEST_CUPS_DIR, or nothing.
struct PrivateCups {
    std::string dir;     // its directory (capture/QUEUE/ holds what each printer received)
    std::string server;  // its socket, for CUPS_SERVER
};
std::optional<PrivateCups> FindPrivateCups();
// Why the tests are skipped without one.
extern const char* const kNoPrivateCups;
// True when the tests must not be skipped for the want of one (scripts/test.sh sets
// VANTREL_REQUIRE_CUPS, having started the scheduler).
bool PrivateCupsRequired();

// In a fixture's SetUp: fills `target` with the private scheduler, or skips the test (fails it
// when one is required).
#define VANTREL_USE_PRIVATE_CUPS(target)                            \
    do {                                                            \
        auto found_ = ::vantrel::integration::FindPrivateCups();    \
        if (!found_) {                                              \
            if (::vantrel::integration::PrivateCupsRequired()) {    \
                FAIL() << ::vantrel::integration::kNoPrivateCups;   \
            }                                                       \
            GTEST_SKIP() << ::vantrel::integration::kNoPrivateCups; \
        }                                                           \
        (target) = *found_;                                         \
    } while (false)

using testing::PatternBytes;
using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;
inline bool FileExists(const std::string& path) {
    return std::filesystem::exists(path);
}
// True when both files hold the same bytes (for files too large to read whole).
bool SameContents(const std::string& a, const std::string& b);

// What one capture printer (one queue) received: job-NNNN.bin files in order of arrival.
class CaptureDir {
  public:
    CaptureDir(const PrivateCups& cups, const std::string& queue);
    // Every job file so far, oldest first, as full paths.
    std::vector<std::string> jobs() const;
    // The job files that arrived after `before` (a result of jobs()).
    std::vector<std::string> jobsSince(const std::vector<std::string>& before) const;

  private:
    std::string dir_;
};

struct QueuedJob {
    int id = 0;
    std::string title;
    int state = 0;  // ipp_jstate_t
    std::string queue;
};
// The jobs of a queue as the scheduler lists them, oldest first; completed ones too when asked.
std::vector<QueuedJob> QueueJobs(const std::string& queue, bool includeCompleted);
// Waits until the queue has no pending or processing job (held ones don't count), so that
// whatever was spooled has reached the capture printer.
void WaitUntilQueueIdle(const std::string& queue,
                        std::chrono::seconds timeout = std::chrono::seconds(120));
// Cancels every job still in the queue.
void CancelAllJobs(const std::string& queue);

// The outcome of one run of the program.
struct RunResult {
    int exitCode = -1;  // 128 + signal when killed
    std::string out;
    std::string err;
};

// Runs the real vantrel with the arguments, HOME set to home (its settings live there) and the
// environment of the test otherwise; `extraEnv` adds or replaces variables.
RunResult RunVantrel(const std::vector<std::string>& args, const std::string& home,
                     const std::map<std::string, std::string>& extraEnv = {});
// Runs any program the same way (for lpadmin, lpoptions and the like).
RunResult RunProgram(const std::vector<std::string>& argv,
                     const std::map<std::string, std::string>& extraEnv = {});

// Writes the stored "Eject page between jobs" setting into the settings file under home.
void StorePageEject(const std::string& home, int value);

}  // namespace vantrel::integration
