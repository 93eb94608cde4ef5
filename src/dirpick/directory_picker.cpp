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

struct DirectoryPicker::Controls {
    QComboBox* driveList;
    DirectoryListBox* directoryList;
    FileListBox* fileList;
    QPushButton* selectButton;
    QPushButton* cancelButton;
    QLabel* chosenLine;
    QLineEdit* answerBox;
};

QString DriveOf(const QString& path, const QStringList& roots) {
    QString best;
    for (const QString& root : roots) {
        if (LiesIn(path, root) && root.size() > best.size()) best = root;
    }
    return best;
}

DirectoryPicker::DirectoryPicker(MessageSink& messages)
    : messages_(messages), ui_(std::make_unique<Controls>()) {
    setObjectName(QStringLiteral("DirPick"));
    setWindowTitle(QStringLiteral("Directory Picker"));
    UseFormFont(*this);
    setFixedSize(ClientSizeTwips(kClientWidth, kClientHeight));

    Controls& ui = *ui_;
    ui.driveList = MakeControl<QComboBox>(this, "Drive1", 360, 240, 2895, 315);
    ui.directoryList = MakeControl<DirectoryListBox>(this, "Dir1", 360, 600, 2895, 1830);
    ui.fileList = MakeControl<FileListBox>(this, "File1", 3360, 240, 2175, 2040);
    ui.fileList->setSelectionMode(QAbstractItemView::SingleSelection);
    ui.selectButton = MakeButton(this, "Command1", "Select", 360, 2640, 2295, 495);
    ui.cancelButton = MakeButton(this, "Command2", "Cancel", 3240, 2640, 2295, 495);
    // Return takes the directory the list stands in, unless it opens another (directoryList).
    ui.selectButton->setDefault(true);
    // Select answers the directory last opened, not the highlighted entry: this line says which.
    ui.chosenLine = MakeLabel(this, "Label1", "", Qt::AlignLeft, 360, 3240, 5175, 255);
    // The answer box lies below the client area: the caller reads it, the user never sees it.
    ui.answerBox = MakeControl<QLineEdit>(this, "Result", 480, 3720, 5055, 495);
    ui.answerBox->setFocusPolicy(Qt::NoFocus);

    ui.driveList->addItems(DriveList());

    connect(ui.driveList, &QComboBox::activated, this, [this] { onDriveChosen(); });
    ui.directoryList->onChange = [this] { onDirectoryOpened(); };
    ui.directoryList->onRefused = [this](const QString& path, const QString& problem) {
        // Named as the system names it: "C:\data" on Windows, not the list's "C:/data".
        messages_.show("The directory " + QDir::toNativeSeparators(path).toStdString() +
                           " cannot be opened: " + problem.toStdString() + ".",
                       MsgStyle::Exclamation);
    };
    connect(ui.selectButton, &QPushButton::clicked, this, [this] { onSelectClicked(); });
    connect(ui.cancelButton, &QPushButton::clicked, this, [this] { onCancelClicked(); });
}

DirectoryPicker::~DirectoryPicker() = default;

std::optional<std::string> DirectoryPicker::choose(const std::string& start) {
    preset(QString::fromStdString(start));
    ui_->answerBox->clear();
    exec();
    if (ui_->answerBox->text() != QStringLiteral("True")) return std::nullopt;
    return ChosenText(ui_->directoryList->path()).toStdString();
}

void DirectoryPicker::preset(const QString& start) {
    // Volumes come and go between uses.
    {
        const QSignalBlocker quiet(ui_->driveList);
        ui_->driveList->clear();
        ui_->driveList->addItems(DriveList());
    }
    const QString directory = UsableDirectory(start);
    setDrive(directory);
    ui_->directoryList->setPath(directory);  // its change handler moves the file list along
}

void DirectoryPicker::setDrive(const QString& path) {
    QStringList roots;
    for (int i = 0; i < ui_->driveList->count(); ++i) roots << ui_->driveList->itemText(i);
    const QSignalBlocker quiet(ui_->driveList);
    ui_->driveList->setCurrentIndex(ui_->driveList->findText(DriveOf(path, roots)));
}

void DirectoryPicker::onDriveChosen() {
    const QString drive = ui_->driveList->currentText();
    if (!ui_->directoryList->setPath(drive)) {
        messages_.show("The drive " + QDir::toNativeSeparators(drive).toStdString() +
                           " cannot be read: " + DirectoryProblem(drive).toStdString() + ".",
                       MsgStyle::Exclamation);
        setDrive(ui_->directoryList->path());
        return;
    }
    ui_->fileList->setPath(ui_->directoryList->path());
}

void DirectoryPicker::onDirectoryOpened() {
    ui_->fileList->setPath(ui_->directoryList->path());
    setDrive(ui_->directoryList->path());
    const QString chosen = ChosenText(ui_->directoryList->path());
    const QString line = QStringLiteral("Select chooses ") + chosen;
    ui_->chosenLine->setText(
        ui_->chosenLine->fontMetrics().elidedText(line, Qt::ElideMiddle, ui_->chosenLine->width()));
    ui_->chosenLine->setToolTip(chosen);
}

void DirectoryPicker::onSelectClicked() {
    ui_->answerBox->setText(QStringLiteral("True"));
    accept();
}

void DirectoryPicker::onCancelClicked() {
    ui_->answerBox->setText(QStringLiteral("False"));
    done(Rejected);
}

void DirectoryPicker::reject() {
    // Closed by the frame or with Escape: no answer, which every caller takes as a cancel.
    ui_->answerBox->clear();
    QDialog::reject();
}

}  // namespace vantrel
