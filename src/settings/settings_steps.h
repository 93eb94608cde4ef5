#pragma once

#include "platform/legacy_profile.h"
#include "platform/message_sink.h"
#include "platform/settings_store.h"
#include "settings/settings.h"
#include "settings/window_placement.h"

namespace vantrel {

// Migrates the legacy settings on the user's first start (a legacy file without a placement
// stores the window centred in room), then loads the settings. A store that cannot be written is
// reported; the program goes on with what it loaded.
Settings BringInSettings(SettingsStore& store, LegacyProfile& profile, const WindowRoom& room,
                         MessageSink& messages);

// SaveSettings for the Exit and Save Changes buttons: a store that cannot be written is
// reported, and the caller goes on.
void SaveSettingsReporting(SettingsStore& store, const Settings& settings, MessageSink& messages);

}  // namespace vantrel
