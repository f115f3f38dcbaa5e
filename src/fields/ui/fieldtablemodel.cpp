#include "fieldtablemodel.h"

#include <QColor>

#include <algorithm>

namespace lcj::fields {

using Editor = Column::Editor;

namespace {

const QColor changedBackground(255, 232, 170);

// A value as a number when the whole of it is one.
std::optional<double> numberOf(const QString& text) {
    bool ok = false;
    const double d = text.trimmed().toDouble(&ok);
    return ok ? std::optional<double>(d) : std::nullopt;
}

struct SortKey {
    std::optional<double> number;
    QString text;
};

// Numbers before texts, numbers by value, texts by their characters.
int compareKeys(const SortKey& a, const SortKey& b) {
    if (a.number && b.number)
        return *a.number < *b.number ? -1 : (*a.number > *b.number ? 1 : 0);
    if (a.number != b.number)
        return a.number ? -1 : 1;
    return a.text.compare(b.text);
}

} // namespace

FieldTableModel::FieldTableModel(FieldTable& table) : table_(table) {
    fixed_ = table.labelHeader().isEmpty() ? 1 : 2;
    for (qsizetype c = 0; c < table.columns().size(); ++c)
        if (nameField_ < 0 && table.columns()[c].editor == Editor::Name)
            nameField_ = int(c);
    rows_.resize(std::size_t(table.rowCount()));
    lists_.resize(std::size_t(table.columns().size()));
    order_.resize(std::size_t(table.rowCount()));
    for (int r = 0; r < table.rowCount(); ++r)
        order_[std::size_t(r)] = r;
    applyFilter();
}

const QStringList& FieldTableModel::values(int record) const {
    auto& cached = rows_[std::size_t(record)];
    if (!cached)
        cached = table_.readRow(record);
    return *cached;
}

const FieldTableModel::ListCache& FieldTableModel::list(int field) const {
    ListCache& l = lists_[std::size_t(field)];
    if (!l.valid) {
        l.entries = table_.entries(field);
        l.textOf.clear();
        l.valuesOf.clear();
        for (const Entry& e : l.entries) {
            if (!l.textOf.contains(e.value))
                l.textOf.insert(e.value, e.text);
            l.valuesOf[e.text].append(e.value);
        }
        l.valid = true;
    }
    return l;
}

QString FieldTableModel::shown(int record, int field) const {
    const QString v = value(record, field);
    if (column(field).editor == Editor::List)
        return list(field).textOf.value(v, v);
    return v;
}

QString FieldTableModel::cellText(int record, int column) const {
    if (column == 0)
        return QString::number(record);
    const int field = fieldOf(column);
    if (field < 0)
        return table_.label(record);
    return shown(record, field);
}

QString FieldTableModel::headerText(int section) const {
    if (section == 0)
        return QStringLiteral("序号");
    const int field = fieldOf(section);
    return field < 0 ? table_.labelHeader() : column(field).caption;
}

void FieldTableModel::setSaved(const FieldTable* saved) {
    saved_ = saved;
    savedRows_.assign(
        saved && saved->rowCount() == table_.rowCount() ? std::size_t(table_.rowCount()) : 0,
        std::nullopt);
    if (savedRows_.empty())
        saved_ = nullptr;
    everythingChanged();
}

bool FieldTableModel::differsFromSaved(int record, int field) const {
    if (!saved_)
        return false;
    auto& cached = savedRows_[std::size_t(record)];
    if (!cached)
        cached = saved_->readRow(record);
    return cached->value(field) != value(record, field);
}

void FieldTableModel::invalidate() {
    for (auto& l : lists_)
        l.valid = false;
    if (std::size_t(table_.rowCount()) != rows_.size()) {
        beginResetModel();
        rows_.assign(std::size_t(table_.rowCount()), std::nullopt);
        savedRows_.clear();
        saved_ = nullptr;
        order_.resize(rows_.size());
        for (std::size_t r = 0; r < order_.size(); ++r)
            order_[r] = int(r);
        applyFilter();
        endResetModel();
        return;
    }
    for (auto& r : rows_)
        r.reset();
    everythingChanged();
}

void FieldTableModel::setFilter(const QString& text) {
    beginResetModel();
    filter_ = text;
    applyFilter();
    endResetModel();
}

int FieldTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(visible_.size());
}

int FieldTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : fixed_ + int(table_.columns().size());
}

