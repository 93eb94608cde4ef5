// The window module's entry: the windowed program on the system's spooler and settings store.

#include <QApplication>

#include "app/window_startup.h"
#include "formkit/message_boxes.h"
#include "mainwindow/autoprint_watcher.h"
#include "platform/app_path.h"
#include "platform/backends.h"
#include "platform/qt_desktop/qt_desktop.h"
#include "platform/system_places.h"

// The module exports this one symbol; everything else stays hidden inside it.
#pragma GCC visibility push(default)
#include "app/window_entry.h"
#pragma GCC visibility pop

int vantrel_window_main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantrel"));

    auto printers = vantrel::MakeSystemPrinterSystem();
    auto files = vantrel::MakeSystemFileSystem();
    auto store = vantrel::MakeSystemSettingsStore();
    auto legacyProfile = vantrel::MakeSystemLegacyProfile();
    auto registry = vantrel::MakeSystemRegistry();
    vantrel::QtDesktop desktop;
    vantrel::MessageBoxes messages;
    const vantrel::WindowSeams seams{*printers, *files,  *store,   *legacyProfile,
                                     messages,  desktop, *registry};
    const vantrel::WindowPlaces places{vantrel::AppPath(), vantrel::UserDataDirectory(),
                                       vantrel::KeptFilesRecordPath()};
    return vantrel::RunWindowProgram(seams, places);
}
