#pragma once

#include <QHeaderView>

class QTableView;
class QTreeView;

namespace lcj {

// A header that measures and draws its captions in its own font, never in
// bold. Qt's header measures every caption in bold, to leave room for the
// bold caption of a column holding the selection; for Chinese captions that
// loads the bold face of the CJK font, a font file of its own and megabytes
// of memory. Here the caption of such a column takes the highlight colour.
class PlainHeader : public QHeaderView {
    Q_OBJECT
public:
    explicit PlainHeader(Qt::Orientation orientation, QWidget* parent = nullptr);

    // Puts plain headers on `view` in place of its own, with their settings.
    static void install(QTableView* view);
    static void install(QTreeView* view);

protected:
    QSize sectionSizeFromContents(int logicalIndex) const override;
    void initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const override;

private:
    // A plain header for `old`'s place, with what `old` was set to.
    static PlainHeader* replacing(const QHeaderView* old, QWidget* parent);
};

} // namespace lcj
