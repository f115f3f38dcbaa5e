#pragma once

#include "changes/modlist.h"

#include <QAbstractTableModel>
#include <functional>

namespace lcj {

// The entries of a mod list, one row each in load order, the 我的修改 layer last:
// 名称 (with the entry's check box), 作者, 说明, 文件, 栏数. A row is dragged to
// another place within the view (InternalMove); the drop, moveRows and the check
// box change the list on disk at once, through the functions the window gives.
class ModEntryModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Name, Author, Note, Files, Fields, ColumnCount };

    // What the window does for the model: switch an entry on or off, move it to
    // a position of entries(); each answers the failure's message, or nothing.
    struct Actions {
        std::function<Failure(const QString& name, bool enabled)> setEnabled;
        std::function<Failure(const QString& name, int position)> move;
    };

    explicit ModEntryModel(Actions actions, QObject* parent = nullptr);

    // Shows `entries` (ModList::entries()).
    void show(const QList<changes::mods::Entry>& entries);
    // The entry of view row `row`, null past the rows.
    const changes::mods::Entry* entryAt(int row) const;
    // The view row of the entry named `name`, -1 for none.
    int rowOf(const QString& name) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    Qt::DropActions supportedDropActions() const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    bool canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                         const QModelIndex& parent) const override;
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;
    bool moveRows(const QModelIndex& sourceParent, int sourceRow, int count,
                  const QModelIndex& destinationParent, int destinationChild) override;

signals:
    // A change of the list was refused: `message` says why, nothing changed.
    void refused(const QString& message);
    // The list changed on disk (an entry moved or switched): the window reads it again.
    void listChanged();

private:
    // Moves the entry of view row `from` before view row `before` (rowCount(): to the end).
    bool moveEntry(int from, int before);

    Actions actions_;
    QList<changes::mods::Entry> entries_;
    // The index in entries_ of each view row: the 我的修改 layer last.
    QList<int> order_;
    int movable_ = 0; // the rows that are patches, before the 我的修改 layer
};

} // namespace lcj
