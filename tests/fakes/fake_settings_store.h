#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>

#include "platform/settings_store.h"

namespace vantrel::testing {

// An in-memory settings store keyed by (section, key); its sync fails on request.
class FakeSettingsStore : public SettingsStore {
  public:
    std::map<std::pair<std::string, std::string>, std::string> values;
    bool syncFails = false;

    std::optional<std::string> get(const std::string& section, const std::string& key) override {
        if (!values.contains({section, key})) return std::nullopt;
        return values.at({section, key});
    }
    void set(const std::string& section, const std::string& key,
             const std::string& value) override {
        values[{section, key}] = value;
    }
    void sync() override {
        if (syncFails) throw SettingsError("the settings file cannot be written");
    }
};

}  // namespace vantrel::testing
