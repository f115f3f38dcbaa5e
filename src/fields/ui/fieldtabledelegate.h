#pragma once

#include <QStyledItemDelegate>

namespace lcj::fields {

class FieldTableModel;

// The editors of a `FieldTableView`'s cells, by the field's editor: a list picks an
// entry (a pick is a commit), a name shows the bytes used beside its box, a box is a
// plain line; a tick box and the fixed columns have none.
class FieldTableDelegate : public QStyledItemDelegate {
public:
    FieldTableDelegate(FieldTableModel& model, QObject* parent)
        : QStyledItemDelegate(parent), model_(model) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex&) const override;

private:
    FieldTableModel& model_;
};

} // namespace lcj::fields
