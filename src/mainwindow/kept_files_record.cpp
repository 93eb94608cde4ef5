#include "mainwindow/kept_files_record.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

namespace vantrel {

namespace fs = std::filesystem;

// One line per file: device, inode, size, modification time, then the path to the line's end.

KeptFilesRecord::KeptFilesRecord(std::string recordPath) : recordPath_(std::move(recordPath)) {
    load();
}

bool KeptFilesRecord::contains(const std::string& path, const FileIdentity& identity) const {
    auto found = entries_.find(path);
    return found != entries_.end() && found->second == identity;
}

void KeptFilesRecord::add(const std::string& path, const FileIdentity& identity) {
    entries_[path] = identity;
    save();
}

void KeptFilesRecord::prune(FileSystem& files) {
    const auto erased = std::erase_if(entries_, [&](const auto& entry) {
        auto now = files.identityOf(entry.first);
        return !now || !(*now == entry.second);
    });
    if (erased > 0) save();
}

void KeptFilesRecord::load() {
    if (recordPath_.empty()) return;
    std::ifstream in(recordPath_);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        FileIdentity identity;
        std::string path;
        // A damaged line is skipped: at worst its file is printed once more.
        if (fields >> identity.device >> identity.inode >> identity.size >> identity.modifiedNs &&
            fields.get() == ' ' && std::getline(fields, path) && !path.empty()) {
            entries_[path] = identity;
        }
    }
}

void KeptFilesRecord::save() const {
    if (recordPath_.empty()) return;
    std::error_code error;
    fs::create_directories(fs::path(recordPath_).parent_path(), error);
    // Written aside and renamed into place, so a crash leaves the old record or the new one.
    const std::string temporary = recordPath_ + ".new";
    {
        std::ofstream out(temporary, std::ios::trunc);
        for (const auto& [path, id] : entries_) {
            if (path.find('\n') != std::string::npos) continue;  // cannot be one line
            out << id.device << ' ' << id.inode << ' ' << id.size << ' ' << id.modifiedNs << ' '
                << path << '\n';
        }
        if (!out.flush()) return;
    }
    fs::rename(temporary, recordPath_, error);
}

}  // namespace vantrel
