#pragma once

#include "platform/settings_store.h"

// The entry point of the settings module: a new QSettings store, owned by the caller.
extern "C" vantrel::SettingsStore* vantrel_qt_settings_store();

namespace vantrel {

using SettingsModuleEntry = SettingsStore* (*)();
inline constexpr const char* kSettingsModuleEntryName = "vantrel_qt_settings_store";

}  // namespace vantrel
