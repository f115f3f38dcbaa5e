#include "plainheader.h"

#include <QStyleOptionHeader>
#include <QTableView>
#include <QTreeView>

namespace lcj {

PlainHeader::PlainHeader(Qt::Orientation orientation, QWidget* parent)
    : QHeaderView(orientation, parent) {}

PlainHeader* PlainHeader::replacing(const QHeaderView* old, QWidget* parent) {
    auto* header = new PlainHeader(old->orientation(), parent);
    header->setSectionsClickable(old->sectionsClickable());
    header->setHighlightSections(old->highlightSections());
    header->setSectionsMovable(old->sectionsMovable());
    header->setStretchLastSection(old->stretchLastSection());
    header->setDefaultAlignment(old->defaultAlignment());
    header->setVisible(!old->isHidden());
    return header;
}

void PlainHeader::install(QTableView* view) {
    view->setHorizontalHeader(replacing(view->horizontalHeader(), view));
    view->setVerticalHeader(replacing(view->verticalHeader(), view));
}

void PlainHeader::install(QTreeView* view) {
    view->setHeader(replacing(view->header(), view));
}

QSize PlainHeader::sectionSizeFromContents(int logicalIndex) const {
    if (!model() || logicalIndex < 0)
        return {};
    const QVariant hint = model()->headerData(logicalIndex, orientation(), Qt::SizeHintRole);
    if (hint.isValid())
        return hint.toSize();
    ensurePolished();
    QStyleOptionHeader option;
    initStyleOption(&option);
    option.section = logicalIndex;
    const QVariant font = model()->headerData(logicalIndex, orientation(), Qt::FontRole);
    option.fontMetrics =
        QFontMetrics(font.canConvert<QFont>() ? font.value<QFont>() : this->font(), this);
    option.text = model()->headerData(logicalIndex, orientation(), Qt::DisplayRole).toString();
    option.icon =
        model()->headerData(logicalIndex, orientation(), Qt::DecorationRole).value<QIcon>();
    // Room for the sort arrow in every section, as the arrow moves between them.
    if (isSortIndicatorShown())
        option.sortIndicator = QStyleOptionHeader::SortDown;
    return style()->sizeFromContents(QStyle::CT_HeaderSection, &option, QSize(), this);
}

void PlainHeader::initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const {
    QHeaderView::initStyleOptionForIndex(option, logicalIndex);
    // "On" would draw the caption in bold.
    if (option->state & QStyle::State_On) {
        option->state &= ~QStyle::State_On;
        option->palette.setColor(QPalette::ButtonText, option->palette.color(QPalette::Highlight));
    }
}

} // namespace lcj
