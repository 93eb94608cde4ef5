// The directory picker: walking in it, and what it answers its callers.

#include "support/design_names.h"
#include "support/form_rig.h"

using namespace vantrel;
using namespace vantrel::testing;

class DirectoryPickerTest : public QObject {
    Q_OBJECT

    MessageBoxes messages;
    BoxUser user{messages};
    std::unique_ptr<TempDir> tree;

    // "~" stands for the tree; "-" means no directory.
    QString at(QString path) { return path.replace("~", tree->path().string().c_str()); }

  private slots:
    void init() {
        tree = std::make_unique<TempDir>();
        std::filesystem::create_directories(tree->path() / "sub" / "\xE9");  // no valid UTF-8
        std::filesystem::create_directory(tree->path() / "gone");
        tree->write("sub/one.prn", "");
        tree->write("sub/\xE9.prn", "");
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
        row("a name that is no valid text: stays",
            {"~/sub", QChar(0xFFFD), picker_form::kSelectButton, "~/sub/"});
        row("the root drive, with one slash", {"~/", "/", picker_form::kSelectButton, "/"});
    }
    void answersWhatTheUserChose() {
        QFETCH(QStringList, steps);
        DirectoryPicker picker(messages);
        QStringList files;
        QString shown;  // what the dialog says Select takes
        const bool refused = steps[1] == "gone" || steps[1] == QChar(0xFFFD);
        InNextDialog<QDialog>(&picker, [&](QDialog& dialog) {
            if (steps[1] == "gone") std::filesystem::remove_all(tree->path() / "gone");
            if (refused) user.answer();  // it cannot be opened
            if (steps[1] == "/")
                emit Child<QComboBox>(dialog, picker_form::kDriveList).activated(0);  // "/"
            if (!steps[1].isEmpty() && steps[1] != "/") DoubleClick(dialog, steps[1]);
            files = Texts(Child<QListView>(dialog, picker_form::kFileList));
            shown = Child<QLabel>(dialog, picker_form::kChosenLine).text();
            if (steps[2] == "close") dialog.close();
            if (steps[2] != "close") Child<QPushButton>(dialog, qPrintable(steps[2])).click();
        });
        const auto chosen = picker.choose(at(steps[0]).toStdString());
        QCOMPARE(QString::fromStdString(chosen.value_or("-")), at(steps[3]));
        if (chosen) QCOMPARE(shown, "Select chooses " + QString::fromStdString(*chosen));
        if (steps[1] == "sub") QCOMPARE(files, (QStringList{"one.prn", "\uFFFD.prn"}));
        QCOMPARE(user.saw(" cannot be opened: "), refused);
        if (steps[1] == "gone") QVERIFY(user.saw(at("~/gone").toStdString()));
    }

    void theDriveOfAPathIsTheLongestRootItLiesIn() {
        const QStringList roots{"/media/usb", "/home/ann", "/"};
        QCOMPARE(DriveOf("/media/usb/photos", roots), QString("/media/usb"));
        QCOMPARE(DriveOf("/home/ann", roots), QString("/home/ann"));
        QCOMPARE(DriveOf("/home/annex", roots), QString("/"));
    }
};

QTEST_MAIN(DirectoryPickerTest)
#include "directory_picker_test.moc"
