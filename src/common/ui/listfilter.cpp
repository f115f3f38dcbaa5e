#include "listfilter.h"

#include "common/numbernames.h"
#include "numbergutter.h"
#include "placement.h"

#include <QApplication>
#include <QEvent>
#include <QListWidget>

namespace lcj {

ListFilter::ListFilter(QListWidget* list, int first) : list_(list), first_(first) {
    setObjectName(list->objectName() + QStringLiteral("Filter"));
    setPlaceholderText(QStringLiteral("筛选：编号或名称"));
    setToolTip(QStringLiteral("只列出编号或名称含有所输入文字的条目（Ctrl+F）"));
    setClearButtonEnabled(true);
    if (!placeAbove(list, this))
        setParent(list->parentWidget());
    connect(this, &QLineEdit::textChanged, this, &ListFilter::apply);
    QAbstractItemModel* model = list->model();
    connect(model, &QAbstractItemModel::rowsInserted, this, &ListFilter::apply);
    connect(model, &QAbstractItemModel::dataChanged, this, &ListFilter::apply);
    connect(model, &QAbstractItemModel::modelReset, this, &ListFilter::apply);
    // Tab reaches the box just before its list.
    QWidget* before = list->previousInFocusChain();
    if (before && before != this && before->window() == list->window() &&
        window() == list->window()) {
        setTabOrder(before, this);
        setTabOrder(this, list);
    }
    setHidden(list->isHidden());
    list->installEventFilter(this);
    // Enter in the box goes into the list.
    connect(this, &QLineEdit::returnPressed, list, [list] { list->setFocus(); });
}

void ListFilter::apply() {
    // A list being destroyed clears its model on the way out, when it is no
    // longer a list: nothing to filter then.
    if (!qobject_cast<QListWidget*>(static_cast<QObject*>(list_)))
        return;
    const QString typed = text();
    for (int row = 0; row < list_->count(); ++row) {
        const QListWidgetItem* entry = list_->item(row);
        // An entry for an unlisted stored code has no record number.
        const int number =
            NumberGutter::standsForStoredCode(entry->data(Qt::UserRole)) ? -1 : first_ + row;
        list_->setRowHidden(row, !names::matchesFilter(number, entry->text(), typed));
    }
    if (QListWidgetItem* current = list_->currentItem(); current && !current->isHidden())
        list_->scrollToItem(current);
}

bool ListFilter::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_ && event->type() == QEvent::ShowToParent)
        show();
    else if (watched == list_ && event->type() == QEvent::HideToParent)
        hide();
    return QLineEdit::eventFilter(watched, event);
}

ListFilter* ListFilter::nearestFocus(QWidget* window) {
    // The focused list's own filter first.
    QWidget* focus = QApplication::focusWidget();
    for (ListFilter* filter : window->findChildren<ListFilter*>())
        if (filter->isVisible() && focus &&
            (filter->list() == focus || filter->list()->isAncestorOf(focus)))
            return filter;
    for (QWidget* w = QApplication::focusWidget(); w && w != window->parentWidget();
         w = w->parentWidget()) {
        if (!window->isAncestorOf(w) && w != window)
            break;
        for (ListFilter* filter : w->findChildren<ListFilter*>())
            if (filter->isVisible())
                return filter;
    }
    for (ListFilter* filter : window->findChildren<ListFilter*>())
        if (filter->isVisible())
            return filter;
    return nullptr;
}

} // namespace lcj
