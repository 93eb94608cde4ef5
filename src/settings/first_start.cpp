#include "settings/setting_keys.h"
#include "settings/settings_routines.h"

namespace vantrel {

bool IsFirstStart(SettingsStore& store) {
    return !store.get(setting::kMigrationDone.section, setting::kMigrationDone.name);
}

}  // namespace vantrel
