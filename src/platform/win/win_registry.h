#pragma once

#include <memory>

#include "platform/registry.h"

namespace vantrel {

// The Windows registry, read through RegOpenKeyExA, RegQueryValueExA and RegCloseKey.
std::unique_ptr<Registry> MakeWindowsRegistry();

}  // namespace vantrel
