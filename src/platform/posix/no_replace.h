#pragma once

#include <string>
#include <system_error>

namespace vantrel {

// Gives the file at from the name to in one step; std::errc::file_exists, leaving both, when
// that name is taken.
std::error_code MoveWithoutReplacing(const std::string& from, const std::string& to);

// Copies the file at from (links followed) into a new file to, with its permissions;
// std::errc::file_exists when that name is taken. What a failed copy wrote is removed.
std::error_code CopyWithoutReplacing(const std::string& from, const std::string& to);

}  // namespace vantrel
