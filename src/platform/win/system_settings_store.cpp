// Builds without Qt keep the settings where the Qt build's QSettings keeps them.

#include "platform/backends.h"
#include "platform/win/registry_settings_store.h"

namespace vantrel {

std::unique_ptr<SettingsStore> MakeSystemSettingsStore() {
    return MakeRegistrySettingsStore();
}

}  // namespace vantrel
