#pragma once

#include <chrono>

namespace vantrel {

// How long to wait before the next try while the spooler or a printer stays away: the first
// wait, then twice as long after every further failure, up to the longest wait.
class BackOff {
  public:
    BackOff(std::chrono::milliseconds first, std::chrono::milliseconds longest)
        : first_(first), longest_(longest), next_(first) {}

    // The wait after one more failure.
    std::chrono::milliseconds next();
    // After a success: the next failure waits the first wait again.
    void reset() { next_ = first_; }

  private:
    std::chrono::milliseconds first_;
    std::chrono::milliseconds longest_;
    std::chrono::milliseconds next_;
};

}  // namespace vantrel
