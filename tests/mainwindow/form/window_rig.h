#pragma once

#include <QDir>
#include <QListWidget>
#include <QStringList>
#include <QTest>
#include <memory>
#include <string>

#include "fakes/fake_legacy_profile.h"
#include "fakes/fake_printer_system.h"
#include "fakes/fake_settings_store.h"
#include "mainwindow/form/forms.h"
#include "mainwindow/form/qt_messages.h"
#include "mainwindow/form/window_startup.h"
#include "support/temp_dir.h"

namespace vantrel::testing {

// The windowed program on fakes: two printers (the first the default), a settings store that
// starts in a fresh directory, and a program directory of its own for the drop directory.
struct WindowRig {
    FakePrinterSystem printers;
    FakeSettingsStore store;
    FakeLegacyProfile legacyProfile;
    QtMessages messages;
    TempDir appDir;
    TempDir dataDir;
    TempDir work;  // the start directory
    std::unique_ptr<Forms> forms;

    WindowRig() {
        printers.installed = {{"LaserJet 4", "LPT1:"}, {"Fax", "FAX:"}};
        printers.defaultEntry = "LaserJet 4,winspool,LPT1:";
        setting("Defaults", "StartDir", dir(work));
        setting("Defaults", "CopyDir", dir(dataDir));
        setting("Defaults", "PrintMethod", "Leave");
        setting("Mask", "MaskString", "*.txt *.prn *.*");
        setting("Mask", "MaskIndex", "0");
    }

    void setting(const std::string& section, const std::string& key, const std::string& value) {
        store.values[{section, key}] = value;
    }
    std::string stored(const std::string& section, const std::string& key) const {
        auto it = store.values.find({section, key});
        return it == store.values.end() ? std::string("<absent>") : it->second;
    }

    WindowSeams seams() { return {printers, store, legacyProfile, messages}; }
    WindowPlaces places(int intervalMs = 60'000) {
        return {appDir.path().string(), dataDir.path().string(), intervalMs};
    }

    // Starts the window; false when the start-up ended the program.
    bool start(int intervalMs = 60'000) {
        forms = StartWindow(seams(), places(intervalMs));
        return forms != nullptr;
    }
    Vantrel& window() { return forms->vantrel(); }

    // A directory as the settings and the picker give it: with one trailing "/".
    static std::string dir(const TempDir& temp) { return temp.path().string() + "/"; }
    std::string dropDirectory() const { return (appDir.path() / "RawSpool").string(); }
};

inline QStringList Texts(const QListWidget& list) {
    QStringList texts;
    for (int i = 0; i < list.count(); ++i) texts << list.item(i)->text();
    return texts;
}

}  // namespace vantrel::testing
