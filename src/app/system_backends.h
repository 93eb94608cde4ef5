#pragma once

#include <memory>

#include "app/forms.h"
#include "formkit/message_boxes.h"
#include "platform/backends.h"
#include "platform/qt/qt_settings_store.h"
#include "platform/qt_desktop/qt_desktop.h"

namespace vantrel {

// The system's own backends of the window's seams, made and owned together; a Qt application
// must exist first.
struct SystemBackends {
    std::unique_ptr<PrinterSystem> printers = MakeSystemPrinterSystem();
    std::unique_ptr<FileSystem> files = MakeSystemFileSystem();
    std::unique_ptr<SettingsStore> store = MakeQtSettingsStore();
    std::unique_ptr<LegacyProfile> legacyProfile = MakeSystemLegacyProfile();
    std::unique_ptr<Registry> registry = MakeSystemRegistry();
    QtDesktop desktop;
    MessageBoxes messages;

    WindowSeams seams() {
        return {*printers, *files, *store, *legacyProfile, messages, desktop, *registry};
    }
};

}  // namespace vantrel
