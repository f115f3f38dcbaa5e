#include "framearea.h"

#include <QGridLayout>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>

namespace lcj::scenario {

FrameArea::FrameArea(const QList<QWidget*>& frames, QWidget* parent)
    : QScrollArea(parent), frames_(frames) {
    setObjectName(QStringLiteral("frameArea"));
    // The frames' own controls take the keyboard; the area is no stop of its own.
    setFocusPolicy(Qt::NoFocus);
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    auto* content = new QWidget;
    content->setObjectName(QStringLiteral("frames"));
    grid_ = new QGridLayout(content);
    grid_->setContentsMargins(0, 0, 0, 0);
    // Added in their order: the keyboard goes from frame to frame as they read.
    for (QWidget* frame : frames_)
        grid_->addWidget(frame, 0, 0);
    arrange(3);
    setWidget(content);
}

const QList<FrameArea::Place>& FrameArea::places(int columns) {
    // battle, army, ally, enemy, note, spoils, equipment
    static const QList<Place> three{{0, 0, 1}, {0, 1, 2}, {1, 0, 1}, {1, 1, 1},
                                    {1, 2, 1}, {2, 0, 1}, {2, 1, 2}};
    static const QList<Place> two{{0, 0, 1}, {0, 1, 1}, {1, 0, 1}, {1, 1, 1},
                                  {3, 0, 1}, {2, 0, 1}, {2, 1, 1}};
    static const QList<Place> one{{0, 0, 1}, {1, 0, 1}, {2, 0, 1}, {3, 0, 1},
                                  {4, 0, 1}, {5, 0, 1}, {6, 0, 1}};
    return columns >= 3 ? three : columns == 2 ? two : one;
}

int FrameArea::widthFor(int columns) const {
    const QList<Place>& at = places(columns);
    QList<int> widths(columns, 0);
    for (qsizetype i = 0; i < frames_.size(); ++i)
        if (at[i].span == 1)
            widths[at[i].column] =
                std::max(widths[at[i].column], frames_[i]->minimumSizeHint().width());
    const int spacing = std::max(grid_->horizontalSpacing(), 0);
    // A frame over several columns widens the last of them when it needs more.
    for (qsizetype i = 0; i < frames_.size(); ++i) {
        if (at[i].span == 1)
            continue;
        int spanned = spacing * (at[i].span - 1);
        for (int c = at[i].column; c < at[i].column + at[i].span; ++c)
            spanned += widths[c];
        const int need = frames_[i]->minimumSizeHint().width() - spanned;
        if (need > 0)
            widths[at[i].column + at[i].span - 1] += need;
    }
    int total = spacing * (columns - 1);
    for (int w : widths)
        total += w;
    const QMargins m = grid_->contentsMargins();
    return total + m.left() + m.right();
}

void FrameArea::arrange(int columns) {
    if (columns == columns_)
        return;
    columns_ = columns;
    const QList<Place>& at = places(columns);
    // The same parent throughout: moving a frame in the grid keeps the keyboard order.
    for (QWidget* frame : frames_)
        grid_->removeWidget(frame);
    for (qsizetype i = 0; i < frames_.size(); ++i)
        grid_->addWidget(frames_[i], at[i].row, at[i].column, 1, at[i].span);
    int rows = 0;
    for (const Place& p : at)
        rows = std::max(rows, p.row + 1);
    // The frames keep their heights at the top; what is left stays below them.
    for (int r = 0; r <= static_cast<int>(frames_.size()); ++r)
        grid_->setRowStretch(r, r == rows ? 1 : 0);
    for (int c = 0; c < 3; ++c)
        grid_->setColumnStretch(c, c < columns ? 1 : 0);
}

void FrameArea::resizeEvent(QResizeEvent* event) {
    // The room beside a vertical scroll bar, so that its coming and going never
    // changes the columns.
    const int room = event->size().width() - 2 * frameWidth() -
                     style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    int columns = 3;
    while (columns > 1 && widthFor(columns) > room)
        --columns;
    arrange(columns);
    QScrollArea::resizeEvent(event);
}

int FrameArea::oneColumnWidth() const {
    return widthFor(1) + 2 * frameWidth() +
           style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
}

void FrameArea::bringIntoView(QWidget* w) {
    if (!widget() || !widget()->isAncestorOf(w))
        return;
    widget()->layout()->activate();
    ensureWidgetVisible(w, 0, 0);
}

QSize FrameArea::sizeHint() const {
    const QSize content = widget() ? widget()->sizeHint() : QSize();
    const int f = 2 * frameWidth();
    return content + QSize(f + style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this), f);
}

} // namespace lcj::scenario
