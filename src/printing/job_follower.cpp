#include "printing/job_follower.h"

#include <algorithm>

namespace vantrel {

namespace {

using std::chrono::milliseconds;

// Asks at the first interval for the first two seconds, then each a half longer up to the last.
constexpr milliseconds kFirstInterval{250};
constexpr int kAsksAtFirstInterval = 8;
constexpr milliseconds kLongestInterval{1000};

// Takes the spooler's word on a job. Leaving the queue counts as the job's end only for a job
// never seen in trouble: one that stopped or was held may have been deleted from there.
void Note(FollowedJob& followed, const JobStatus& told) {
    if (told.state == JobState::LeftQueue && !followed.trouble.empty()) {
        followed.last = {JobState::Unknown, "it left the queue after it " + followed.trouble};
        return;
    }
    followed.last = told;
    if (told.state == JobState::Stopped) {
        followed.trouble = "stopped" + (told.reason.empty() ? "" : ": " + told.reason);
    } else if (told.state == JobState::Held) {
        followed.trouble = "was held";
    }
}

}  // namespace

FollowClock::duration AskInterval(int asks) {
    FollowClock::duration interval = kFirstInterval;
    for (int ask = kAsksAtFirstInterval; ask < asks && interval < kLongestInterval; ++ask)
        interval = interval * 3 / 2;
    return std::min<FollowClock::duration>(interval, kLongestInterval);
}

JobFollower::JobFollower(const std::vector<JobRef>& jobs, FollowClock::time_point start) {
    for (const JobRef& job : jobs)
        jobs_.push_back({job, {JobState::Pending, {}}, 0, {}, start, {}});
}

// One look at the queue of the job that is due, about every job of that queue that has not
// ended: a queue of a thousand jobs costs one request per look, not a thousand.
void JobFollower::askQueueOf(PrinterSystem& system, const FollowedJob& due,
                             FollowClock::time_point now) {
    std::vector<FollowedJob*> asked;
    std::vector<int> ids;
    for (FollowedJob& followed : jobs_) {
        if (!followed.ended() && followed.job.printer == due.job.printer) {
            asked.push_back(&followed);
            ids.push_back(followed.job.id);
        }
    }
    try {
        const QueueLook look = system.lookAtQueue(due.job.printer, ids);
        for (std::size_t i = 0; i < asked.size() && i < look.jobs.size(); ++i) {
            Note(*asked[i], look.jobs[i]);
        }
        unansweredSince_.reset();
    } catch (const SpoolError& error) {
        if (error.kind() == SpoolError::Kind::Refused) {
            for (FollowedJob* followed : asked) followed->last = {JobState::Unknown, error.what()};
        } else {
            if (!unansweredSince_) unansweredSince_ = now;
            unansweredWhy_ = error.what();
        }
    }
    for (FollowedJob* followed : asked) {
        followed->asked = now;
        followed->due = now + AskInterval(++followed->asks);
    }
}

void JobFollower::lookAtAll(PrinterSystem& system, FollowClock::time_point now) {
    for (FollowedJob& followed : jobs_) {
        if (!followed.ended() && (followed.asks == 0 || followed.asked < now)) {
            askQueueOf(system, followed, now);
        }
    }
}

std::optional<FollowClock::time_point> JobFollower::step(PrinterSystem& system,
                                                         FollowClock::time_point now) {
    std::optional<FollowClock::time_point> next;
    for (FollowedJob& followed : jobs_) {
        if (followed.ended()) continue;
        if (followed.due <= now) askQueueOf(system, followed, now);
        if (!followed.ended()) next = next ? std::min(*next, followed.due) : followed.due;
    }
    return next;
}

bool JobFollower::allEnded() const {
    return std::ranges::all_of(jobs_, [](const FollowedJob& job) { return job.ended(); });
}

std::vector<FollowedJob> FollowJobs(PrinterSystem& system, const std::vector<JobRef>& jobs,
                                    std::optional<std::chrono::seconds> limit, WaitClock& clock) {
    const auto start = clock.now();
    JobFollower follower(jobs, start);
    for (auto due = follower.step(system, start); due; due = follower.step(system, clock.now())) {
        if (const auto since = follower.unansweredSince();
            since && clock.now() - *since >= kUnansweredWaitLimit) {
            std::vector<FollowedJob> jobs = follower.jobs();
            for (FollowedJob& job : jobs) {
                if (!job.ended()) job.last.reason = follower.unansweredWhy();
            }
            return jobs;
        }
        if (limit && *due > start + *limit) {
            clock.sleepUntil(start + *limit);
            follower.lookAtAll(system, start + *limit);
            break;
        }
        clock.sleepUntil(*due);
    }
    return follower.jobs();
}

}  // namespace vantrel
