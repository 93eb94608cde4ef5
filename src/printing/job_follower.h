#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "platform/printer_system.h"
#include "platform/wait_clock.h"

namespace vantrel {

// One spooled job: its printer and the spooler's number of it.
struct JobRef {
    std::string printer;
    int id = 0;
    bool operator==(const JobRef&) const = default;
};

// A job being followed, and the spooler's last word on it.
struct FollowedJob {
    JobRef job;
    JobStatus last{JobState::Pending, {}};
    int asks = 0;                   // requests about it so far
    FollowClock::time_point asked;  // when it was asked about last
    FollowClock::time_point due;    // when it is asked about next
    // How it was last seen stopped or held ("stopped: out of paper"), empty if never: once it
    // leaves a queue that keeps no history, someone may as well have deleted it.
    std::string trouble;
    bool ended() const { return IsFinal(last.state); }
};

// Follows spooled jobs to their end by asking the spooler, gently: each job four times a second
// at first, as most raw jobs end within a second or two, then less and less often down to once
// a second. It never waits itself: the caller calls step() when it is due, so one service can
// follow many jobs among its other work, and tests step through time without sleeping.
class JobFollower {
  public:
    JobFollower(const std::vector<JobRef>& jobs, FollowClock::time_point start);

    // Asks the spooler about every job that is due at now and has not ended, with the other jobs
    // of its queue in the same look. A spooler that can't be reached now is asked again later;
    // one that refuses to tell leaves the job's end unknown, and so does a job that left a queue
    // without history after it was seen stopped or held. Returns when the next job falls due;
    // nothing once every job has ended.
    std::optional<FollowClock::time_point> step(PrinterSystem& system, FollowClock::time_point now);
    // Asks about every job that has not ended and was not asked about at now, due or not: the
    // last look at a time limit, so that a job that ended just before it counts.
    void lookAtAll(PrinterSystem& system, FollowClock::time_point now);

    const std::vector<FollowedJob>& jobs() const { return jobs_; }
    // Since when every look failed, the spooler unreachable, and why the last one failed;
    // nothing once a look succeeded.
    std::optional<FollowClock::time_point> unansweredSince() const { return unansweredSince_; }
    const std::string& unansweredWhy() const { return unansweredWhy_; }
    bool allEnded() const;

  private:
    void askQueueOf(PrinterSystem& system, const FollowedJob& due, FollowClock::time_point now);

    std::vector<FollowedJob> jobs_;
    std::optional<FollowClock::time_point> unansweredSince_;
    std::string unansweredWhy_;
};

// How long a wait goes on while the spooler does not answer at all.
constexpr std::chrono::seconds kUnansweredWaitLimit{60};

// The time between two asks about a job that was asked about asks times already.
FollowClock::duration AskInterval(int asks);

// Follows the jobs until each has ended or, when there is a limit, until it has passed; a job
// still going then stays as the spooler last told it (pending, held, processing or stopped). A
// spooler that has not answered for kUnansweredWaitLimit ends the wait too: the jobs still going
// then give its failure as their reason.
std::vector<FollowedJob> FollowJobs(PrinterSystem& system, const std::vector<JobRef>& jobs,
                                    std::optional<std::chrono::seconds> limit, WaitClock& clock);

}  // namespace vantrel
