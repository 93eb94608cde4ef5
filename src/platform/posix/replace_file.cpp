#include "platform/replace_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

namespace vantrel {

namespace {

std::error_code LastError() {
    return {errno, std::generic_category()};
}

std::error_code WriteAll(int fd, const std::string& bytes) {
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote < 0) return LastError();
        done += static_cast<std::size_t>(wrote);
    }
    return ::fsync(fd) == 0 ? std::error_code() : LastError();
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
