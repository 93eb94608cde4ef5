#pragma once

#include <optional>
#include <string>
#include <system_error>

namespace vantrel {

// Gives the file at from the name to in one step; std::errc::file_exists, leaving both, when
// that name is taken.
std::error_code MoveWithoutReplacing(const std::string& from, const std::string& to);

// FileSystem::moveIntoSubfolder: relative to the folder's descriptor, the subfolder opened
// without following a link.
std::error_code MoveIntoSubfolder(const std::string& folder, const std::string& subfolder,
                                  const std::string& name, const std::string& newName);

// FileSystem::createMark and readMark, relative to the folder's descriptor.
std::error_code CreateMark(const std::string& folder, const std::string& name,
                           const std::string& text);
std::optional<std::string> ReadMark(const std::string& folder, const std::string& name);

// Copies the file at from (links followed) into a new file to, with its permissions;
// std::errc::file_exists when that name is taken. What a failed copy wrote is removed.
std::error_code CopyWithoutReplacing(const std::string& from, const std::string& to);

}  // namespace vantrel
