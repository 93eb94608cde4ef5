// The window printing through the private CUPS scheduler: the Print press, and AutoPrint working
// in slices between the window's events, checked by the bytes the default queue's printer gets.

#include "integration/harness.h"
#include "platform/backends.h"
#include "support/form_rig.h"

using namespace vantrel;
using namespace vantrel::integration;
namespace fs = std::filesystem;

class WindowOnCupsTest : public QObject {
    Q_OBJECT

    std::optional<PrivateCups> cups = FindPrivateCups();
    std::unique_ptr<PrinterSystem> spooler = MakeSystemPrinterSystem();
    std::unique_ptr<testing::WindowRig> rig;
    std::vector<std::string> before;

    // What the default queue's printer received since the test began, sorted.
    std::vector<std::string> received() {
        WaitUntilQueueIdle(kDefaultQueue);
        std::vector<std::string> contents;
        for (const auto& job : CaptureDir(*cups, kDefaultQueue).jobsSince(before)) {
            contents.push_back(ReadFile(job));
        }
        std::sort(contents.begin(), contents.end());
        return contents;
    }

  private slots:
    void init() {
        if (!cups && PrivateCupsRequired()) QFAIL(kNoPrivateCups);
        if (!cups) QSKIP(kNoPrivateCups);
        before = CaptureDir(*cups, kDefaultQueue).jobs();
        rig = std::make_unique<testing::WindowRig>();
        rig->spooler = spooler.get();
    }

    void printSendsEverySelectedFileInItsCopiesThenDeletesIt() {
        std::vector<std::string> sent = {PatternBytes(40000, 1), PatternBytes(20000, 2)};
        rig->work.write("a.txt", sent[0]);
        rig->work.write("caf\xE9.txt", sent[1]);  // no valid text: printed by its stored name
        QVERIFY(rig->start());
        auto& list = rig->control<QListView>("File1");
        list.setCurrentIndex(list.model()->index(0, 0));
        list.selectAll();
        rig->control<QLineEdit>("Text2").setText("2");
        rig->control<QComboBox>("Combo2").setCurrentIndex(1);  // Delete
        rig->control<QPushButton>("Command2").click();
        const std::vector<std::string> once = sent;
        sent.insert(sent.end(), once.begin(), once.end());
        std::sort(sent.begin(), sent.end());
        QVERIFY(received() == sent);
        QVERIFY(fs::is_empty(rig->work.path()));
    }

    void autoPrintSendsEveryDroppedFileWholeAndTellsHowFarItIs() {
        QVERIFY(rig->start());
        std::vector<std::string> dropped;
        for (int i = 0; i < 40; ++i) {
            dropped.push_back(PatternBytes(1000 + i, i));
            WriteFile(rig->dropDirectory() + "/" + std::to_string(i) + ".prn", dropped.back());
        }
        std::sort(dropped.begin(), dropped.end());
        QStringList captions;  // as the window shows them between the slices of a tick
        QTimer probe;
        QObject::connect(&probe, &QTimer::timeout,
                         [&] { captions << rig->window().windowTitle(); });
        probe.start(1);
        QTRY_VERIFY_WITH_TIMEOUT(fs::is_empty(rig->dropDirectory()), 60'000);
        QVERIFY(received() == dropped);
        QVERIFY2(captions.indexOf(QRegularExpression("^AutoPrint: \\d+ of 40$")) >= 0,
                 qPrintable(captions.join(' ')));
        QTRY_COMPARE(rig->window().windowTitle(), QString("Vantrel"));
    }
};

QTEST_MAIN(WindowOnCupsTest)
#include "window_on_cups_test.moc"
