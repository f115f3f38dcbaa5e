#include "placement.h"

#include <QBoxLayout>
#include <QGridLayout>
#include <QWidget>

namespace lcj {

namespace {

// The layout that holds `w` directly, searched from `root` down.
QLayout* holderOf(QLayout* root, QWidget* w) {
    if (!root)
        return nullptr;
    for (int i = 0; i < root->count(); ++i) {
        QLayoutItem* item = root->itemAt(i);
        if (item->widget() == w)
            return root;
        if (QLayout* found = holderOf(item->layout(), w))
            return found;
    }
    return nullptr;
}

bool place(QWidget* anchor, QWidget* extra, Qt::Orientation along) {
    QWidget* parent = anchor->parentWidget();
    QLayout* holder = parent ? holderOf(parent->layout(), anchor) : nullptr;
    if (!holder)
        return false;
    const int index = holder->indexOf(anchor);
    if (auto* box = qobject_cast<QBoxLayout*>(holder)) {
        const bool sameWay =
            (box->direction() == QBoxLayout::LeftToRight ||
             box->direction() == QBoxLayout::RightToLeft) == (along == Qt::Horizontal);
        if (sameWay) {
            box->insertWidget(along == Qt::Horizontal ? index + 1 : index, extra);
            return true;
        }
    }
    if (!qobject_cast<QGridLayout*>(holder) && !qobject_cast<QBoxLayout*>(holder))
        return false;
    // A grid cell, or a row running the other way: the anchor's place takes a
    // small row or column of both. The anchor leaves its place first, so that
    // no other control moves.
    int row = 0, column = 0, rows = 1, columns = 1, stretch = 0;
    Qt::Alignment alignment;
    auto* grid = qobject_cast<QGridLayout*>(holder);
    auto* box = qobject_cast<QBoxLayout*>(holder);
    if (grid) {
        grid->getItemPosition(index, &row, &column, &rows, &columns);
        alignment = grid->itemAt(index)->alignment();
    } else {
        stretch = box->stretch(index);
    }
    delete holder->takeAt(index);
    auto* pair =
        new QBoxLayout(along == Qt::Horizontal ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom);
    pair->setContentsMargins(0, 0, 0, 0);
    if (along == Qt::Vertical)
        pair->addWidget(extra);
    pair->addWidget(anchor, 1);
    if (along == Qt::Horizontal)
        pair->addWidget(extra);
    if (grid)
        grid->addLayout(pair, row, column, rows, columns, alignment);
    else
        box->insertLayout(index, pair, stretch);
    return true;
}

} // namespace

bool placeBeside(QWidget* anchor, QWidget* extra) {
    return place(anchor, extra, Qt::Horizontal);
}

bool placeAbove(QWidget* anchor, QWidget* extra) {
    return place(anchor, extra, Qt::Vertical);
}

} // namespace lcj
