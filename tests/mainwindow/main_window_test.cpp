// The main window: the file list and its masks, Refresh and Change Dir, the Print press as the
// window feeds it, AutoPrint on its timer, the menus and the About box; and a print through the
// system's own spooler into the private print server's capture printers.

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "about/about_texts.h"
#include "app/version.h"
#include "fakes/hooked_file_system.h"
#include "formkit/file_list_box.h"
#include "mainwindow/window_wait.h"
#include "platform/backends.h"
#include "platform/path_separator.h"
#include "platform/path_text.h"
#include "support/design_names.h"
#include "support/form_rig.h"
#include "support/own_settings_store.h"

using namespace vantrel;
using namespace vantrel::testing;
namespace fs = std::filesystem;

namespace {

// What a folder may hold besides plain names, by system. POSIX: a link (listed as a file until
// its target goes), a named pipe (never listed), and "\xE9.txt", no valid UTF-8, shown with
// U+FFFD. Windows: no links or pipes made, and "\xE9.txt" names U+00E9, as std::filesystem widens
// each byte of a narrow name.
#ifdef _WIN32
const QString kOddName = QString::fromUtf8("\u00E9.txt");
const QStringList kTextFiles{"a.txt", "B.TXT", kOddName};
const QStringList kAllFiles{"a.txt", "B.TXT", kOddName, "README"};
// Windows forgets a job once it has printed: that it left the queue is all there is to see.
const QString kTwoJobsEnded = "2 of 2 sent to the printer";
void MakeLinkAndPipe(const TempDir&) {}
#else
const QString kOddName = QString::fromUtf8("\uFFFD.txt");
const QStringList kTextFiles{"a.txt", "B.TXT", "link.txt", kOddName};
const QStringList kAllFiles{"a.txt", "B.TXT", "link.txt", "README", kOddName};
const QString kTwoJobsEnded = "2 of 2 printed";
void MakeLinkAndPipe(const TempDir& dir) {
    fs::create_symlink("a.txt", dir.path() / "link.txt");
    QCOMPARE(::mkfifo(dir.file("pipe.txt").c_str(), 0600), 0);
}
#endif

// Where the private print server's capture printers keep what they received; empty without one.
fs::path CaptureFolder() {
    const char* server = std::getenv("VANTREL_TEST_CUPS_DIR");
    if (!server) return {};
#ifdef _WIN32
    return fs::path(std::string("Z:") + server) / "capture";  // Wine's Z: is /
#else
    return fs::path(server) / "capture";
#endif
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<WindowRig> rig;

    QStringList files() { return Texts(rig->control<QListView>(main_form::kFileList)); }
    int printerRow() { return rig->control<QListWidget>(main_form::kPrinterList).currentRow(); }
    void press(const char* button) { rig->control<QPushButton>(button).click(); }

  private slots:
    void init() {
        rig = std::make_unique<WindowRig>();
        rig->files = std::make_unique<HookedFileSystem>();
        for (const char* name : {"a.txt", "B.TXT", "README", ".hidden.txt"}) {
            rig->work.write(name, name);
        }
        // Made through the path itself: its narrow text would be converted twice on Windows.
        std::ofstream(rig->work.path() / "\xE9.txt", std::ios::binary) << "\xE9.txt";
        fs::create_directory(rig->work.path() / "sub");
        MakeLinkAndPipe(rig->work);
        QVERIFY(rig->start());
        rig->control<QListWidget>(main_form::kPrinterList).setCurrentRow(1);  // Fax, by hand
    }
    void cleanup() { rig.reset(); }  // no timer of a test outlives it

    // Change Dir starts the picker at the window's directory and shows the one picked. Both it
    // and Refresh rebuild the lists, keeping the printer chosen by hand while it is installed;
    // a directory gone since it was chosen is told, with its name and why, and the home
    // directory is shown instead, as at start-up.
    void changeDirAndRefreshShowTheirDirectory() {
        // A printer entry cut off at the list's edge shows whole when pointed at.
        rig->printers.installed.insert(rig->printers.installed.begin(),
                                       {"Label_Printer", std::string(80, 'p')});
        press(main_form::kRefreshButton);
        const auto* cut = rig->control<QListWidget>(main_form::kPrinterList).item(0);
        QCOMPARE(cut->toolTip(), cut->text());
        QVERIFY(rig->control<QListWidget>(main_form::kPrinterList).item(1)->toolTip().isEmpty());
        rig->printers.installed.erase(rig->printers.installed.begin());
        press(main_form::kRefreshButton);
        const std::string sub = rig->work.file("sub") + kPathSeparator;
        auto shows = [&](const std::string& directory, int printer) {
            QCOMPARE(rig->control<QLineEdit>(main_form::kDirectoryBox).text().toStdString(),
                     directory);
            QCOMPARE(rig->control<FileListBox>(main_form::kFileList).path().toStdString(),
                     directory);
            QCOMPARE(printerRow(), printer);
        };
        PickNext(&rig->window(), "sub");
        press(main_form::kChangeDirButton);
        shows(sub, 1);
        fs::remove(sub);
        rig->printers.installed.pop_back();  // Fax is gone: the default printer
        rig->user.answer();
        press(main_form::kRefreshButton);
        shows(QDir::toNativeSeparators(QDir::homePath()).toStdString() + kPathSeparator, 0);
        rig->printers.installed.push_back({"Fax", "FAX:"});  // and stays chosen
        press(main_form::kRefreshButton);
        QCOMPARE(printerRow(), 0);
        QVERIFY(rig->user.saw("\"" + sub + "\" cannot be opened: it does not exist."));
    }

    // The selected files by their stored names, on the printer chosen by hand; the lists are
    // rebuilt afterwards, and a line under them tells how the jobs ended. Files only are listed, no
    // dot files, in the order of their names whatever the case; the mask "*.*" takes names without
    // a dot too.
    void printPrintsTheSelectedFilesOnTheSelectedPrinterThenActs() {
        rig->control<QComboBox>(main_form::kMaskList)
            .setCurrentIndex(0);  // *.txt, whatever the case
        QCOMPARE(files(), kTextFiles);
        rig->control<QComboBox>(main_form::kMaskList).setCurrentIndex(2);  // *.*
        QCOMPARE(files(), kAllFiles);
        auto& list = rig->control<QListView>(main_form::kFileList);
        list.setCurrentIndex(list.model()->index(0, 0));
        list.selectionModel()->select(list.model()->index(int(files().indexOf(kOddName)), 0),
                                      QItemSelectionModel::Select);
        rig->control<QLineEdit>(main_form::kCopiesBox).setText("2");
        rig->control<QComboBox>(main_form::kActionList).setCurrentIndex(1);  // Delete
        rig->printers.jobStates[3] = {{JobState::Aborted, "jammed"}};
        rig->user.answer();
        press(main_form::kPrintButton);
        QTRY_COMPARE(files(), (QStringList{"B.TXT", "README"}));
        // The jobs are followed after the press; a failed one is told in a box too.
        QTRY_VERIFY(rig->user.saw("1 of 4 aborted at Fax: jammed"));
        QCOMPARE(rig->control<QLabel>("jobsLine").text(), QString("1 of 4 aborted at Fax: jammed"));
        std::string printed;
        for (const auto& doc : rig->printers.printed())
            printed += doc.deviceName + ": " + doc.data + "\n";
        QCOMPARE(printed, std::string("Fax: a.txt\nFax: a.txt\nFax: \xE9.txt\nFax: \xE9.txt\n"));
        QCOMPARE(printerRow(), 1);  // the printer chosen by hand, kept
    }

    // A slow spooler: the window answers between slices of an AutoPrint tick or a Print press
    // and tells how far it is; Exit (AutoPrint) or Escape (Print) lets the file in progress end,
    // then no other is taken. A single long file is sent in slices too.
    void printAndAutoPrintLetTheWindowAnswerAndStop_data() {
        QTest::addColumn<bool>("autoPrint");
        QTest::addColumn<int>("stopAt");  // the file in progress when the user stops; 0: none
        QTest::newRow("AutoPrint to the end") << true << 0;
        QTest::newRow("AutoPrint, Exit during the second file") << true << 2;
        QTest::newRow("Print to the end") << false << 0;
        QTest::newRow("Print, Escape during the second file") << false << 2;
    }
    void printAndAutoPrintLetTheWindowAnswerAndStop() {
        QFETCH(bool, autoPrint);
        QFETCH(int, stopAt);
        const int count = 6, printed = stopAt ? stopAt : count;
        const std::string folder = autoPrint ? rig->dropDirectory() : rig->work.file("many");
        fs::create_directories(folder);
        for (int i = 0; i < count; ++i) WriteFile(folder + "/" + char('0' + i) + ".txt", "x");
        // The press's first file is long: eight chunks, each read slowly.
        if (!autoPrint) WriteFile(folder + "/0.txt", std::string(8 * 16384, 'b'));
        int file = 0;
        // As the window shows it when it first answers, and what was printed; and at the last.
        QString caption, lastCaption;
        static_cast<HookedFileSystem&>(*rig->files).afterRead = [&](int read, const auto&) {
            if (read == 1 && (++file == 1 || file == count)) {
                QTimer::singleShot(0, &rig->window(), [&, first = file == 1] {
                    (first ? caption : lastCaption) =
                        rig->window().windowTitle() +
                        QString(" after %1").arg(rig->printers.printed().size());
                });
            }
            if (read == 1 && file == stopAt && autoPrint) rig->window().close();
            if (read == 1 && file == stopAt && !autoPrint)
                QTest::keyClick(&rig->window(), Qt::Key_Escape);
            QTest::qSleep(40);
        };
        if (!autoPrint) {
            rig->window().setCurrentDirectory(folder);
            rig->window().refreshLists();
            rig->control<QComboBox>(main_form::kActionList).setCurrentIndex(1);  // Delete
            auto& list = rig->control<QListView>(main_form::kFileList);
            list.setCurrentIndex(list.model()->index(0, 0));
            list.selectAll();
            press(main_form::kPrintButton);
        }
        QTRY_COMPARE(rig->printers.printed().size(), std::size_t(printed));
        // AutoPrint ends with the window.
        QTRY_COMPARE(rig->window().windowTitle(),
                     QString(autoPrint && stopAt ? "Vantrel - AutoPrint off" : "Vantrel"));
        QCOMPARE(std::distance(fs::directory_iterator(folder), {}), count - printed);
        if (!autoPrint && stopAt)
            QTRY_COMPARE(rig->control<QLabel>("jobsLine").text(),
                         QString("Stopped: 2 of 6 files printed"));
        QCOMPARE(rig->printers.printed()[0].data.size(), autoPrint ? 1u : 8u * 16384);
        // The window answers before the last file, and says how far it is.
        const QString progress =
            autoPrint ? "^AutoPrint: [1-6] of 6 after [0-5]$" : "^Printing 1 of 6 after 0$";
        if (!stopAt || !autoPrint)  // Exit ends the tick before the window answers
            QVERIFY2(caption.contains(QRegularExpression(progress)), qPrintable(caption));
        // Slice by slice, the caption has moved on by the last file.
        if (!stopAt) QVERIFY2(!lastCaption.contains(" 1 of 6"), qPrintable(lastCaption));
    }

    // A print server that does not answer holds the worker, never the window: it answers all
    // along, says so after a while, and goes on once the server answers. Exit withdraws the job
    // in progress, keeps the file, and ends at once, without a box.
    void aFrozenPrintServerHoldsNoWindow_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("exit");
        QTest::newRow("Refresh, then the server answers") << main_form::kRefreshButton << false;
        QTest::newRow("Print, then Exit") << main_form::kPrintButton << true;
    }
    void aFrozenPrintServerHoldsNoWindow() {
        QFETCH(QString, button);
        QFETCH(bool, exit);
        rig->control<QComboBox>(main_form::kActionList).setCurrentIndex(1);  // Delete
        auto& list = rig->control<QListView>(main_form::kFileList);
        list.setCurrentIndex(list.model()->index(0, 0));  // a.txt
        int beats = 0;
        QTimer beat;
        connect(&beat, &QTimer::timeout, [&] { ++beats; });
        beat.start(50);
        QString told;
        int beatsThen = 0;
        QTimer::singleShot(WindowWait::kNoAnswerNotice + std::chrono::milliseconds(500), [&] {
            told = rig->control<QLabel>("jobsLine").text();
            beatsThen = beats;
            if (exit) {
                rig->window().close();
            } else {
                rig->printers.thaw();
            }
        });
        rig->printers.freeze();
        press(qPrintable(button));
        QTRY_VERIFY(!told.isEmpty());
        QCOMPARE(told, QString("The print server does not answer; waiting \u2026"));
        QVERIFY2(beatsThen > 80, qPrintable(QString::number(beatsThen)));
        QTRY_VERIFY(rig->control<QLabel>("jobsLine").text() != told);
        QCOMPARE(rig->control<QListWidget>(main_form::kPrinterList).count(), 2);
        if (!exit) return;
        QTRY_VERIFY_WITH_TIMEOUT(rig->window().windowTitle() == "Vantrel - AutoPrint off", 5000);
        QVERIFY(rig->printers.printed().empty());
        QVERIFY(fs::exists(rig->work.file("a.txt")));
    }

