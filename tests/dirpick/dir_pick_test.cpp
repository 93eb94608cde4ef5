// The directory picker's answer to its callers, and walking through directories in it.

#include "dirpick/dir_pick.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "dirpick/directory_list_box.h"
#include "fakes/recording_messages.h"
#include "mainwindow/form/file_list_box.h"
#include "mainwindow/form/modal_answerer.h"
#include "support/temp_dir.h"

using namespace vantrel;
using namespace vantrel::testing;
namespace fs = std::filesystem;

namespace {

QString Path(const TempDir& dir, const char* below = "") {
    QString path = QString::fromStdString(dir.path().string());
    if (*below) path += QStringLiteral("/") + below;
    return path;
}

QStringList Texts(const QListWidget& list) {
    QStringList texts;
    for (int i = 0; i < list.count(); ++i) texts << list.item(i)->text();
    return texts;
}

// The entry of the directory list that leads to path.
QTreeWidgetItem* EntryFor(DirectoryListBox& list, const QString& path) {
    for (QTreeWidgetItemIterator it(&list); *it; ++it) {
        if ((*it)->data(0, Qt::UserRole).toString() == path) return *it;
    }
    return nullptr;
}

void Activate(DirectoryListBox& list, const QString& path) {
    QTreeWidgetItem* entry = EntryFor(list, path);
    QVERIFY2(entry, qPrintable(path));
    emit list.itemActivated(entry, 0);
}

}  // namespace

class DirPickTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        tree_ = std::make_unique<TempDir>();
        fs::create_directories(tree_->path() / "sub" / "deeper");
        std::ofstream(tree_->file("top.txt")) << "t";
        std::ofstream(tree_->file("sub/one.prn")) << "1";
        std::ofstream(tree_->file("sub/two")) << "2";
    }
    void cleanup() { tree_.reset(); }

    void selectWithoutMovingGivesThePresetDirectory() {
        DirPick picker(messages_);
        ModalAnswerer user;
        user.then([&](QWidget*) { picker.Command1->click(); });

        const auto chosen = picker.choose(tree_->path().string() + "/");

        QVERIFY2(user.finished(), user.report().constData());
        QCOMPARE(picker.Result->text(), QString("True"));
        QVERIFY(chosen);
        QCOMPARE(*chosen, tree_->path().string() + "/");
        QVERIFY(!picker.isVisible());
    }

    void theRootIsGivenWithASingleSlash() {
        DirPick picker(messages_);
        ModalAnswerer user;
        user.then([&](QWidget*) {
            QCOMPARE(picker.Dir1->path(), QString("/"));
            picker.Command1->click();
        });

        const auto chosen = picker.choose("/");

        QVERIFY2(user.finished(), user.report().constData());
        QCOMPARE(chosen.value_or("<none>"), std::string("/"));
    }

    void walkingMovesTheFileListAlong() {
        DirPick picker(messages_);
        picker.preset(Path(*tree_));
        QCOMPARE(picker.Dir1->path(), Path(*tree_));
        QCOMPARE(Texts(*picker.File1), QStringList{"top.txt"});

        Activate(*picker.Dir1, Path(*tree_, "sub"));
        QCOMPARE(picker.Dir1->path(), Path(*tree_, "sub"));
        QCOMPARE(Texts(*picker.File1), (QStringList{"one.prn", "two"}));
        QVERIFY(EntryFor(*picker.Dir1, Path(*tree_, "sub/deeper")));

        Activate(*picker.Dir1, Path(*tree_));  // back up through the chain of parents
        QCOMPARE(picker.Dir1->path(), Path(*tree_));
        QCOMPARE(Texts(*picker.File1), QStringList{"top.txt"});
        QVERIFY(messages_.shown.empty());
    }

    void cancelGivesFalseAndNoDirectory() {
        DirPick picker(messages_);
        ModalAnswerer user;
        user.then([&](QWidget*) {
            Activate(*picker.Dir1, Path(*tree_, "sub"));
            picker.Command2->click();
        });

        const auto chosen = picker.choose(tree_->path().string());

        QVERIFY2(user.finished(), user.report().constData());
        QVERIFY(!chosen);
        QCOMPARE(picker.Result->text(), QString("False"));
    }

    void closingByTheFrameAfterASelectIsNoChoice() {
        DirPick picker(messages_);
        ModalAnswerer user;
        user.then([&](QWidget*) { picker.Command1->click(); });
        user.then([&](QWidget*) { picker.close(); });
        QVERIFY(picker.choose(tree_->path().string()));

        const auto chosen = picker.choose(tree_->path().string());

        QVERIFY2(user.finished(), user.report().constData());
        QVERIFY(!chosen);
        QVERIFY(picker.Result->text() != QString("True"));
        QVERIFY(!picker.isVisible());
    }

    void aUseAfterACancelStartsFromTheNewPreset() {
        DirPick picker(messages_);
        QString secondStart;
        ModalAnswerer user;
        user.then([&](QWidget*) {
            Activate(*picker.Dir1, Path(*tree_, "sub"));
            picker.Command2->click();
        });
        user.then([&](QWidget*) {
            secondStart = picker.Dir1->path();
            picker.Command1->click();
        });

        picker.choose(tree_->path().string());
        const auto chosen = picker.choose(tree_->path().string());

        QVERIFY2(user.finished(), user.report().constData());
        QCOMPARE(secondStart, Path(*tree_));
        QCOMPARE(chosen.value_or("<none>"), tree_->path().string() + "/");
    }

    void aMissingPresetFallsBackToItsNearestParent() {
        DirPick picker(messages_);
        picker.preset(Path(*tree_, "sub/gone/further/"));
        QCOMPARE(picker.Dir1->path(), Path(*tree_, "sub"));
        QCOMPARE(Texts(*picker.File1), (QStringList{"one.prn", "two"}));

        const QByteArray savedHome = qgetenv("HOME");
        qputenv("HOME", QByteArray::fromStdString(tree_->path().string()));
        picker.preset("not/a/full/path");
        qputenv("HOME", savedHome);
        QCOMPARE(picker.Dir1->path(), Path(*tree_));
    }

    void aDirectoryGoneMeanwhileIsReportedAndTheListStays() {
        DirPick picker(messages_);
        picker.preset(Path(*tree_));
        fs::remove_all(tree_->path() / "sub");

        Activate(*picker.Dir1, Path(*tree_, "sub"));

        QCOMPARE(picker.Dir1->path(), Path(*tree_));
        QCOMPARE(messages_.shown.size(), 1u);
        QVERIFY(QString::fromStdString(messages_.shown[0].text).contains(Path(*tree_, "sub")));
        messages_.shown.clear();
    }

    void theDriveListOffersTheRootAndFollowsTheDirectory() {
        DirPick picker(messages_);
        picker.preset(Path(*tree_));
        QCOMPARE(picker.Drive1->itemText(0), QString("/"));
        QCOMPARE(DriveOf("/media/usb/photos", {"/", "/home/ann", "/media/usb"}),
                 QString("/media/usb"));
        QCOMPARE(DriveOf("/home/annex", {"/", "/home/ann"}), QString("/"));

        picker.Drive1->setCurrentIndex(0);
        emit picker.Drive1->activated(0);

        QCOMPARE(picker.Dir1->path(), QString("/"));
        QCOMPARE(picker.File1->path(), QString("/"));
    }

  private:
    RecordingMessages messages_;
    std::unique_ptr<TempDir> tree_;
};

QTEST_MAIN(DirPickTest)
#include "dir_pick_test.moc"
