#pragma once

#include <optional>
#include <string>

#include "platform/file_system.h"

namespace vantrel {

// The AutoPrint drop directory: "RawSpool" beside the program when the program's directory is
// writable (a portable copy), otherwise under the user's data directory (an installed program).
std::string ChooseDropDirectory(const std::string& appPath, const std::string& userDataDir);

// Creates the drop directory when it is missing; an existing one is left as it is.
// Returns why it could not be made, or nothing when it exists now.
std::optional<std::string> EnsureDropDirectory(FileSystem& files, const std::string& dropDirectory);

}  // namespace vantrel
