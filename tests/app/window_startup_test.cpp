// The windowed start-up and shutdown, on fake printers and a fake settings store.

#include "support/form_rig.h"

using namespace vantrel;
using namespace vantrel::testing;

class WindowStartupTest : public QObject {
    Q_OBJECT

    std::unique_ptr<WindowRig> rig;

  private slots:
    void init() { rig = std::make_unique<WindowRig>(); }

    void withoutPrintersTheFatalErrorIsAllThatHappens() {
        rig->printers.installed.clear();
        rig->store.values.clear();
        rig->user.answer();
        QVERIFY(!rig->start());
        const BoxMessage& box = rig->user.seen.at(0);
        QVERIFY(box.caption == "Fatal Error" && box.style == MsgStyle::Critical &&
                box.text == "There are no printers installed. Kinda makes me usless :(");
        QVERIFY(rig->store.values.empty() && !std::filesystem::exists(rig->dropDirectory()));
    }

    void theWindowStartsFromTheStoredSettingsAndAutoPrintRuns() {
        rig->store.set("Defaults", "PrintMethod", "Move");
        rig->store.set("Defaults", "Copies", "2");
        rig->store.set("Mask", "MaskIndex", "1");
        rig->store.set("Placement", "Top", "20000");  // on no screen: centred instead
        rig->store.set("Placement", "Left", "30000");
        rig->work.write("report.txt", "r");
        rig->work.write("label.prn", "l");
        QVERIFY(rig->start());
        QVERIFY(rig->window().isVisible() && !rig->window().windowIcon().isNull());
        QVERIFY(rig->window().screen()->availableGeometry().contains(rig->window().geometry()));
        QCOMPARE(rig->control<QComboBox>("Combo2").currentText(), QString("Move"));
        QCOMPARE(rig->control<QLineEdit>("Text1").text().toStdString(), WindowRig::dir(rig->work));
        QCOMPARE(Texts(rig->control<QListView>("File1")), QStringList{"label.prn"});
        QCOMPARE(rig->control<QListWidget>("file2").currentRow(), 0);

        std::ofstream(rig->dropDirectory() + "/job.prn") << "RAW";
        QTRY_COMPARE_WITH_TIMEOUT(rig->printers.printed().size(), 2u, 10'000);
    }

    void theFirstStartMigratesTheLegacySettingsAndReportsAStoreThatFails() {
        rig->store.values.clear();
        rig->store.syncFails = true;
        const std::string ini = rig->appDir.write("Vantrel.Ini", "");
        rig->legacyProfile.values[{ini, "Defaults", "Start Dir"}] = WindowRig::dir(rig->dataDir);
        rig->user.answer();
        QVERIFY(rig->start() &&
                rig->user.saw("The settings of the earlier release could not be carried over"));
        QCOMPARE(rig->control<QLineEdit>("Text1").text().toStdString(),
                 WindowRig::dir(rig->dataDir));
    }

    void whatCannotBeUsedIsReportedAndTheWindowStillStarts() {
        rig->appDir.write("RawSpool", "a file where the directory should be");
        const std::string missing = rig->work.file("gone") + "/";
        rig->store.set("Defaults", "StartDir", missing);
        rig->user.answer();
        rig->user.answer();
        QVERIFY(rig->start() && rig->window().isVisible());
        QVERIFY(rig->user.saw(missing) && rig->user.saw(rig->dropDirectory()));
        QCOMPARE(rig->control<QLineEdit>("Text1").text(), QDir::homePath() + "/");
        QCOMPARE(rig->forms->optionForm().startDir(), missing);  // the setting is left alone
        QVERIFY(!rig->window().autoPrintRunning());
    }

    void onlyExitSaves() {
        QVERIFY(rig->start());
        rig->control<QLineEdit>("Text2").setText("9");
        rig->forms->optionForm().show();
        QVERIFY(rig->window().close() && !rig->forms->optionForm().isVisible());
        QVERIFY(rig->stored("Defaults", "Copies") == "<absent>" &&
                !rig->window().autoPrintRunning());
        rig->window().show();
        rig->control<QPushButton>("Command4").click();
        QVERIFY(!rig->window().isVisible());
        QCOMPARE(rig->stored("Defaults", "Copies"), std::string("9"));
    }
};

QTEST_MAIN(WindowStartupTest)
#include "window_startup_test.moc"
