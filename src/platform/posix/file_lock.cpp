// Locks with flock(2) on a descriptor of their own: released when it is closed, or when the
// process ends in any way.
#include "platform/file_lock.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace vantrel {

namespace {

class FlockLock : public FileLock {
  public:
    explicit FlockLock(int fd) : fd_(fd) {}
    ~FlockLock() override { ::close(fd_); }
    FlockLock(const FlockLock&) = delete;
    FlockLock& operator=(const FlockLock&) = delete;

  private:
    int fd_;
};

std::unique_ptr<FileLock> Lock(const std::string& path, int how) {
    // Never through a link, and never waiting on a pipe planted in its place.
    const int fd =
        ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    if (fd < 0) throw std::system_error(errno, std::generic_category(), path);
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        throw std::system_error(std::make_error_code(std::errc::not_supported),
                                path + " is not a plain file");
    }
    int result;
    do {
        result = ::flock(fd, how);
    } while (result != 0 && errno == EINTR);
    if (result == 0) return std::make_unique<FlockLock>(fd);
    const int error = errno;
    ::close(fd);
    if (error == EWOULDBLOCK) return nullptr;
    throw std::system_error(error, std::generic_category(), path);
}

}  // namespace

std::unique_ptr<FileLock> TryLockFile(const std::string& path) {
    return Lock(path, LOCK_EX | LOCK_NB);
}

std::unique_ptr<FileLock> LockFile(const std::string& path) {
    return Lock(path, LOCK_EX);
}

FolderWatch TryWatchFolder(const std::string& folder, const std::string& lockName,
                           const std::string& me) {
    FolderWatch watch;
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) {
        watch.error = {errno, std::generic_category()};
        return watch;
    }
    constexpr int kFlags = O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    int fd = ::openat(dir, lockName.c_str(), O_RDWR | kFlags, 0666);
    // Another user's lock file this one may not write to still takes a lock.
    if (fd < 0 && errno == EACCES) fd = ::openat(dir, lockName.c_str(), O_RDONLY | kFlags, 0666);
    const int openError = errno;
    struct stat folderInfo {};
    ::fstat(dir, &folderInfo);
    ::close(dir);
    struct stat info {};
    if (fd < 0 || ::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        watch.error = fd < 0 ? std::error_code(openError, std::generic_category())
                             : std::make_error_code(std::errc::not_supported);
        if (fd >= 0) ::close(fd);
        return watch;
    }
    // In a folder a group shares, the next watcher of the group must be able to write it too.
    if (info.st_uid == ::geteuid() && (folderInfo.st_mode & S_IWGRP)) {
        ::fchmod(fd, (info.st_mode & 0777) | S_IRGRP | S_IWGRP);
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        const std::string text = me + "\n";
        if (::pwrite(fd, text.data(), text.size(), 0) == static_cast<ssize_t>(text.size())) {
            [[maybe_unused]] int cut = ::ftruncate(fd, static_cast<off_t>(text.size()));
        }
        watch.lock = std::make_unique<FlockLock>(fd);
        return watch;
    }
    const int error = errno;
    if (error == EWOULDBLOCK || error == EINTR) {
        char said[256];
        const ssize_t got = ::pread(fd, said, sizeof said, 0);
        watch.holder = got > 0 ? std::string(said, static_cast<std::size_t>(got)) : std::string();
        if (auto end = watch.holder.find('\n'); end != std::string::npos) watch.holder.resize(end);
        if (watch.holder.empty()) watch.holder = "another AutoPrint";
    } else if (error == ENOLCK || error == EOPNOTSUPP || error == EINVAL) {
        watch.locksUnsupported = true;
    } else {
        watch.error = {error, std::generic_category()};
    }
    ::close(fd);
    return watch;
}

std::string ThisProcessName() {
    char host[256] = {};
    ::gethostname(host, sizeof host - 1);
    const struct passwd* user = ::getpwuid(::geteuid());
    return std::string("host ") + host + ", process " + std::to_string(::getpid()) + " of user " +
           (user ? user->pw_name : std::to_string(::geteuid()));
}

}  // namespace vantrel
