// The directory picker: walking in it, and what it answers its callers.

#include "support/form_rig.h"

using namespace vantrel;
using namespace vantrel::testing;

class DirPickTest : public QObject {
    Q_OBJECT

    MessageBoxes messages;
    BoxUser user{messages};
    std::unique_ptr<TempDir> tree;

    // A path below the tree; "=" takes the rest as it is, "-" means no directory.
    QString at(const QString& below) {
        if (below == "-") return below;
        if (below.startsWith('=')) return below.mid(1);
        return QString::fromStdString(tree->path().string()) + "/" + below;
    }

  private slots:
    void init() {
        tree = std::make_unique<TempDir>();
        std::filesystem::create_directories(tree->path() / "sub" / "deeper");
        std::filesystem::create_directory(tree->path() / "gone");
        tree->write("sub/one.prn", "");
        std::filesystem::create_directory(tree->path() / "sub" / "\xE9");  // no valid UTF-8
        tree->write("sub/\xE9.prn", "");
        user.said.clear();
    }

    void answersWhatTheUserChose_data() {
        QTest::addColumn<QStringList>("steps");  // start, walk into, press, chosen
        auto row = [](const char* name, QStringList steps) { QTest::newRow(name) << steps; };
        row("the double-clicked directory", {"", "sub", "Command1", "sub/"});
        row("a single click only highlights", {"", "click sub", "Command1", ""});
        row("the start, as it is", {"", "", "Command1", ""});
        row("cancel after moving", {"", "sub", "Command2", "-"});
        row("closed by its frame", {"", "sub", "close", "-"});
        row("the root, with one slash", {"=/", "", "Command1", "=/"});
        row("a missing start: its parent", {"sub/gone/x/", "", "Command1", "sub/"});
        row("a directory gone meanwhile: stays", {"", "gone", "Command1", ""});
        row("a name that is no valid text: stays", {"sub", QChar(0xFFFD), "Command1", "sub/"});
        row("the root drive chosen", {"", "/", "Command1", "=/"});
    }
    void answersWhatTheUserChose() {
        QFETCH(QStringList, steps);
        DirPick picker(messages);
        QStringList files, subdirectories;
        QString shown;  // what the dialog says Select takes
        const bool refused = steps[1] == "gone" || steps[1] == QChar(0xFFFD);
        InNextDialog<QDialog>(&picker, [&](QDialog& dialog) {
            if (steps[1] == "gone") std::filesystem::remove_all(tree->path() / "gone");
            if (refused) user.answer();  // it cannot be opened
            if (steps[1] == "/") emit Child<QComboBox>(dialog, "Drive1").activated(0);  // "/"
            auto& dirs = Child<QTreeWidget>(dialog, "Dir1");
            if (steps[1] == "click sub") {
                const auto* item = dirs.findItems("sub", Qt::MatchExactly | Qt::MatchRecursive)[0];
                QTest::mouseClick(dirs.viewport(), Qt::LeftButton, {},
                                  dirs.visualItemRect(item).center());
            } else if (!steps[1].isEmpty() && steps[1] != "/") {
                DoubleClick(dialog, steps[1]);
            }
            files = Texts(Child<QListView>(dialog, "File1"));
            for (int i = 0; dirs.currentItem() && i < dirs.currentItem()->childCount(); ++i) {
                subdirectories << dirs.currentItem()->child(i)->text(0);
            }
            shown = Child<QLabel>(dialog, "Label1").text();
            if (steps[2] == "close") dialog.close();
            if (steps[2] != "close") Child<QPushButton>(dialog, qPrintable(steps[2])).click();
        });
        const auto chosen = picker.choose(at(steps[0]).toStdString());
        QCOMPARE(QString::fromStdString(chosen.value_or("-")), at(steps[3]));
        if (chosen) QCOMPARE(shown, "Select chooses " + QString::fromStdString(*chosen));
        if (steps[1] == "sub") {
            QCOMPARE(files, (QStringList{"one.prn", QString(QChar(0xFFFD)) + ".prn"}));
            QCOMPARE(subdirectories, (QStringList{"deeper", QString(QChar(0xFFFD))}));
        }
        QCOMPARE(user.saw(" cannot be opened: "), refused);
        if (steps[1] == "gone") QVERIFY(user.saw(at("gone").toStdString()));
    }

    void theDriveOfAPathIsTheLongestRootItLiesIn() {
        const QStringList roots{"/media/usb", "/home/ann", "/"};
        QCOMPARE(DriveOf("/media/usb/photos", roots), QString("/media/usb"));
        QCOMPARE(DriveOf("/home/ann", roots), QString("/home/ann"));
        QCOMPARE(DriveOf("/home/annex", roots), QString("/"));
    }
};

QTEST_MAIN(DirPickTest)
#include "dir_pick_test.moc"
