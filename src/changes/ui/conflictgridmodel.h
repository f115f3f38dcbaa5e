#pragma once

#include "changes/modlist.h"

#include <QAbstractTableModel>

namespace lcj {

// The fields that two or more entries of a mod list set, one row each: 文件, 位置,
// 原版, one column per entry (its name as the header) with the value it sets, and
// 结果. The winner's cell is marked with "✓" and a background. Filters keep the
// rows of one file, and the rows one entry takes part in.
class ConflictGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { File, Where, Original, FirstEntry };

    explicit ConflictGridModel(QObject* parent = nullptr);

    // Shows `rows` for the entries named `entries` (in the order of ModList::entries()).
    void show(QList<changes::mods::ConflictRow> rows, QStringList entries);
    // Keeps the rows of the file named `file` (empty: every file) that entry `entry` (an
    // index of the entries, -1: any) sets.
    void filter(const QString& file, int entry);

    // The conflict shown in row `row`, null past the rows.
    const changes::mods::ConflictRow* rowAt(int row) const;
    // The files of every conflict, in the order they first appear.
    QStringList files() const;
    const QStringList& entries() const { return entries_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    int resultColumn() const { return FirstEntry + int(entries_.size()); }

    QList<changes::mods::ConflictRow> rows_;
    QStringList entries_;
    QList<int> shown_; // the rows that pass the filters
};

} // namespace lcj
