#include "mapzoom.h"

namespace lcj::mapview {

namespace {

// Division rounded down, in whole numbers: exact for every position, where a
// division in single precision is exact only while positions stay below 2^24.
int floorDiv(int x, int k) {
    const int q = x / k;
    return (x % k != 0 && x < 0) ? q - 1 : q;
}

} // namespace

QPoint cellAt(QPoint pixel, int k) {
    Q_ASSERT(k > 0);
    return {floorDiv(pixel.x(), k), floorDiv(pixel.y(), k)};
}

void MapZoom::reset(QSize natural) {
    natural_ = natural.isValid() ? natural : QSize(0, 0);
    restore();
}

void MapZoom::restore() {
    shown_ = natural_;
    k_ = naturalCellSize;
}

Failure MapZoom::zoom(int factor) {
    // Only enlargements: a factor below 2 would shrink k towards a division by zero.
    if (factor < 2)
        return QStringLiteral("放大倍数至少为2");
    const qint64 k = qint64(k_) * factor;
    if (k > largestCellSize)
        return QStringLiteral("已放大到上限：格子边长不能超过%1像素，请先还原比率")
            .arg(largestCellSize);
    const qint64 width = qint64(shown_.width()) * factor;
    const qint64 height = qint64(shown_.height()) * factor;
    if (width > largestShownSide || height > largestShownSide)
        return QStringLiteral("已放大到上限：图片边长不能超过%1像素，请先还原比率")
            .arg(largestShownSide);
    k_ = int(k);
    shown_ = QSize(int(width), int(height));
    return {};
}

QPoint MapZoom::cellAt(QPoint pixel) const {
    return mapview::cellAt(pixel, k_);
}

} // namespace lcj::mapview
