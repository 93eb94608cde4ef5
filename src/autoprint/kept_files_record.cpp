#include "autoprint/kept_files_record.h"

#include <sstream>

#include "autoprint/record_file.h"
#include "autoprint/spooled_jobs_record.h"
#include "platform/path_text.h"

namespace vantrel {

KeptFilesRecord::KeptFilesRecord(std::string recordPath)
    : recordPath_(std::move(recordPath)), entries_(load()) {}

bool KeptFilesRecord::contains(const std::string& path, const FileIdentity& identity) const {
    auto found = entries_.find(path);
    return found != entries_.end() && found->second == identity;
}

namespace {

void RemoveMark(FileSystem& files, const std::string& path, const FileIdentity& identity) {
    files.removeFile(JoinPath(ParentOf(path), PrintingMarkName(path, identity)));
}

}  // namespace

std::error_code KeptFilesRecord::add(FileSystem& files, const std::string& path,
                                     const FileIdentity& identity) {
    return update([&](Entries& entries) {
        auto [entry, added] = entries.try_emplace(path, identity);
        // The file kept there before is gone from the path (this one took its name), and so
        // goes its mark, or nothing would ever remove it.
        if (!added && !(entry->second == identity)) RemoveMark(files, path, entry->second);
        entry->second = identity;
        return true;
    });
}

std::error_code KeptFilesRecord::prune(FileSystem& files) {
    return update([&](Entries& entries) {
        return std::erase_if(entries, [&](const auto& entry) {
                   auto now = files.identityOf(entry.first);
                   if (now && *now == entry.second) return false;
                   RemoveMark(files, entry.first, entry.second);
                   return true;
               }) > 0;
    });
}

// Under the lock: what the file holds now, with this run's entries, changed; written only when
// it differs from what the file holds.
std::error_code KeptFilesRecord::update(const std::function<bool(Entries&)>& change) {
    if (recordPath_.empty()) {
        change(entries_);
        return {};
    }
    return UpdateRecordFile(recordPath_, [&]() -> std::optional<std::string> {
        const Entries onDisk = load();
        Entries merged = onDisk;
        merged.insert(entries_.begin(), entries_.end());
        change(merged);
        entries_ = merged;
        if (merged == onDisk) return std::nullopt;
        // One line per file: device, inode, size, modification time, then the path.
        std::string text;
        for (const auto& [path, id] : merged) {
            text += IdentityFields(id) + ' ' + RecordField(path) + '\n';
        }
        return text;
    });
}

KeptFilesRecord::Entries KeptFilesRecord::load() const {
    Entries entries;
    if (recordPath_.empty()) return entries;
    for (const auto& line : ReadRecordLines(recordPath_).value_or(std::vector<std::string>{})) {
        std::istringstream fields(line);
        FileIdentity identity;
        std::string field;
        // A damaged line is skipped: at worst its file is printed once more.
        if (ReadIdentityFields(fields, identity) && fields.get() == ' ' &&
            std::getline(fields, field)) {
            // Older lines hold the path raw to the line's end, and are still read so.
            if (auto path = RecordFieldText(field); path && !path->empty())
                entries[*path] = identity;
        }
    }
    return entries;
}

std::string KeptFilesRecordPath() {
    return StateRecordPath("autoprint-kept");
}

}  // namespace vantrel
