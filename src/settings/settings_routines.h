#pragma once

#include <string>

#include "platform/legacy_profile.h"
#include "platform/settings_store.h"
#include "settings/settings.h"
#include "settings/window_placement.h"

namespace vantrel {

// Where the legacy INI values are read from (the module state of the migration).
struct IniLocation {
    std::string iniPath;     // full path of the legacy file
    std::string iniSection;  // section ReadIniString reads from
};

// True until the migration has been attempted once for this user.
bool IsFirstStart(SettingsStore& store);

// Copies the legacy INI settings into the store, once per user; marks the attempt as made even
// when there is no legacy file. Writes nothing else. A legacy file without a placement stores
// the window centred in room.
void MigrateIniSettings(SettingsStore& store, LegacyProfile& profile, const WindowRoom& room);

// One value of the legacy file (at most 254 characters); the default when missing or empty.
std::string ReadIniString(LegacyProfile& profile, const IniLocation& location,
                          const std::string& key, const std::string& defaultValue);

// The settings the store holds. Values that do not convert fall back to their defaults, one by
// one.
Settings LoadSettings(SettingsStore& store);

// Writes the settings back, the placement only where the settings have both edges; throws
// SettingsError when the store cannot be written.
void SaveSettings(SettingsStore& store, const Settings& settings);

}  // namespace vantrel
