#pragma once

#include <memory>
#include <optional>
#include <string>

namespace vantrel {

// An exclusive lock on a file between processes, held for as long as the object lives and
// released by the system when the process ends, however it ends.
class FileLock {
  public:
    virtual ~FileLock() = default;
};

// Takes the lock on the file at path, made (for this user only) when missing. Without waiting:
// nothing when another process holds it. Throws std::system_error when the file cannot be opened.
std::unique_ptr<FileLock> TryLockFile(const std::string& path);
// The same, waiting for as long as another process holds it.
std::unique_ptr<FileLock> LockFile(const std::string& path);

// The watch of a folder: held by one process at a time, whichever user runs it and on whichever
// machine, since its lock lies in the folder itself (the systems' file locks reach across NFSv4
// and SMB). The lock file is made in the folder when missing, never through a link, and the
// holder writes who it is into it.
struct FolderWatch {
    std::unique_ptr<FileLock> lock;  // taken: this process watches the folder now
    std::string holder;              // otherwise who holds it, as the holder wrote itself
    std::error_code error;           // the lock file could not be had at all
    // The folder's file system takes no locks: nobody can tell another watcher is there.
    bool locksUnsupported = false;
};
FolderWatch TryWatchFolder(const std::string& folder, const std::string& lockName,
                           const std::string& me);

// This process as a holder names itself: "host HOST, process PID of user USER".
std::string ThisProcessName();

// Whether two holders' words name the same user on the same host, whose AutoPrints share the
// user's records.
inline bool SameUser(const std::string& holder, const std::string& other) {
    const auto who = [](const std::string& words) {
        const auto host = words.find(", process "), user = words.rfind(" of user ");
        if (host == std::string::npos || user == std::string::npos) return std::string();
        return words.substr(0, host) + words.substr(user);
    };
    return !who(holder).empty() && who(holder) == who(other);
}

}  // namespace vantrel
