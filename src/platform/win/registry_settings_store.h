#pragma once

#include <memory>
#include <string>

#include "platform/settings_store.h"

namespace vantrel {

// Where QSettings keeps the settings of organisation "Vantrel", application "Vantrel" in the
// registry of the current user.
inline const std::string kVantrelSettingsKey = "Software\\Vantrel\\Vantrel";

// A settings store in the registry of the current user, laid out as QSettings lays out its
// native Windows format: one subkey of keyPath per section, one string value per key. Builds
// without Qt use it; both read and write the same values.
std::unique_ptr<SettingsStore> MakeRegistrySettingsStore(
    const std::string& keyPath = kVantrelSettingsKey);

}  // namespace vantrel
