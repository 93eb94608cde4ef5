#include "settings/settings_routines.h"

namespace vantrel {

namespace {

// The buffer the legacy values are read into; one place is kept for the terminating zero.
constexpr std::size_t kIniBufferSize = 255;

}  // namespace

std::string ReadIniString(LegacyProfile& profile, const IniLocation& location,
                          const std::string& key, const std::string& defaultValue) {
    std::string value = profile.privateProfileString(location.iniSection, key, defaultValue,
                                                     kIniBufferSize, location.iniPath);
    // A value present but empty reads as nothing at all, just like a missing one.
    if (value.empty()) return defaultValue;
    if (value.size() > kIniBufferSize - 1) value.resize(kIniBufferSize - 1);
    return value;
}

}  // namespace vantrel
