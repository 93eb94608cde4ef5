#include "autoprint/kept_files_record.h"

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "platform/file_lock.h"
#include "platform/replace_file.h"

namespace vantrel {

namespace {

// One line per file: device, inode, size, modification time, then the path. Today's lines
// quote the path and spell out backslashes and control bytes ("\\", "\n", "\x1b"); older
// lines hold it raw to the line's end, and are still read so. A path is absolute, so it never
// begins with a quote unless written today.
constexpr char kQuote = '"';

std::string Escaped(const std::string& path) {
    std::string out(1, kQuote);
    for (unsigned char c : path) {
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c < 0x20 || c == 0x7F) {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + kQuote;
}

// The path of a line; empty when the line is damaged.
std::string Unescaped(const std::string& field) {
    if (field.size() < 2 || field.front() != kQuote) return field;  // an older line
    if (field.back() != kQuote) return {};
    std::string path;
    for (std::size_t i = 1; i + 1 < field.size(); ++i) {
        if (field[i] != '\\') {
            path += field[i];
        } else if (field.compare(i, 2, "\\\\") == 0 || field.compare(i, 2, "\\n") == 0) {
            path += field[++i] == 'n' ? '\n' : '\\';
        } else if (field.compare(i, 2, "\\x") == 0 && i + 4 < field.size() &&
                   std::isxdigit(static_cast<unsigned char>(field[i + 2])) &&
                   std::isxdigit(static_cast<unsigned char>(field[i + 3]))) {
            path += static_cast<char>(std::stoi(field.substr(i + 2, 2), nullptr, 16));
            i += 3;
        } else {
            return {};
        }
    }
    return path;
}

}  // namespace

KeptFilesRecord::KeptFilesRecord(std::string recordPath)
    : recordPath_(std::move(recordPath)), entries_(load()) {}

bool KeptFilesRecord::contains(const std::string& path, const FileIdentity& identity) const {
    auto found = entries_.find(path);
    return found != entries_.end() && found->second == identity;
}

std::error_code KeptFilesRecord::add(const std::string& path, const FileIdentity& identity) {
    return update([&](Entries& entries) {
        entries[path] = identity;
        return true;
    });
}

std::error_code KeptFilesRecord::prune(FileSystem& files) {
    return update([&](Entries& entries) {
        return std::erase_if(entries, [&](const auto& entry) {
                   auto now = files.identityOf(entry.first);
                   return !now || !(*now == entry.second);
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
    std::unique_ptr<FileLock> lock;
    std::error_code error =
        MakePrivateFolders(std::filesystem::path(recordPath_).parent_path().string());
    try {
        if (!error) lock = LockFile(recordPath_ + ".lock");
    } catch (const std::system_error& failure) {
        error = failure.code();
    }
    const Entries onDisk = load();
    Entries merged = onDisk;
    merged.insert(entries_.begin(), entries_.end());
    change(merged);
    entries_ = merged;
    if (error || merged == onDisk) return error;
    std::string text;
    for (const auto& [path, id] : merged) {
        text += std::to_string(id.device) + ' ' + std::to_string(id.inode) + ' ' +
                std::to_string(id.size) + ' ' + std::to_string(id.modifiedNs) + ' ' +
                Escaped(path) + '\n';
    }
    return ReplaceFileAtomically(recordPath_, text);
}

KeptFilesRecord::Entries KeptFilesRecord::load() const {
    Entries entries;
    if (recordPath_.empty()) return entries;
    // Read as text: a record written by an older release on Windows ends its lines with CR LF.
    // Lines written now spell every control byte out, so nothing of a name is lost that way.
    std::ifstream in(recordPath_);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        FileIdentity identity;
        std::string field;
        // A damaged line is skipped: at worst its file is printed once more.
        if (fields >> identity.device >> identity.inode >> identity.size >> identity.modifiedNs &&
            fields.get() == ' ' && std::getline(fields, field)) {
            if (auto path = Unescaped(field); !path.empty()) entries[path] = identity;
        }
    }
    return entries;
}

}  // namespace vantrel
