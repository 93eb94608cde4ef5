#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vantrel {

// Registry roots the program reads from.
enum class RegistryRoot { LocalMachine, CurrentUser };

// Registry value types the program tells apart.
constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegDword = 4;

// One value as the registry returned it: its type and its bytes, exactly as many as the
// registry reported (a string may or may not carry its terminating NUL).
struct RegistryValue {
    std::uint32_t type = 0;
    std::string bytes;
};

// Read access to the system registry. Platforms without one have an empty registry.
class Registry {
  public:
    virtual ~Registry() = default;
    // Opens keyName under root, reads valueName into a buffer of bufferSize bytes and closes the
    // key; nothing when the key cannot be opened or the value cannot be read (a value larger
    // than the buffer included).
    virtual std::optional<RegistryValue> queryValue(RegistryRoot root, const std::string& keyName,
                                                    const std::string& valueName,
                                                    std::size_t bufferSize) = 0;
};

}  // namespace vantrel
