#include "dirpick/dir_pick.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStorageInfo>

#include "dirpick/directory_list_box.h"
#include "mainwindow/form/file_list_box.h"
#include "mainwindow/form/twips.h"

namespace vantrel {

namespace {

const QString kRoot = QStringLiteral("/");

bool LiesIn(const QString& path, const QString& root) {
    if (root == kRoot) return path.startsWith(kRoot);
    return path == root || path.startsWith(root + kRoot);
}

bool IsRemovableMount(const QString& root) {
    for (const char* place : {"/media/", "/mnt/", "/run/media/"}) {
        if (root.startsWith(QLatin1String(place))) return true;
    }
    return false;
}

}  // namespace

QStringList DriveRoots() {
    QStringList roots{kRoot};
    const QString home = DirectoryListPath(QDir::homePath());
    if (home != kRoot && QFileInfo(home).isDir()) roots << home;
    QStringList mounts;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const QString root = DirectoryListPath(volume.rootPath());
        if (volume.isValid() && volume.isReady() && IsRemovableMount(root)) mounts << root;
    }
    mounts.sort(Qt::CaseInsensitive);
    mounts.removeDuplicates();
    for (const QString& mount : mounts) {
        if (!roots.contains(mount)) roots << mount;
    }
    return roots;
}

QString DriveOf(const QString& path, const QStringList& roots) {
    QString best = kRoot;
    for (const QString& root : roots) {
        if (LiesIn(path, root) && root.size() > best.size()) best = root;
    }
    return best;
}

QString UsableDirectory(const QString& start) {
    if (!start.isEmpty() && QFileInfo(start).isAbsolute()) {
        QString candidate = DirectoryListPath(start);
        while (true) {
            if (DirectoryProblem(candidate).isEmpty()) return candidate;
            if (candidate == kRoot) break;
            candidate = DirectoryListPath(QFileInfo(candidate).path());
        }
    }
    const QString home = DirectoryListPath(QDir::homePath());
    return DirectoryProblem(home).isEmpty() ? home : kRoot;
}

DirPick::DirPick(MessageSink& messages) : messages_(messages) {
    setObjectName(QStringLiteral("DirPick"));
    setWindowTitle(QStringLiteral("Directory Picker"));
    UseFormFont(*this);
    setFixedSize(ClientSizeTwips(kClientWidth, kClientHeight));

    Drive1 = MakeControl<QComboBox>(this, "Drive1", 360, 240, 2895, 315);
    Dir1 = MakeControl<DirectoryListBox>(this, "Dir1", 360, 600, 2895, 1830);
    File1 = MakeControl<FileListBox>(this, "File1", 3360, 240, 2175, 2040);
    File1->setSelectionMode(QAbstractItemView::SingleSelection);
    Command1 = MakeButton(this, "Command1", "Select", 360, 2640, 2295, 495);
    Command2 = MakeButton(this, "Command2", "Cancel", 3240, 2640, 2295, 495);
    // The answer box lies below the client area: the caller reads it, the user never sees it.
    Result = MakeControl<QLineEdit>(this, "Result", 480, 3720, 5055, 495);
    Result->setFocusPolicy(Qt::NoFocus);

    Drive1->addItems(DriveRoots());

    connect(Drive1, &QComboBox::activated, this, [this] { Drive1_Change(); });
    Dir1->onChange = [this] { Dir1_Change(); };
    Dir1->onRefused = [this](const QString& path, const QString& problem) {
        messages_.show("The directory " + path.toStdString() +
                           " cannot be opened: " + problem.toStdString() + ".",
                       MsgStyle::Exclamation);
    };
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
}

DirPick::~DirPick() = default;

std::optional<std::string> DirPick::choose(const std::string& start) {
    preset(QString::fromStdString(start));
    Result->clear();
    exec();
    if (Result->text() != QStringLiteral("True")) return std::nullopt;
    std::string chosen = Dir1->path().toStdString();
    if (chosen.empty() || chosen.back() != '/') chosen += '/';
    return chosen;
}

void DirPick::preset(const QString& start) {
    // Volumes come and go between uses.
    {
        const QSignalBlocker quiet(Drive1);
        Drive1->clear();
        Drive1->addItems(DriveRoots());
    }
    const QString directory = UsableDirectory(start);
    setDrive(directory);
    Dir1->setPath(directory);
    File1->setPath(Dir1->path());
}

void DirPick::setDrive(const QString& path) {
    QStringList roots;
    for (int i = 0; i < Drive1->count(); ++i) roots << Drive1->itemText(i);
    const QSignalBlocker quiet(Drive1);
    Drive1->setCurrentIndex(Drive1->findText(DriveOf(path, roots)));
}

void DirPick::Drive1_Change() {
    const QString drive = Drive1->currentText();
    if (!Dir1->setPath(drive)) {
        messages_.show("The drive " + drive.toStdString() +
                           " cannot be read: " + DirectoryProblem(drive).toStdString() + ".",
                       MsgStyle::Exclamation);
        setDrive(Dir1->path());
        return;
    }
    File1->setPath(Dir1->path());
}

void DirPick::Dir1_Change() {
    File1->setPath(Dir1->path());
    setDrive(Dir1->path());
}

void DirPick::Command1_Click() {
    Result->setText(QStringLiteral("True"));
    accept();
}

void DirPick::Command2_Click() {
    Result->setText(QStringLiteral("False"));
    done(Rejected);
}

void DirPick::reject() {
    // Closed by the frame or with Escape: no answer, which every caller takes as a cancel.
    Result->clear();
    QDialog::reject();
}

}  // namespace vantrel
