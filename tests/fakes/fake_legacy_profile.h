#pragma once

#include <map>
#include <string>
#include <tuple>

#include "platform/legacy_profile.h"

namespace vantrel::testing {

// A legacy profile held in memory: values by (file, section, key), compared exactly and given
// whole whatever the buffer, so that the caller's own cut shows.
class FakeLegacyProfile : public LegacyProfile {
  public:
    std::string directory = "/etc";
    std::map<std::tuple<std::string, std::string, std::string>, std::string> values;

    std::string windowsDirectory() override { return directory; }
    std::string privateProfileString(const std::string& section, const std::string& key,
                                     const std::string& defaultValue, std::size_t,
                                     const std::string& file) override {
        auto it = values.find({file, section, key});
        return it == values.end() ? defaultValue : it->second;
    }
};

}  // namespace vantrel::testing
