#include "platform/win/registry_settings_store.h"

#include <windows.h>

#include <optional>
#include <vector>

#include "platform/win/win_error.h"

namespace vantrel {

namespace {

// Closes a registry key when it goes out of scope.
class KeyHandle {
  public:
    KeyHandle() = default;
    ~KeyHandle() {
        if (key_) RegCloseKey(key_);
    }
    KeyHandle(const KeyHandle&) = delete;
    KeyHandle& operator=(const KeyHandle&) = delete;

    HKEY* out() { return &key_; }
    HKEY get() const { return key_; }

  private:
    HKEY key_ = nullptr;
};

class RegistrySettingsStore : public SettingsStore {
  public:
    explicit RegistrySettingsStore(std::string keyPath) : keyPath_(std::move(keyPath)) {}

    std::optional<std::string> get(const std::string& section, const std::string& key) override {
        KeyHandle handle;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, sectionPath(section).c_str(), 0, KEY_QUERY_VALUE,
                          handle.out()) != ERROR_SUCCESS) {
            return std::nullopt;
        }
        std::vector<BYTE> buffer(256);
        DWORD type = 0;
        for (int attempt = 0; attempt < 5; ++attempt) {
            DWORD size = static_cast<DWORD>(buffer.size());
            LONG result =
                RegQueryValueExA(handle.get(), key.c_str(), nullptr, &type, buffer.data(), &size);
            if (result == ERROR_MORE_DATA) {
                buffer.resize(size + 1);
                continue;
            }
            if (result != ERROR_SUCCESS) return std::nullopt;
            return TextOf(type, buffer.data(), size);
        }
        return std::nullopt;
    }

    void set(const std::string& section, const std::string& key,
             const std::string& value) override {
        KeyHandle handle;
        LONG result =
            RegCreateKeyExA(HKEY_CURRENT_USER, sectionPath(section).c_str(), 0, nullptr,
                            REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, handle.out(), nullptr);
        if (result == ERROR_SUCCESS) {
            result = RegSetValueExA(handle.get(), key.c_str(), 0, REG_SZ,
                                    reinterpret_cast<const BYTE*>(value.c_str()),
                                    static_cast<DWORD>(value.size() + 1));
        }
        if (result != ERROR_SUCCESS && !failure_) {
            failure_ = "the settings cannot be written to HKEY_CURRENT_USER\\" +
                       sectionPath(section) + ": " + WindowsErrorText(result);
        }
    }

    // The registry keeps what was written at once; this only reports a write that failed.
    void sync() override {
        if (failure_) {
            std::string reason = std::move(*failure_);
            failure_.reset();
            throw SettingsError(reason);
        }
    }

  private:
    std::string sectionPath(const std::string& section) const { return keyPath_ + "\\" + section; }

    // Strings as they are, without the terminating NUL; numbers as decimal text, which is how
    // QSettings reads them. Values of other types count as absent.
    static std::optional<std::string> TextOf(DWORD type, const BYTE* data, DWORD size) {
        switch (type) {
            case REG_SZ:
            case REG_EXPAND_SZ: {
                std::string text(reinterpret_cast<const char*>(data), size);
                auto end = text.find('\0');
                if (end != std::string::npos) text.resize(end);
                return text;
            }
            case REG_DWORD:
                if (size < 4) return std::nullopt;
                return std::to_string(*reinterpret_cast<const DWORD*>(data));
            case REG_QWORD:
                if (size < 8) return std::nullopt;
                return std::to_string(*reinterpret_cast<const ULONGLONG*>(data));
            default:
                return std::nullopt;
        }
    }

    std::string keyPath_;
    std::optional<std::string> failure_;
};

}  // namespace

std::unique_ptr<SettingsStore> MakeRegistrySettingsStore(const std::string& keyPath) {
    return std::make_unique<RegistrySettingsStore>(keyPath);
}

}  // namespace vantrel
