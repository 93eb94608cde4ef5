#pragma once

#include <string>

namespace vantrel {

// True when path names an existing regular file, or a symbolic link to one. Directories,
// devices and pipes are not plain files; any failure gives false.
bool IsPlainFile(const std::string& path);

}  // namespace vantrel
