// The windowed start-up and shutdown, on fake printers and a fake settings store.

#include "formkit/twips.h"
#include "platform/path_separator.h"
#include "support/design_names.h"
#include "support/form_rig.h"

using namespace vantrel;
using namespace vantrel::testing;

class WindowStartupTest : public QObject {
    Q_OBJECT

    std::unique_ptr<WindowRig> rig;

  private slots:
    void init() { rig = std::make_unique<WindowRig>(); }

    // No printer, or a print server that does not answer within the start-up's bound: each
    // with its own words.
    void withoutPrintersTheFatalErrorIsAllThatHappens_data() {
        QTest::addColumn<bool>("frozen");
        QTest::addColumn<QString>("said");
        QTest::newRow("none installed")
            << false << "Fatal Error: There are no printers installed. Kinda makes me useless :(";
        QTest::newRow("no answer") << true
                                   << "Fatal Error: The print spooler cannot be reached: the "
                                      "print server does not answer";
    }
    void withoutPrintersTheFatalErrorIsAllThatHappens() {
        QFETCH(bool, frozen);
        QFETCH(QString, said);
        rig->printers.installed.clear();
        if (frozen) rig->printers.freeze();
        rig->firstAnswerWait = std::chrono::milliseconds(300);
        rig->store.values.clear();
        rig->user.answer();
        QVERIFY(!rig->start());
        QVERIFY2(rig->user.saw(said.toStdString()), rig->user.said.c_str());
        QVERIFY(rig->store.values.empty() && !std::filesystem::exists(rig->dropDirectory()));
    }

    // A position that leaves less of the title bar on a screen than a hand can take it by is
    // centred instead. Closing the window saves nothing; Exit does, without the placement of a
    // minimised window.
    void theWindowStartsFromTheStoredSettingsAndOnlyExitSaves() {
        rig->store.set("Defaults", "PrintMethod", "Move");
        rig->store.set("Defaults", "Copies", "2");
        rig->store.set("Mask", "MaskIndex", "1");
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        rig->store.set("Placement", "Top", std::to_string(PixelsToTwipsY(screen.bottom() - 60)));
        rig->store.set("Placement", "Left", std::to_string(PixelsToTwipsX(screen.right() - 48)));
        rig->work.write("report.txt", "r");
        rig->work.write("LABEL.PRN", "l");
        QVERIFY(rig->start());
        MainWindow& window = rig->window();
        QVERIFY(window.isVisible() && !window.windowIcon().isNull());
        QVERIFY(window.screen()->availableGeometry().contains(window.geometry()));
        QCOMPARE(rig->control<QComboBox>(main_form::kActionList).currentText(), QString("Move"));
        QCOMPARE(Texts(rig->control<QListView>(main_form::kFileList)), QStringList{"LABEL.PRN"});
        WriteFile(rig->dropDirectory() + "/job.prn", "RAW");
        QTRY_COMPARE_WITH_TIMEOUT(rig->printers.printed().size(), 2u, 10'000);

        rig->control<QLineEdit>(main_form::kCopiesBox).setText("9");
        rig->control<QComboBox>(main_form::kMaskList).setCurrentIndex(2);
        rig->forms->optionsDialog().show();
        QVERIFY(window.close() && !rig->forms->optionsDialog().isVisible());
        QVERIFY(rig->stored("Defaults", "Copies") == "2" && !window.autoPrintRunning());
        const std::string storedTop = rig->stored("Placement", "Top");
        window.showMinimized();  // a minimised window keeps the stored placement
        rig->control<QPushButton>(main_form::kExitButton).click();
        QVERIFY(!window.isVisible() && rig->stored("Placement", "Top") == storedTop);
        QCOMPARE(rig->stored("Defaults", "Copies") + rig->stored("Mask", "MaskIndex"), "92");
    }

    // A stored corner the user can reach is where the window's frame goes, each edge its own.
    void aReachableStoredCornerPlacesTheFrame() {
        rig->store.set("Placement", "Top", "600");
        rig->store.set("Placement", "Left", "1200");
        QVERIFY(rig->start());
        const FormGeometry outer = FormGeometryTwips(rig->window());
        QCOMPARE(std::lround(outer.top), 600L);
        QCOMPARE(std::lround(outer.left), 1200L);
    }

    // The legacy settings are taken over at the first start. What cannot be used is told: a
    // store that cannot be written, a start directory gone, a drop directory that cannot be made.
    void whatCannotBeUsedIsReportedAndTheWindowStillStarts() {
        rig->store.values.clear();
        rig->store.syncFails = true;
        const std::string ini = rig->appDir.write("Vantrel.Ini", "");
        const std::string missing = rig->work.file("gone") + kPathSeparator;
        rig->legacyProfile.values[{ini, "Defaults", "Start Dir"}] = missing;
        rig->appDir.write("RawSpool", "a file where the directory should be");
        for (int i = 0; i < 3; ++i) rig->user.answer();
        QVERIFY(rig->start() && rig->window().isVisible());
        QVERIFY(rig->user.saw("The settings of the earlier release could not be carried over"));
        QVERIFY(rig->user.saw("choose another starting directory under Options"));
        QVERIFY(rig->user.saw("The AutoPrint directory " + rig->dropDirectory()));
        QCOMPARE(rig->control<QLineEdit>(main_form::kDirectoryBox).text(),
                 QDir::toNativeSeparators(QDir::homePath()) + kPathSeparator);
        QCOMPARE(rig->forms->settings().startDir, missing);  // the setting is left alone
        QVERIFY(!rig->window().autoPrintRunning());
        QCOMPARE(rig->window().windowTitle(), QString("Vantrel - AutoPrint off"));
    }
};

QTEST_MAIN(WindowStartupTest)
#include "window_startup_test.moc"
