// The window module's entry: the windowed program on the system's spooler and settings store.

#include <QApplication>

#include "about/about_box.h"
#include "about/open_help.h"
#include "mainwindow/drop_directory.h"
#include "mainwindow/form/qt_messages.h"
#include "mainwindow/form/window_startup.h"
#include "platform/app_path.h"
#include "platform/backends.h"
#include "platform/qt_desktop/qt_desktop.h"

// The module exports this one symbol; everything else stays hidden inside it.
#pragma GCC visibility push(default)
#include "app/window_entry.h"
#pragma GCC visibility pop

int vantrel_window_main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantrel"));

    auto printers = vantrel::MakeSystemPrinterSystem();
    auto store = vantrel::MakeSystemSettingsStore();
    auto legacyProfile = vantrel::MakeSystemLegacyProfile();
    auto registry = vantrel::MakeSystemRegistry();
    vantrel::QtDesktop desktop;
    vantrel::QtMessages messages;
    const vantrel::WindowSeams seams{*printers, *store, *legacyProfile, messages};
    const vantrel::WindowPlaces places{vantrel::AppPath(), vantrel::UserDataDirectory()};

    return vantrel::RunWindowProgram(seams, places, [&](vantrel::Forms& forms) {
        vantrel::Vantrel& window = forms.vantrel();
        window.onAbout = [&] { vantrel::ShowAboutBox(&window, desktop, *registry, messages); };
        window.onHelp = [&] { vantrel::OpenHelp(desktop, places.appPath); };
    });
}
