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

// A name that stays the folder's own whatever path leads to it (through links, or another
// mount): its device and number, e.g. "2049-1311768". Nothing when the folder cannot be asked.
std::optional<std::string> FolderKey(const std::string& folder);

}  // namespace vantrel
