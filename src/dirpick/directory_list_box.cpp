#include "dirpick/directory_list_box.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QStringList>
#include <QStyle>

#include "formkit/controls.h"
#include "formkit/directory_checks.h"
#include "formkit/listed_names.h"

namespace vantrel {

namespace {

constexpr int kPathRole = Qt::UserRole;
// Set on a directory whose stored name is no valid text: its path as text names no directory.
constexpr int kUnnamedRole = Qt::UserRole + 1;

QTreeWidgetItem* MakeEntry(const QString& text, const QString& path, const QIcon& icon) {
    auto* item = new QTreeWidgetItem(QStringList{text});
    item->setData(0, kPathRole, path);
    item->setIcon(0, icon);
    item->setToolTip(0, path);
    return item;
}

// The directories from the root of path's drive down to path itself.
QStringList ChainTo(const QString& path) {
    QStringList chain{path};
    while (!QDir(chain.front()).isRoot()) {
        const QString parent = DirectoryListPath(QFileInfo(chain.front()).path());
        if (parent == chain.front()) break;
        chain.prepend(parent);
    }
    return chain;
}

}  // namespace

QString DirectoryListPath(const QString& path) {
    QString clean = QDir::cleanPath(QDir::fromNativeSeparators(path));
    if (clean.endsWith(u':')) clean += u'/';  // a bare drive letter stands for its root
    if (QDir(clean).isRoot()) return clean;
    while (clean.size() > 1 && clean.endsWith(u'/')) clean.chop(1);
    return clean;
}

DirectoryListBox::DirectoryListBox(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setExpandsOnDoubleClick(false);
    setIndentation(fontMetrics().horizontalAdvance(QStringLiteral("MM")));
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        const QString target = item->data(0, kPathRole).toString();
        if (target == path_) return;
        if (item->data(0, kUnnamedRole).toBool()) {
            if (onRefused) onRefused(target, QStringLiteral("its name is not valid text"));
        } else if (!setPath(target) && onRefused) {
            onRefused(target, DirectoryProblem(target));
        }
    });
}

bool DirectoryListBox::setPath(const QString& path) {
    const QString target = DirectoryListPath(path);
    if (!DirectoryProblem(target).isEmpty()) return false;
    path_ = target;
    rebuild();
    if (onChange) onChange();
    return true;
}

void DirectoryListBox::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const QTreeWidgetItem* item = currentItem();
    if (enter && item && item->data(0, kPathRole).toString() != path_) {
        emit itemActivated(currentItem(), 0);
        return event->accept();  // an opened directory, not yet the answer
    }
    QTreeWidget::keyPressEvent(event);
}

void DirectoryListBox::paintEvent(QPaintEvent* event) {
    QTreeWidget::paintEvent(event);
    DrawFocusFrame(*this);
}

void DirectoryListBox::drawBranches(QPainter*, const QRect&, const QModelIndex&) const {
    // The entries all stand open and none can be folded: no fold marks, only the indentation.
}

void DirectoryListBox::rebuild() {
    clear();
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);

    // The chain from the root to the directory itself, each open under its parent.
    QTreeWidgetItem* current = nullptr;
    for (const QString& step : ChainTo(path_)) {
        const QString name = QDir(step).isRoot() ? step : QFileInfo(step).fileName();
        auto* entry = MakeEntry(name, step, open);
        if (current) {
            current->addChild(entry);
        } else {
            addTopLevelItem(entry);
        }
        current = entry;
    }

    // The directory it stands in is what it answers: marked, whichever entry is highlighted.
    QFont marked = current->font(0);
    marked.setBold(true);
    current->setFont(0, marked);

    const QString base = path_.endsWith(u'/') ? path_.chopped(1) : path_;
    std::vector<std::string> names;
    try {
        names = ReadListedNames(path_, DirectoryEntry::Kind::Directory);
    } catch (const std::system_error&) {
        // Gone or closed since it was checked: the chain alone.
    }
    QList<QTreeWidgetItem*> entries;
    for (const std::string& name : names) {
        const QString shown = ShownName(name);
        entries << MakeEntry(shown, base + u'/' + shown, closed);
        if (QFile::encodeName(shown).toStdString() != name)
            entries.back()->setData(0, kUnnamedRole, true);
    }
    current->addChildren(entries);
    expandAll();
    setCurrentItem(current);
    scrollToItem(current);
}

}  // namespace vantrel