QVariant FieldTableModel::data(const QModelIndex& index, int role) const {
    const int record = recordAt(index.row());
    if (record < 0)
        return {};
    const int field = fieldOf(index.column());
    switch (role) {
    case Qt::DisplayRole:
        if (field >= 0 && column(field).editor == Editor::Flag)
            return {};
        return cellText(record, index.column());
    case Qt::EditRole:
        return field >= 0 ? value(record, field) : cellText(record, index.column());
    case Qt::CheckStateRole:
        if (field >= 0 && column(field).editor == Editor::Flag) {
            const QString v = value(record, field);
            return int(v == u"1" ? Qt::Checked : v == u"0" ? Qt::Unchecked : Qt::PartiallyChecked);
        }
        return {};
    case Qt::BackgroundRole:
        if (field >= 0 && differsFromSaved(record, field))
            return changedBackground;
        return {};
    case Qt::ToolTipRole:
        if (field >= 0 && column(field).editor == Editor::List)
            return value(record, field);
        return {};
    default:
        return {};
    }
}

QVariant FieldTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal)
        return {};
    if (role == Qt::InitialSortOrderRole)
        return int(Qt::AscendingOrder);
    if (role != Qt::DisplayRole)
        return {};
    return headerText(section);
}

Qt::ItemFlags FieldTableModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const int field = fieldOf(index.column());
    if (field < 0 || column(field).readOnly)
        return f;
    return column(field).editor == Editor::Flag ? f | Qt::ItemIsUserCheckable
                                                : f | Qt::ItemIsEditable;
}

bool FieldTableModel::setData(const QModelIndex& index, const QVariant& v, int role) {
    const int record = recordAt(index.row());
    const int field = fieldOf(index.column());
    if (record < 0 || field < 0 || !commit)
        return false;
    QString typed;
    if (role == Qt::CheckStateRole)
        typed =
            Qt::CheckState(v.toInt()) == Qt::Checked ? QStringLiteral("1") : QStringLiteral("0");
    else if (role == Qt::EditRole)
        typed = v.toString();
    else
        return false;
    return commit(record, field, typed, role == Qt::CheckStateRole);
}

void FieldTableModel::sort(int sortColumn, Qt::SortOrder order) {
    const int n = table_.rowCount();
    std::vector<int> sorted(static_cast<std::size_t>(n));
    for (int r = 0; r < n; ++r)
        sorted[std::size_t(r)] = r;
    if (sortColumn > 0 && sortColumn < columnCount()) {
        const int field = fieldOf(sortColumn);
        // A list sorts by its stored codes, which keep the list's order.
        std::vector<SortKey> keys(static_cast<std::size_t>(n));
        for (int r = 0; r < n; ++r) {
            const QString text = field < 0 ? table_.label(r) : value(r, field);
            keys[std::size_t(r)] = {numberOf(text), text};
        }
        std::stable_sort(sorted.begin(), sorted.end(), [&](int a, int b) {
            const int c = compareKeys(keys[std::size_t(a)], keys[std::size_t(b)]);
            return order == Qt::AscendingOrder ? c < 0 : c > 0;
        });
    } else if (order == Qt::DescendingOrder) {
        std::reverse(sorted.begin(), sorted.end());
    }
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    QList<int> records;
    for (const QModelIndex& i : before)
        records.append(recordAt(i.row()));
    order_ = std::move(sorted);
    applyFilter();
    QModelIndexList after;
    for (qsizetype k = 0; k < before.size(); ++k) {
        const int row = rowOf(records[k]);
        after.append(row < 0 ? QModelIndex() : index(row, before[k].column()));
    }
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void FieldTableModel::everythingChanged() {
    if (rowCount() > 0 && columnCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

bool FieldTableModel::matches(int record) const {
    if (filter_.isEmpty())
        return true;
    if (QString::number(record).contains(filter_, Qt::CaseInsensitive))
        return true;
    if (fixed_ > 1 && table_.label(record).contains(filter_, Qt::CaseInsensitive))
        return true;
    return nameField_ >= 0 && value(record, nameField_).contains(filter_, Qt::CaseInsensitive);
}

void FieldTableModel::applyFilter() {
    visible_.clear();
    rowOfRecord_.assign(std::size_t(table_.rowCount()), -1);
    for (int record : order_)
        if (matches(record)) {
            rowOfRecord_[std::size_t(record)] = int(visible_.size());
            visible_.push_back(record);
        }
}

} // namespace lcj::fields
