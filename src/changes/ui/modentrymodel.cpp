#include "modentrymodel.h"

#include <QBrush>
#include <QColor>
#include <QMimeData>

namespace lcj {

namespace mods = changes::mods;

namespace {

// The dragged entries, by name, one a line.
const QString entryMime = QStringLiteral("application/x-lcjworkshop-modentry");

} // namespace

ModEntryModel::ModEntryModel(Actions actions, QObject* parent)
    : QAbstractTableModel(parent), actions_(std::move(actions)) {}

void ModEntryModel::show(const QList<mods::Entry>& entries) {
    beginResetModel();
    entries_ = entries;
    order_.clear();
    for (int i = 0; i < entries_.size(); ++i)
        if (!entries_[i].own)
            order_ << i;
    movable_ = int(order_.size());
    for (int i = 0; i < entries_.size(); ++i)
        if (entries_[i].own)
            order_ << i;
    endResetModel();
}

const mods::Entry* ModEntryModel::entryAt(int row) const {
    return row >= 0 && row < order_.size() ? &entries_[order_[row]] : nullptr;
}

int ModEntryModel::rowOf(const QString& name) const {
    for (int row = 0; row < order_.size(); ++row)
        if (entries_[order_[row]].name == name)
            return row;
    return -1;
}

int ModEntryModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(order_.size());
}

int ModEntryModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ModEntryModel::data(const QModelIndex& index, int role) const {
    const mods::Entry* entry = entryAt(index.row());
    if (!entry)
        return {};
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        switch (column) {
        case Name:
            return entry->name;
        case Author:
            return entry->patch.author;
        case Note:
            // An entry that cannot be applied says why where its note would be.
            return entry->problem.isEmpty() ? entry->patch.note
                                            : QStringLiteral("无法应用：") + entry->problem;
        case Files:
            return entry->files().join(QStringLiteral("、"));
        case Fields:
            return entry->fieldCount();
        }
        return {};
    case Qt::CheckStateRole:
        if (column == Name)
            return entry->enabled ? Qt::Checked : Qt::Unchecked;
        return {};
    case Qt::ForegroundRole:
        if (!entry->problem.isEmpty())
            return QBrush(QColor(0xc0, 0x10, 0x10));
        return {};
    case Qt::ToolTipRole: {
        QStringList lines;
        if (!entry->problem.isEmpty())
            lines << QStringLiteral("无法应用：") + entry->problem;
        lines << entry->notes;
        if (lines.isEmpty() && column == Note)
            return entry->patch.note;
        return lines.isEmpty() ? QVariant() : QVariant(lines.join(u'\n'));
    }
    case Qt::TextAlignmentRole:
        if (column == Fields)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    }
    return {};
}

QVariant ModEntryModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const QStringList captions{QStringLiteral("名称"), QStringLiteral("作者"),
                                      QStringLiteral("说明"), QStringLiteral("文件"),
                                      QStringLiteral("栏数")};
    return captions.value(section);
}

Qt::ItemFlags ModEntryModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == Name)
        flags |= Qt::ItemIsUserCheckable;
    // The 我的修改 layer stays last: it is neither dragged nor dropped on.
    if (index.row() < movable_)
        flags |= Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled;
    return flags;
}

bool ModEntryModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    const mods::Entry* entry = entryAt(index.row());
    if (!entry || role != Qt::CheckStateRole || index.column() != Name)
        return false;
    const bool enabled = value.toInt() == Qt::Checked;
    if (enabled == entry->enabled)
        return false;
    if (Failure failure = actions_.setEnabled(entry->name, enabled); !failure.ok()) {
        emit refused(failure.error());
        return false;
    }
    emit listChanged();
    return true;
}

Qt::DropActions ModEntryModel::supportedDropActions() const {
    return Qt::MoveAction;
}

QStringList ModEntryModel::mimeTypes() const {
    return {entryMime};
}

QMimeData* ModEntryModel::mimeData(const QModelIndexList& indexes) const {
    QStringList names;
    for (const QModelIndex& index : indexes)
        if (const mods::Entry* entry = entryAt(index.row()); entry && !names.contains(entry->name))
            names << entry->name;
    auto* data = new QMimeData;
    data->setData(entryMime, names.join(u'\n').toUtf8());
    return data;
}

bool ModEntryModel::canDropMimeData(const QMimeData* data, Qt::DropAction action, int, int,
                                    const QModelIndex&) const {
    return data && action == Qt::MoveAction && data->hasFormat(entryMime);
}

bool ModEntryModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int,
                                 const QModelIndex& parent) {
    if (!canDropMimeData(data, action, row, 0, parent))
        return false;
    const QStringList names = QString::fromUtf8(data->data(entryMime)).split(u'\n');
    // One entry moves at a time (the view selects one row).
    const int from = names.size() == 1 ? rowOf(names.first()) : -1;
    if (from < 0)
        return false;
    // Dropped on an entry: in its place; between two: between them; below the last: last.
    const int before = row >= 0 ? row : parent.isValid() ? parent.row() : movable_;
    return moveEntry(from, before);
}

bool ModEntryModel::moveRows(const QModelIndex& sourceParent, int sourceRow, int count,
                             const QModelIndex& destinationParent, int destinationChild) {
    if (sourceParent.isValid() || destinationParent.isValid() || count != 1)
        return false;
    return moveEntry(sourceRow, destinationChild);
}

bool ModEntryModel::moveEntry(int from, int before) {
    if (from < 0 || from >= movable_)
        return false;
    const int target = std::clamp(before > from ? before - 1 : before, 0, movable_ - 1);
    if (target == from)
        return false;
    if (Failure failure = actions_.move(entries_[order_[from]].name, order_[target]);
        !failure.ok()) {
        emit refused(failure.error());
        return false;
    }
    emit listChanged();
    return true;
}

} // namespace lcj
