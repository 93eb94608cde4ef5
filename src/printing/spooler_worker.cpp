#include "printing/spooler_worker.h"

namespace vantrel {

void BoundedWait::until(const std::function<bool()>& done, const std::function<void()>& giveUp) {
    const auto deadline = std::chrono::steady_clock::now() + bound_;
    std::unique_lock lock(mutex_);
    if (woken_.wait_until(lock, deadline, done)) return;
    lock.unlock();
    giveUp();
    lock.lock();
    woken_.wait(lock, done);
}

void BoundedWait::wake() {
    // Taking the lock orders the wake after a waiter's look at done().
    std::lock_guard lock(mutex_);
    woken_.notify_all();
}

SpoolerWorker::SpoolerWorker(SpoolerWait& wait) : wait_(wait), thread_([this] { serve(); }) {}

SpoolerWorker::~SpoolerWorker() {
    {
        std::lock_guard lock(mutex_);
        ending_ = true;
    }
    queued_.notify_one();
    thread_.join();
}

void SpoolerWorker::post(std::function<void()> work) {
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(work));
    }
    queued_.notify_one();
}

void SpoolerWorker::serve() {
    for (;;) {
        std::function<void()> work;
        {
            std::unique_lock lock(mutex_);
            queued_.wait(lock, [this] { return ending_ || !queue_.empty(); });
            if (queue_.empty()) return;
            work = std::move(queue_.front());
            queue_.pop_front();
        }
        try {
            work();
        } catch (...) {
            // Posted work has nobody to tell; a call's failure travels in its result.
        }
        wait_.wake();
    }
}

}  // namespace vantrel
