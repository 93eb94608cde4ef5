#pragma once

#include <QListWidget>
#include <QString>

namespace vantrel {

// A file list: the plain files of one directory whose names match a pattern, sorted by name.
// Dot files, directories and special files (pipes, sockets, devices) are not listed. The list is
// read at once whenever its directory or pattern is set and when it is refreshed.
class FileListBox : public QListWidget {
  public:
    explicit FileListBox(QWidget* parent = nullptr);

    QString path() const { return path_; }
    void setPath(const QString& path);
    // Masks separated by ";", matched regardless of letter case; "*.*" means every file.
    QString pattern() const { return pattern_; }
    void setPattern(const QString& pattern);

    // Re-reads the directory. False, with an empty list, when it cannot be listed.
    bool refresh();

  private:
    QString path_;
    QString pattern_ = QStringLiteral("*.*");
};

// Why a directory cannot be listed, in words for the user; empty when it can.
QString DirectoryProblem(const QString& path);

}  // namespace vantrel
