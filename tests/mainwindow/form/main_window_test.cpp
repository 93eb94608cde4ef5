// The main window: the file list and its masks, Refresh, the Print press as the window feeds
// it, Change Dir, the menus, and AutoPrint on its timer.

#include <sys/stat.h>

#include "app/version.h"
#include "fakes/hooked_file_system.h"
#include "support/form_rig.h"

using namespace vantrel;
using namespace vantrel::testing;
using namespace Qt::StringLiterals;
namespace fs = std::filesystem;

class MainWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<WindowRig> rig;

    QStringList files() { return Texts(rig->control<QListView>("File1")); }
    QString printer() {
        const auto selected = rig->control<QListWidget>("file2").selectedItems();
        return selected.isEmpty() ? QString() : selected.first()->text();
    }

  private slots:
    void init() {
        rig = std::make_unique<WindowRig>();
        rig->files = std::make_unique<HookedFileSystem>();
        // "\xE9": a Latin-1 name, no valid UTF-8.
        for (const char* name : {"a.txt", "B.TXT", "c.prn", "README", ".hidden.txt", "\xE9.txt"}) {
            rig->work.write(name, std::string("data of ") + name);
        }
        fs::create_directory(rig->work.path() / "sub");
        fs::create_symlink("a.txt", rig->work.path() / "link.txt");  // listed until a.txt goes
        QCOMPARE(::mkfifo(rig->work.file("pipe.txt").c_str(), 0600), 0);
        QVERIFY(rig->start());
        rig->control<QListWidget>("file2").setCurrentRow(1);  // Fax, by hand
    }

    void theFileListFollowsTheChosenMaskAndRefresh() {
        rig->control<QComboBox>("Combo1").setCurrentIndex(2);
        rig->work.write("late.txt", "");
        rig->control<QPushButton>("Command1").click();
        QCOMPARE(files(), (QStringList{"a.txt", "B.TXT", "c.prn", "late.txt", "link.txt", "README",
                                       u"\uFFFD.txt"_s}));
        QCOMPARE(printer(), QString("LaserJet 4 - LPT1:"));  // the default again
    }

    // A directory gone or closed since: told, with its name and why, and the home directory
    // instead, as at start-up.
    void refreshAndChangeDirLeaveADirectoryThatCannotBeListed_data() {
        QTest::addColumn<QString>("button");
        QTest::newRow("Refresh") << "Command1";
        QTest::newRow("Change Dir, cancelled") << "Command3";
    }
    void refreshAndChangeDirLeaveADirectoryThatCannotBeListed() {
        QFETCH(QString, button);
        const std::string sub = rig->work.file("sub") + "/";
        rig->window().setCurrentDirectory(sub);
        fs::remove(sub);
        if (button == "Command3") InNextDialog<DirPick>(&rig->window(), [](DirPick&) {});
        rig->user.answer();
        rig->control<QPushButton>(qPrintable(button)).click();
        QVERIFY(rig->user.saw("\"" + sub + "\" cannot be opened: it does not exist."));
        QCOMPARE(rig->control<QLineEdit>("Text1").text(), QDir::homePath() + "/");
        QCOMPARE(rig->control<FileListBox>("File1").path(), QDir::homePath() + "/");
    }

    void printPrintsTheSelectedFilesOnTheSelectedPrinterThenActs() {
        auto& list = rig->control<QListView>("File1");
        for (int row : {0, 3}) {  // a.txt, \xE9.txt
            list.selectionModel()->setCurrentIndex(list.model()->index(row, 0),
                                                   QItemSelectionModel::Select);
        }
        rig->control<QLineEdit>("Text2").setText("2");
        rig->control<QComboBox>("Combo2").setCurrentIndex(1);  // Delete
        rig->control<QPushButton>("Command2").click();
        std::vector<std::string> printed;
        for (const auto& document : rig->printers.printed()) {
            printed.push_back(document.deviceName + ": " + document.data);
        }
        QVERIFY(printed ==
                (std::vector<std::string>{"Fax: data of a.txt", "Fax: data of a.txt",
                                          "Fax: data of \xE9.txt", "Fax: data of \xE9.txt"}));
        QCOMPARE(files(), (QStringList{"B.TXT"}));  // deleted, and the lists are rebuilt
        QCOMPARE(printer(), QString("LaserJet 4 - LPT1:"));
    }

    void changeDirTakesThePickedDirectory_data() {
        QTest::addColumn<QString>("pick");  // "-": cancel
        QTest::addColumn<QString>("shown");
        auto row = [](const char* name, QString pick, QString shown) {
            QTest::newRow(name) << pick << shown;
        };
        row("a directory, with one slash", "sub", "<work>sub/");
        row("the root, with a single slash", "/", "/");
        row("cancelled: unchanged", "-", "<work>");
    }
    void changeDirTakesThePickedDirectory() {
        QFETCH(QString, pick);
        QFETCH(QString, shown);
        const QString work = QString::fromStdString(WindowRig::dir(rig->work));
        InNextDialog<DirPick>(&rig->window(), [&](DirPick& picker) {
            auto& list = Child<QTreeWidget>(picker, "Dir1");
            QCOMPARE(list.currentItem()->data(0, Qt::UserRole).toString() + "/", work);
            if (pick != "-") DoubleClick(picker, pick);
            Child<QPushButton>(picker, pick == "-" ? "Command2" : "Command1").click();
        });
        rig->control<QPushButton>("Command3").click();
        shown.replace("<work>", work);
        QCOMPARE(rig->control<QLineEdit>("Text1").text(), shown);
        QCOMPARE(rig->control<FileListBox>("File1").path(), shown);
        QCOMPARE(printer(), QString("LaserJet 4 - LPT1:"));  // the lists are refreshed
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
        for (int i = 0; i < count; ++i) {
            std::ofstream(rig->dropDirectory() + "/" + std::to_string(i)) << i;
        }
        int file = 0;
        bool answered = false;
        QString caption;
        static_cast<HookedFileSystem&>(*rig->files).afterRead = [&](int read, const auto&) {
            if (read > 1) return;
            if (++file == 1) QTimer::singleShot(0, [&] { answered = true; });
            if (file == exitAt) rig->window().close();
            if (file == count) caption = answered ? rig->window().windowTitle() : "frozen";
            QTest::qSleep(40);
        };
        QTRY_COMPARE(rig->printers.printed().size(), std::size_t(printed));
        QTest::qWait(300);
        QCOMPARE(rig->printers.printed().size(), std::size_t(printed));
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
        QVERIFY(box.font().pointSizeF() >= 0.6 * rig->window().font().pointSizeF());
        for (char digit = '0'; digit <= '9'; ++digit) {
            box.setText(QString(5, QChar(digit)));
            box.end(false);
            const QImage atEnd = box.grab().toImage();
            box.home(false);
            QVERIFY2(box.grab().toImage() == atEnd, qPrintable(box.text()));
        }
    }

    // A flow's box belongs to the main window and is centred on it, whichever window is active.
    void aMessageBoxIsCentredOnTheMainWindow() {
        QWidget elsewhere;
        elsewhere.show();
        elsewhere.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&elsewhere));
        rig->messages.setDefaultAnswer({});  // a real box
        InNextDialog<QMessageBox>(&rig->window(), [&](QMessageBox& box) {
            QCOMPARE(box.parentWidget(), &rig->window());
            const QPoint off =
                box.frameGeometry().center() - rig->window().frameGeometry().center();
            QVERIFY(qAbs(off.x()) <= 1 && qAbs(off.y()) <= 1);
        });
        rig->control<QPushButton>("Command2").click();  // no file chosen
    }

    void theMenusShowTheOptionsTheAboutBoxAndTheHelp() {
        QStringList shown;
        for (const char* item : {"Options", "About"}) {
            InNextDialog<QDialog>(&rig->window(), [&](QDialog& dialog) {
                const QPoint at = dialog.frameGeometry().center();
                const QPoint window = rig->window().frameGeometry().center();
                const QPoint screen = dialog.screen()->geometry().center();
                shown << dialog.objectName() + ((at - window).manhattanLength() <= 4 ? " over it"
                                                : (at - screen).manhattanLength() <= 4
                                                    ? " on screen"
                                                    : "");
            });
            rig->control<QAction>(item).trigger();
        }
        // The About box is taller than the main window: it is centred on the screen.
        QCOMPARE(shown, (QStringList{"OptionForm over it", "frmAbout on screen"}));
        const std::string help = rig->appDir.write("Vantrel.html", "");
        rig->control<QAction>("Help").trigger();
        QCOMPARE(rig->desktop.opened, std::vector<std::string>{help});
        rig->desktop.opens = false;  // no opener installed: the user is told, with the path
        rig->user.answer();
        rig->control<QAction>("Help").trigger();
        QVERIFY(rig->user.saw(help));
    }

    void theAboutBoxShowsTheVersionAndOpensTheLinks() {
        InNextDialog<QDialog>(&rig->window(), [&](QDialog& box) {
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
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
