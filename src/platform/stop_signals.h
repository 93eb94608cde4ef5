#pragma once

#include <chrono>
#include <memory>

namespace vantrel {

// SIGTERM and SIGINT (on Windows: Ctrl+C, Ctrl+Break and the console closing) as a request to
// stop that the program answers at its own pace: while this object lives they no longer end the
// program at once, so a job in progress can be finished first.
class StopSignals {
  public:
    virtual ~StopSignals() = default;
    // True once a request to stop has arrived; it stays true.
    virtual bool requested() = 0;
    // Waits until a request arrives or the timeout passes; true when one has arrived.
    virtual bool waitFor(std::chrono::milliseconds timeout) = 0;
    // A descriptor that turns readable when a request arrives, for waiting on it together with
    // others; -1 where the system has none.
    virtual int descriptor() const { return -1; }
};

// Catches the stop signals of this system until the object is destroyed. Throws
// std::system_error when they cannot be caught.
std::unique_ptr<StopSignals> CatchStopSignals();

}  // namespace vantrel
