#pragma once

#include <cstddef>
#include <string>

namespace vantrel {

// count bytes from the system's cryptographically secure random source. Throws
// std::system_error when it cannot give them.
std::string SecureRandomBytes(std::size_t count);

}  // namespace vantrel
