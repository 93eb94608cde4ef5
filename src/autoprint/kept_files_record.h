#pragma once

#include <functional>
#include <map>
#include <string>
#include <system_error>

#include "platform/file_system.h"

namespace vantrel {

// The files AutoPrint gave up on (printed but not deletable, or failed and not movable), kept
// in a small file so that a later run does not print them again. An entry holds for as long as
// the path names the same, unchanged file; it is dropped when the file changes or goes. A kept
// file also keeps its printing mark in its folder, so that no other AutoPrint, of another user
// or machine, prints it again; the mark goes with the entry.
//
// Every AutoPrint of the user (the window's, and each service) shares the file: a change is
// made under a lock, on what the file holds then, and written whole in one step; only this user
// may read it. A path is stored with its control bytes spelled out, so that any name fits on one
// line.
class KeptFilesRecord {
  public:
    // recordPath empty: kept in memory only.
    explicit KeptFilesRecord(std::string recordPath);

    bool contains(const std::string& path, const FileIdentity& identity) const;
    // Each returns why the record could not be saved; an empty code when it was. The change
    // holds in memory either way. An entry that add replaces takes its mark with it.
    std::error_code add(FileSystem& files, const std::string& path, const FileIdentity& identity);
    // Drops the entries whose path no longer names the file recorded, with their marks, and
    // takes in those that another AutoPrint recorded meanwhile.
    std::error_code prune(FileSystem& files);

    const std::string& recordPath() const { return recordPath_; }

  private:
    using Entries = std::map<std::string, FileIdentity>;
    std::error_code update(const std::function<bool(Entries&)>& change);
    Entries load() const;

    std::string recordPath_;
    Entries entries_;
};

// Where the files AutoPrint gave up on are remembered: in the user's state directory.
std::string KeptFilesRecordPath();

}  // namespace vantrel
