#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <thread>

namespace vantrel {

// How the calling thread spends the time a spooler call takes on the worker: a window answers
// its events meanwhile, a command line or a start-up waits within a bound.
class SpoolerWait {
  public:
    virtual ~SpoolerWait() = default;
    // Returns once done() is true. giveUp() makes the call under way fail soon; a wait with a
    // bound calls it once the bound has passed, and waits on for the failure.
    virtual void until(const std::function<bool()>& done, const std::function<void()>& giveUp) = 0;
    // A call has ended: the waiting thread looks at done() again. Called on the worker's thread.
    virtual void wake() {}
};

// Waits on the calling thread, at most bound, then gives the call up.
class BoundedWait : public SpoolerWait {
  public:
    explicit BoundedWait(std::chrono::milliseconds bound) : bound_(bound) {}
    void until(const std::function<bool()>& done, const std::function<void()>& giveUp) override;
    void wake() override;

  private:
    std::chrono::milliseconds bound_;
    std::mutex mutex_;
    std::condition_variable woken_;
};

// One thread of its own that makes the spooler calls, one after the other in the order they
// came, so that a spooler that is slow or does not answer at all holds that thread, never the
// caller's. Queued calls are all made before the thread ends.
class SpoolerWorker {
  public:
    explicit SpoolerWorker(SpoolerWait& wait);
    ~SpoolerWorker();
    SpoolerWorker(const SpoolerWorker&) = delete;
    SpoolerWorker& operator=(const SpoolerWorker&) = delete;

    // Makes call on the worker and returns what it returned, or throws what it threw; the
    // caller waits as its SpoolerWait says, giveUp being how the call is broken off.
    template <typename Call>
    auto run(Call call, const std::function<void()>& giveUp) -> decltype(call()) {
        using Result = decltype(call());
        auto task = std::make_shared<std::packaged_task<Result()>>(std::move(call));
        std::future<Result> result = task->get_future();
        post([task] { (*task)(); });
        wait_.until(
            [&result] {
                return result.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
            },
            giveUp);
        return result.get();
    }
    // Queues work for the worker without waiting for it: what must still happen, in order, after
    // the caller has let go (withdrawing a job it dropped, say).
    void post(std::function<void()> work);

  private:
    void serve();

    SpoolerWait& wait_;
    std::mutex mutex_;
    std::condition_variable queued_;
    std::deque<std::function<void()>> queue_;
    bool ending_ = false;
    std::thread thread_;  // last: it starts once everything it uses is there
};

}  // namespace vantrel
