#include "platform/replace_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace vantrel {

namespace {

std::error_code LastError() {
    return {errno, std::generic_category()};
}

std::error_code WriteAll(int fd, const std::string& bytes, bool sync = true) {
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote < 0) return LastError();
        done += static_cast<std::size_t>(wrote);
    }
    return !sync || ::fsync(fd) == 0 ? std::error_code() : LastError();
}

}  // namespace

std::error_code MakePrivateFolders(const std::string& dir) {
    const std::filesystem::path folder(dir);
    std::error_code unknown;
    if (folder.empty() || std::filesystem::is_directory(folder, unknown)) return {};
    if (folder.has_relative_path() && folder.parent_path() != folder) {
        if (auto error = MakePrivateFolders(folder.parent_path().string())) return error;
    }
    if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) return LastError();
    return {};
}

std::error_code AppendToPrivateFile(const std::string& path, const std::string& text,
                                    bool durable) {
    const int fd = ::open(
        path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    if (fd < 0) return LastError();
    struct stat info {};
    std::error_code error;
    if (::fstat(fd, &info) != 0) {
        error = LastError();
    } else if (!S_ISREG(info.st_mode)) {
        error = std::make_error_code(std::errc::not_supported);
    } else {
        // One write: appends of other processes never land inside the line.
        error = WriteAll(fd, text, false);
        if (!error && durable && ::fdatasync(fd) != 0) error = LastError();
    }
    ::close(fd);
    return error;
}

std::optional<std::string> ReadPrivateFile(const std::string& path, std::string& why) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT) return std::string();
    if (fd < 0) {
        why = errno == ELOOP ? "it is a link" : std::strerror(errno);
        return std::nullopt;
    }
    struct stat info {};
    std::optional<std::string> text;
    if (::fstat(fd, &info) != 0) {
        why = std::strerror(errno);
    } else if (!S_ISREG(info.st_mode)) {
        why = "it is not a plain file";
    } else {
        text.emplace();
        char buffer[65536];
        for (;;) {
            const ssize_t got = ::read(fd, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) {
                why = std::strerror(errno);
                text.reset();
            }
            if (got <= 0) break;
            text->append(buffer, static_cast<std::size_t>(got));
        }
    }
    ::close(fd);
    return text;
}

// As ssh looks at its files: every folder from dir up to the root belongs to this user or to
// root, and no other user may write to it, except a root folder with the sticky bit (/tmp).
std::optional<std::string> WhyNotPrivateFolder(const std::string& dir) {
    std::filesystem::path folder(dir);
    struct stat own {};
    if (::lstat(dir.c_str(), &own) == 0 && S_ISLNK(own.st_mode)) return dir + " is a link";
    for (;; folder = folder.parent_path()) {
        struct stat info {};
        if (::stat(folder.c_str(), &info) != 0)
            return folder.string() + ": " + std::strerror(errno);
        if (info.st_uid != ::geteuid() && info.st_uid != 0) {
            return folder.string() + " belongs to another user";
        }
        const bool shared = (info.st_mode & (S_IWGRP | S_IWOTH)) != 0;
        if (shared && !(info.st_uid == 0 && (info.st_mode & S_ISVTX))) {
            return folder.string() + " may be written by other users";
        }
        if (!folder.has_relative_path() || folder.parent_path() == folder) return std::nullopt;
    }
}

std::error_code ReplaceFileAtomically(const std::string& path, const std::string& bytes) {
    const std::filesystem::path target(path);
    if (auto error = MakePrivateFolders(target.parent_path().string())) return error;
    std::string temporary = path + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());  // mode 0600
    if (fd < 0) return LastError();
    std::error_code error = WriteAll(fd, bytes);
    if (::close(fd) != 0 && !error) error = LastError();
    if (!error && ::rename(temporary.c_str(), path.c_str()) != 0) error = LastError();
    if (error) {
        ::unlink(temporary.c_str());
        return error;
    }
    // The rename itself reaches the disk with its folder.
    const int folder = ::open(target.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return {};
}

}  // namespace vantrel
