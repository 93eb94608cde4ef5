// Folder events from inotify: a file closed after writing or moved in is reported at once. A
// queue that overflowed, or a folder whose watch ended (removed, unmounted), is reported for a
// look at all its entries; a lost watch is set up again as soon as the folder is back.
#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <system_error>

#include "platform/folder_events.h"

namespace vantrel {

namespace {

constexpr std::uint32_t kWatched = IN_CLOSE_WRITE | IN_MOVED_TO | IN_ONLYDIR;
// Without a stop descriptor to wait on, the stop is asked for this often.
constexpr std::chrono::milliseconds kStopCheck{100};

class InotifyFolders : public FolderEvents {
  public:
    // Takes an inotify descriptor; throws std::system_error when a folder cannot be watched.
    InotifyFolders(int fd, std::vector<std::string> folders, StopSignals& stop)
        : folders_(std::move(folders)), watches_(folders_.size(), -1), stop_(stop), fd_(fd) {
        for (std::size_t i = 0; i < folders_.size(); ++i) {
            if (!addWatch(i)) {
                const int error = errno;
                ::close(fd_);
                throw std::system_error(error, std::generic_category(),
                                        "cannot watch " + folders_[i]);
            }
        }
    }
    ~InotifyFolders() override { ::close(fd_); }
    InotifyFolders(const InotifyFolders&) = delete;
    InotifyFolders& operator=(const InotifyFolders&) = delete;

    FolderWake wait(std::chrono::milliseconds timeout) override {
        FolderWake wake;
        rewatchLost(wake);
        if (!wake.changes.empty()) timeout = std::chrono::milliseconds(0);
        std::array<pollfd, 2> fds{{{fd_, POLLIN, 0}, {stop_.descriptor(), POLLIN, 0}}};
        const bool stopFd = fds[1].fd >= 0;
        if (!stopFd) timeout = std::min(timeout, kStopCheck);
        const int ms = static_cast<int>(std::clamp<long long>(timeout.count(), 0, 1 << 30));
        if (::poll(fds.data(), stopFd ? 2 : 1, ms) < 0 && errno != EINTR) {
            throw std::system_error(errno, std::generic_category(), "poll");
        }
        readEvents(wake);
        wake.stop = stop_.requested();
        return wake;
    }

  private:
    bool addWatch(std::size_t folder) {
        const int wd = ::inotify_add_watch(fd_, folders_[folder].c_str(), kWatched);
        if (wd < 0) return false;
        watches_[folder] = wd;
        return true;
    }

    void rewatchLost(FolderWake& wake) {
        for (std::size_t i = 0; i < folders_.size(); ++i) {
            if (watches_[i] < 0 && addWatch(i)) wake.changes.push_back({i, {}});
        }
    }

    void readEvents(FolderWake& wake) {
        alignas(inotify_event) std::array<char, 65536> buffer;
        while (true) {
            const ssize_t got = ::read(fd_, buffer.data(), buffer.size());
            if (got <= 0) return;  // EAGAIN: nothing more for now
            for (ssize_t at = 0; at < got;) {
                inotify_event event;
                std::memcpy(&event, buffer.data() + at, sizeof event);
                const char* name = buffer.data() + at + sizeof event;
                handle(event, event.len ? std::string(name) : std::string(), wake);
                at += static_cast<ssize_t>(sizeof event + event.len);
            }
        }
    }

    void handle(const inotify_event& event, const std::string& name, FolderWake& wake) {
        if (event.mask & IN_Q_OVERFLOW) {
            for (std::size_t i = 0; i < folders_.size(); ++i) wake.changes.push_back({i, {}});
            return;
        }
        auto watch = std::find(watches_.begin(), watches_.end(), event.wd);
        if (watch == watches_.end()) return;
        const auto folder = static_cast<std::size_t>(watch - watches_.begin());
        if (event.mask & IN_IGNORED) {
            *watch = -1;  // the folder went away; watched again once it is back
            wake.changes.push_back({folder, {}});
        } else if (!name.empty()) {
            wake.changes.push_back({folder, name});
        }
    }

    std::vector<std::string> folders_;
    std::vector<int> watches_;  // by folder; -1 while the folder is not watched
    StopSignals& stop_;
    int fd_ = -1;
};

}  // namespace

std::unique_ptr<FolderEvents> WatchFolders(const std::vector<std::string>& folders,
                                           StopSignals& stop) {
    const int fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    // Out of inotify instances or watches: the folders are still looked at, by polling.
    if (fd < 0) {
        return PollFolders(folders, stop, kFolderPollInterval,
                           "no inotify instance is left (fs.inotify.max_user_instances): " +
                               std::string(std::strerror(errno)));
    }
    try {
        return std::make_unique<InotifyFolders>(fd, folders, stop);
    } catch (const std::system_error& error) {
        if (error.code() != std::errc::no_space_on_device) throw;
        return PollFolders(folders, stop, kFolderPollInterval,
                           "the inotify watches are used up (fs.inotify.max_user_watches)");
    }
}

}  // namespace vantrel
