#include "autoprint/spooled_jobs_record.h"

#include <cstdio>
#include <sstream>

#include "autoprint/record_file.h"
#include "platform/path_text.h"
#include "platform/replace_file.h"
#include "printing/document_name.h"

namespace vantrel {

namespace {

// A record is written anew once it holds this many lines, and more than kFoldRatio for each of
// its entries.
constexpr std::size_t kFoldAtLines = 256;
constexpr std::size_t kFoldRatio = 4;

const std::string kDropWord = "drop";

// The jobs of the copies begun: "12,13", "12,13?" when the last one's document is not known to
// have arrived, "12,+" while the last one's job is created, "-" as an older release noted a copy
// being sent; "." for none.
std::string JobsField(const SpooledFile& file) {
    std::string text;
    for (int job : file.jobs) {
        text += text.empty() ? "" : ",";
        text += job == kBeingCreated ? "+" : job == kBeingSent ? "-" : std::to_string(job);
    }
    if (file.lastUnconfirmed && !text.empty()) text += '?';
    return text.empty() ? "." : text;
}

bool ReadJobs(std::string field, SpooledFile& file) {
    if (field == ".") return true;
    if (field.ends_with('?')) {
        file.lastUnconfirmed = true;
        field.pop_back();
    }
    std::istringstream items(field);
    std::string item;
    while (std::getline(items, item, ',')) {
        if (item == "+" || item == "-") {
            file.jobs.push_back(item == "+" ? kBeingCreated : kBeingSent);
        } else if (!item.empty() && item.find_first_not_of("0123456789") == item.npos &&
                   item.size() < 10) {
            file.jobs.push_back(std::stoi(item));
        } else {
            return false;
        }
    }
    return !file.jobs.empty() || !file.lastUnconfirmed;
}

std::string EntryLine(const std::string& path, const SpooledFile& file) {
    return IdentityFields(file.identity) + ' ' + std::to_string(file.copies) + ' ' +
           RecordField(file.printer, true) + ' ' + JobsField(file) + ' ' + RecordField(path) + '\n';
}

// One line into entries: an entry, or the drop of one. False when it is damaged.
bool ReadLine(const std::string& line, std::map<std::string, SpooledFile>& entries) {
    if (line.starts_with(kDropWord + ' ')) {
        auto path = RecordFieldText(line.substr(kDropWord.size() + 1));
        if (path) entries.erase(*path);
        return path.has_value();
    }
    std::istringstream fields(line);
    SpooledFile file;
    std::string printer, jobs, path;
    if (!ReadIdentityFields(fields, file.identity) || !(fields >> file.copies >> printer >> jobs) ||
        fields.get() != ' ' || !std::getline(fields, path) || !ReadJobs(jobs, file) ||
        file.copies < 1) {
        return false;
    }
    auto printerText = RecordFieldText(printer);
    auto pathText = RecordFieldText(path);
    if (!printerText || !pathText || pathText->empty()) return false;
    file.printer = *printerText;
    entries[*pathText] = std::move(file);
    return true;
}

// The file's mark: FNV-1a of its path and identity, so that two files, or one file's two
// versions, never share a job name.
std::string FileMark(const std::string& path, const FileIdentity& id) {
    std::uint64_t hash = 14695981039346656037ull;
    const auto mix = [&](const std::string& bytes) {
        for (unsigned char c : bytes) hash = (hash ^ c) * 1099511628211ull;
    };
    mix(path);
    mix(' ' + std::to_string(id.device) + ' ' + std::to_string(id.inode) + ' ' +
        std::to_string(id.size) + ' ' + std::to_string(id.modifiedNs));
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

}  // namespace

std::string SpooledCopyName(const std::string& path, const FileIdentity& identity, int copy) {
    return DocumentName(path) + " [" + FileMark(path, identity) + "-" + std::to_string(copy) + "]";
}

std::string PrintingMarkName(const std::string& path, const FileIdentity& identity) {
    return ".vantrel-printing-" + FileMark(path, identity);
}

SpooledJobsRecord::SpooledJobsRecord(std::string recordPath) : recordPath_(std::move(recordPath)) {
    Loaded loaded = load(&unreadable_);
    entries_ = std::move(loaded.entries);
    lines_ = loaded.lines;
    skipped_ = loaded.skipped;
}

const SpooledFile* SpooledJobsRecord::find(const std::string& path) const {
    auto found = entries_.find(path);
    return found == entries_.end() ? nullptr : &found->second;
}

std::error_code SpooledJobsRecord::put(const std::string& path, const SpooledFile& file,
                                       bool durable) {
    entries_[path] = file;
    return append(EntryLine(path, file), durable);
}

std::error_code SpooledJobsRecord::drop(const std::string& path) {
    if (entries_.erase(path) == 0) return {};
    return append(kDropWord + ' ' + RecordField(path) + '\n', false);
}

std::vector<std::string> SpooledJobsRecord::paths() const {
    std::vector<std::string> out;
    for (const auto& entry : entries_) out.push_back(entry.first);
    return out;
}

std::error_code SpooledJobsRecord::append(const std::string& line, bool durable) {
    if (recordPath_.empty()) return {};
    ++lines_;
    if (lines_ >= kFoldAtLines && lines_ > kFoldRatio * entries_.size()) {
        return compact([](const std::string&, const FileIdentity&) { return true; });
    }
    if (auto error = MakePrivateFolders(ParentOf(recordPath_))) return error;
    // Under the lock, so that a record written anew meanwhile is never appended to as it goes.
    return WithRecordLock(recordPath_,
                          [&] { return AppendToPrivateFile(recordPath_, line, durable); });
}

// Under the lock: every AutoPrint's lines as the file holds them, this run's entries over them,
// written whole in one step.
std::error_code SpooledJobsRecord::compact(
    const std::function<bool(const std::string&, const FileIdentity&)>& stillThere, bool force) {
    const bool due = lines_ >= kFoldAtLines && lines_ > kFoldRatio * entries_.size();
    if (recordPath_.empty() || !(due || (force && lines_ > entries_.size()))) return {};
    std::erase_if(entries_, [&](const auto& entry) {
        return !stillThere(entry.first, entry.second.identity);
    });
    return UpdateRecordFile(recordPath_, [&]() -> std::optional<std::string> {
        Entries entries = load(nullptr).entries;
        std::erase_if(entries, [&](const auto& entry) {
            return entries_.contains(entry.first) ||
                   !stillThere(entry.first, entry.second.identity);
        });
        entries.insert(entries_.begin(), entries_.end());
        std::string text;
        for (const auto& [path, file] : entries) text += EntryLine(path, file);
        lines_ = entries.size();
        return text;
    });
}

SpooledJobsRecord::Loaded SpooledJobsRecord::load(std::string* why) const {
    Loaded loaded;
    if (recordPath_.empty()) return loaded;
    const auto lines = ReadRecordLines(recordPath_, why);
    if (!lines) return loaded;
    for (const auto& line : *lines) {
        ++loaded.lines;
        // A damaged line is skipped: at worst its file is printed as a new one.
        if (!ReadLine(line, loaded.entries)) ++loaded.skipped;
    }
    return loaded;
}

std::string SpooledJobsRecordPath() {
    return StateRecordPath(kSpooledJobsRecordName);
}

}  // namespace vantrel
