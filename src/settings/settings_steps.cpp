#include "settings/settings_steps.h"

#include <string>

#include "settings/settings_routines.h"

namespace vantrel {

namespace {

void ReportUnsaved(const SettingsError& error, MessageSink& messages) {
    messages.show(std::string("The settings could not be saved: ") + error.what(),
                  MsgStyle::Exclamation);
}

}  // namespace

void BringInSettings(SettingsStore& store, LegacyProfile& profile, LiveSettings& live,
                     MainWindowSettings& window, MessageSink& messages) {
    try {
        if (IsFirstStart(store)) MigrateIniSettings(store, profile, window);
    } catch (const SettingsError& error) {
        // Nothing was saved by the user yet: what failed is carrying the earlier release's
        // settings over, and the window starts from the values that could be read.
        messages.show(std::string("The settings of the earlier release could not be carried "
                                  "over, so Vantrel starts with what it could read: ") +
                          error.what(),
                      MsgStyle::Exclamation);
    }
    LoadSettings(store, live, window);
}

void SaveSettingsReporting(SettingsStore& store, const LiveSettings& live,
                           const MainWindowSettings& window, MessageSink& messages) {
    try {
        SaveSettings(store, live, window);
    } catch (const SettingsError& error) {
        ReportUnsaved(error, messages);
    }
}

}  // namespace vantrel
