#include "printing/job_follower.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "fakes/fake_printer_system.h"
#include "fakes/stepped_clock.h"
#include "printing/outcome_texts.h"

namespace vantrel::testing {
namespace {

using enum JobState;
using std::chrono::seconds;

// A job's states as the spooler tells them, one an ask, and where following it ends.
struct Ending {
    const char* name;
    std::vector<JobStatus> told;
    std::optional<int> limit;
    JobState state;
    int asks;
    std::string says;
    int unreachable = 0;  // so many asks fail first
    bool paused = false;  // the printer was paused
};

class JobEndings : public ::testing::TestWithParam<Ending> {};

TEST_P(JobEndings, OnlyTheSpoolersEndEndsAJob) {
    const Ending& c = GetParam();
    FakePrinterSystem spooler;
    SteppedClock clock;
    if (!c.told.empty()) spooler.jobStates[42] = c.told;
    spooler.statusFailures = c.unreachable;
    if (c.paused) spooler.paused = {"Label_Printer"};
    const std::optional<seconds> limit = c.limit ? std::optional(seconds(*c.limit)) : std::nullopt;
    const auto jobs = FollowJobs(spooler, {{"Label_Printer", 42}}, limit, clock);
    EXPECT_EQ(jobs[0].last.state, c.state);
    EXPECT_EQ(jobs[0].asks, c.asks);
    EXPECT_EQ(JobEndText(jobs[0], limit), c.says);
    // Gently: at most four asks a second, and no longer than the limit.
    const double waited = std::chrono::duration<double>(clock.at - clock.start).count();
    EXPECT_LE(jobs[0].asks, 1 + 4 * waited);
    EXPECT_TRUE(jobs[0].ended() || clock.at - clock.start == limit.value_or(seconds(0)) ||
                (!limit && clock.at - clock.start >= kUnansweredWaitLimit));
}

// A look asks for every job of a queue at once: a thousand jobs on one printer and two on
// another cost two requests a look, not a thousand and two.
TEST(JobFollower, OneLookPerQueue) {
    FakePrinterSystem spooler;
    SteppedClock clock;
    std::vector<JobRef> jobs;
    for (int id = 1; id <= 1002; ++id) jobs.push_back({id <= 1000 ? "Label" : "Fax", id});
    for (int id = 1; id <= 1002; ++id) spooler.jobStates[id] = {{Pending, {}}, {Completed, {}}};
    const auto followed = FollowJobs(spooler, jobs, std::nullopt, clock);
    EXPECT_TRUE(std::ranges::all_of(followed, [](const auto& job) { return job.ended(); }));
    EXPECT_EQ(spooler.queueLooks, 4);
}

const JobStatus kNotResponding{Stopped, "the printer is not responding"};

// clang-format off
INSTANTIATE_TEST_SUITE_P(JobFollower, JobEndings, ::testing::Values(
    Ending{"ProcessingIsNotCompleted", {{Pending, {}}, {Processing, "document received"}, {Processing, {}}, {Completed, {}}},
           {}, Completed, 4, ""},
    Ending{"AStoppedJobIsFollowedToTheLimit", {{Processing, {}}, kNotResponding}, 30, Stopped, 39,
           "job 42 on Label_Printer stopped: the printer is not responding"},
    Ending{"StillPendingAtTheLimit", {{Pending, {}}}, 5, Pending, 14, "still pending after 5 s: job 42 on Label_Printer"},
    Ending{"HeldAtTheLimit", {{Held, "job hold until specified"}}, 1, Held, 5,
           "still held after 1 s: job 42 on Label_Printer (job hold until specified)"},
    Ending{"Aborted", {{Processing, {}}, {Aborted, "the printer is not responding"}}, 30, Aborted, 2,
           "job 42 on Label_Printer was aborted: the printer is not responding"},
    Ending{"Cancelled", {{Cancelled, "canceled by user"}}, {}, Cancelled, 1, "job 42 on Label_Printer was cancelled"},
    Ending{"NoLongerKnown", {}, {}, Unknown, 1, "job 42 on Label_Printer: completion unknown"},
    Ending{"LeavingAQueueWithoutHistoryEndsWell", {{Processing, {}}, {LeftQueue, {}}}, {}, LeftQueue, 2, ""},
    Ending{"LeavingItAfterAStopMayBeADeletion", {kNotResponding, {Pending, {}}, {LeftQueue, {}}}, {}, Unknown, 3,
           "job 42 on Label_Printer: completion unknown (it left the queue after it stopped: the printer is not responding)"},
    Ending{"LeavingItAfterAHoldLikewise", {{Held, {}}, {LeftQueue, {}}}, {}, Unknown, 2,
           "job 42 on Label_Printer: completion unknown (it left the queue after it was held)"},
    Ending{"AnUnreachableSpoolerIsAskedAgain", {{Completed, {}}}, {}, Completed, 4, "", 3},
    Ending{"ASilentSpoolerEndsTheWaitAfterItsBound", {{Completed, {}}}, {}, Pending, 69,
           "still pending: job 42 on Label_Printer (the print server is not running)", 1000},
    Ending{"APausedPrinterSaysSoAtTheLimit", {{Pending, {}}}, 5, Pending, 14,
           "still pending after 5 s: job 42: Label_Printer is paused: the jobs wait in its queue",
           0, true}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

}  // namespace
}  // namespace vantrel::testing
