#include "numbergutter.h"

#include <QApplication>
#include <QListWidget>
#include <QPainter>

namespace lcj {

namespace {

constexpr int gutterPadding = 6; // pixels on either side of the number

} // namespace

NumberGutter::NumberGutter(QListWidget* list, int first)
    : QStyledItemDelegate(list), list_(list), first_(first) {}

NumberGutter* NumberGutter::install(QListWidget* list, int first) {
    auto* gutter = new NumberGutter(list, first);
    list->setItemDelegate(gutter);
    return gutter;
}

int NumberGutter::widthForEntries(const QListWidget* list) {
    const int bar = list->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list);
    return list->sizeHintForColumn(0) + 2 * list->frameWidth() + bar;
}

void NumberGutter::fitWidthToEntries(QListWidget* list, bool atLeast) {
    const auto fit = [list, atLeast] {
        if (atLeast)
            list->setMinimumWidth(widthForEntries(list));
        else
            list->setFixedWidth(widthForEntries(list));
    };
    fit();
    // Not on a reset: the list's model resets as the list goes. A list
    // cleared and refilled gets its rows inserted.
    QAbstractItemModel* model = list->model();
    connect(model, &QAbstractItemModel::rowsInserted, list, fit);
    connect(model, &QAbstractItemModel::rowsRemoved, list, fit);
    connect(model, &QAbstractItemModel::dataChanged, list, fit);
}

QString NumberGutter::numberText(const QModelIndex& index) const {
    if (!index.isValid() || standsForStoredCode(index.data(Qt::UserRole)))
        return {};
    return QString::number(first_ + index.row());
}

bool NumberGutter::standsForStoredCode(const QVariant& userData) {
    return userData.typeId() == QMetaType::Int;
}

int NumberGutter::gutterWidth(const QStyleOptionViewItem& option) const {
    // Wide enough for the largest number of the list, so the texts line up.
    const int widest = first_ + std::max(0, list_->count() - 1);
    return option.fontMetrics.horizontalAdvance(QString(QString::number(widest).size(), u'8')) +
           2 * gutterPadding;
}

void NumberGutter::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const int gutter = gutterWidth(opt);
    // The selection and hover background run under the gutter too.
    QStyleOptionViewItem panel = opt;
    panel.text.clear();
    panel.icon = QIcon();
    QStyle* style = opt.widget ? opt.widget->style() : QApplication::style();
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &panel, painter, opt.widget);

    const QString number = numberText(index);
    if (!number.isEmpty()) {
        painter->save();
        painter->setPen(QColor(0x80, 0x80, 0x80));
        painter->setFont(opt.font);
        const QRect numberRect(opt.rect.left(), opt.rect.top(), gutter - gutterPadding,
                               opt.rect.height());
        painter->drawText(numberRect, Qt::AlignRight | Qt::AlignVCenter, number);
        painter->restore();
    }
    QStyleOptionViewItem text = option;
    text.rect.setLeft(option.rect.left() + gutter);
    QStyledItemDelegate::paint(painter, text, index);
}

QSize NumberGutter::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.rwidth() += gutterWidth(option);
    return size;
}

} // namespace lcj
