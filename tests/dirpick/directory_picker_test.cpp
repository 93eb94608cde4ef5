// The directory picker: walking in it, and what it answers its callers.

#include "platform/desktop_facts.h"
#include "platform/system_places.h"
#include "support/design_names.h"
#include "support/form_rig.h"

using namespace vantrel;
using namespace vantrel::testing;

namespace {

// The same bytes "\xE9" as a name: no valid UTF-8 on POSIX, where the picker shows it with U+FFFD
// and refuses to enter it; a name in the ANSI code page on Windows, shown and entered as such.
#ifdef _WIN32
const QString kOdd = QString::fromUtf8("\u00E9");
const QStringList kSubFiles{kOdd + ".prn", "one.prn"};
constexpr bool kOddEnters = true;
#else
const QString kOdd = QChar(0xFFFD);
const QStringList kSubFiles{"one.prn", kOdd + ".prn"};
constexpr bool kOddEnters = false;
#endif

}  // namespace

class DirectoryPickerTest : public QObject {
    Q_OBJECT

    MessageBoxes messages;
    BoxUser user{messages};
    std::unique_ptr<TempDir> tree;

    // "~" stands for the tree, "/" for the system's separator; "-" means no directory.
    QString at(QString path) {
        if (path == "-") return path;
        return QDir::toNativeSeparators(path.replace("~", tree->path().string().c_str()));
    }

  private slots:
    void init() {
        tree = std::make_unique<TempDir>();
        std::filesystem::create_directories(tree->path() / "sub" / "\xE9");  // no valid UTF-8
        std::filesystem::create_directory(tree->path() / "gone");
        tree->write("sub/one.prn", "");
        std::ofstream(tree->path() / "sub" / "\xE9.prn");  // by the path: see main_window_test
        user.said.clear();
    }

    // Select answers the directory last opened, not the one highlighted after a refusal.
    void answersWhatTheUserChose_data() {
        QTest::addColumn<QStringList>("steps");  // start, walk into, press, chosen
        auto row = [](const char* name, QStringList steps) { QTest::newRow(name) << steps; };
        row("the double-clicked directory", {"~/", "sub", picker_form::kSelectButton, "~/sub/"});
        row("cancel after moving", {"~/", "sub", picker_form::kCancelButton, "-"});
        row("closed by its frame", {"~/", "sub", "close", "-"});
        row("a missing start: its parent",
            {"~/sub/gone/x/", "", picker_form::kSelectButton, "~/sub/"});
        row("a directory gone meanwhile: stays", {"~/", "gone", picker_form::kSelectButton, "~/"});
        if (kOddEnters) {
            row("a name in the code page: entered",
                {"~/sub", kOdd, picker_form::kSelectButton, "~/sub/" + kOdd + "/"});
        } else {
            row("a name that is no valid text: stays",
                {"~/sub", kOdd, picker_form::kSelectButton, "~/sub/"});
        }
        // The first drive: "/" on POSIX, a drive letter's root ("C:\\") on Windows.
        const QString drive = QString::fromStdString(DriveRoots().front());
        row("the first drive's root, with one separator",
            {"~/", "drive", picker_form::kSelectButton, drive});
    }
    void answersWhatTheUserChose() {
        QFETCH(QStringList, steps);
        DirectoryPicker picker(messages);
        QStringList files;
        QString shown;  // what the dialog says Select takes
        const bool refused = steps[1] == "gone" || (steps[1] == kOdd && !kOddEnters);
        InNextDialog<QDialog>(&picker, [&](QDialog& dialog) {
            if (steps[1] == "gone") std::filesystem::remove_all(tree->path() / "gone");
            if (refused) user.answer();  // it cannot be opened
            if (steps[1] == "drive")
                emit Child<QComboBox>(dialog, picker_form::kDriveList).activated(0);
            if (!steps[1].isEmpty() && steps[1] != "drive") DoubleClick(dialog, steps[1]);
            files = Texts(Child<QListView>(dialog, picker_form::kFileList));
            shown = Child<QLabel>(dialog, picker_form::kChosenLine)
                        .toolTip();  // the line itself may be cut
            if (steps[2] == "close") dialog.close();
            if (steps[2] != "close") Child<QPushButton>(dialog, qPrintable(steps[2])).click();
        });
        const auto chosen = picker.choose(at(steps[0]).toStdString());
        QCOMPARE(QString::fromStdString(chosen.value_or("-")), at(steps[3]));
        if (chosen) QCOMPARE(shown, QString::fromStdString(*chosen));
        if (steps[1] == "sub") QCOMPARE(files, kSubFiles);
        QCOMPARE(user.saw(" cannot be opened: "), refused);
        if (steps[1] == "gone") QVERIFY(user.saw(at("~/gone").toStdString()));
    }

    // The case of a name counts where the system tells case apart (POSIX), not on Windows.
    void theDriveOfAPathIsTheLongestRootItLiesIn() {
        const QStringList roots{"/media/usb", "/home/ann", "/"};
        QCOMPARE(DriveOf("/media/usb/photos", roots), QString("/media/usb"));
        QCOMPARE(DriveOf("/home/ann", roots), QString("/home/ann"));
        QCOMPARE(DriveOf("/home/annex", roots), QString("/"));
        QCOMPARE(DriveOf("/Media/USB/photos", roots),
                 QString(FileNamesIgnoreCase() ? "/media/usb" : "/"));
        QCOMPARE(DriveOf("c:/data", {"C:/", "Z:/"}), QString(FileNamesIgnoreCase() ? "C:/" : ""));
    }
};

QTEST_MAIN(DirectoryPickerTest)
#include "directory_picker_test.moc"
