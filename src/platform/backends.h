#pragma once

#include <memory>

#include "platform/legacy_profile.h"
#include "platform/printer_system.h"
#include "platform/settings_store.h"

namespace vantrel {

// The real backends of this platform: CUPS or winspool, the native settings store, and the
// legacy profile reader.
std::unique_ptr<PrinterSystem> MakeSystemPrinterSystem();
std::unique_ptr<SettingsStore> MakeSystemSettingsStore();
std::unique_ptr<LegacyProfile> MakeSystemLegacyProfile();

}  // namespace vantrel
