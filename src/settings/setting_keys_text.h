#pragma once

#include <optional>
#include <string>

#include "platform/settings_store.h"
#include "settings/setting_keys.h"
#include "settings/window_placement.h"

namespace vantrel {

// The text an absent key reads as: its own, or the system's (a directory); nothing for a key
// that has none (the placement's edges).
std::optional<std::string> DefaultText(const SettingKey& key);

// What the first start stores for a key the legacy file lacks; the window centred in room for
// the placement's edges.
std::string LegacyDefaultText(const SettingKey& key, const WindowRoom& room);

// The key's stored text, or its default when the store lacks it.
std::optional<std::string> StoredText(SettingsStore& store, const SettingKey& key);

void Store(SettingsStore& store, const SettingKey& key, const std::string& text);

}  // namespace vantrel
