#pragma once

#include <QListView>
#include <QString>
#include <string>
#include <vector>

#include "formkit/directory_checks.h"

namespace vantrel {

// A file list: the plain files of one directory whose names match a pattern, sorted by name.
// Dot files, directories and special files (pipes, sockets, devices) are not listed. The list is
// read at once whenever its directory or pattern is set and when it is refreshed, in one pass
// over the directory, and shown as one block of rows of the same height.
class FileListBox : public QListView {
  public:
    explicit FileListBox(QWidget* parent = nullptr);
    ~FileListBox() override;

    QString path() const { return path_; }
    void setPath(const QString& path);
    // Sets the directory without reading it: the next refresh does, when nothing else would
    // change in between.
    void presetPath(const QString& path) { path_ = path; }
    // Masks separated by ";", matched regardless of letter case; "*.*" means every file.
    QString pattern() const { return pattern_; }
    void setPattern(const QString& pattern);

    // Re-reads the directory. False, with an empty list, when it cannot be listed.
    bool refresh();

    // The listed names as the system stores them, in list order.
    std::vector<std::string> storedNames() const;
    int currentRow() const { return currentIndex().row(); }
    // One flag per listed name: whether it is selected.
    std::vector<bool> selection() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    class Model;

    Model* model_;
    QString path_;
    QString pattern_ = QStringLiteral("*.*");
};

}  // namespace vantrel
