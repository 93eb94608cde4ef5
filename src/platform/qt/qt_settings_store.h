#pragma once

#include <memory>

#include "platform/settings_store.h"

namespace vantrel {

// The per-user settings store kept by QSettings: the window's store, and the one the batch
// and headless runs hand over to (as the module of settings_module.cpp) for writes and for
// files only QSettings can read.
std::unique_ptr<SettingsStore> MakeQtSettingsStore();

}  // namespace vantrel
