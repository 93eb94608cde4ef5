#include <climits>
#include <string>
#include <vector>

#include "platform/path_separator.h"
#include "platform/plain_file.h"
#include "platform/system_places.h"
#include "settings/setting_names.h"
#include "settings/settings_routines.h"
#include "text/runtime_text.h"

namespace vantrel {

using namespace settings_detail;

namespace {

constexpr const char* kIniFileName = "Vantrel.Ini";

// One value of the legacy file and where it goes in the store.
struct MigratedValue {
    const char* iniSection;
    const char* iniKey;
    std::string defaultValue;
    const char* storeSection;
    const char* storeKey;
    bool wholeNumber = false;  // stored as the whole number the text begins with
};

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
        const std::vector<MigratedValue> values = {
            {"Defaults", "Start Dir", DefaultStartDirectory(), kDefaults, kStartDir},
            {"Defaults", "Copy Dir", DefaultCopyDirectory(), kDefaults, kCopyDir},
            {"Defaults", "Auto On", "0", kDefaults, kAutoPrint},
            {"Defaults", "Page Eject", "0", kDefaults, kPageEject},
            {"Defaults", "Print Method", kDefaultPrintMethod, kDefaults, kPrintMethod},
            {"Mask", "Mask String", kDefaultMaskString, kMask, kMaskString},
            {"Mask", "Mask Index", "1", kMask, kMaskIndex, true},
            {"Placement", "Top", FormatSingle(CentredTop(room)), kPlacement, kTop},
            {"Placement", "Left", FormatSingle(CentredLeft(room)), kPlacement, kLeft},
        };
        for (const auto& value : values) {
            location.iniSection = value.iniSection;
            std::string text = ReadIniString(profile, location, value.iniKey, value.defaultValue);
            if (value.wholeNumber) text = MaskIndexText(text);
            store.set(value.storeSection, value.storeKey, text);
        }
    }
    // The attempt counts whether or not there was anything to migrate.
    store.set(kMigration, kMigrationDone, "1");
    store.sync();
}

}  // namespace vantrel
