#pragma once

#include "common/result.h"

#include <QPointer>
#include <QTableView>
#include <functional>

namespace lcj::fields {

// The table widget of a `FieldTableView`: a refused commit keeps its editor open,
// and the first columns can lie under a second view that keeps them at the left.
class CellTable : public QTableView {
public:
    using QTableView::edit;
    using QTableView::QTableView;

    // The refusal of the last commit, taken once.
    std::function<Failure()> takeRefusal;
    std::function<void(const QString&)> refuse;
    // The view laid over the first `frozenCount` columns (序号 and the name), which
    // stay at the left while the others scroll; null for that view itself.
    CellTable* frozen = nullptr;
    int frozenCount = 0;

    // The width the frozen columns cover.
    int frozenWidth() const;
    // Lays the frozen view over its columns, headers included.
    void placeFrozen();

    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void commitData(QWidget* editor) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    bool busy_ = false;
    QPointer<QWidget> refused_;
};

} // namespace lcj::fields
