// Moves and copies that never replace a file: the name is taken by the system call itself, so a
// file that appears under it meanwhile is never lost.
#include "platform/posix/no_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <utility>

namespace vantrel {

namespace {

std::error_code LastError() {
    return {errno, std::generic_category()};
}

// Closes a descriptor when it goes out of scope.
struct Descriptor {
    explicit Descriptor(int fd) : fd(fd) {}
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int fd;
};

std::error_code CopyBytes(int in, int out) {
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(in, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return LastError();
        if (got == 0) return {};
        for (ssize_t put = 0; put < got;) {
            const ssize_t wrote = ::write(out, buffer + put, static_cast<std::size_t>(got - put));
            if (wrote < 0 && errno == EINTR) continue;
            if (wrote < 0) return LastError();
            put += wrote;
        }
    }
}

}  // namespace

std::error_code MoveWithoutReplacing(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return {};
    if (errno != EINVAL && errno != ENOSYS) return LastError();
    // A file system without that flag: a hard link never replaces what is there either.
    if (::link(from.c_str(), to.c_str()) != 0) return LastError();
    if (::unlink(from.c_str()) == 0) return {};
    const std::error_code error = LastError();
    ::unlink(to.c_str());
    return error;
}

std::error_code CopyWithoutReplacing(const std::string& from, const std::string& to) {
    // Non-blocking, so that a pipe without a writer does not hang the copy.
    const Descriptor in(::open(from.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat info {};
    if (in.fd < 0 || ::fstat(in.fd, &info) != 0) return LastError();
    if (!S_ISREG(info.st_mode)) return std::make_error_code(std::errc::not_supported);
    Descriptor out(::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, 0600));
    if (out.fd < 0) return LastError();
    std::error_code error = CopyBytes(in.fd, out.fd);
    if (!error && ::fchmod(out.fd, info.st_mode & 0777) != 0) error = LastError();
    if (::close(std::exchange(out.fd, -1)) != 0 && !error) error = LastError();
    if (error) ::unlink(to.c_str());
    return error;
}

}  // namespace vantrel
