#include <memory>

#include "platform/backends.h"
#include "platform/ini_values.h"

namespace vantrel {

namespace {

// The legacy INI file as the Windows profile functions read it, its bytes as they are.
class IniProfile : public LegacyProfile {
  public:
    std::string windowsDirectory() override { return "/etc"; }

    std::string privateProfileString(const std::string& section, const std::string& key,
                                     const std::string& defaultValue, std::size_t bufferSize,
                                     const std::string& file) override {
        return ProfileString(file, section, key, defaultValue, bufferSize);
    }
};

}  // namespace

std::unique_ptr<LegacyProfile> MakeSystemLegacyProfile() {
    return std::make_unique<IniProfile>();
}

}  // namespace vantrel
