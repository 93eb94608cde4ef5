// SIGTERM and SIGINT through a signalfd: they are blocked for the whole process and read as data,
// so they arrive only where the program waits for them, never in the middle of a job.
#include "platform/stop_signals.h"

#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <system_error>

namespace vantrel {

namespace {

class SignalFdStop : public StopSignals {
  public:
    SignalFdStop() {
        sigemptyset(&caught_);
        sigaddset(&caught_, SIGTERM);
        sigaddset(&caught_, SIGINT);
        if (::sigprocmask(SIG_BLOCK, &caught_, &before_) != 0) Fail("sigprocmask");
        fd_ = ::signalfd(-1, &caught_, SFD_NONBLOCK | SFD_CLOEXEC);
        if (fd_ < 0) {
            const int error = errno;
            ::sigprocmask(SIG_SETMASK, &before_, nullptr);
            errno = error;
            Fail("signalfd");
        }
    }
    ~SignalFdStop() override {
        drain();  // a request read here must not end the program once unblocked
        ::close(fd_);
        ::sigprocmask(SIG_SETMASK, &before_, nullptr);
    }
    SignalFdStop(const SignalFdStop&) = delete;
    SignalFdStop& operator=(const SignalFdStop&) = delete;

    bool requested() override {
        drain();
        return requested_;
    }

    bool waitFor(std::chrono::milliseconds timeout) override {
        if (requested()) return true;
        pollfd wanted{fd_, POLLIN, 0};
        const int ms = static_cast<int>(std::min<long long>(timeout.count(), 1 << 30));
        if (::poll(&wanted, 1, ms < 0 ? 0 : ms) < 0 && errno != EINTR) Fail("poll");
        return requested();
    }

    int descriptor() const override { return fd_; }

  private:
    [[noreturn]] static void Fail(const char* what) {
        throw std::system_error(errno, std::generic_category(), what);
    }

    void drain() {
        signalfd_siginfo info{};
        while (::read(fd_, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
            requested_ = true;
        }
    }

    sigset_t caught_{};
    sigset_t before_{};
    int fd_ = -1;
    bool requested_ = false;
};

}  // namespace

std::unique_ptr<StopSignals> CatchStopSignals() {
    return std::make_unique<SignalFdStop>();
}

}  // namespace vantrel
