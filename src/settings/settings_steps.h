#pragma once

#include "platform/legacy_profile.h"
#include "platform/message_sink.h"
#include "platform/settings_store.h"
#include "settings/live_settings.h"
#include "settings/main_window_settings.h"

namespace vantrel {

// Migrates the legacy settings on the user's first start, then loads the settings into the
// live settings and the main window. A store that cannot be written is reported; the program
// goes on with what it loaded.
void BringInSettings(SettingsStore& store, LegacyProfile& profile, LiveSettings& live,
                     MainWindowSettings& window, MessageSink& messages);

// SaveSettings for the Exit and Save Changes buttons: a store that cannot be written is
// reported, and the caller goes on.
void SaveSettingsReporting(SettingsStore& store, const LiveSettings& live,
                           const MainWindowSettings& window, MessageSink& messages);

}  // namespace vantrel
