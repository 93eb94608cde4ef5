#pragma once

#include "platform/registry.h"

namespace vantrel {

// The registry of a system that has none: every key is missing.
class EmptyRegistry : public Registry {
  public:
    std::optional<RegistryValue> queryValue(RegistryRoot, const std::string&, const std::string&,
                                            std::size_t) override {
        return std::nullopt;
    }
};

}  // namespace vantrel
