#pragma once

#include <string>

namespace vantrel {

// "Vantrel: " followed by the file-name part of path (everything after the last separator).
std::string DocumentName(const std::string& path);

}  // namespace vantrel
