#include "platform/wait_clock.h"

#include <thread>

namespace vantrel {

FollowClock::time_point SteadyWaitClock::now() {
    return FollowClock::now();
}

void SteadyWaitClock::sleepUntil(FollowClock::time_point when) {
    std::this_thread::sleep_until(when);
}

}  // namespace vantrel
