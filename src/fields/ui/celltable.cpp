#include "celltable.h"

#include <QHeaderView>
#include <QScrollBar>

namespace lcj::fields {

int CellTable::frozenWidth() const {
    int width = 0;
    for (int c = 0; c < frozenCount; ++c)
        width += columnWidth(c);
    return width;
}

void CellTable::placeFrozen() {
    if (!frozen)
        return;
    frozen->setGeometry(frameWidth(), frameWidth(), frozenWidth(),
                        viewport()->height() + horizontalHeader()->height());
}

void CellTable::scrollTo(const QModelIndex& index, ScrollHint hint) {
    if (!frozen || !index.isValid()) {
        QTableView::scrollTo(index, hint);
        return;
    }
    // A frozen column is always in view: only the rows scroll to it.
    const int left = horizontalScrollBar()->value();
    QTableView::scrollTo(index, hint);
    if (index.column() < frozenCount) {
        horizontalScrollBar()->setValue(left);
        return;
    }
    // A column scrolled to at the left comes out from under the frozen ones.
    const int hidden = frozenWidth() - visualRect(index).left();
    if (hidden > 0)
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() - hidden);
}

bool CellTable::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    // A frozen cell is edited where it is seen, in the view laid over it.
    if (frozen && index.isValid() && index.column() < frozenCount)
        return frozen->edit(index, trigger, event);
    return QTableView::edit(index, trigger, event);
}

void CellTable::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    placeFrozen();
}

void CellTable::commitData(QWidget* editor) {
    if (busy_)
        return;
    busy_ = true;
    (void)takeRefusal(); // one left from an earlier edit is not this one's
    QTableView::commitData(editor);
    const Failure failure = takeRefusal();
    if (!failure.ok()) {
        refused_ = editor;
        refuse(failure.error());
        // Back to the typed text, to mend it or give it up with Escape.
        editor->window()->activateWindow();
        editor->setFocus();
    }
    busy_ = false;
}

void CellTable::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    // While a refusal is shown, and right after it, the editor stays.
    if (busy_)
        return;
    if (refused_ == editor) {
        refused_ = nullptr;
        return;
    }
    QTableView::closeEditor(editor, hint);
}

} // namespace lcj::fields
