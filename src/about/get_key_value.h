#pragma once

#include <stdexcept>
#include <string>

#include "platform/registry.h"

namespace vantrel {

// The size of the buffer a registry value is read into; larger values cannot be read.
constexpr std::size_t kKeyValueBufferSize = 1024;

// Raised for a registry value that cannot be turned into text (one of zero bytes).
class RegistryValueError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Reads the value subKeyRef of the key keyName under keyRoot as text into keyVal.
// A string value gives its text without a terminating NUL; a DWORD gives "&h" and its bytes in
// hexadecimal, most significant first, after a most significant zero byte has been dropped; a
// value of any other type leaves keyVal as it was. True whenever the value was read; false, with
// keyVal empty, when the key cannot be opened or the value cannot be read (a value larger than
// the buffer included). Throws RegistryValueError for a value of zero bytes.
bool GetKeyValue(Registry& registry, RegistryRoot keyRoot, const std::string& keyName,
                 const std::string& subKeyRef, std::string& keyVal);

}  // namespace vantrel
