#pragma once

#include <QString>
#include <QTreeWidget>
#include <functional>

namespace vantrel {

// A directory list: the directory it stands in, under its parents from the drive's root down,
// with the directory's own subdirectories below it. Activating an entry (double-click or Enter)
// moves the list into that directory; Enter on the directory it stands in is left to the dialog
// (its default button).
class DirectoryListBox : public QTreeWidget {
  public:
    explicit DirectoryListBox(QWidget* parent = nullptr);

    // The directory the list stands in (see DirectoryListPath).
    QString path() const { return path_; }
    // Moves the list to path (a full path). False, with the list unchanged, when the directory
    // cannot be listed.
    bool setPath(const QString& path);

    // Called after every move; the handler of the list's change.
    std::function<void()> onChange;
    // Called when the user activates a directory the list cannot move into, with the reason.
    std::function<void(const QString& path, const QString& problem)> onRefused;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void drawBranches(QPainter* painter, const QRect& rect,
                      const QModelIndex& index) const override;

  private:
    void rebuild();

    QString path_;
};

// The form the list reports a path in: absolute and clean with "/" separators; a drive's root
// ends in "/" ("/", "C:/"), any other directory does not.
QString DirectoryListPath(const QString& path);

}  // namespace vantrel
