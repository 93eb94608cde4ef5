#include "platform/posix/unnamed_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "platform/posix/file_identity.h"

namespace vantrel {

namespace {

[[noreturn]] void Fail(const std::string& what) {
    throw FileReadError(what + ": " + std::strerror(errno));
}

// Reads the file from its start through a descriptor of its own, at its own offset, so that
// every copy reads all of it.
class UnnamedFileReader : public FileReader {
  public:
    explicit UnnamedFileReader(int fd) : fd_(::fcntl(fd, F_DUPFD_CLOEXEC, 0)) {
        if (fd_ < 0) Fail("could not read the kept copy");
        identity_ = IdentityOfOpenFile(fd_);
    }
    ~UnnamedFileReader() override { ::close(fd_); }
    UnnamedFileReader(const UnnamedFileReader&) = delete;
    UnnamedFileReader& operator=(const UnnamedFileReader&) = delete;

    std::size_t read(char* buffer, std::size_t size) override {
        std::size_t total = 0;
        while (total < size) {
            ssize_t got = ::pread(fd_, buffer + total, size - total, offset_);
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) Fail("could not read the kept copy");
            if (got == 0) break;
            total += static_cast<std::size_t>(got);
            offset_ += got;
        }
        return total;
    }
    const FileIdentity& identity() const override { return identity_; }
    std::optional<FileIdentity> identityNow() override { return IdentityOfOpenFile(fd_); }

  private:
    int fd_;
    off_t offset_ = 0;
    FileIdentity identity_;
};

class UnnamedFile : public PrivateFile {
  public:
    UnnamedFile(int fd, std::string directory) : fd_(fd), directory_(std::move(directory)) {}
    ~UnnamedFile() override { ::close(fd_); }
    UnnamedFile(const UnnamedFile&) = delete;
    UnnamedFile& operator=(const UnnamedFile&) = delete;

    void write(const char* data, std::size_t size) override {
        while (size > 0) {
            ssize_t put = ::write(fd_, data, size);
            if (put < 0 && errno == EINTR) continue;
            if (put < 0) Fail("could not keep it in " + directory_);
            data += put;
            size -= static_cast<std::size_t>(put);
        }
    }
    std::unique_ptr<FileReader> openForReading() override {
        return std::make_unique<UnnamedFileReader>(fd_);
    }

  private:
    int fd_;
    std::string directory_;
};

}  // namespace

std::unique_ptr<PrivateFile> CreateUnnamedFile(const std::string& directory) {
    int fd = -1;
#ifdef O_TMPFILE
    // Never named at all, where the file system can do that.
    fd = ::open(directory.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd >= 0) return std::make_unique<UnnamedFile>(fd, directory);
#endif
    std::string path = directory + "/vantrel-XXXXXX";
    fd = ::mkostemp(path.data(), O_CLOEXEC);  // mode 0600
    if (fd < 0) Fail("could not keep it in " + directory);
    ::unlink(path.c_str());
    return std::make_unique<UnnamedFile>(fd, directory);
}

}  // namespace vantrel
