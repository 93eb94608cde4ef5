// The options dialog: its buttons, what it keeps while hidden, and the mask lists it shares with
// the main window.

#include "options/option_form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <filesystem>

#include "dirpick/dir_pick.h"
#include "dirpick/directory_list_box.h"
#include "mainwindow/form/file_list_box.h"
#include "mainwindow/form/modal_answerer.h"
#include "mainwindow/form/vantrel_form.h"
#include "mainwindow/form/window_rig.h"

using namespace vantrel;
using namespace vantrel::testing;
namespace fs = std::filesystem;

namespace {

QStringList MainMasks(Vantrel& window) {
    QStringList masks;
    for (const std::string& mask : window.masks()) masks << QString::fromStdString(mask);
    return masks;
}

}  // namespace

class OptionFormTest : public QObject {
    Q_OBJECT

  private slots:
    void holdsTheDesignValuesUntilSettingsAreLoaded() {
        WindowRig rig;
        Forms forms(rig.seams());
        OptionForm& options = forms.optionForm();

        QCOMPARE(options.windowTitle(), QString("Options"));
        QCOMPARE(options.pageEject(), 0);
        QCOMPARE(options.autoPrint(), 0);
        QCOMPARE(options.printMethodIndex(), -1);
        QCOMPARE(options.Combo1->currentText(), QString("Combo1"));
        QCOMPARE(options.Combo1->count(), 3);
        QCOMPARE(options.Combo1->itemText(2), QString("Move"));
        QCOMPARE(options.startDir(), std::string("Text1"));
        QCOMPARE(options.copyDir(), std::string("Text2"));
        // Both check boxes are there to be ticked, even though their captions are cut off.
        for (QCheckBox* box : {options.Check1, options.Check2}) {
            QVERIFY(box->isVisibleTo(&options));
            QVERIFY(box->width() > 0 && box->height() > 0);
        }
    }

    void checkBoxesTickAndClearAndAGreyedValueRoundTrips() {
        WindowRig rig;
        Forms forms(rig.seams());
        OptionForm& options = forms.optionForm();
        options.setPageEject(2);
        QCOMPARE(options.pageEject(), 2);
        options.Check2->click();
        QCOMPARE(options.pageEject(), 1);
        options.Check2->click();
        QCOMPARE(options.pageEject(), 0);
        options.Check1->click();
        QCOMPARE(options.autoPrint(), 1);
    }

    void saveChangesStoresAndHides() {
        WindowRig rig;
        QVERIFY(rig.start());
        OptionForm& options = rig.forms->optionForm();
        ModalAnswerer user;
        user.thenIn<OptionForm>([&](OptionForm&) {
            options.Text2->setText("/srv/printed/");
            options.Check2->click();
            options.Combo1->setCurrentIndex(1);
            options.Command3->click();
        });

        rig.window().Options->trigger();

        QVERIFY2(user.finished(), user.report().constData());
        QVERIFY(!options.isVisible());
        QCOMPARE(rig.stored("Defaults", "CopyDir"), std::string("/srv/printed/"));
        QCOMPARE(rig.stored("Defaults", "PageEject"), std::string("1"));
        QCOMPARE(rig.stored("Defaults", "PrintMethod"), std::string("Delete"));
        QVERIFY(rig.store.syncCount > 0);
    }

    void cancelBringsBackTheStoredSettingsAlsoInTheMainWindow() {
        WindowRig rig;
        rig.setting("Defaults", "Copies", "2");
        rig.setting("Placement", "Top", "1500");
        rig.setting("Placement", "Left", "1800");
        QVERIFY(rig.start());
        Vantrel& window = rig.window();
        OptionForm& options = rig.forms->optionForm();
        const QPoint storedPosition = window.pos();
        ModalAnswerer user;
        user.thenIn<OptionForm>([&](OptionForm&) {
            options.Text1->setText("/typed/");
            options.TextMask->setText("*.log");
            options.AddMask->click();
            options.ListMask->setCurrentRow(0);
            options.DelMask->click();
            window.Text2->setText("5");
            window.move(storedPosition + QPoint(40, 30));
            options.Command4->click();
        });

        window.Options->trigger();

        QVERIFY2(user.finished(), user.report().constData());
        QVERIFY(!options.isVisible());
        QCOMPARE(options.startDir(), WindowRig::dir(rig.work));
        QCOMPARE(Texts(*options.ListMask), (QStringList{"*.txt", "*.prn", "*.*"}));
        QCOMPARE(MainMasks(window), (QStringList{"*.txt", "*.prn", "*.*"}));
        QCOMPARE(window.Combo1->currentIndex(), 0);
        QCOMPARE(window.Text2->text(), QString("2"));
        QCOMPARE(window.pos(), storedPosition);
    }

