#pragma once

#include <memory>
#include <string>

#include "platform/file_system.h"

namespace vantrel {

// A private file in directory (mode 0600) whose name is gone before the caller gets it: it lives
// in its descriptor only, so no signal can leave it behind. Throws FileReadError.
std::unique_ptr<PrivateFile> CreateUnnamedFile(const std::string& directory);

}  // namespace vantrel
