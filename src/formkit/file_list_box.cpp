#include "formkit/file_list_box.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace vantrel {

namespace {

QStringList NameFilters(const QString& pattern) {
    QStringList filters;
    for (const QString& part : pattern.split(u';', Qt::SkipEmptyParts)) {
        const QString mask = part.trimmed();
        if (mask.isEmpty()) continue;
        // "*.*" is every file where the masks come from, also names without a dot.
        filters << (mask == QStringLiteral("*.*") ? QStringLiteral("*") : mask);
    }
    if (filters.isEmpty()) filters << QStringLiteral("*");
    return filters;
}

}  // namespace

QString DirectoryProblem(const QString& path) {
    if (path.isEmpty()) return QStringLiteral("no directory is given");
    const QFileInfo info(path);
    if (!info.isAbsolute()) return QStringLiteral("it is not a full path");
    if (!info.exists()) return QStringLiteral("it does not exist");
    if (!info.isDir()) return QStringLiteral("it is not a directory");
    if (!info.isReadable() || !info.isExecutable()) return QStringLiteral("permission denied");
    return {};
}

FileListBox::FileListBox(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::ExtendedSelection);
}

void FileListBox::setPath(const QString& path) {
    path_ = path;
    refresh();
}

void FileListBox::setPattern(const QString& pattern) {
    pattern_ = pattern;
    refresh();
}

bool FileListBox::refresh() {
    clear();
    if (!DirectoryProblem(path_).isEmpty()) return false;
    const QDir dir(path_);
    const QStringList names = dir.entryList(NameFilters(pattern_), QDir::Files,
                                            QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
    addItems(names);
    return true;
}

}  // namespace vantrel
