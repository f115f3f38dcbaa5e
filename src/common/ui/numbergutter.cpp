#include "numbergutter.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QHash>
#include <QListWidget>
#include <QPainter>
#include <QStaticText>
#include <algorithm>
#include <memory>

namespace lcj {

namespace {

constexpr int gutterPadding = 6; // pixels on either side of the number

// The widest of some entries: its row among them and its advance in the font.
struct Widest {
    int row = -1;
    qreal advance = 0;
};

// What is known of one font: each character's advance, and the widest entry
// of each set of entries measured in it (by a digest of their texts). A list
// of 512 names opened again, or another list of the same names, is not
// measured again.
struct FontMeasures {
    QHash<char16_t, qreal> characters;
    QHash<QByteArray, Widest> sets;
};

// Sets of fewer entries than this are measured whole: a digest would cost more.
constexpr int smallestCachedSet = 32;

FontMeasures& measuresOf(const QFont& font, const QWidget* list) {
    static QHash<QString, FontMeasures> byFont;
    // The same font gives other advances on a screen of another scale.
    const QString key = font.key() + u'@' + QString::number(list->logicalDpiX()) + u'@' +
                        QString::number(list->devicePixelRatioF());
    if (byFont.size() > 16 && !byFont.contains(key))
        byFont.clear();
    return byFont[key];
}

// The sum of the advances of `text`'s characters, each measured once per font.
// Shaping only draws characters closer (kerning), so no text is wider than it.
qreal characterSum(const QFontMetricsF& metrics, FontMeasures& known, QStringView text) {
    qreal sum = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isSurrogate()) {
            // Outside the basic plane (rare in names): the rest measured as it is drawn.
            sum += metrics.horizontalAdvance(text.mid(i).toString());
            break;
        }
        auto it = known.characters.constFind(c.unicode());
        if (it == known.characters.cend())
            it = known.characters.insert(c.unicode(), metrics.horizontalAdvance(c));
        sum += *it;
    }
    return sum;
}

// The widest entry of rows first..last of `list` in its font. Only the
// entries whose characters could add up to more than the widest measured so
// far are measured as drawn, longest first; a set measured before is looked up.
Widest widestOf(const QListWidget* list, int first, int last) {
    last = std::min(last, list->count() - 1);
    if (first > last)
        return {};
    const QFont font = list->font();
    const QFontMetricsF metrics(font);
    FontMeasures& known = measuresOf(font, list);
    QByteArray digest;
    if (last - first + 1 >= smallestCachedSet) {
        QCryptographicHash hash(QCryptographicHash::Sha1);
        for (int row = first; row <= last; ++row) {
            const QString text = list->item(row)->text();
            const qsizetype size = text.size();
            hash.addData(QByteArrayView(reinterpret_cast<const char*>(&size), sizeof size));
            hash.addData(QByteArrayView(reinterpret_cast<const char*>(text.constData()),
                                        text.size() * qsizetype(sizeof(QChar))));
        }
        digest = hash.result();
        if (const auto it = known.sets.constFind(digest); it != known.sets.cend())
            return *it;
    }
    QList<std::pair<qreal, int>> bounds; // (the characters' sum, row among the entries)
    bounds.reserve(last - first + 1);
    for (int row = first; row <= last; ++row)
        bounds.append({characterSum(metrics, known, list->item(row)->text()), row - first});
    std::sort(bounds.begin(), bounds.end(), std::greater<>());
    Widest widest;
    for (const auto& [bound, row] : std::as_const(bounds)) {
        if (widest.row >= 0 && bound <= widest.advance)
            break; // neither this nor any after it can be wider
        const qreal advance = metrics.horizontalAdvance(list->item(first + row)->text());
        if (widest.row < 0 || advance > widest.advance)
            widest = {row, advance};
    }
    if (!digest.isEmpty()) {
        if (known.sets.size() > 64)
            known.sets.clear();
        known.sets.insert(digest, widest);
    }
    return widest;
}

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
    // by the font only (widestOf); the delegate then measures that one entry,
    // with its number and margins. A list of 512 names is filled or renamed
    // without measuring every entry again for each change.
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
        const Widest found = widestOf(list, first, last);
        if (found.row < 0 || (widest->row >= 0 && found.advance <= widest->advance))
            return false;
        *widest = {first + found.row, found.advance};
        return true;
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
    const int digits = int(QString::number(first_ + std::max(0, list_->count() - 1)).size());
    if (digits != gutterDigits_ || option.font != gutterFont_) {
        gutterDigits_ = digits;
        gutterFont_ = option.font;
        gutterWidth_ =
            option.fontMetrics.horizontalAdvance(QString(digits, u'8')) + 2 * gutterPadding;
    }
    return gutterWidth_;
}

