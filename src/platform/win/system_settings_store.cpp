// The batch and headless runs link no Qt: they keep the settings where the window's QSettings
// keeps them, in the registry.

#include "platform/backends.h"
#include "platform/win/registry_settings_store.h"

namespace vantrel {

std::unique_ptr<SettingsStore> MakeSystemSettingsStore() {
    return MakeRegistrySettingsStore();
}

}  // namespace vantrel
