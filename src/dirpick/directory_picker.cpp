#include "dirpick/directory_picker.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include "dirpick/directory_list_box.h"
#include "formkit/controls.h"
#include "formkit/directory_checks.h"
#include "formkit/file_list_box.h"
#include "platform/desktop_facts.h"
#include "platform/system_places.h"

namespace vantrel {

namespace {

Qt::CaseSensitivity FileNameCase() {
    return FileNamesIgnoreCase() ? Qt::CaseInsensitive : Qt::CaseSensitive;
}

bool LiesIn(const QString& path, const QString& root) {
    if (root.endsWith(u'/')) return path.startsWith(root, FileNameCase());
    return path.compare(root, FileNameCase()) == 0 || path.startsWith(root + u'/', FileNameCase());
}

QStringList DriveList() {
    QStringList roots;
    for (const std::string& root : DriveRoots()) {
        roots << DirectoryListPath(QString::fromStdString(root));
    }
    return roots;
}

// The answer for the directory the list stands in, as the callers take it.
QString ChosenText(const QString& listPath) {
    QString chosen = QDir::toNativeSeparators(listPath);
    if (!chosen.endsWith(QDir::separator())) chosen += QDir::separator();
    return chosen;
}

// Where the lists go for a preset of start: start itself, its nearest usable parent, or home.
QString UsableDirectory(const QString& start) {
    if (!start.isEmpty() && QFileInfo(start).isAbsolute()) {
        for (QString candidate = DirectoryListPath(start);;) {
            if (DirectoryProblem(candidate).isEmpty()) return candidate;
            const QString parent = DirectoryListPath(QFileInfo(candidate).path());
            if (parent == candidate) break;
            candidate = parent;
        }
    }
    const QString home = DirectoryListPath(QDir::homePath());
    return DirectoryProblem(home).isEmpty() ? home : QDir::rootPath();
}

}  // namespace

struct DirPick::Controls {
    QComboBox* Drive1;
    DirectoryListBox* Dir1;
    FileListBox* File1;
    QPushButton* Command1;
    QPushButton* Command2;
    QLabel* Label1;
    QLineEdit* Result;
};

QString DriveOf(const QString& path, const QStringList& roots) {
    QString best;
    for (const QString& root : roots) {
        if (LiesIn(path, root) && root.size() > best.size()) best = root;
    }
    return best;
}

DirPick::DirPick(MessageSink& messages) : messages_(messages), ui_(std::make_unique<Controls>()) {
    setObjectName(QStringLiteral("DirPick"));
    setWindowTitle(QStringLiteral("Directory Picker"));
    UseFormFont(*this);
    setFixedSize(ClientSizeTwips(kClientWidth, kClientHeight));

    Controls& ui = *ui_;
    ui.Drive1 = MakeControl<QComboBox>(this, "Drive1", 360, 240, 2895, 315);
    ui.Dir1 = MakeControl<DirectoryListBox>(this, "Dir1", 360, 600, 2895, 1830);
    ui.File1 = MakeControl<FileListBox>(this, "File1", 3360, 240, 2175, 2040);
    ui.File1->setSelectionMode(QAbstractItemView::SingleSelection);
    ui.Command1 = MakeButton(this, "Command1", "Select", 360, 2640, 2295, 495);
    ui.Command2 = MakeButton(this, "Command2", "Cancel", 3240, 2640, 2295, 495);
    // Return takes the directory the list stands in, unless it opens another (Dir1).
    ui.Command1->setDefault(true);
    // Select answers the directory last opened, not the highlighted entry: this line says which.
    ui.Label1 = MakeLabel(this, "Label1", "", Qt::AlignLeft, 360, 3240, 5175, 255);
    // The answer box lies below the client area: the caller reads it, the user never sees it.
    ui.Result = MakeControl<QLineEdit>(this, "Result", 480, 3720, 5055, 495);
    ui.Result->setFocusPolicy(Qt::NoFocus);

    ui.Drive1->addItems(DriveList());

    connect(ui.Drive1, &QComboBox::activated, this, [this] { Drive1_Change(); });
    ui.Dir1->onChange = [this] { Dir1_Change(); };
    ui.Dir1->onRefused = [this](const QString& path, const QString& problem) {
        messages_.show("The directory " + path.toStdString() +
                           " cannot be opened: " + problem.toStdString() + ".",
                       MsgStyle::Exclamation);
    };
    connect(ui.Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(ui.Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
}

DirPick::~DirPick() = default;

std::optional<std::string> DirPick::choose(const std::string& start) {
    preset(QString::fromStdString(start));
    ui_->Result->clear();
    exec();
    if (ui_->Result->text() != QStringLiteral("True")) return std::nullopt;
    return ChosenText(ui_->Dir1->path()).toStdString();
}

void DirPick::preset(const QString& start) {
    // Volumes come and go between uses.
    {
        const QSignalBlocker quiet(ui_->Drive1);
        ui_->Drive1->clear();
        ui_->Drive1->addItems(DriveList());
    }
    const QString directory = UsableDirectory(start);
    setDrive(directory);
    ui_->Dir1->setPath(directory);  // its change handler moves the file list along
}

void DirPick::setDrive(const QString& path) {
    QStringList roots;
    for (int i = 0; i < ui_->Drive1->count(); ++i) roots << ui_->Drive1->itemText(i);
    const QSignalBlocker quiet(ui_->Drive1);
    ui_->Drive1->setCurrentIndex(ui_->Drive1->findText(DriveOf(path, roots)));
}

void DirPick::Drive1_Change() {
    const QString drive = ui_->Drive1->currentText();
    if (!ui_->Dir1->setPath(drive)) {
        messages_.show("The drive " + drive.toStdString() +
                           " cannot be read: " + DirectoryProblem(drive).toStdString() + ".",
                       MsgStyle::Exclamation);
        setDrive(ui_->Dir1->path());
        return;
    }
    ui_->File1->setPath(ui_->Dir1->path());
}

void DirPick::Dir1_Change() {
    ui_->File1->setPath(ui_->Dir1->path());
    setDrive(ui_->Dir1->path());
    const QString chosen = ChosenText(ui_->Dir1->path());
    const QString line = QStringLiteral("Select chooses ") + chosen;
    ui_->Label1->setText(
        ui_->Label1->fontMetrics().elidedText(line, Qt::ElideMiddle, ui_->Label1->width()));
    ui_->Label1->setToolTip(chosen);
}

void DirPick::Command1_Click() {
    ui_->Result->setText(QStringLiteral("True"));
    accept();
}

void DirPick::Command2_Click() {
    ui_->Result->setText(QStringLiteral("False"));
    done(Rejected);
}

void DirPick::reject() {
    // Closed by the frame or with Escape: no answer, which every caller takes as a cancel.
    ui_->Result->clear();
    QDialog::reject();
}

}  // namespace vantrel