const QStaticText& NumberGutter::laidOut(const QString& text, const QFont& font) const {
    if (font != laidOutFont_ || laidOut_.size() > 4096) {
        laidOut_.clear();
        laidOutFont_ = font;
    }
    auto it = laidOut_.find(text);
    if (it == laidOut_.end()) {
        QStaticText laid(text);
        laid.setTextFormat(Qt::PlainText);
        laid.prepare(QTransform(), font);
        it = laidOut_.insert(text, laid);
    }
    return *it;
}

bool NumberGutter::paintText(QPainter* painter, const QStyleOptionViewItem& option,
                             const QRect& rect) const {
    // Plain one-line text only; anything else is drawn by the style.
    constexpr auto plain = Qt::AlignLeft | Qt::AlignVCenter;
    if (option.features & (QStyleOptionViewItem::HasCheckIndicator |
                           QStyleOptionViewItem::HasDecoration | QStyleOptionViewItem::WrapText) ||
        option.displayAlignment != plain || (option.state & QStyle::State_Editing))
        return false;
    QStyle* style = option.widget ? option.widget->style() : QApplication::style();
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, option.widget) + 1;
    const QRect textRect = rect.adjusted(margin, 0, -margin, 0);
    const QStaticText& laid = laidOut(option.text, option.font);
    const QSizeF size = laid.size();
    if (size.width() > textRect.width())
        return false; // the style elides it
    QStyleOptionViewItem panel = option;
    panel.rect = rect;
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &panel, painter, option.widget);
    QPalette::ColorGroup group =
        option.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
    if (group == QPalette::Normal && !(option.state & QStyle::State_Active))
        group = QPalette::Inactive;
    painter->save();
    painter->setFont(option.font);
    painter->setPen(option.palette.color(
        group, option.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
    const QRect placed = QStyle::alignedRect(option.direction, plain, size.toSize(), textRect);
    painter->drawStaticText(placed.topLeft(), laid);
    painter->restore();
    if (option.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(option);
        focus.rect = rect;
        focus.state |= QStyle::State_KeyboardFocusChange | QStyle::State_Item;
        focus.backgroundColor = option.palette.color(
            group, option.state & QStyle::State_Selected ? QPalette::Highlight : QPalette::Window);
        style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, option.widget);
    }
    return true;
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
        const QStaticText& laid = laidOut(number, opt.font);
        const QRect numberRect(opt.rect.left(), opt.rect.top(), gutter - gutterPadding,
                               opt.rect.height());
        painter->drawStaticText(QStyle::alignedRect(Qt::LeftToRight,
                                                    Qt::AlignRight | Qt::AlignVCenter,
                                                    laid.size().toSize(), numberRect)
                                    .topLeft(),
                                laid);
        painter->restore();
    }
    // The names are laid out once and drawn from then on: a list of 512
    // names repaints without shaping each visible name again.
    QRect textRect = option.rect;
    textRect.setLeft(option.rect.left() + gutter);
    if (paintText(painter, opt, textRect))
        return;
    QStyleOptionViewItem text = option;
    text.rect = textRect;
    QStyledItemDelegate::paint(painter, text, index);
}

QSize NumberGutter::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.rwidth() += gutterWidth(option);
    return size;
}

} // namespace lcj
