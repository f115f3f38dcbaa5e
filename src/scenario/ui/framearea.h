#pragma once

#include <QList>
#include <QScrollArea>

class QGridLayout;

namespace lcj::scenario {

// The editing frames of the scenario editor in a scrolling area of their own,
// so that the editor fits a small screen and its menu bar stays in view. The
// frames stand in as many columns as the width gives (three, two or one), in
// the same reading order, which is also their keyboard order.
class FrameArea : public QScrollArea {
public:
    // `frames`: battle, army, ally, enemy, note, spoils, equipment, in this order.
    explicit FrameArea(const QList<QWidget*>& frames, QWidget* parent = nullptr);

    // The columns the frames stand in now.
    int columns() const { return columns_; }
    // The least width of the area that shows the frames without scrolling sideways.
    int oneColumnWidth() const;
    // Scrolls until `w` (a frame or a control in one) is in view.
    void bringIntoView(QWidget* w);

    // Every frame whole, in three columns: what the editor asks for where there is room.
    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Place {
        int row;
        int column;
        int span;
    };
    // The least width the frames need in `columns` columns.
    int widthFor(int columns) const;
    void arrange(int columns);
    static const QList<Place>& places(int columns);

    QList<QWidget*> frames_;
    QGridLayout* grid_;
    int columns_ = 0;
};

} // namespace lcj::scenario
