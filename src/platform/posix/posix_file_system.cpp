// The file operations on POSIX systems, with open(2) and fstat(2), so that the identity of a
// file is read from the very file that is printed.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "platform/file_system.h"
#include "platform/posix/file_identity.h"
#include "platform/posix/no_replace.h"
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
        identity_ = IdentityOf(plainFileInfo());
    }

    // The file at path itself (a link is never followed), only while it is still `expected`.
    PosixFileReader(const std::string& path, const FileIdentity& expected) {
        fd_ = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | O_NOFOLLOW);
        if (fd_ < 0 && errno == ELOOP) throw FileChangedError("a link took its place");
        if (fd_ < 0) throw FileReadError(ErrorReason(errno));
        identity_ = IdentityOf(plainFileInfo());
        if (!(identity_ == expected)) fail("it changed after it was looked at", true);
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
    // Of the descriptor just opened; anything but a plain file fails.
    struct stat plainFileInfo() {
        struct stat info {};
        if (::fstat(fd_, &info) != 0) fail(ErrorReason(errno));
        if (!S_ISREG(info.st_mode)) fail(KindReason(info.st_mode));
        ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
        return info;
    }

    [[noreturn]] void fail(const std::string& reason, bool changed = false) {
        ::close(fd_);
        fd_ = -1;
        if (changed) throw FileChangedError(reason);
        throw FileReadError(reason);
    }

    int fd_ = -1;
    bool owned_ = true;
    FileIdentity identity_;
};

// Back under its name, unless a newer file took it meanwhile: then it keeps the name it has,
// which is not hidden, so that it is found and printed in turn.
void PutBack(const std::string& aside, const std::string& path) {
    MoveWithoutReplacing(aside, path);
}

std::optional<struct stat> StatusOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return std::nullopt;
    return info;
}

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

    std::unique_ptr<FileReader> openSettled(const std::string& path,
                                            const FileIdentity& expected) override {
        return std::make_unique<PosixFileReader>(path, expected);
    }

    // There is no unlink of a descriptor: the entry is moved aside first, so that what is
    // compared is what is deleted, and another file renamed into place meanwhile is put back.
    std::error_code removeIfSame(const std::string& path, const FileIdentity& expected) override {
        // A short name of its own in the same folder, whatever the length of the file's.
        const std::string aside = path.substr(0, path.rfind('/') + 1) + "vantrel-" +
                                  std::to_string(::getpid()) + "-deleting";
        if (::rename(path.c_str(), aside.c_str()) != 0) return {errno, std::generic_category()};
        struct stat info {};
        if (::lstat(aside.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
            IdentityOf(info) == expected) {
            if (::unlink(aside.c_str()) == 0) return {};
            const std::error_code error(errno, std::generic_category());
            PutBack(aside, path);
            return error;
        }
        PutBack(aside, path);
        return std::make_error_code(kNotTheSameFile);
    }

    std::unique_ptr<FileReader> openStandardInput() override {
        return std::make_unique<PosixFileReader>(STDIN_FILENO);
    }

    std::unique_ptr<PrivateFile> createPrivateFile() override {
        const char* tmp = std::getenv("TMPDIR");
        return CreateUnnamedFile(tmp && *tmp == '/' ? tmp : "/tmp");
    }

    std::error_code makeDirectory(const std::string& path) override {
        if (::mkdir(path.c_str(), 0777) == 0) return {};
        const std::error_code error(errno, std::generic_category());
        if (error == std::errc::file_exists && kindOf(path) == PathKind::Directory) return {};
        return error;
    }

    std::error_code moveWithoutReplacing(const std::string& from, const std::string& to) override {
        return MoveWithoutReplacing(from, to);
    }

    std::error_code moveIntoSubfolder(const std::string& folder, const std::string& subfolder,
                                      const std::string& name,
                                      const std::string& newName) override {
        return MoveIntoSubfolder(folder, subfolder, name, newName);
    }

    std::error_code createMark(const std::string& folder, const std::string& name,
                               const std::string& text) override {
        return CreateMark(folder, name, text);
    }

    std::optional<std::string> readMark(const std::string& folder,
                                        const std::string& name) override {
        return ReadMark(folder, name);
    }

    std::error_code copyWithoutReplacing(const std::string& from, const std::string& to) override {
        return CopyWithoutReplacing(from, to);
    }

    PathKind kindOf(const std::string& path) override {
        const auto info = StatusOf(path);
        if (!info) return PathKind::Missing;
        if (S_ISREG(info->st_mode)) return PathKind::PlainFile;
        return S_ISDIR(info->st_mode) ? PathKind::Directory : PathKind::Other;
    }

    bool isSymbolicLink(const std::string& path) override {
        struct stat info {};
        return ::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
    }

    bool sameDirectory(const std::string& a, const std::string& b) override {
        const auto first = StatusOf(a);
        const auto second = StatusOf(b);
        return first && second && S_ISDIR(first->st_mode) && S_ISDIR(second->st_mode) &&
               first->st_dev == second->st_dev && first->st_ino == second->st_ino;
    }
};

}  // namespace

std::unique_ptr<FileSystem> MakeSystemFileSystem() {
    return std::make_unique<PosixFileSystem>();
}

}  // namespace vantrel
