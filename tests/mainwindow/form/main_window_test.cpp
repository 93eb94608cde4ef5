// The main window: its surface, the file list and its masks, the Print press as the window feeds
// it, Refresh, Change Dir and the menus.

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <filesystem>

#include "dirpick/dir_pick.h"
#include "dirpick/directory_list_box.h"
#include "mainwindow/form/file_list_box.h"
#include "mainwindow/form/modal_answerer.h"
#include "mainwindow/form/twips.h"
#include "mainwindow/form/vantrel_form.h"
#include "mainwindow/form/window_rig.h"
#include "options/option_form.h"

using namespace vantrel;
using namespace vantrel::testing;
namespace fs = std::filesystem;

namespace {

void SelectFiles(FileListBox& list, const QStringList& names) {
    list.clearSelection();
    for (const QString& name : names) {
        const auto found = list.findItems(name, Qt::MatchExactly);
        QVERIFY2(found.size() == 1, qPrintable(name));
        found.first()->setSelected(true);
        list.setCurrentItem(found.first(), QItemSelectionModel::NoUpdate);
    }
}

// In the picker: walk into name below the current directory.
void Enter(DirPick& picker, const QString& name) {
    const QString base = picker.Dir1->path() == "/" ? QString() : picker.Dir1->path();
    QVERIFY(picker.Dir1->setPath(base + "/" + name));
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void surfaceHasTheDesignedSizeAndStaysFixed() {
        WindowRig rig;
        QVERIFY(rig.start());
        Vantrel& window = rig.window();
        const QWidget* surface = window.centralWidget();

        QCOMPARE(surface->size(), ClientSizeTwips(Vantrel::kClientWidth, Vantrel::kClientHeight));
        QCOMPARE(window.minimumSize(), window.maximumSize());
        QCOMPARE(window.windowTitle(), QString("Vantrel"));
        QStringList menu;
        for (QAction* item : window.menuBar()->actions()) {
            QVERIFY(!item->menu());
            menu << item->text();
        }
        QCOMPARE(menu, (QStringList{"&Options", "&About", "&Help"}));
    }

    void controlsNeitherOverlapNorClipTheirCaptions() {
        WindowRig rig;
        QVERIFY(rig.start());
        for (const QWidget* surface : {static_cast<const QWidget*>(rig.window().centralWidget()),
                                       static_cast<const QWidget*>(&rig.forms->optionForm()),
                                       static_cast<const QWidget*>(&rig.forms->dirPick())}) {
            QList<const QWidget*> controls;
            for (const QWidget* control :
                 surface->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                // The dialogs' answer box lies below their surface on purpose.
                if (control->objectName() != "Result") controls << control;
            }
            for (const QWidget* a : controls) {
                const QString name = surface->objectName() + "." + a->objectName();
                QVERIFY2(surface->rect().contains(a->geometry()), qPrintable(name));
                for (const QWidget* b : controls) {
                    if (a != b && a->geometry().intersects(b->geometry())) {
                        QFAIL(qPrintable(name + " overlaps " + b->objectName()));
                    }
                }
                if (auto* label = qobject_cast<const QLabel*>(a); label && !label->wordWrap()) {
                    QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) < label->width(),
                             qPrintable(name));
                }
                if (auto* button = qobject_cast<const QPushButton*>(a)) {
                    // Two pixels of the frame on either side.
                    QVERIFY2(button->fontMetrics().horizontalAdvance(button->text()) + 4 <=
                                 button->width(),
                             qPrintable(name));
                }
            }
        }
    }

    void fileListFollowsTheChosenMask() {
        WindowRig rig;
        rig.setting("Mask", "MaskString", "");  // no mask chosen: the list's own pattern
        rig.work.write("a.txt", "");
        rig.work.write("B.TXT", "");
        rig.work.write("c.prn", "");
        rig.work.write("README", "");
        rig.work.write(".hidden.txt", "");
        fs::create_directory(rig.work.path() / "folder.txt");
        QVERIFY(rig.start());
        Vantrel& window = rig.window();

        QCOMPARE(window.Combo1->currentIndex(), -1);
        QCOMPARE(Texts(*window.File1), (QStringList{"a.txt", "B.TXT"}));

        for (const char* mask : {"*.prn", "*.*"}) window.addMask(mask);
        window.Combo1->setCurrentIndex(0);
        QCOMPARE(Texts(*window.File1), QStringList{"c.prn"});
        window.Combo1->setCurrentIndex(1);
        QCOMPARE(Texts(*window.File1), (QStringList{"a.txt", "B.TXT", "c.prn", "README"}));
        QCOMPARE(window.Text1->text().toStdString(), WindowRig::dir(rig.work));
    }

    void refreshRereadsFilesAndReturnsToTheDefaultPrinter() {
        WindowRig rig;
        QVERIFY(rig.start());
        Vantrel& window = rig.window();
        window.file2->setCurrentRow(1);
        rig.work.write("late.txt", "");
        QVERIFY(Texts(*window.File1).isEmpty());

        window.Command1->click();

        QCOMPARE(Texts(*window.File1), QStringList{"late.txt"});
        QCOMPARE(window.selectedPrinter(), std::string("LaserJet 4 - LPT1:"));
    }

    void printPressPrintsTheSelectedFilesAndRebuildsTheLists() {
        WindowRig rig;
        for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt"}) {
            rig.work.write(name, std::string("data of ") + name);
        }
        QVERIFY(rig.start());
        Vantrel& window = rig.window();
        SelectFiles(*window.File1, {"a.txt", "c.txt", "d.txt"});
        window.file2->setCurrentRow(1);  // Fax
        window.Text2->setText("2");
        window.Combo2->setCurrentIndex(1);  // Delete
        ModalAnswerer user;

        window.Command2->click();

        QVERIFY2(user.finished(), user.report().constData());
        const auto printed = rig.printers.printed();
        QCOMPARE(printed.size(), 6u);
        QStringList data;
        for (const auto& document : printed) {
            QCOMPARE(document.deviceName, std::string("Fax"));
            data << QString::fromStdString(document.data);
        }
        QCOMPARE(data, (QStringList{"data of a.txt", "data of a.txt", "data of c.txt",
                                    "data of c.txt", "data of d.txt", "data of d.txt"}));
        QCOMPARE(Texts(*window.File1), QStringList{"b.txt"});
        QCOMPARE(window.selectedPrinter(), std::string("LaserJet 4 - LPT1:"));
    }

    void printPressMovesIntoTheOptionsCopyDirectory() {
        WindowRig rig;
        TempDir copies;
        rig.work.write("a.txt", "A");
        QVERIFY(rig.start());
        Vantrel& window = rig.window();
        rig.forms->optionForm().Text2->setText(QString::fromStdString(copies.path().string()));
        SelectFiles(*window.File1, {"a.txt"});
        window.Combo2->setCurrentIndex(2);  // Move

        window.Command2->click();

        QCOMPARE(ReadFile(copies.file("a.txt")), std::string("A"));
        QVERIFY(!fs::exists(rig.work.file("a.txt")));
        QCOMPARE(rig.printers.printed().size(), 1u);
    }

    void printPressWithoutAFileAsksInAPlainBox() {
        WindowRig rig;
        QVERIFY(rig.start());
        ModalAnswerer user;
        user.answerBox(QMessageBox::Cancel);

        rig.window().Command2->click();

        QVERIFY2(user.finished(), user.report().constData());
        QCOMPARE(user.boxes[0].text, QString("Must Pick a File."));
        QCOMPARE(user.boxes[0].title, QString("Vantrel"));
        QCOMPARE(user.boxes[0].icon, QMessageBox::NoIcon);
        QCOMPARE(user.boxes[0].buttons, QMessageBox::Ok | QMessageBox::Cancel);
        QVERIFY(rig.printers.documents.empty());
    }

    void changeDirTakesThePickedDirectoryWithOneTrailingSlash() {
        WindowRig rig;
        fs::create_directory(rig.work.path() / "sub");
        std::ofstream(rig.work.file("sub/inside.txt")) << "i";
        QVERIFY(rig.start());
        Vantrel& window = rig.window();
        QString presetSeen;
        ModalAnswerer user;
        user.thenIn<DirPick>([&](DirPick& picker) {
            presetSeen = picker.Dir1->path();
            Enter(picker, "sub");
            picker.Command1->click();
        });

        window.Command3->click();

        QVERIFY2(user.finished(), user.report().constData());
        QCOMPARE(presetSeen.toStdString(), rig.work.path().string());
        QCOMPARE(window.Text1->text().toStdString(), rig.work.file("sub") + "/");
        QCOMPARE(window.File1->path(), window.Text1->text());
        QCOMPARE(Texts(*window.File1), QStringList{"inside.txt"});
    }

    void changeDirToTheRootKeepsASingleSlash() {
        WindowRig rig;
        QVERIFY(rig.start());
        ModalAnswerer user;
        user.thenIn<DirPick>([](DirPick& picker) {
            QVERIFY(picker.Dir1->setPath("/"));
            picker.Command1->click();
        });

        rig.window().Command3->click();

        QVERIFY2(user.finished(), user.report().constData());
        QCOMPARE(rig.window().Text1->text(), QString("/"));
    }

    void cancelledChangeDirKeepsTheDirectoryButRefreshes() {
        WindowRig rig;
        fs::create_directory(rig.work.path() / "sub");
        QVERIFY(rig.start());
        Vantrel& window = rig.window();
        window.file2->setCurrentRow(1);
        rig.work.write("new.txt", "");
        ModalAnswerer user;
        user.thenIn<DirPick>([](DirPick& picker) {
            Enter(picker, "sub");
            picker.Command2->click();
        });
        user.then([](QWidget* modal) { modal->close(); });  // then closed by its frame

        window.Command3->click();
        QCOMPARE(window.Text1->text().toStdString(), WindowRig::dir(rig.work));
        QCOMPARE(Texts(*window.File1), QStringList{"new.txt"});
        QCOMPARE(window.selectedPrinter(), std::string("LaserJet 4 - LPT1:"));

        window.Command3->click();
        QVERIFY2(user.finished(), user.report().constData());
        QCOMPARE(window.Text1->text().toStdString(), WindowRig::dir(rig.work));
    }

    void menusOpenTheOptionsAndCallTheHooks() {
        WindowRig rig;
        QVERIFY(rig.start());
        Vantrel& window = rig.window();
        int about = 0;
        int help = 0;
        window.onAbout = [&] { ++about; };
        window.onHelp = [&] { ++help; };
        bool optionsShown = false;
        ModalAnswerer user;
        user.then([&](QWidget* modal) {
            optionsShown = modal == &rig.forms->optionForm();
            modal->close();
        });

        window.Options->trigger();
        window.About->trigger();
        window.Help->trigger();

        QVERIFY2(user.finished(), user.report().constData());
        QVERIFY(optionsShown);
        QVERIFY(!rig.forms->optionForm().isVisible());
        QCOMPARE(about, 1);
        QCOMPARE(help, 1);
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
