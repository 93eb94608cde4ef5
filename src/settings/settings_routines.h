#pragma once

#include <string>

#include "platform/legacy_profile.h"
#include "platform/settings_store.h"
#include "settings/live_settings.h"
#include "settings/main_window_settings.h"

namespace vantrel {

// Where the legacy INI values are read from (the module state of the migration).
struct IniLocation {
    std::string iniPath;     // full path of the legacy file
    std::string iniSection;  // section ReadIniString reads from
};

// True until the migration has been attempted once for this user.
bool IsFirstStart(SettingsStore& store);

// Copies the legacy INI settings into the store, once per user; marks the attempt as made even
// when there is no legacy file. Writes nothing else.
void MigrateIniSettings(SettingsStore& store, LegacyProfile& profile,
                        const MainWindowSettings& window);

// One value of the legacy file (at most 254 characters); the default when missing or empty.
std::string ReadIniString(LegacyProfile& profile, const IniLocation& location,
                          const std::string& key, const std::string& defaultValue);

// Fills the live settings and the main window's settings from the store. Values that do not
// convert fall back to their defaults, one by one.
void LoadSettings(SettingsStore& store, LiveSettings& live, MainWindowSettings& window);

// Writes the live settings and the main window's settings back; throws SettingsError when the
// store cannot be written.
void SaveSettings(SettingsStore& store, const LiveSettings& live, const MainWindowSettings& window);

// The centred top and left of the main window on its screen (the primary one), in twips.
float CentredTop(const MainWindowSettings& window);
float CentredLeft(const MainWindowSettings& window);

}  // namespace vantrel
