#include <climits>
#include <string>
#include <vector>

#include "platform/path_separator.h"
#include "platform/plain_file.h"
#include "platform/system_places.h"
#include "settings/setting_keys_text.h"
#include "settings/settings_routines.h"
#include "text/runtime_text.h"

namespace vantrel {

namespace {

constexpr const char* kIniFileName = "Vantrel.Ini";

// The legacy mask position is read as a number and stored as a whole one. A value too large to
// be a position at all is stored as "-1", which selects no mask, as such a position would.
std::string MaskIndexText(const std::string& legacyText) {
    auto index = RoundHalfEven(Val(legacyText), LLONG_MIN, LLONG_MAX);
    return index ? std::to_string(*index) : "-1";
}

}  // namespace

void MigrateIniSettings(SettingsStore& store, LegacyProfile& profile, const WindowRoom& room) {
    IniLocation location;
    location.iniPath = profile.windowsDirectory() + kPathSeparator + kIniFileName;
    if (IsPlainFile(location.iniPath)) {
        for (const SettingKey* key : setting::kAll) {
            if (!key->legacyName) continue;
            location.iniSection = key->legacySection;
            std::string text =
                ReadIniString(profile, location, key->legacyName, LegacyDefaultText(*key, room));
            // The legacy mask position is stored as the whole number it begins with.
            if (key->type == SettingType::MaskIndex) text = MaskIndexText(text);
            Store(store, *key, text);
        }
    }
    // The attempt counts whether or not there was anything to migrate.
    Store(store, setting::kMigrationDone, "1");
    store.sync();
}

}  // namespace vantrel
