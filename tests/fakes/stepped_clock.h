#pragma once

#include <algorithm>

#include "platform/wait_clock.h"

namespace vantrel::testing {

// A clock whose sleeps pass at once: each moves the time on to when it would have ended.
class SteppedClock : public WaitClock {
  public:
    FollowClock::time_point start{};
    FollowClock::time_point at = start;
    FollowClock::time_point now() override { return at; }
    void sleepUntil(FollowClock::time_point when) override { at = std::max(at, when); }
};

}  // namespace vantrel::testing
