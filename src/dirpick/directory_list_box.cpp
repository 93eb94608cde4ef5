#include "dirpick/directory_list_box.h"

#include <QDir>
#include <QStyle>

#include "mainwindow/form/file_list_box.h"

namespace vantrel {

namespace {

constexpr int kPathRole = Qt::UserRole;

QTreeWidgetItem* MakeEntry(const QString& text, const QString& path, const QIcon& icon) {
    auto* item = new QTreeWidgetItem(QStringList{text});
    item->setData(0, kPathRole, path);
    item->setIcon(0, icon);
    item->setToolTip(0, path);
    return item;
}

}  // namespace

QString DirectoryListPath(const QString& path) {
    QString clean = QDir::cleanPath(path);
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
        if (!setPath(target) && onRefused) onRefused(target, DirectoryProblem(target));
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

void DirectoryListBox::drawBranches(QPainter*, const QRect&, const QModelIndex&) const {
    // The entries all stand open and none can be folded: no fold marks, only the indentation.
}

void DirectoryListBox::rebuild() {
    clear();
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);

    // The chain from the root to the directory itself, each open under its parent.
    QTreeWidgetItem* current = MakeEntry(QStringLiteral("/"), QStringLiteral("/"), open);
    addTopLevelItem(current);
    QString walked;
    for (const QString& part : path_.split(u'/', Qt::SkipEmptyParts)) {
        walked += u'/' + part;
        auto* next = MakeEntry(part, walked, open);
        current->addChild(next);
        current = next;
    }

    const QDir dir(path_);
    const QString base = path_ == QStringLiteral("/") ? QString() : path_;
    for (const QString& name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot,
                                             QDir::Name | QDir::IgnoreCase | QDir::LocaleAware)) {
        current->addChild(MakeEntry(name, base + u'/' + name, closed));
    }
    expandAll();
    setCurrentItem(current);
    scrollToItem(current);
}

}  // namespace vantrel
