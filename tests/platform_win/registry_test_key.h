#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace vantrel::testing {

// A registry key of its own under HKEY_CURRENT_USER\Software\Vantrel Tests, deleted with
// everything in it when the test ends. Values are written with exactly the bytes given.
class RegistryTestKey {
  public:
    explicit RegistryTestKey(const std::string& name)
        : path_("Software\\Vantrel Tests\\" + name + "-" + std::to_string(GetCurrentProcessId())) {
        RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
    }
    ~RegistryTestKey() {
        RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Vantrel Tests");  // only when empty
    }
    RegistryTestKey(const RegistryTestKey&) = delete;
    RegistryTestKey& operator=(const RegistryTestKey&) = delete;

    // The key's path under HKEY_CURRENT_USER.
    const std::string& path() const { return path_; }

    // Writes value (in subKey of this key, when given) with type and bytes; false on failure.
    bool set(const std::string& value, std::uint32_t type, const std::string& bytes,
             const std::string& subKey = {}) const {
        HKEY key = nullptr;
        const std::string keyPath = subKey.empty() ? path_ : path_ + "\\" + subKey;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                            nullptr, &key, nullptr) != ERROR_SUCCESS) {
            return false;
        }
        const LONG result =
            RegSetValueExA(key, value.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                           static_cast<DWORD>(bytes.size()));
        RegCloseKey(key);
        return result == ERROR_SUCCESS;
    }

  private:
    std::string path_;
};

// The four bytes of a DWORD as the registry stores them, least significant first.
inline std::string DwordBytes(std::uint32_t value) {
    std::string bytes;
    for (int i = 0; i < 4; ++i) bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
    return bytes;
}

}  // namespace vantrel::testing