    // "Use AutoPrint" switches AutoPrint, and the caption says when it is off.
    void useAutoPrintSwitchesAutoPrint() {
        auto& box = Child<QCheckBox>(rig->forms->optionsDialog(), options_form::kAutoPrintBox);
        QVERIFY(box.isChecked() && rig->window().autoPrintRunning());  // as before the box counted
        box.click();
        WriteFile(rig->dropDirectory() + "/job.prn", "RAW");
        QTest::qWait(300);  // six ticks
        QVERIFY(rig->printers.printed().empty() && rig->window().windowTitle().endsWith(" off"));
        box.click();
        QTRY_VERIFY(rig->printers.printed().size() == 1 &&
                    rig->window().windowTitle() == "Vantrel");
    }

    // Return and the keypad's Enter press the focused button; every button has a mnemonic of
    // its own; focus starts on the file list and shows on every control.
    void theKeyboardReachesEveryControl() {
        MainWindow& window = rig->window();
        QCOMPARE(window.focusWidget(), &rig->control<QWidget>(main_form::kFileList));
        QSet<QString> keys{QString()};  // seven of their own, none empty
        for (const char* name :
             {main_form::kRefreshButton, main_form::kPrintButton, main_form::kChangeDirButton,
              main_form::kExitButton, "Options", "About", "Help"})
            keys << QKeySequence::mnemonic(
                        window.findChild<QObject*>(name)->property("text").toString())
                        .toString();
        QCOMPARE(keys.size(), 8);

        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(window.focusWidget(), Qt::Key_Tab);  // as a keyboard user does
        for (const QWidget* control : window.findChildren<QWidget*>()) {
            if (!(control->focusPolicy() & Qt::TabFocus) || !control->isVisible()) continue;
            auto& focused = const_cast<QWidget&>(*control);
            rig->control<QWidget>(control == &rig->control<QWidget>(main_form::kCopiesBox)
                                      ? main_form::kDirectoryBox
                                      : main_form::kCopiesBox)
                .setFocus(Qt::TabFocusReason);
            const QImage before = focused.grab().toImage();
            focused.setFocus(Qt::TabFocusReason);
            QVERIFY2(focused.grab().toImage() != before, qPrintable(focused.objectName()));
        }

        rig->work.write("new.txt", "");
        QTest::keyClick(&rig->control<QPushButton>(main_form::kRefreshButton), Qt::Key_Return);
        QVERIFY(files().contains("new.txt"));
        // In the picker Return opens the entry chosen, then takes the directory it stands in.
        InNextDialog<QDialog>(&window, [](QDialog& picker) {
            auto& list = Child<QTreeWidget>(picker, picker_form::kDirectoryList);
            list.setCurrentItem(list.findItems("sub", Qt::MatchExactly | Qt::MatchRecursive)[0]);
            QTest::keyClick(&list, Qt::Key_Return);
            QVERIFY(picker.isVisible());
            QTest::keyClick(&list, Qt::Key_Return);
        });
        press(main_form::kChangeDirButton);
        QCOMPARE(rig->window().currentDirectory(), rig->work.file("sub") + kPathSeparator);
    }

