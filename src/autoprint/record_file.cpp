#include "autoprint/record_file.h"

#include <cctype>
#include <cstdio>
#include <memory>
#include <sstream>

#include "platform/file_lock.h"
#include "platform/path_text.h"
#include "platform/replace_file.h"
#include "platform/system_places.h"

namespace vantrel {

namespace {

// A path is absolute and a printer name never begins with one, so a field begins with a quote
// only when written so.
constexpr char kQuote = '"';

}  // namespace

std::string StateRecordPath(const std::string& name) {
    const std::string state = UserStateDirectory();
    return state.empty() ? std::string() : JoinPath(state, name);
}

std::string RecordField(const std::string& text, bool inField) {
    std::string out(1, kQuote);
    for (unsigned char c : text) {
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c < 0x20 || c == 0x7F || (inField && (c == ' ' || c == kQuote))) {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + kQuote;
}

std::optional<std::string> RecordFieldText(const std::string& field) {
    if (field.size() < 2 || field.front() != kQuote) return field;  // an older line
    if (field.back() != kQuote) return std::nullopt;
    std::string text;
    for (std::size_t i = 1; i + 1 < field.size(); ++i) {
        if (field[i] != '\\') {
            text += field[i];
        } else if (field.compare(i, 2, "\\\\") == 0 || field.compare(i, 2, "\\n") == 0) {
            text += field[++i] == 'n' ? '\n' : '\\';
        } else if (field.compare(i, 2, "\\x") == 0 && i + 4 < field.size() &&
                   std::isxdigit(static_cast<unsigned char>(field[i + 2])) &&
                   std::isxdigit(static_cast<unsigned char>(field[i + 3]))) {
            text += static_cast<char>(std::stoi(field.substr(i + 2, 2), nullptr, 16));
            i += 3;
        } else {
            return std::nullopt;
        }
    }
    return text;
}

std::error_code UpdateRecordFile(const std::string& recordPath,
                                 const std::function<std::optional<std::string>()>& change) {
    std::unique_ptr<FileLock> lock;
    std::error_code error = MakePrivateFolders(ParentOf(recordPath));
    try {
        if (!error) lock = LockFile(recordPath + ".lock");
    } catch (const std::system_error& failure) {
        error = failure.code();
    }
    const auto text = change();
    if (error || !text) return error;
    return ReplaceFileAtomically(recordPath, *text);
}

std::optional<std::vector<std::string>> ReadRecordLines(const std::string& recordPath,
                                                        std::string* why) {
    std::string unread;
    const auto text = ReadPrivateFile(recordPath, unread);
    if (!text) {
        if (why) *why = unread;
        return std::nullopt;
    }
    std::vector<std::string> lines;
    std::istringstream in(*text);
    for (std::string line; std::getline(in, line);) {
        if (line.ends_with('\r')) line.pop_back();
        lines.push_back(std::move(line));
    }
    return lines;
}

std::error_code WithRecordLock(const std::string& recordPath,
                               const std::function<std::error_code()>& write) {
    try {
        const auto lock = LockFile(recordPath + ".lock");
        return write();
    } catch (const std::system_error& failure) {
        return failure.code();
    }
}

std::string IdentityFields(const FileIdentity& identity) {
    return std::to_string(identity.device) + ' ' + std::to_string(identity.inode) + ' ' +
           std::to_string(identity.size) + ' ' + std::to_string(identity.modifiedNs);
}

bool ReadIdentityFields(std::istream& fields, FileIdentity& identity) {
    return static_cast<bool>(fields >> identity.device >> identity.inode >> identity.size >>
                             identity.modifiedNs);
}

}  // namespace vantrel
