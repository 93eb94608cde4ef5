#include "platform/posix/file_identity.h"

#include <cerrno>
#include <cstring>

namespace vantrel {

FileIdentity IdentityOf(const struct stat& info) {
    return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
            static_cast<std::uint64_t>(info.st_size),
            static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

FileIdentity IdentityOfOpenFile(int fd) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) throw FileReadError(std::strerror(errno));
    return IdentityOf(info);
}

}  // namespace vantrel
