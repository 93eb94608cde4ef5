#include "platform/win/win_registry.h"

#include <windows.h>

#include <string>

#include "platform/backends.h"

namespace vantrel {

namespace {

HKEY RootKey(RegistryRoot root) {
    return root == RegistryRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

class WindowsRegistry : public Registry {
  public:
    std::optional<RegistryValue> queryValue(RegistryRoot root, const std::string& keyName,
                                            const std::string& valueName,
                                            std::size_t bufferSize) override {
        // Read access only: keys under HKEY_LOCAL_MACHINE refuse write access to standard users,
        // and nothing here is written.
        HKEY key = nullptr;
        if (RegOpenKeyExA(RootKey(root), keyName.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
            return std::nullopt;
        }
        std::string buffer(bufferSize, '\0');
        DWORD type = 0;
        DWORD size = static_cast<DWORD>(bufferSize);
        const LONG result = RegQueryValueExA(key, valueName.c_str(), nullptr, &type,
                                             reinterpret_cast<BYTE*>(buffer.data()), &size);
        RegCloseKey(key);
        // ERROR_MORE_DATA: the value is larger than the buffer.
        if (result != ERROR_SUCCESS || size > bufferSize) return std::nullopt;
        buffer.resize(size);
        return RegistryValue{type, std::move(buffer)};
    }
};

}  // namespace

std::unique_ptr<Registry> MakeWindowsRegistry() {
    return std::make_unique<WindowsRegistry>();
}

std::unique_ptr<Registry> MakeSystemRegistry() {
    return MakeWindowsRegistry();
}

}  // namespace vantrel