    // With the desktop's fonts no count is cut off ("40000" seen as "0000"), in the font of the
    // other controls: the box shows the same whether it was left at the end of the text or at
    // its start.
    void theCopiesBoxShowsEveryCountWhole() {
        auto& box = rig->control<QLineEdit>(main_form::kCopiesBox);
        QCOMPARE(
            box.font(),
            rig->control<QLineEdit>(main_form::kDirectoryBox).font());  // as big as its neighbours
        for (char digit = '0'; digit <= '9'; ++digit) {
            box.setText(QString(5, QChar(digit)));
            box.end(false);
            const QImage atEnd = box.grab().toImage();
            box.home(false);
            QVERIFY2(box.grab().toImage() == atEnd, qPrintable(box.text()));
        }
    }

    // The options over the main window where it is now; the About box, taller than it, on the
    // screen's centre, with the program's version and links that say when nothing opens them; the
    // help likewise.
    void theMenusShowTheOptionsTheAboutBoxAndTheHelp() {
        auto off = [](const QWidget& form, const QRect& place) {
            return (form.frameGeometry().center() - place.center()).manhattanLength();
        };
        rig->window().move(rig->window().pos() + QPoint(150, 90));  // where it is now counts
        InNextDialog<OptionsDialog>(&rig->window(), [&](OptionsDialog& options) {
            QVERIFY(off(options, rig->window().frameGeometry()) <= 4);
        });
        rig->control<QAction>("Options").trigger();
        InNextDialog<QDialog>(&rig->window(), [&](QDialog& box) {
            QVERIFY(off(box, box.screen()->geometry()) <= 4);
            QCOMPARE(Child<QLabel>(box, "lblVersion").text(), "Version " + QString(kVersionText));
            QCOMPARE(Child<QLabel>(box, "Label3").text(),
                     "A Utility Designed by Brenwick Software.");
            QCOMPARE(Child<QLabel>(box, "Label4").text(),
                     QString::fromStdString(
                         DescriptionText(QSysInfo::prettyProductName().toStdString())));
            QTest::mouseClick(&Child<QLabel>(box, "MAILtag"), Qt::LeftButton);
            rig->desktop.opens = false;
            rig->user.answer();
            QTest::mouseClick(&Child<QLabel>(box, "HTTPtag"), Qt::LeftButton);
            rig->user.answer();
            Child<QPushButton>(box, "cmdSysInfo").click();
        });
        rig->control<QAction>("About").trigger();
        QCOMPARE(rig->desktop.opened, (std::vector<std::string>{"Mailto: support@brenwick.example",
                                                                "www.brenwick.example"}));
        QVERIFY(rig->user.saw("No program to open www.brenwick.example"));
        QVERIFY(rig->user.saw("System Information Is Unavailable At This Time"));

        // A box belongs to the main window and is centred on it, whichever window is active.
        const std::string help = rig->appDir.write("Vantrel.html", "");
        QWidget elsewhere;
        elsewhere.show();
        elsewhere.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&elsewhere));
        rig->messages.setDefaultAnswer({});  // a real box
        QString said;
        InNextDialog<QMessageBox>(&rig->window(), [&](QMessageBox& box) {
            said = box.text();
            QCOMPARE(box.parentWidget(), &rig->window());
            QVERIFY(off(box, rig->window().frameGeometry()) <= 2);
        });
        rig->control<QAction>("Help").trigger();
        QVERIFY(said.contains(QString::fromStdString("The help is the file " + help)));
    }

    // Through the system's own spooler (winspool under Wine on Windows, CUPS elsewhere) into the
    // private print server, from a folder named beyond ASCII: two copies arrive byte for byte at
    // the capture printer, and the line tells how the jobs ended. Save Changes writes to the
    // system's store where it is the registry, in a key of the test's own, read back afresh.
    void printsThroughTheSystemSpoolerAndSavesToTheSystemStore() {
        const fs::path capture = CaptureFolder() / "Label_Printer";
        if (!std::getenv("VANTREL_TEST_CUPS_DIR") && !std::getenv("VANTREL_REQUIRE_CUPS"))
            QSKIP("no private print server");
        QVERIFY2(fs::is_directory(capture), "VANTREL_TEST_CUPS_DIR names no print server");
        // Other tests print on the same printer meanwhile: this case's copies are told by their
        // bytes, which are this process's own.
        const std::string bytes =
            PatternBytes(100'000, static_cast<unsigned>(QCoreApplication::applicationPid())) +
            "\x0c";
        auto copiesThere = [&] {  // job-NNNN.bin, each complete
            return std::ranges::count_if(fs::directory_iterator(capture), [&](const auto& entry) {
                return entry.path().extension() == ".bin" &&
                       fs::file_size(entry.path()) == bytes.size() &&
                       ReadFile(entry.path().string()) == bytes;
            });
        };
        const OwnSettingsKey key;
        rig = std::make_unique<WindowRig>();
        rig->systemPrinters = MakeSystemPrinterSystem();
        rig->ownStore = key.open();
        // A start directory named beyond any one code page, as a user's own folder may be.
        const std::string start = JoinPath(TextOf(rig->work.path()), "Jos\xC3\xA9 \xCE\xA9");
        fs::create_directory(PathOf(start));
        std::ofstream(PathOf(JoinPath(start, "label.prn")), std::ios::binary) << bytes;
        rig->store.values[{"Defaults", "StartDir"}] = WithTrailingSeparator(start);
        QVERIFY(rig->start());
        auto& printers = rig->control<QListWidget>("file2");
        const auto label = printers.findItems("Label_Printer - ", Qt::MatchStartsWith);
        QCOMPARE(label.size(), 1);
        printers.setCurrentItem(label[0]);
        rig->control<QComboBox>("Combo1").setCurrentIndex(1);  // *.prn
        auto& list = rig->control<QListView>("File1");
        list.setCurrentIndex(list.model()->index(0, 0));
        rig->control<QLineEdit>("Text2").setText("2");
        press("Command2");
        QTRY_COMPARE_WITH_TIMEOUT(rig->control<QLabel>("jobsLine").text(), kTwoJobsEnded, 30'000);
        QTRY_COMPARE_WITH_TIMEOUT(copiesThere(), 2, 30'000);

        if (!rig->ownStore) return;  // the settings are a file: the fake store's cases cover them
        auto& options = rig->forms->optionsDialog();
        options.show();
        Child<QComboBox>(options, "Combo1").setCurrentIndex(1);  // Delete
        Child<QPushButton>(options, "Command3").click();
        QCOMPARE(key.open()->get("Defaults", "PrintMethod"), std::optional<std::string>("Delete"));
        QCOMPARE(key.open()->get("Defaults", "StartDir"), WithTrailingSeparator(start));
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
