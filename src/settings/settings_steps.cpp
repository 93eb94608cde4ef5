#include "settings/settings_steps.h"

#include <string>

#include "settings/settings_routines.h"

namespace vantrel {

Settings BringInSettings(SettingsStore& store, LegacyProfile& profile, const WindowRoom& room,
                         MessageSink& messages) {
    try {
        if (IsFirstStart(store)) MigrateIniSettings(store, profile, room);
    } catch (const SettingsError& error) {
        // Nothing was saved by the user yet: what failed is carrying the earlier release's
        // settings over, and the window starts from the values that could be read.
        messages.show(std::string("The settings of the earlier release could not be carried "
                                  "over, so Vantrel starts with what it could read: ") +
                          error.what(),
                      MsgStyle::Exclamation);
    }
    return LoadSettings(store);
}

void SaveSettingsReporting(SettingsStore& store, const Settings& settings, MessageSink& messages) {
    try {
        SaveSettings(store, settings);
    } catch (const SettingsError& error) {
        messages.show(std::string("The settings could not be saved: ") + error.what(),
                      MsgStyle::Exclamation);
    }
}

}  // namespace vantrel
