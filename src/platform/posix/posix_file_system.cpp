// The file operations on POSIX systems, with open(2) and fstat(2), so that the identity of a
// file is read from the very file that is printed.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/file_system.h"
#include "platform/posix/file_identity.h"
#include "platform/posix/unnamed_file.h"

namespace vantrel {

namespace {

// Why an entry that is not a plain file cannot be printed.
std::string KindReason(mode_t mode) {
    if (S_ISDIR(mode)) return "is a directory";
    if (S_ISFIFO(mode)) return "is a pipe";
    if (S_ISSOCK(mode)) return "is a socket";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "is a device";
    return "is not a plain file";
}

std::string ErrorReason(int error) {
    if (error == ELOOP) return "too many levels of symbolic links";
    if (error == ENOENT) return "no such file";
    return std::strerror(error);
}

class PosixFileReader : public FileReader {
  public:
    // Reads an inherited descriptor (standard input), which stays open.
    explicit PosixFileReader(int fd) : fd_(fd), owned_(false) {}

    explicit PosixFileReader(const std::string& path) {
        // Non-blocking, so that opening a pipe without a writer does not hang; the flag is
        // cleared once the entry is known to be a plain file.
        fd_ = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd_ < 0) throw FileReadError(ErrorReason(errno));
        struct stat info {};
        if (::fstat(fd_, &info) != 0) fail(ErrorReason(errno));
        if (!S_ISREG(info.st_mode)) fail(KindReason(info.st_mode));
        ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
        identity_ = IdentityOf(info);
    }
    ~PosixFileReader() override {
        if (fd_ >= 0 && owned_) ::close(fd_);
    }
    PosixFileReader(const PosixFileReader&) = delete;
    PosixFileReader& operator=(const PosixFileReader&) = delete;

    std::size_t read(char* buffer, std::size_t size) override {
        std::size_t total = 0;
        while (total < size) {
            ssize_t got = ::read(fd_, buffer + total, size - total);
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) throw FileReadError(ErrorReason(errno));
            if (got == 0) break;  // end of file
            total += static_cast<std::size_t>(got);
        }
        return total;
    }

    const FileIdentity& identity() const override { return identity_; }

    std::optional<FileIdentity> identityNow() override {
        if (!owned_) return std::nullopt;
        return IdentityOfOpenFile(fd_);
    }

  private:
    [[noreturn]] void fail(const std::string& reason) {
        ::close(fd_);
        fd_ = -1;
        throw FileReadError(reason);
    }

    int fd_ = -1;
    bool owned_ = true;
    FileIdentity identity_;
};

class PosixFileSystem : public FileSystem {
  public:
    std::unique_ptr<FileReader> openForReading(const std::string& path) override {
        return std::make_unique<PosixFileReader>(path);
    }

    std::optional<FileIdentity> identityOf(const std::string& path) override {
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
        return IdentityOf(info);
    }

    std::error_code removeFile(const std::string& path) override {
        if (::unlink(path.c_str()) == 0) return {};
        return {errno, std::generic_category()};
    }

    std::unique_ptr<FileReader> openStandardInput() override {
        return std::make_unique<PosixFileReader>(STDIN_FILENO);
    }

    std::unique_ptr<PrivateFile> createPrivateFile() override {
        const char* tmp = std::getenv("TMPDIR");
        return CreateUnnamedFile(tmp && *tmp == '/' ? tmp : "/tmp");
    }
};

}  // namespace

std::unique_ptr<FileSystem> MakeSystemFileSystem() {
    return std::make_unique<PosixFileSystem>();
}

}  // namespace vantrel
