#pragma once

#include <cstddef>
#include <string>

namespace vantrel {

// GetPrivateProfileStringA over the bytes of an INI file: the value of key in section, or the
// default (without its trailing blanks) when the file, section or key is missing; at most
// bufferSize - 1 bytes, the bytes as the file holds them.
std::string ProfileString(const std::string& file, const std::string& section,
                          const std::string& key, const std::string& defaultValue,
                          std::size_t bufferSize);

}  // namespace vantrel
