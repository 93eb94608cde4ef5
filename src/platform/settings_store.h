#pragma once

#include <optional>
#include <stdexcept>
#include <string>

namespace vantrel {

class SettingsError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The per-user settings store of the application "Vantrel": text values by section and key.
class SettingsStore {
  public:
    virtual ~SettingsStore() = default;
    // The stored text; nothing when the key is absent (an empty text is a value).
    virtual std::optional<std::string> get(const std::string& section, const std::string& key) = 0;
    virtual void set(const std::string& section, const std::string& key,
                     const std::string& value) = 0;
    // Writes pending values to permanent storage; throws SettingsError when that fails.
    virtual void sync() = 0;
};

// GetSetting: the stored text, or the default when the key is absent.
inline std::string GetSetting(SettingsStore& store, const std::string& section,
                              const std::string& key, const std::string& defaultValue) {
    auto value = store.get(section, key);
    return value ? *value : defaultValue;
}

}  // namespace vantrel
