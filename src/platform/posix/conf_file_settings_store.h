#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/settings_store.h"

namespace vantrel {

using SettingsStoreMaker = std::function<std::unique_ptr<SettingsStore>()>;

// The settings file QSettings keeps for the user: $XDG_CONFIG_HOME/Vantrel/Vantrel.conf, or
// under ~/.config. Nothing when the environment is one only Qt itself can resolve.
std::optional<std::string> UserSettingsFilePath();

// A store that reads the settings file without Qt, and hands everything to the store that
// qtStore makes (QSettings, loaded only then) as soon as it meets what it does not fully
// understand, and for every write: QSettings stays the one writer of the file. Without a path,
// or with a file that cannot be read or is larger than any the program writes, it hands over
// at once.
std::unique_ptr<SettingsStore> MakeConfFileSettingsStore(const std::optional<std::string>& path,
                                                         SettingsStoreMaker qtStore);

}  // namespace vantrel
