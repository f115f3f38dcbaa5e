#pragma once

#include "common/result.h"

#include <QPoint>
#include <QSize>

namespace lcj::mapview {

// The zoom state of the map viewer: the picture's natural size, the size it is
// shown at, and the cell size k, the edge of one map cell in shown pixels. One
// map cell is 6 x 6 picture pixels, so k is 6 at natural size.
//
// k is a 16-bit value in the window design. A zoom that would take k past
// 32767, or the shown size past what a window can hold, is refused and leaves
// the state as it was.
class MapZoom {
public:
    static constexpr int naturalCellSize = 6;
    static constexpr int largestCellSize = 32767;
    // The largest width or height a widget can have.
    static constexpr int largestShownSide = 16777215;

    MapZoom() = default;

    // A new picture: natural size, k = 6. An empty size means no picture.
    void reset(QSize natural);
    // Back to the natural size and k = 6.
    void restore();
    // Enlarges the shown size and k by `factor` (2 or 3); zooms compound.
    // On refusal nothing changes and the message says why.
    Failure zoom(int factor);

    QSize natural() const { return natural_; }
    QSize shown() const { return shown_; }
    int cellSize() const { return k_; }
    // How many times the natural size the picture is shown.
    int factor() const { return k_ / naturalCellSize; }

    // The grid cell under a pointer at `pixel`, measured in shown pixels from
    // the picture's top-left corner: (x / k, y / k) rounded down.
    QPoint cellAt(QPoint pixel) const;

private:
    QSize natural_{0, 0};
    QSize shown_{0, 0};
    int k_ = naturalCellSize;
};

// The grid cell under `pixel` for cell size `k` (k > 0), rounded down: pixels
// left of or above the picture fall in negative cells, not in cell 0.
QPoint cellAt(QPoint pixel, int k);

} // namespace lcj::mapview
