#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <system_error>
#include <vector>

#include "platform/file_system.h"

namespace vantrel {

// Marks of a copy in SpooledFile::jobs besides its job's number (0: an empty file, no document).
// Its job is being created: not a byte of its document was sent.
constexpr int kBeingCreated = -2;
// Noted by an earlier release: its document was begun, its job's number never noted.
constexpr int kBeingSent = -1;

// What an AutoPrint did of one file so far.
struct SpooledFile {
    FileIdentity identity;  // the file as it settled
    std::string printer;    // the device name its copies go to
    int copies = 1;         // how many were asked
    // Per copy begun, in order: its job's number, or a mark for the last one.
    std::vector<int> jobs;
    // The last copy's job was created and noted, but its document is not known to have reached
    // the spooler whole.
    bool lastUnconfirmed = false;
    bool operator==(const SpooledFile&) const = default;
};

// The document name of one copy of a file: "Vantrel: NAME" as every print is named, then a mark
// of that file and copy, so that its job is told apart from every other's.
std::string SpooledCopyName(const std::string& path, const FileIdentity& identity, int copy);

// The name of the mark an AutoPrint leaves in a watched folder while it prints a file, so that
// another AutoPrint that takes the folder over, of another user or machine, leaves that file to
// it: a dot file named for the file and its identity.
std::string PrintingMarkName(const std::string& path, const FileIdentity& identity);

// The files an AutoPrint is printing, and each copy's job, kept in a small private file, so that
// a run that was killed at any point resumes each file where it was: no copy is printed twice,
// none is lost. Each change is one line appended to the file (later lines stand over earlier
// ones), so that it costs the same however many files the record holds; only the line that
// notes a job's number before its document is flushed to the disk at once. Every AutoPrint of
// the user shares the file: each changes only its own files' entries, and the file is written
// anew, in one step under its lock, only once it holds far more lines than entries.
class SpooledJobsRecord {
  public:
    // recordPath empty: kept in memory only.
    explicit SpooledJobsRecord(std::string recordPath);

    // The entry of the path; nullptr when there is none.
    const SpooledFile* find(const std::string& path) const;
    // Each returns why the record could not be saved; an empty code when it was. The change
    // holds in memory either way. With durable, the change is on the disk when this returns.
    std::error_code put(const std::string& path, const SpooledFile& file, bool durable = false);
    std::error_code drop(const std::string& path);
    // The paths of every entry, of this AutoPrint's folders or not.
    std::vector<std::string> paths() const;
    // Writes the record anew without the entries whose file is gone or another one now
    // (stillThere says), once it holds far more lines than entries; with force, once it holds
    // more lines than entries at all.
    std::error_code compact(
        const std::function<bool(const std::string&, const FileIdentity&)>& stillThere,
        bool force = false);

    const std::string& recordPath() const { return recordPath_; }
    // Why the record could not be read at start (then it started empty), and how many of its
    // lines were damaged and skipped.
    const std::string& unreadable() const { return unreadable_; }
    std::size_t skippedLines() const { return skipped_; }

  private:
    using Entries = std::map<std::string, SpooledFile>;
    struct Loaded {
        Entries entries;
        std::size_t lines = 0;
        std::size_t skipped = 0;
    };
    std::error_code append(const std::string& line, bool durable);
    Loaded load(std::string* why) const;

    std::string recordPath_;
    Entries entries_;
    std::size_t lines_ = 0;  // lines in the file, as far as this run knows
    std::string unreadable_;
    std::size_t skipped_ = 0;
};

// Where every AutoPrint notes the files in print and their jobs, beside the kept files.
inline const std::string kSpooledJobsRecordName = "autoprint-spooled";
std::string SpooledJobsRecordPath();

}  // namespace vantrel
