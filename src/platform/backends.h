#pragma once

#include <memory>

#include "platform/legacy_profile.h"
#include "platform/printer_system.h"
#include "platform/registry.h"
#include "platform/settings_store.h"
#include "platform/stop_signals.h"

namespace vantrel {

// The real backends of this platform: CUPS or winspool, the native settings store, the legacy
// profile reader, and the registry (empty where the system has none).
std::unique_ptr<PrinterSystem> MakeSystemPrinterSystem();
// The spooler for a program that answers its stop signals: a request to stop ends any wait on
// the spooler within a moment, and a document still being sent is withdrawn, never printed half.
std::unique_ptr<PrinterSystem> MakeSystemPrinterSystem(StopSignals& stop);
std::unique_ptr<SettingsStore> MakeSystemSettingsStore();
std::unique_ptr<LegacyProfile> MakeSystemLegacyProfile();
std::unique_ptr<Registry> MakeSystemRegistry();

}  // namespace vantrel
