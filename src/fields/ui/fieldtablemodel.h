#pragma once

#include "fields/fieldtable.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

namespace lcj::fields {

// The rows of a `FieldTableView`: a row per record shown, in the sorted order and
// through the filter; column 0 is 序号, then the label where the table has one,
// then a column per field. Each record's cells and each list's entries are read
// once until the next invalidate(), so painting and sorting read a record once.
class FieldTableModel : public QAbstractTableModel {
public:
    // A list column's entries and both ways between its values and texts.
    struct ListCache {
        bool valid = false;
        QList<Entry> entries;
        QHash<QString, QString> textOf;       // value → the first entry's text
        QHash<QString, QStringList> valuesOf; // text → every value with that text
    };

    explicit FieldTableModel(FieldTable& table);

    FieldTable& table() const { return table_; }
    int fixedColumns() const { return fixed_; }
    // The field of a view column, or -1 for 序号 and the label.
    int fieldOf(int column) const { return column - fixed_; }
    int recordAt(int row) const {
        return row >= 0 && std::size_t(row) < visible_.size() ? visible_[std::size_t(row)] : -1;
    }
    int rowOf(int record) const {
        return record >= 0 && std::size_t(record) < rowOfRecord_.size()
                   ? rowOfRecord_[std::size_t(record)]
                   : -1;
    }
    const Column& column(int field) const { return table_.columns().at(field); }

    // The record's cell values, read once until the next invalidate().
    const QStringList& values(int record) const;
    QString value(int record, int field) const { return values(record).value(field); }
    const ListCache& list(int field) const;

    // A cell as the view shows and copies it: a list's entry text, else the value.
    QString shown(int record, int field) const;
    // A view column's text for a record, the fixed columns included.
    QString cellText(int record, int column) const;
    QString headerText(int section) const;

    void setSaved(const FieldTable* saved);
    bool differsFromSaved(int record, int field) const;

    // The bytes under the table changed: every cached text goes. A table whose
    // rows came or went (a list of a scenario) starts again in file order.
    void invalidate();

    void setFilter(const QString& text);
    const QString& filter() const { return filter_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& v, int role) override;
    void sort(int sortColumn, Qt::SortOrder order) override;

    // Writes a cell the user typed; `immediate` for a tick box, which has no
    // editor to stay open.
    std::function<bool(int record, int field, const QString& value, bool immediate)> commit;

private:
    void everythingChanged();
    bool matches(int record) const;
    void applyFilter();

    FieldTable& table_;
    int fixed_ = 1;
    int nameField_ = -1;
    mutable std::vector<std::optional<QStringList>> rows_;
    mutable std::vector<ListCache> lists_;
    const FieldTable* saved_ = nullptr;
    mutable std::vector<std::optional<QStringList>> savedRows_;
    std::vector<int> order_;       // every record, in the sorted order
    std::vector<int> visible_;     // the rows shown: records of order_ that pass the filter
    std::vector<int> rowOfRecord_; // record → row shown, or -1
    QString filter_;
};

} // namespace lcj::fields
