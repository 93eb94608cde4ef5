// One readdir pass; the entry's type comes from the directory itself where the file system gives
// it, so that only links and entries of unknown type cost a stat.
#include "platform/directory_listing.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <memory>

namespace vantrel {

namespace {

DirectoryEntry::Kind KindOf(int dirFd, const dirent& entry) {
    if (entry.d_type == DT_REG) return DirectoryEntry::Kind::File;
    if (entry.d_type == DT_DIR) return DirectoryEntry::Kind::Directory;
    if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN) return DirectoryEntry::Kind::Other;
    struct stat info {};
    if (::fstatat(dirFd, entry.d_name, &info, 0) != 0) return DirectoryEntry::Kind::Other;
    if (S_ISREG(info.st_mode)) return DirectoryEntry::Kind::File;
    if (S_ISDIR(info.st_mode)) return DirectoryEntry::Kind::Directory;
    return DirectoryEntry::Kind::Other;
}

}  // namespace

std::vector<DirectoryEntry> ListDirectory(const std::string& path) {
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(path.c_str()), &::closedir);
    if (!dir) throw std::system_error(errno, std::generic_category(), path);
    std::vector<DirectoryEntry> entries;
    for (;;) {
        errno = 0;  // readdir tells its end from a failure only by errno
        const dirent* entry = ::readdir(dir.get());
        if (!entry) break;
        const std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        entries.push_back({name, KindOf(::dirfd(dir.get()), *entry), name.front() == '.'});
    }
    if (errno != 0) throw std::system_error(errno, std::generic_category(), path);
    return entries;
}

}  // namespace vantrel
