#pragma once

#include <chrono>
#include <memory>
#include <mutex>
#include <optional>

namespace vantrel {

// At most so many requests a second, with a burst of as many: a bucket that fills at that rate.
// Safe to use from every connection's thread.
class RateLimit {
  public:
    using Clock = std::chrono::steady_clock;
    explicit RateLimit(int perSecond);
    // Whether a request arriving at now may go on; it takes its place in the bucket when it may.
    bool admit(Clock::time_point now);

  private:
    std::mutex mutex_;
    double perSecond_;
    double level_;                             // places free
    std::optional<Clock::time_point> filled_;  // when level_ was last brought up to date
};

// At most so many requests served at once; a place is held as long as its Slot lives.
class ConcurrencyLimit {
  public:
    class Slot {
      public:
        explicit Slot(ConcurrencyLimit& limit) : limit_(limit) {}
        ~Slot();
        Slot(const Slot&) = delete;
        Slot& operator=(const Slot&) = delete;

      private:
        ConcurrencyLimit& limit_;
    };
    explicit ConcurrencyLimit(int most) : most_(most) {}
    // A place, or nullptr when every place is taken.
    std::unique_ptr<Slot> enter();

  private:
    std::mutex mutex_;
    int most_;
    int taken_ = 0;
};

}  // namespace vantrel
