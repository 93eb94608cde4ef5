#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <string>

#include "platform/message_sink.h"

namespace vantrel {

// "Directory Picker": a modal dialog in which the user walks to a directory and selects it. It
// answers through its own controls: answerBox says "True" after Select and "False" after Cancel,
// and directoryList stands in the chosen directory. Select and Cancel only hide it, so the answer
// stays readable; closing it by its frame or with Escape leaves answerBox empty, a cancel to the
// caller. driveList offers the system's drives (see DriveRoots); chosenLine, below the buttons,
// names the directory Select answers, which directoryList marks in bold.
class DirectoryPicker : public QDialog {
  public:
    static constexpr double kClientWidth = 5970;  // twips
    static constexpr double kClientHeight = 3555;

    explicit DirectoryPicker(MessageSink& messages);
    ~DirectoryPicker() override;

    // The callers' side of the dialog: presets the lists from start, shows the dialog modally,
    // and gives the chosen directory, ending with exactly one separator, or nothing when none
    // was chosen.
    std::optional<std::string> choose(const std::string& start);

    void reject() override;

  private:
    struct Controls;

    // Presets driveList, directoryList and fileList, in this order, on the directory start. A start
    // that is not a directory the lists can show is replaced by its nearest parent that is, or by
    // the home directory.
    void preset(const QString& start);
    // driveList shows the drive that holds path, without moving the other lists.
    void setDrive(const QString& path);

    void onDriveChosen();
    void onDirectoryOpened();
    void onSelectClicked();
    void onCancelClicked();

    MessageSink& messages_;
    std::unique_ptr<Controls> ui_;
};

// The drive (one of roots) that holds path: the longest root that path lies in.
QString DriveOf(const QString& path, const QStringList& roots);

}  // namespace vantrel
