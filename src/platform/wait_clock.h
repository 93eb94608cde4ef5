#pragma once

#include <chrono>

namespace vantrel {

using FollowClock = std::chrono::steady_clock;

// The current time and a pause until a later one: the steady clock in a run, a stepped one in
// the tests, which then follow minutes of a spooler's life without sleeping.
class WaitClock {
  public:
    virtual ~WaitClock() = default;
    virtual FollowClock::time_point now() = 0;
    virtual void sleepUntil(FollowClock::time_point when) = 0;
};

// The steady clock, sleeping the calling thread.
class SteadyWaitClock : public WaitClock {
  public:
    FollowClock::time_point now() override;
    void sleepUntil(FollowClock::time_point when) override;
};

}  // namespace vantrel
