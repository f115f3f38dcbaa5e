#pragma once

#include <QLabel>

namespace lcj::mapview {

// Image1: the map picture at its natural size or stretched to the widget's
// size. Only the part that can be seen is drawn, so a picture zoomed far
// beyond the frame costs no more memory than one at natural size. Every shown
// pixel repeats one picture pixel (no smoothing), so cell borders stay sharp.
class MapImage : public QLabel {
    Q_OBJECT
public:
    explicit MapImage(QWidget* parent = nullptr);

signals:
    // The pointer moved to `pixel`, measured from the picture's top-left corner.
    void pointerMoved(QPoint pixel);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
};

} // namespace lcj::mapview
