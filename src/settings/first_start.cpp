#include "settings/setting_names.h"
#include "settings/settings_routines.h"

namespace vantrel {

using namespace settings_detail;

bool IsFirstStart(SettingsStore& store) {
    return !store.get(kMigration, kMigrationDone);
}

}  // namespace vantrel
