// The settings module: QSettings for the programs that do not link Qt, loaded at run time.

#include "platform/qt/qt_settings_store.h"

// The module exports this one symbol; everything else stays hidden inside it.
#pragma GCC visibility push(default)
#include "platform/qt/settings_module.h"
#pragma GCC visibility pop

vantrel::SettingsStore* vantrel_qt_settings_store() {
    return vantrel::MakeQtSettingsStore().release();
}
