#pragma once

#include <string>
#include <system_error>
#include <vector>

namespace vantrel {

// One entry of a directory: its name as the system stores it (on POSIX any bytes, not always
// valid text), what it is once links are followed, and whether the system hides it.
struct DirectoryEntry {
    enum class Kind { File, Directory, Other };
    std::string name;
    Kind kind = Kind::Other;
    bool hidden = false;
};

// The entries of the directory at path in one pass, in the system's order, without "." and "..".
// Throws std::system_error when the directory cannot be read.
std::vector<DirectoryEntry> ListDirectory(const std::string& path);

}  // namespace vantrel
