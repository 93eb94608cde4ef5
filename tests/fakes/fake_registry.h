#pragma once

#include <map>
#include <optional>
#include <string>
#include <tuple>

#include "platform/registry.h"

namespace vantrel::testing {

// A registry held in memory. Like the real one, it fails to read a value larger than the
// buffer it is given, and reports a string's size with or without its NUL as it was stored.
class FakeRegistry : public Registry {
  public:
    void set(RegistryRoot root, const std::string& keyName, const std::string& valueName,
             std::uint32_t type, const std::string& bytes) {
        values_[{root, keyName, valueName}] = RegistryValue{type, bytes};
    }

    std::optional<RegistryValue> queryValue(RegistryRoot root, const std::string& keyName,
                                            const std::string& valueName,
                                            std::size_t bufferSize) override {
        auto found = values_.find({root, keyName, valueName});
        if (found == values_.end() || found->second.bytes.size() > bufferSize) return std::nullopt;
        return found->second;
    }

  private:
    std::map<std::tuple<RegistryRoot, std::string, std::string>, RegistryValue> values_;
};

}  // namespace vantrel::testing
