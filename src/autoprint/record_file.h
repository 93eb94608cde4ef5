#pragma once

#include <functional>
#include <istream>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "platform/file_system.h"

namespace vantrel {

// What AutoPrint's small private records (the kept files, the spooled jobs) share: one line per
// entry, with names spelled so that any name fits on one line and one field, and a change made
// under a lock on what the file holds then and written whole in one step, readable by this user
// only.

// The text quoted, with backslashes and control bytes spelled out ("\\", "\n", "\x1b"); with
// inField, spaces and quotes too, so that the text is one field among others on its line.
std::string RecordField(const std::string& text, bool inField = false);
// The text of a field as RecordField wrote it, or of an older unquoted one as it stands;
// nothing when it is damaged.
std::optional<std::string> RecordFieldText(const std::string& field);

// A file's identity as the first fields of a line: device, inode, size and modification time.
std::string IdentityFields(const FileIdentity& identity);
// Reads those fields back; false when the line is damaged there.
bool ReadIdentityFields(std::istream& fields, FileIdentity& identity);

// The path of the record named name in the user's state directory; empty when there is none.
std::string StateRecordPath(const std::string& name);

// Under the record's lock: change() reads what the file holds and returns its new text, or
// nothing when it stays as it is; the text then replaces the file in one step. change() runs
// even when the lock or the folder cannot be had, so that the change holds in memory; the
// error says why the file was not written.
std::error_code UpdateRecordFile(const std::string& recordPath,
                                 const std::function<std::optional<std::string>()>& change);
// The lines of the record at path (none when it is missing), a CR an older release wrote on
// Windows taken off each; nothing, and why in words, when it is no plain file or cannot be read.
std::optional<std::vector<std::string>> ReadRecordLines(const std::string& recordPath,
                                                        std::string* why = nullptr);
// Runs write under the record's lock; its error, or why the lock could not be had.
std::error_code WithRecordLock(const std::string& recordPath,
                               const std::function<std::error_code()>& write);

}  // namespace vantrel
