#pragma once

#include <map>
#include <string>
#include <system_error>
#include <vector>

#include "platform/file_system.h"

namespace vantrel {

// A copy whose document was begun but whose job number is not known yet: the run may have died
// while it was sent, or just after.
constexpr int kBeingSent = -1;

// What the service did of one file so far.
struct SpooledFile {
    FileIdentity identity;  // the file as it settled
    std::string printer;    // the device name its copies go to
    int copies = 1;         // how many were asked
    // Per copy begun, in order: its job's number (0: an empty file, no document), or kBeingSent
    // for the last one.
    std::vector<int> jobs;
    bool operator==(const SpooledFile&) const = default;
};

// The document name of one copy of a file: "Vantrel: NAME" as every print is named, then a mark
// of that file and copy, so that its job is found again after a run that died before it could
// note the job's number.
std::string SpooledCopyName(const std::string& path, const FileIdentity& identity, int copy);

// The files the headless AutoPrint is printing, and each copy's job, kept in a small private
// file beside the kept-files record, so that a run that was killed at any point resumes each
// file where it was: no copy is printed twice, none is lost. Each service writes only the
// entries of its own folders; a change is made under the record's lock on what the file holds
// then, and written whole in one step.
class SpooledJobsRecord {
  public:
    // recordPath empty: kept in memory only.
    explicit SpooledJobsRecord(std::string recordPath);

    // The entry of the path; nullptr when there is none.
    const SpooledFile* find(const std::string& path) const;
    // Each returns why the record could not be saved; an empty code when it was. The change
    // holds in memory either way.
    std::error_code put(const std::string& path, const SpooledFile& file);
    std::error_code drop(const std::string& path);
    // The paths of every entry, in this service's folders or not.
    std::vector<std::string> paths() const;

    const std::string& recordPath() const { return recordPath_; }

  private:
    using Entries = std::map<std::string, SpooledFile>;
    std::error_code change(const std::string& path, const SpooledFile* file);
    Entries load() const;

    std::string recordPath_;
    Entries entries_;
};

}  // namespace vantrel