    void addAndDeleteKeepBothMaskListsInStep() {
        WindowRig rig;
        QVERIFY(rig.start());
        Vantrel& window = rig.window();
        OptionForm& options = rig.forms->optionForm();

        options.AddMask->click();  // empty: nothing
        QCOMPARE(options.ListMask->count(), 3);
        for (const char* mask : {"*.log", "*.log"}) {
            options.TextMask->setText(mask);
            options.AddMask->click();
        }
        QCOMPARE(options.TextMask->text(), QString());
        const QStringList added{"*.txt", "*.prn", "*.*", "*.log", "*.log"};
        QCOMPARE(Texts(*options.ListMask), added);
        QCOMPARE(MainMasks(window), added);

        options.ListMask->clearSelection();
        options.DelMask->click();  // nothing selected: nothing changes
        QCOMPARE(Texts(*options.ListMask), added);
        QCOMPARE(MainMasks(window), added);

        options.ListMask->setCurrentRow(1);
        options.DelMask->click();
        const QStringList left{"*.txt", "*.*", "*.log", "*.log"};
        QCOMPARE(Texts(*options.ListMask), left);
        QCOMPARE(MainMasks(window), left);
        QCOMPARE(window.Combo1->currentText(), QString("*.txt"));
    }

    void deletingTheChosenMaskLeavesNoneChosen() {
        WindowRig rig;
        rig.work.write("a.txt", "");
        QVERIFY(rig.start());
        Vantrel& window = rig.window();
        OptionForm& options = rig.forms->optionForm();
        QCOMPARE(window.Combo1->currentIndex(), 0);

        options.ListMask->setCurrentRow(0);
        options.DelMask->click();

        QCOMPARE(window.maskIndex(), -1);
        QCOMPARE(MainMasks(window), (QStringList{"*.prn", "*.*"}));
        QCOMPARE(Texts(*window.File1), QStringList{"a.txt"});
    }

    void typingIntoTheMethodBoxLeavesNoEntryAndSavesLeave() {
        WindowRig rig;
        rig.setting("Defaults", "PrintMethod", "Move");
        QVERIFY(rig.start());
        OptionForm& options = rig.forms->optionForm();
        options.show();
        QCOMPARE(options.printMethodIndex(), 2);

        options.Combo1->lineEdit()->selectAll();
        QTest::keyClicks(options.Combo1->lineEdit(), "Shred");

        QCOMPARE(options.printMethodIndex(), -1);
        QCOMPARE(options.Combo1->currentText(), QString("Shred"));
        options.Command3->click();
        QCOMPARE(rig.stored("Defaults", "PrintMethod"), std::string("Leave"));
    }

    void closingByTheFrameHidesAndKeepsEveryValue() {
        WindowRig rig;
        QVERIFY(rig.start());
        OptionForm& options = rig.forms->optionForm();
        const auto before = rig.store.values;
        options.show();
        options.Text2->setText("/edited/");
        options.Check1->click();

        QVERIFY(options.close());

        QVERIFY(!options.isVisible());
        QCOMPARE(options.copyDir(), std::string("/edited/"));
        QCOMPARE(options.autoPrint(), 1);
        QVERIFY(rig.store.values == before);
    }

    void browseStartsAtTheMainWindowsDirectoryAndAppendsOneSlash() {
        WindowRig rig;
        fs::create_directory(rig.work.path() / "pick");
        QVERIFY(rig.start());
        OptionForm& options = rig.forms->optionForm();
        options.Text1->setText("/somewhere/else/");
        options.Text2->setText("untouched");
        QStringList presets;
        ModalAnswerer user;
        user.thenIn<DirPick>([&](DirPick& picker) {
            presets << picker.Dir1->path();
            QVERIFY(picker.Dir1->setPath(picker.Dir1->path() + "/pick"));
            picker.Command1->click();
        });
        user.thenIn<DirPick>([&](DirPick& picker) {
            presets << picker.Dir1->path();
            QVERIFY(picker.Dir1->setPath("/"));
            picker.Command2->click();
        });
        user.thenIn<DirPick>([&](DirPick& picker) {
            QVERIFY(picker.Dir1->setPath("/"));
            picker.Command1->click();
        });

        options.Command1->click();
        options.Command2->click();  // cancelled
        QCOMPARE(options.Text2->text(), QString("untouched"));
        options.Command2->click();  // the root

        QVERIFY2(user.finished(), user.report().constData());
        const QString start = QString::fromStdString(rig.work.path().string());
        QCOMPARE(presets, (QStringList{start, start}));
        QCOMPARE(options.Text1->text().toStdString(), rig.work.file("pick") + "/");
        QCOMPARE(options.Text2->text(), QString("/"));
    }
};

QTEST_MAIN(OptionFormTest)
#include "option_form_test.moc"
