#include "autoprint/spooled_jobs_record.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "autoprint/record_file.h"
#include "printing/document_name.h"

namespace vantrel {

namespace {

// The jobs of the copies begun: "12,13,-", "-" for the one being sent; "." for none.
std::string JobsField(const std::vector<int>& jobs) {
    std::string text;
    for (int job : jobs) {
        text += (text.empty() ? "" : ",") + (job == kBeingSent ? "-" : std::to_string(job));
    }
    return text.empty() ? "." : text;
}

bool ReadJobs(const std::string& field, std::vector<int>& jobs) {
    if (field == ".") return true;
    std::istringstream items(field);
    std::string item;
    while (std::getline(items, item, ',')) {
        if (item == "-") {
            jobs.push_back(kBeingSent);
        } else if (!item.empty() && item.find_first_not_of("0123456789") == item.npos &&
                   item.size() < 10) {
            jobs.push_back(std::stoi(item));
        } else {
            return false;
        }
    }
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

SpooledJobsRecord::SpooledJobsRecord(std::string recordPath)
    : recordPath_(std::move(recordPath)), entries_(load()) {}

const SpooledFile* SpooledJobsRecord::find(const std::string& path) const {
    auto found = entries_.find(path);
    return found == entries_.end() ? nullptr : &found->second;
}

std::error_code SpooledJobsRecord::put(const std::string& path, const SpooledFile& file) {
    return change(path, &file);
}

std::error_code SpooledJobsRecord::drop(const std::string& path) {
    if (!entries_.contains(path)) return {};
    return change(path, nullptr);
}

std::vector<std::string> SpooledJobsRecord::paths() const {
    std::vector<std::string> out;
    for (const auto& entry : entries_) out.push_back(entry.first);
    return out;
}

// Under the lock: what the file holds now, with this one entry set or dropped. Only the
// entries of this service's own files change, so the others' are taken as they stand.
std::error_code SpooledJobsRecord::change(const std::string& path, const SpooledFile* file) {
    const auto apply = [&](Entries& entries) {
        file ? void(entries[path] = *file) : void(entries.erase(path));
    };
    apply(entries_);
    if (recordPath_.empty()) return {};
    return UpdateRecordFile(recordPath_, [&]() -> std::optional<std::string> {
        Entries entries = load();
        apply(entries);
        // One line per file: device, inode, size, modification time, copies, printer, jobs,
        // then the path.
        std::string text;
        for (const auto& [at, f] : entries) {
            const FileIdentity& id = f.identity;
            text += IdentityFields(id) + ' ' + std::to_string(f.copies) + ' ' +
                    RecordField(f.printer, true) + ' ' + JobsField(f.jobs) + ' ' + RecordField(at) +
                    '\n';
        }
        return text;
    });
}

SpooledJobsRecord::Entries SpooledJobsRecord::load() const {
    Entries entries;
    if (recordPath_.empty()) return entries;
    std::ifstream in(recordPath_);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        SpooledFile file;
        FileIdentity& id = file.identity;
        std::string printer, jobs, path;
        // A damaged line is skipped: its file is printed as a new one.
        if (ReadIdentityFields(fields, id) && fields >> file.copies >> printer >> jobs &&
            fields.get() == ' ' && std::getline(fields, path) && ReadJobs(jobs, file.jobs)) {
            auto printerText = RecordFieldText(printer);
            auto pathText = RecordFieldText(path);
            if (printerText && pathText && !pathText->empty()) {
                file.printer = *printerText;
                entries[*pathText] = file;
            }
        }
    }
    return entries;
}

}  // namespace vantrel
