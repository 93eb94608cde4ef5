// Ctrl+C, Ctrl+Break and the console closing as a request to stop. The console's handler runs on
// a thread of its own; it sets an event that the program waits on. When the console closes or
// the user logs off, the system ends the process once the handler returns, so the handler waits
// a little for the program to finish its job.
#include "platform/stop_signals.h"

#include <windows.h>

#include <atomic>
#include <system_error>

namespace vantrel {

namespace {

// How long the handler holds off the end of the process when the console closes; the system
// allows about 5 s.
constexpr DWORD kCloseGraceMs = 4500;

// The handler is a plain function that the system calls: it reaches the one catcher through
// these, set while a catcher lives.
std::atomic<HANDLE> g_requestEvent{nullptr};
std::atomic<HANDLE> g_finishedEvent{nullptr};

BOOL WINAPI OnConsoleControl(DWORD type) {
    HANDLE request = g_requestEvent.load();
    if (!request) return FALSE;
    SetEvent(request);
    if (type == CTRL_CLOSE_EVENT || type == CTRL_LOGOFF_EVENT || type == CTRL_SHUTDOWN_EVENT) {
        if (HANDLE finished = g_finishedEvent.load()) WaitForSingleObject(finished, kCloseGraceMs);
    }
    return TRUE;
}

class ConsoleStop : public StopSignals {
  public:
    ConsoleStop() {
        request_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        finished_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        if (!request_ || !finished_) Fail("CreateEvent");
        g_requestEvent = request_;
        g_finishedEvent = finished_;
        if (!SetConsoleCtrlHandler(OnConsoleControl, TRUE)) Fail("SetConsoleCtrlHandler");
    }
    ~ConsoleStop() override {
        SetEvent(finished_);
        SetConsoleCtrlHandler(OnConsoleControl, FALSE);
        g_requestEvent = nullptr;
        g_finishedEvent = nullptr;
        CloseHandle(request_);
        CloseHandle(finished_);
    }
    ConsoleStop(const ConsoleStop&) = delete;
    ConsoleStop& operator=(const ConsoleStop&) = delete;

    bool requested() override { return WaitForSingleObject(request_, 0) == WAIT_OBJECT_0; }

    bool waitFor(std::chrono::milliseconds timeout) override {
        const auto ms = timeout.count() < 0 ? 0 : timeout.count();
        const DWORD wait = ms > 0x7fffffff ? 0x7fffffff : static_cast<DWORD>(ms);
        return WaitForSingleObject(request_, wait) == WAIT_OBJECT_0;
    }

  private:
    [[noreturn]] void Fail(const char* what) {
        const DWORD error = GetLastError();
        if (request_) CloseHandle(request_);
        if (finished_) CloseHandle(finished_);
        g_requestEvent = nullptr;
        g_finishedEvent = nullptr;
        throw std::system_error(static_cast<int>(error), std::system_category(), what);
    }

    HANDLE request_ = nullptr;
    HANDLE finished_ = nullptr;
};

}  // namespace

std::unique_ptr<StopSignals> CatchStopSignals() {
    return std::make_unique<ConsoleStop>();
}

}  // namespace vantrel
