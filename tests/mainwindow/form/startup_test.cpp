// The windowed start-up and shutdown, on fake printers and a fake settings store.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "dirpick/dir_pick.h"
#include "mainwindow/form/file_list_box.h"
#include "mainwindow/form/modal_answerer.h"
#include "mainwindow/form/twips.h"
#include "mainwindow/form/vantrel_form.h"
#include "mainwindow/form/window_rig.h"
#include "options/option_form.h"

using namespace vantrel;
using namespace vantrel::testing;
namespace fs = std::filesystem;

class StartupTest : public QObject {
    Q_OBJECT

  private slots:
    void noPrinterShowsFatalErrorAndEnds() {
        WindowRig rig;
        rig.printers.installed.clear();
        rig.store.values.clear();
        ModalAnswerer user;
        user.answerBox(QMessageBox::Ok);

        const int status = RunWindowProgram(rig.seams(), rig.places());

        QCOMPARE(status, 1);
        QVERIFY2(user.finished(), user.report().constData());
        QCOMPARE(user.boxes.size(), 1u);
        QCOMPARE(user.boxes[0].title, QString("Fatal Error"));
        QCOMPARE(user.boxes[0].text,
                 QString("There are no printers installed. Kinda makes me usless :("));
        QCOMPARE(user.boxes[0].icon, QMessageBox::Critical);
        QCOMPARE(user.boxes[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QVERIFY2(user.finished(), user.report().constData());
        // Nothing else happened: no settings, no drop directory, no window.
        QVERIFY(rig.store.values.empty());
        QVERIFY(!fs::exists(rig.dropDirectory()));
        for (QWidget* top : QApplication::topLevelWidgets()) QVERIFY(!top->isVisible());
    }

    void windowStartsFromTheStoredSettings() {
        WindowRig rig;
        rig.setting("Defaults", "PrintMethod", "Move");
        rig.setting("Defaults", "Copies", "3");
        rig.setting("Mask", "MaskIndex", "1");
        rig.work.write("report.txt", "r");
        rig.work.write("label.prn", "l");
        ModalAnswerer user;

        QVERIFY(rig.start());
        Vantrel& window = rig.window();

        QVERIFY(window.isVisible());
        QVERIFY(!rig.forms->optionForm().isVisible());
        QVERIFY(!rig.forms->dirPick().isVisible());
        QCOMPARE(window.Combo2->count(), 3);
        QCOMPARE(window.Combo2->currentText(), QString("Move"));
        QCOMPARE(window.Text1->text().toStdString(), WindowRig::dir(rig.work));
        QCOMPARE(window.File1->path().toStdString(), WindowRig::dir(rig.work));
        QCOMPARE(window.Combo1->currentText(), QString("*.prn"));
        QCOMPARE(Texts(*window.File1), QStringList{"label.prn"});
        QCOMPARE(window.Text2->text(), QString("3"));
        QCOMPARE(Texts(*window.file2), (QStringList{"LaserJet 4 - LPT1:", "Fax - FAX:"}));
        QCOMPARE(window.printerListIndex(), 0);
        QVERIFY2(user.finished(), user.report().constData());
    }

    void dialogsStartCentredOverTheMainWindow() {
        WindowRig rig;
        rig.setting("Placement", "Top", "300");  // well away from the middle of the screen
        rig.setting("Placement", "Left", "600");
        QVERIFY(rig.start());
        const QRect main = rig.window().frameGeometry();
        QCOMPARE(main.topLeft(), QPoint(TwipsToPixelsX(600), TwipsToPixelsY(300)));
        for (QWidget* dialog : {static_cast<QWidget*>(&rig.forms->dirPick()),
                                static_cast<QWidget*>(&rig.forms->optionForm())}) {
            const QRect frame = dialog->frameGeometry();
            QVERIFY(frame.width() <= main.width() && frame.height() <= main.height());
            // The window frames are known only once the windows are shown.
            QVERIFY2(qAbs(frame.center().x() - main.center().x()) <= 4,
                     qPrintable(dialog->objectName()));
            QVERIFY2(qAbs(frame.center().y() - main.center().y()) <= 4,
                     qPrintable(dialog->objectName()));
        }
    }

    void dropDirectoryIsMadeAndAutoPrintRuns() {
        WindowRig rig;
        rig.setting("Defaults", "Copies", "2");
        QVERIFY(!fs::exists(rig.dropDirectory()));
        QVERIFY(rig.start(50));

        QVERIFY(fs::is_directory(rig.dropDirectory()));
        QCOMPARE(rig.forms->optionForm().Label6->text().toStdString(),
                 "AutoPrint Directory - " + rig.dropDirectory());
        QVERIFY(rig.window().autoPrintRunning());

        // A dropped file is printed on the default printer in the copies of the copies box.
        const std::string dropped = rig.dropDirectory() + "/job.prn";
        {
            std::ofstream out(dropped, std::ios::binary);
            out << "RAW";
        }
        QTRY_COMPARE_WITH_TIMEOUT(rig.printers.printed().size(), 2u, 10'000);
        QTRY_VERIFY(!fs::exists(dropped));
        QCOMPARE(rig.printers.printed()[0].deviceName, std::string("LaserJet 4"));
        QCOMPARE(rig.printers.printed()[0].data, std::string("RAW"));
    }

    void messageBoxInsideATickLetsNoSecondTickIn() {
        WindowRig rig;
        rig.printers.failWriteAfterBytes = 0;  // every document fails
        QVERIFY(rig.start(20));
        ModalAnswerer user;
        // The spooler's message stays open while Timer1 keeps firing underneath it.
        user.then([](QWidget* modal) {
            QTest::qWait(300);
            modal->close();
        });
        user.answerBox();  // the file went into "Failed"
        {
            std::ofstream out(rig.dropDirectory() + "/job.prn", std::ios::binary);
            out << "RAW";
        }
        QTRY_VERIFY_WITH_TIMEOUT(fs::exists(rig.dropDirectory() + "/Failed/job.prn"), 10'000);
        QTRY_VERIFY2(user.finished(), user.report().constData());
        QTest::qWait(100);
        QCOMPARE(rig.printers.documents.size(), 1u);
    }

    void dropDirectoryThatCannotBeMadeLeavesAutoPrintOff() {
        WindowRig rig;
        rig.appDir.write("RawSpool", "a file where the directory should be");
        ModalAnswerer user;
        user.answerBox(QMessageBox::Ok);

        QVERIFY(rig.start(50));

        QVERIFY2(user.finished(), user.report().constData());
        QVERIFY(user.boxes[0].text.contains(QString::fromStdString(rig.dropDirectory())));
        QCOMPARE(user.boxes[0].icon, QMessageBox::Warning);
        QVERIFY(!rig.window().autoPrintRunning());
        QVERIFY(rig.window().isVisible());
    }

    void startDirectoryThatCannotBeListedFallsBackToHome() {
        WindowRig rig;
        TempDir home;
        home.write("at-home.txt", "h");
        const QByteArray savedHome = qgetenv("HOME");
        qputenv("HOME", QByteArray::fromStdString(home.path().string()));
        const std::string missing = (rig.work.path() / "gone").string() + "/";
        rig.setting("Defaults", "StartDir", missing);
        ModalAnswerer user;
        user.answerBox(QMessageBox::Ok);

        const bool started = rig.start();
        qputenv("HOME", savedHome);

        QVERIFY(started);
        QVERIFY2(user.finished(), user.report().constData());
        QVERIFY(user.boxes[0].text.contains(QString::fromStdString(missing)));
        QCOMPARE(rig.window().Text1->text().toStdString(), WindowRig::dir(home));
        QCOMPARE(Texts(*rig.window().File1), QStringList{"at-home.txt"});
        // The setting itself is left for the user to change.
        QCOMPARE(rig.forms->optionForm().Text1->text().toStdString(), missing);
    }

    void exitSavesAndEndsTheProgram() {
        WindowRig rig;
        QTimer::singleShot(0, [&rig] {
            Vantrel* window = nullptr;
            for (QWidget* top : QApplication::topLevelWidgets()) {
                if (top->objectName() == "Vantrel") window = static_cast<Vantrel*>(top);
            }
            if (!window) {
                QApplication::exit(2);
                return;
            }
            window->Text2->setText("7");
            window->Command4->click();
        });
        rig.store.values.erase({"Defaults", "Copies"});

        const int status = RunWindowProgram(rig.seams(), rig.places());

        QCOMPARE(status, 0);
        QCOMPARE(rig.stored("Defaults", "Copies"), std::string("7"));
        QVERIFY(rig.store.syncCount > 0);
        for (QWidget* top : QApplication::topLevelWidgets()) QVERIFY(!top->isVisible());
    }

    void closeBoxSavesNothing() {
        WindowRig rig;
        QVERIFY(rig.start());
        const auto before = rig.store.values;
        const int syncs = rig.store.syncCount;
        rig.window().Text2->setText("9");
        rig.forms->optionForm().Text2->setText("/elsewhere/");

        QVERIFY(rig.window().close());

        QVERIFY(rig.store.values == before);
        QCOMPARE(rig.store.syncCount, syncs);
        QVERIFY(!rig.window().autoPrintRunning());
        QVERIFY(!rig.forms->optionForm().isVisible());
        QVERIFY(!rig.forms->dirPick().isVisible());
    }

    void exitWithAStoreThatCannotBeWrittenSaysSoAndCloses() {
        WindowRig rig;
        QVERIFY(rig.start());
        rig.store.syncFails = true;
        ModalAnswerer user;
        user.answerBox(QMessageBox::Ok);

        rig.window().Command4->click();

        QVERIFY2(user.finished(), user.report().constData());
        QVERIFY(user.boxes[0].text.startsWith("The settings could not be saved"));
        QCOMPARE(user.boxes[0].title, QString("Vantrel"));
        QVERIFY(!rig.window().isVisible());
    }
};

QTEST_MAIN(StartupTest)
#include "startup_test.moc"
