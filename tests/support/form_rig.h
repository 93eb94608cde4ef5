#pragma once

#include <QtTest>
#include <QtWidgets>
#include <functional>

#include "app/window_startup.h"
#include "dirpick/directory_picker.h"
#include "fakes/fake_desktop.h"
#include "fakes/fake_legacy_profile.h"
#include "fakes/fake_printer_system.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_settings_store.h"
#include "support/design_names.h"
#include "support/temp_dir.h"

namespace vantrel::testing {

// The user in front of the message boxes: answer() has the next message taken with OK, and every
// message taken is recorded. A message nobody expected fails the test at once instead of waiting
// for a click that never comes.
struct BoxUser {
    explicit BoxUser(MessageBoxes& boxes) : boxes(boxes) {
        boxes.setDefaultAnswer([](const BoxMessage& message) {
            QTest::qFail(("unexpected message: " + message.text).c_str(), __FILE__, __LINE__);
            return MsgAnswer::Cancel;
        });
    }
    void answer() {
        boxes.setNextAnswer([this](const BoxMessage& message) {
            said += message.caption + ": " + message.text + "\n";
            return MsgAnswer::Ok;
        });
    }
    bool saw(const std::string& part) const { return said.find(part) != std::string::npos; }
    MessageBoxes& boxes;
    std::string said;  // "caption: text" of every message taken
};

// A control of a form, found by its design name.
template <typename Control>
Control& Child(const QObject& form, const char* name) {
    auto* control = form.findChild<Control*>(QString::fromLatin1(name));
    if (!control) qFatal("no control %s", name);
    return *control;
}

// The windowed program on fakes: two printers (the first the default), a settings store that
// starts in a fresh directory, and a program directory of its own for the drop directory. A
// case may put the system's own spooler and a store of its own in their place before start().
struct WindowRig {
    FakePrinterSystem printers;
    std::unique_ptr<FileSystem> files = MakeSystemFileSystem();
    FakeSettingsStore store;
    std::unique_ptr<PrinterSystem> systemPrinters;  // when set, instead of printers
    std::unique_ptr<SettingsStore> ownStore;        // when set, instead of store
    FakeLegacyProfile legacyProfile;
    FakeDesktop desktop;
    FakeRegistry registry;
    MessageBoxes messages;
    BoxUser user{messages};
    TempDir appDir, dataDir, work;  // work: the start directory
    std::unique_ptr<Forms> forms;
    std::chrono::milliseconds firstAnswerWait{10000};

    WindowRig() {
        printers.installed = {{"LaserJet 4", "LPT1:"}, {"Fax", "FAX:"}};
        printers.defaultEntry = "LaserJet 4,winspool,LPT1:";
        legacyProfile.directory = appDir.path().string();  // no legacy file of the system's
        store.values = {{{"Defaults", "StartDir"}, dir(work)},
                        {{"Defaults", "CopyDir"}, dir(dataDir)},
                        {{"Mask", "MaskString"}, "*.txt *.prn *.*"},
                        {{"Placement", "Top"}, "1500"},
                        {{"Placement", "Left"}, "1800"}};
    }
    std::string stored(const std::string& section, const std::string& key) {
        return (ownStore ? *ownStore : store).get(section, key).value_or("<absent>");
    }
    bool start() {  // false when the start-up ended the program
        if (ownStore) {
            for (const auto& [place, value] : store.values)
                ownStore->set(place.first, place.second, value);
        }
        const WindowSeams seams{systemPrinters ? *systemPrinters : printers,
                                *files,
                                ownStore ? *ownStore : store,
                                legacyProfile,
                                messages,
                                desktop,
                                registry};
        forms = StartWindow(
            seams, {appDir.path().string(), dataDir.path().string(), {}, 50, firstAnswerWait});
        return forms != nullptr;
    }
    MainWindow& window() { return forms->mainWindow(); }
    template <typename Control>
    Control& control(const char* name) {
        return Child<Control>(window(), name);
    }
    // A directory as the settings and the picker give it: with one trailing "/".
    static std::string dir(const TempDir& temp) { return temp.path().string() + "/"; }
    std::string dropDirectory() const { return (appDir.path() / "RawSpool").string(); }
};

inline QStringList Texts(const QAbstractItemView& list) {
    QStringList texts;
    for (int i = 0; i < list.model()->rowCount(); ++i)
        texts << list.model()->index(i, 0).data().toString();
    return texts;
}

// A double-click on the entry named name of the directory picker's list, as the user does it.
inline void DoubleClick(QWidget& picker, const QString& name) {
    auto& list = Child<QTreeWidget>(picker, picker_form::kDirectoryList);
    const auto found = list.findItems(name, Qt::MatchExactly | Qt::MatchRecursive);
    QVERIFY2(found.size() == 1, qPrintable(name));
    const QPoint at = list.visualItemRect(found.first()).center();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, at);
}

// Runs act on the modal dialog that opens next, from inside its event loop, and closes the
// dialog should act leave it open, so that a failing test ends instead of hanging. context ends
// the wait when it goes.
template <typename Dialog>
void InNextDialog(QObject* context, std::function<void(Dialog&)> act) {
    QTimer::singleShot(0, context, [act] {
        auto* dialog = dynamic_cast<Dialog*>(QApplication::activeModalWidget());
        if (!dialog) return QTest::qFail("the dialog did not open", __FILE__, __LINE__);
        act(*dialog);
        if (dialog->isVisible()) dialog->reject();
    });
}

// Has the next directory picker open the entry named name and take it with Select; without a
// name, Cancel. The entry is one the picker lists where it starts.
inline void PickNext(QObject* context, const QString& name = {}) {
    InNextDialog<QDialog>(context, [name](QDialog& picker) {
        if (!name.isEmpty()) DoubleClick(picker, name);
        Child<QPushButton>(picker,
                           name.isEmpty() ? picker_form::kCancelButton : picker_form::kSelectButton)
            .click();
    });
}

}  // namespace vantrel::testing
