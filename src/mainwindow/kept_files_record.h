#pragma once

#include <map>
#include <string>

#include "platform/file_system.h"

namespace vantrel {

// The files AutoPrint gave up on (printed but not deletable, or failed and not movable), kept
// in a small file so that a later run does not print them again. An entry holds for as long as
// the path names the same, unchanged file; it is dropped when the file changes or goes.
class KeptFilesRecord {
  public:
    // recordPath empty: kept in memory only.
    explicit KeptFilesRecord(std::string recordPath);

    bool contains(const std::string& path, const FileIdentity& identity) const;
    void add(const std::string& path, const FileIdentity& identity);
    // Drops the entries whose path no longer names the file recorded.
    void prune(FileSystem& files);

  private:
    void load();
    void save() const;

    std::string recordPath_;
    std::map<std::string, FileIdentity> entries_;
};

}  // namespace vantrel
