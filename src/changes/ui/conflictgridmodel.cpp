#include "conflictgridmodel.h"

#include <QBrush>
#include <QColor>

namespace lcj {

namespace mods = changes::mods;
namespace patch = changes::patch;

ConflictGridModel::ConflictGridModel(QObject* parent) : QAbstractTableModel(parent) {}

void ConflictGridModel::show(QList<mods::ConflictRow> rows, QStringList entries) {
    beginResetModel();
    rows_ = std::move(rows);
    entries_ = std::move(entries);
    shown_.clear();
    shown_.reserve(rows_.size());
    for (int i = 0; i < rows_.size(); ++i)
        shown_ << i;
    endResetModel();
}

void ConflictGridModel::filter(const QString& file, int entry) {
    beginResetModel();
    shown_.clear();
    for (int i = 0; i < rows_.size(); ++i) {
        const mods::ConflictRow& row = rows_[i];
        if (!file.isEmpty() && row.file != file)
            continue;
        if (entry >= 0 && !(entry < row.values.size() && row.values[entry].has_value()))
            continue;
        shown_ << i;
    }
    endResetModel();
}

const mods::ConflictRow* ConflictGridModel::rowAt(int row) const {
    return row >= 0 && row < shown_.size() ? &rows_[shown_[row]] : nullptr;
}

QStringList ConflictGridModel::files() const {
    QStringList files;
    for (const mods::ConflictRow& row : rows_)
        if (!files.contains(row.file))
            files << row.file;
    return files;
}

int ConflictGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(shown_.size());
}

int ConflictGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : resultColumn() + 1;
}

QVariant ConflictGridModel::data(const QModelIndex& index, int role) const {
    const mods::ConflictRow* row = rowAt(index.row());
    if (!row)
        return {};
    const int column = index.column();
    const int entry = column - FirstEntry;
    const bool isEntry = entry >= 0 && entry < entries_.size();
    if (role == Qt::BackgroundRole)
        return isEntry && entry == row->winner ? QBrush(QColor(0xc8, 0xe6, 0xc9)) : QVariant();
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    if (column == File)
        return row->file;
    if (column == Where)
        return row->where;
    if (column == Original)
        // A field of an entry a patch appends has no original.
        return row->original.isUndefined() ? QString() : patch::shown(row->original);
    if (column == resultColumn())
        return patch::shown(row->result);
    if (!isEntry || entry >= row->values.size() || !row->values[entry])
        return {};
    const QString value = patch::shown(*row->values[entry]);
    return entry == row->winner ? QStringLiteral("✓ ") + value : value;
}

QVariant ConflictGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case File:
        return QStringLiteral("文件");
    case Where:
        return QStringLiteral("位置");
    case Original:
        return QStringLiteral("原版");
    }
    if (section == resultColumn())
        return QStringLiteral("结果");
    return entries_.value(section - FirstEntry);
}

} // namespace lcj
