#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
#include <optional>
#include <string>

#include "platform/message_sink.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace vantrel {

class DirectoryListBox;
class FileListBox;

// "Directory Picker": a modal dialog in which the user walks to a directory and selects it. It
// answers through its own controls: Result says "True" after Select and "False" after Cancel,
// and Dir1 stands in the chosen directory. Select and Cancel only hide it, so the answer stays
// readable; closing it by its frame or with Escape leaves Result empty, a cancel to the caller.
//
// Drive1 offers the places a directory is usually picked from on a system without drive letters:
// the root "/", the user's home directory and the volumes mounted under /media, /mnt and
// /run/media.
class DirPick : public QDialog {
  public:
    static constexpr double kClientWidth = 5970;  // twips
    static constexpr double kClientHeight = 3195;

    explicit DirPick(MessageSink& messages);
    ~DirPick() override;

    // The controls, in design order.
    QComboBox* Drive1;
    DirectoryListBox* Dir1;
    FileListBox* File1;
    QPushButton* Command1;
    QPushButton* Command2;
    QLineEdit* Result;

    // The callers' side of the dialog: presets the lists from start, shows the dialog modally,
    // and gives the chosen directory, ending with exactly one "/", or nothing when none was chosen.
    std::optional<std::string> choose(const std::string& start);

    // Presets Drive1, Dir1 and File1, in this order, on the directory start. A start that is not
    // a directory the lists can show is replaced by its nearest parent that is, or by the home
    // directory.
    void preset(const QString& start);
    // Drive1 shows the drive that holds path, without moving the other lists.
    void setDrive(const QString& path);

    void Drive1_Change();
    void Dir1_Change();
    void Command1_Click();
    void Command2_Click();

    void reject() override;

  private:
    MessageSink& messages_;
};

// The drives Drive1 offers, "/" first.
QStringList DriveRoots();
// The drive (one of roots) that holds path: the longest root that path lies in.
QString DriveOf(const QString& path, const QStringList& roots);
// Where the lists go for a preset of start: start itself, its nearest usable parent, or home.
QString UsableDirectory(const QString& start);

}  // namespace vantrel
