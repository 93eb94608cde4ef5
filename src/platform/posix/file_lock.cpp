// Locks with flock(2) on a descriptor of their own: released when it is closed, or when the
// process ends in any way.
#include "platform/file_lock.h"

#include <fcntl.h>
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
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) throw std::system_error(errno, std::generic_category(), path);
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

std::optional<std::string> FolderKey(const std::string& folder) {
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return std::nullopt;
    return std::to_string(info.st_dev) + "-" + std::to_string(info.st_ino);
}

}  // namespace vantrel
