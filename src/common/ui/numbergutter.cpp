#include "numbergutter.h"

#include <QApplication>
#include <QListWidget>
#include <QPainter>
#include <memory>

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

void NumberGutter::fitWidthToEntries(QListWidget* list, bool atLeast) {
    // The widest entry so far. Entries added or renamed are measured alone and
    // by the font only; the delegate then measures that one entry, with its
    // number and margins. A list of 512 names is filled or renamed without
    // measuring every entry again for each change.
    struct Widest {
        int row = -1;
        int advance = 0;
    };
    const auto widest = std::make_shared<Widest>();
    const auto apply = [list, atLeast, widest] {
        const int bar = list->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list);
        const int entry =
            widest->row < 0 || widest->row >= list->count()
                ? 0
                : list->sizeHintForIndex(list->model()->index(widest->row, 0)).width();
        const int width = entry + 2 * list->frameWidth() + bar;
        if (atLeast)
            list->setMinimumWidth(width);
        else
            list->setFixedWidth(width);
    };
    // True when an entry of rows first..last is the widest now.
    const auto measure = [list, widest](int first, int last) {
        const QFontMetrics metrics(list->font());
        bool grew = false;
        for (int row = first; row <= last && row < list->count(); ++row) {
            const int advance = metrics.horizontalAdvance(list->item(row)->text());
            if (advance > widest->advance) {
                *widest = {row, advance};
                grew = true;
            }
        }
        return grew;
    };
    const auto remeasure = [list, widest, measure, apply] {
        *widest = {};
        measure(0, list->count() - 1);
        apply();
    };
    remeasure();
    // Not on a reset: the list's model resets as the list goes. A list
    // cleared and refilled gets its rows inserted.
    QAbstractItemModel* model = list->model();
    connect(model, &QAbstractItemModel::rowsInserted, list,
            [widest, measure, apply](const QModelIndex&, int first, int last) {
                if (widest->row >= first)
                    widest->row += last - first + 1;
                measure(first, last);
                apply(); // the numbers may have grown a digit
            });
    connect(model, &QAbstractItemModel::rowsRemoved, list, remeasure);
    connect(model, &QAbstractItemModel::dataChanged, list,
            [widest, measure, apply, remeasure](const QModelIndex& from, const QModelIndex& to) {
                if (from.row() <= widest->row && widest->row <= to.row())
                    remeasure(); // the widest may have become narrower
                else if (measure(from.row(), to.row()))
                    apply();
            });
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
