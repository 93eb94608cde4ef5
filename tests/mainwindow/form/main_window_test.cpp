// The main window: the file list and its masks, Refresh and Change Dir, the Print press as the
// window feeds it, AutoPrint on its timer, the menus and the About box.

#include <sys/stat.h>

#include "app/version.h"
#include "fakes/hooked_file_system.h"
#include "formkit/file_list_box.h"
#include "support/form_rig.h"

using namespace vantrel;
using namespace vantrel::testing;
namespace fs = std::filesystem;

class MainWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<WindowRig> rig;

    QStringList files() { return Texts(rig->control<QListView>("File1")); }
    int printerRow() { return rig->control<QListWidget>("file2").currentRow(); }
    void press(const char* button) { rig->control<QPushButton>(button).click(); }

  private slots:
    void init() {
        rig = std::make_unique<WindowRig>();
        rig->files = std::make_unique<HookedFileSystem>();
        // "\xE9": a Latin-1 name, no valid UTF-8.
        for (const char* name : {"a.txt", "B.TXT", "README", ".hidden.txt", "\xE9.txt"}) {
            rig->work.write(name, name);
        }
        fs::create_directory(rig->work.path() / "sub");
        // A link is listed as a file until a.txt goes.
        fs::create_symlink("a.txt", rig->work.path() / "link.txt");
        QCOMPARE(::mkfifo(rig->work.file("pipe.txt").c_str(), 0600), 0);
        QVERIFY(rig->start());
        rig->control<QListWidget>("file2").setCurrentRow(1);  // Fax, by hand
    }
    void cleanup() { rig.reset(); }  // no timer of a test outlives it

    // Change Dir starts the picker at the window's directory and shows the one picked. Both it
    // and Refresh rebuild the lists; a directory gone since it was chosen is told, with its name
    // and why, and the home directory is shown instead, as at start-up.
    void changeDirAndRefreshShowTheirDirectory() {
        const std::string sub = rig->work.file("sub") + "/";
        auto shows = [&](const std::string& directory) {
            QCOMPARE(rig->control<QLineEdit>("Text1").text().toStdString(), directory);
            QCOMPARE(rig->control<FileListBox>("File1").path().toStdString(), directory);
            QCOMPARE(printerRow(), 0);  // the default printer again
        };
        PickNext(&rig->window(), "sub");
        press("Command3");
        shows(sub);
        fs::remove(sub);
        rig->control<QListWidget>("file2").setCurrentRow(1);
        rig->user.answer();
        press("Command1");
        shows(QDir::homePath().toStdString() + "/");
        QVERIFY(rig->user.saw("\"" + sub + "\" cannot be opened: it does not exist."));
    }

    // The selected files by their stored names, on the printer chosen by hand; the lists are
    // rebuilt afterwards. Files only are listed, no dot files, in the order of their names
    // whatever the case; the mask "*.*" takes names without a dot too.
    void printPrintsTheSelectedFilesOnTheSelectedPrinterThenActs() {
        rig->control<QComboBox>("Combo1").setCurrentIndex(2);  // *.*
        QCOMPARE(files(), (QStringList{"a.txt", "B.TXT", "link.txt", "README", "\uFFFD.txt"}));
        auto& list = rig->control<QListView>("File1");
        list.setCurrentIndex(list.model()->index(0, 0));
        list.selectionModel()->select(list.model()->index(4, 0), QItemSelectionModel::Select);
        rig->control<QLineEdit>("Text2").setText("2");
        rig->control<QComboBox>("Combo2").setCurrentIndex(1);  // Delete
        press("Command2");
        std::string printed;
        for (const auto& doc : rig->printers.printed())
            printed += doc.deviceName + ": " + doc.data + "\n";
        QCOMPARE(printed, std::string("Fax: a.txt\nFax: a.txt\nFax: \xE9.txt\nFax: \xE9.txt\n"));
        QCOMPARE(files(), (QStringList{"B.TXT", "README"}));
        QCOMPARE(printerRow(), 0);  // the default printer again
    }

    // A slow spooler: the window answers between slices of the tick and tells how far it is;
    // Exit lets the file in progress end, then no other is taken.
    void autoPrintLetsTheWindowAnswerAndStopsAtExit_data() {
        QTest::addColumn<int>("exitAt");  // the file in progress when Exit comes; 0: none
        QTest::newRow("to the end") << 0;
        QTest::newRow("Exit during the second file") << 2;
    }
    void autoPrintLetsTheWindowAnswerAndStopsAtExit() {
        QFETCH(int, exitAt);
        const int count = 6, printed = exitAt ? exitAt : count;
        for (int i = 0; i < count; ++i) WriteFile(rig->dropDirectory() + "/" + char('0' + i), "x");
        int file = 0;
        QString caption;  // as the window shows it when it first answers
        static_cast<HookedFileSystem&>(*rig->files).afterRead = [&](int read, const auto&) {
            if (read > 1) return;
            if (++file == 1) {
                QTimer::singleShot(0, &rig->window(),
                                   [&] { caption = rig->window().windowTitle(); });
            }
            if (file == exitAt) rig->window().close();
            QTest::qSleep(40);
        };
        QTRY_COMPARE(rig->printers.printed().size(), std::size_t(printed));
        QCOMPARE(std::distance(fs::directory_iterator(rig->dropDirectory()), {}), count - printed);
        if (!exitAt)
            QVERIFY2(caption.contains(QRegularExpression("^AutoPrint: [1-5] of 6$")),
                     qPrintable(caption));
        QCOMPARE(rig->window().windowTitle(), QString("Vantrel"));
    }

    // With the desktop's fonts no count is cut off ("40000" seen as "0000"): the box shows the
    // same whether it was left at the end of the text or at its start.
    void theCopiesBoxShowsEveryCountWhole() {
        auto& box = rig->control<QLineEdit>("Text2");
        for (char digit = '0'; digit <= '9'; ++digit) {
            box.setText(QString(5, QChar(digit)));
            box.end(false);
            const QImage atEnd = box.grab().toImage();
            box.home(false);
            QVERIFY2(box.grab().toImage() == atEnd, qPrintable(box.text()));
        }
    }

    // The options over the main window; the About box, taller than it, on the screen's centre,
    // with the program's version and links that say when nothing opens them; the help likewise.
    void theMenusShowTheOptionsTheAboutBoxAndTheHelp() {
        auto off = [](const QWidget& form, const QRect& place) {
            return (form.frameGeometry().center() - place.center()).manhattanLength();
        };
        InNextDialog<OptionForm>(&rig->window(), [&](OptionForm& options) {
            QVERIFY(off(options, rig->window().frameGeometry()) <= 4);
        });
        rig->control<QAction>("Options").trigger();
        InNextDialog<QDialog>(&rig->window(), [&](QDialog& box) {
            QVERIFY(off(box, box.screen()->geometry()) <= 4);
            QCOMPARE(Child<QLabel>(box, "lblVersion").text(), "Version " + QString(kVersionText));
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
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
