#include "formkit/file_list_box.h"

#include <QAbstractListModel>
#include <QStringList>

#include "formkit/controls.h"
#include "formkit/listed_names.h"

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

// The listed names, replaced as a whole on every read.
class FileListBox::Model : public QAbstractListModel {
  public:
    using QAbstractListModel::QAbstractListModel;

    void replace(std::vector<std::string> names) {
        beginResetModel();
        names_ = std::move(names);
        endResetModel();
    }
    const std::vector<std::string>& names() const { return names_; }

    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(names_.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole || !index.isValid()) return {};
        // Made when a row is drawn: only the rows in sight are.
        return ShownName(names_[static_cast<std::size_t>(index.row())]);
    }

  private:
    std::vector<std::string> names_;
};

FileListBox::FileListBox(QWidget* parent) : QListView(parent), model_(new Model(this)) {
    setModel(model_);
    setUniformItemSizes(true);
    setEditTriggers(NoEditTriggers);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
}

FileListBox::~FileListBox() = default;

void FileListBox::setPath(const QString& path) {
    path_ = path;
    refresh();
}

void FileListBox::setPattern(const QString& pattern) {
    pattern_ = pattern;
    refresh();
}

bool FileListBox::refresh() {
    std::vector<std::string> names;
    bool listed = DirectoryProblem(path_).isEmpty();
    if (listed) {
        try {
            names = ReadListedNames(path_, DirectoryEntry::Kind::File, NameFilters(pattern_));
        } catch (const std::system_error&) {
            listed = false;
        }
    }
    model_->replace(std::move(names));
    return listed;
}

std::vector<std::string> FileListBox::storedNames() const {
    return model_->names();
}

std::vector<bool> FileListBox::selection() const {
    std::vector<bool> selected(model_->names().size());
    for (const QModelIndex& index : selectionModel()->selectedIndexes()) {
        selected[static_cast<std::size_t>(index.row())] = true;
    }
    return selected;
}

void FileListBox::paintEvent(QPaintEvent* event) {
    QListView::paintEvent(event);
    DrawFocusFrame(*this);
}

}  // namespace vantrel
