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

// The renames below, between two folders' descriptors.
std::error_code MoveWithoutReplacingAt(int fromDir, const char* from, int toDir, const char* to) {
    if (::renameat2(fromDir, from, toDir, to, RENAME_NOREPLACE) == 0) return {};
    if (errno != EINVAL && errno != ENOSYS) return LastError();
    // A file system without that flag: a hard link never replaces what is there either.
    if (::linkat(fromDir, from, toDir, to, 0) != 0) return LastError();
    if (::unlinkat(fromDir, from, 0) == 0) return {};
    const std::error_code error = LastError();
    ::unlinkat(toDir, to, 0);
    return error;
}

}  // namespace

std::error_code MoveWithoutReplacing(const std::string& from, const std::string& to) {
    return MoveWithoutReplacingAt(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str());
}

std::error_code MoveIntoSubfolder(const std::string& folder, const std::string& subfolder,
                                  const std::string& name, const std::string& newName) {
    const Descriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.fd < 0) return LastError();
    if (::mkdirat(dir.fd, subfolder.c_str(), 0777) != 0 && errno != EEXIST) return LastError();
    // Whoever may write to the folder may put a link by that name: it is never followed.
    const Descriptor sub(
        ::openat(dir.fd, subfolder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (sub.fd < 0) {
        struct stat info {};
        if (::fstatat(dir.fd, subfolder.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0) {
            return std::make_error_code(S_ISLNK(info.st_mode)
                                            ? std::errc::too_many_symbolic_link_levels
                                            : std::errc::not_a_directory);
        }
        return LastError();
    }
    return MoveWithoutReplacingAt(dir.fd, name.c_str(), sub.fd, newName.c_str());
}

std::error_code CreateMark(const std::string& folder, const std::string& name,
                           const std::string& text) {
    const Descriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    struct stat info {};
    if (dir.fd < 0 || ::fstat(dir.fd, &info) != 0) return LastError();
    Descriptor out(::openat(dir.fd, name.c_str(),
                            O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0644));
    if (out.fd < 0) return LastError();
    if (info.st_mode & S_IWGRP) ::fchmod(out.fd, 0664);
    for (std::size_t put = 0; put < text.size();) {
        const ssize_t wrote = ::write(out.fd, text.data() + put, text.size() - put);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote < 0) break;  // a mark without its words still marks
        put += static_cast<std::size_t>(wrote);
    }
    return {};
}

std::optional<std::string> ReadMark(const std::string& folder, const std::string& name) {
    const Descriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.fd < 0) return std::nullopt;
    const Descriptor in(
        ::openat(dir.fd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat info {};
    if (in.fd < 0 || ::fstat(in.fd, &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
    char text[256];
    const ssize_t got = ::read(in.fd, text, sizeof text);
    std::string line(text, got > 0 ? static_cast<std::size_t>(got) : 0);
    return line.substr(0, line.find('\n'));
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
