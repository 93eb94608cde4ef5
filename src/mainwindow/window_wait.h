#pragma once

#include <chrono>
#include <functional>

#include "printing/spooler_worker.h"

namespace vantrel {

// The window's wait for a spooler call on the worker: it answers its events meanwhile, so that a
// print server that is slow or does not answer at all never freezes it. Once a call has gone
// unanswered for kNoAnswerNotice, noAnswer(true) is called, and noAnswer(false) when it ends.
// The window never gives a call up on its own: the spooler's stall time bounds it, and Exit
// has the spooler give up its waits.
class WindowWait : public SpoolerWait {
  public:
    static constexpr std::chrono::seconds kNoAnswerNotice{5};

    explicit WindowWait(std::function<void(bool)> noAnswer) : noAnswer_(std::move(noAnswer)) {}
    void until(const std::function<bool()>& done, const std::function<void()>& giveUp) override;
    void wake() override;

  private:
    std::function<void(bool)> noAnswer_;
};

}  // namespace vantrel
