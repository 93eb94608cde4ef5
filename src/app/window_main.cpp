// The window module's entry: the windowed program on the system's spooler and settings store.

#include <QApplication>

#include "app/system_backends.h"
#include "app/window_startup.h"
#include "autoprint/kept_files_record.h"
#include "platform/app_path.h"
#include "platform/system_places.h"

// The module exports this one symbol; everything else stays hidden inside it.
#pragma GCC visibility push(default)
#include "app/window_entry.h"
#pragma GCC visibility pop

int vantrel_window_main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantrel"));

    vantrel::SystemBackends backends;
    const vantrel::WindowPlaces places{vantrel::AppPath(), vantrel::UserDataDirectory(),
                                       vantrel::KeptFilesRecordPath()};
    return vantrel::RunWindowProgram(backends.seams(), places);
}
