#pragma once

#include <QFont>
#include <QHash>
#include <QStaticText>
#include <QStyledItemDelegate>

class QListWidget;

namespace lcj {

// Draws each entry's record number in a grey gutter before its text. The
// entry's own text stays exactly what the list holds: the number is painted,
// never stored. An entry that stands for a stored code no record has (the
// "（未知：…）" entries) gets no number.
class NumberGutter : public QStyledItemDelegate {
    Q_OBJECT
public:
    // Row r of `list` shows the number first + r.
    static NumberGutter* install(QListWidget* list, int first = 0);

    // Keeps `list` as wide as its widest entry with its number, its frame and
    // its scroll bar need, from the list's own font, whatever the display's
    // scale: as entries are added or renamed too. Lists of names beside a
    // form are narrow; a width in pixels would cut names at another scale.
    // `atLeast`: that width is its least, and it may grow with the window.
    static void fitWidthToEntries(QListWidget* list, bool atLeast = false);

    // The number drawn for an entry, or an empty text.
    QString numberText(const QModelIndex& index) const;
    // Whether an entry stands for a stored code no record has: such entries
    // carry that code as a number of their own (Qt::UserRole).
    static bool standsForStoredCode(const QVariant& userData);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    NumberGutter(QListWidget* list, int first);
    int gutterWidth(const QStyleOptionViewItem& option) const;
    // `text` laid out in `font`, kept for the next paint.
    const QStaticText& laidOut(const QString& text, const QFont& font) const;
    // Draws a plain one-line entry's background, text and focus in `rect`
    // as the style would; false for any other entry, left to the style.
    bool paintText(QPainter* painter, const QStyleOptionViewItem& option, const QRect& rect) const;

    QListWidget* list_;
    int first_;
    mutable int gutterDigits_ = -1;
    mutable QFont gutterFont_;
    mutable int gutterWidth_ = 0;
    mutable QFont laidOutFont_;
    mutable QHash<QString, QStaticText> laidOut_;
};

} // namespace lcj
