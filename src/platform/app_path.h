#pragma once

#include <string>

namespace vantrel {

// The directory that holds the running program, without a trailing separator.
std::string AppPath();

}  // namespace vantrel
