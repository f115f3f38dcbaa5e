#include "mapimage.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <cmath>

namespace lcj::mapview {

MapImage::MapImage(QWidget* parent) : QLabel(parent) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void MapImage::paintEvent(QPaintEvent* event) {
    const QPixmap picture = pixmap();
    if (picture.isNull() || width() <= 0 || height() <= 0)
        return;
    const double sx = double(width()) / picture.width();
    const double sy = double(height()) / picture.height();
    // The picture pixels that cover the exposed part, whole pixels only.
    const QRect exposed = event->rect() & rect();
    const int left = int(exposed.left() / sx);
    const int top = int(exposed.top() / sy);
    const int right = qMin(picture.width(), int((exposed.right() + 1) / sx) + 1);
    const int bottom = qMin(picture.height(), int((exposed.bottom() + 1) / sy) + 1);
    if (right <= left || bottom <= top)
        return;
    const QRect source(left, top, right - left, bottom - top);
    const QRectF target(left * sx, top * sy, source.width() * sx, source.height() * sy);
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawPixmap(target, picture, QRectF(source));
}

void MapImage::mouseMoveEvent(QMouseEvent* event) {
    const QPointF at = event->position();
    emit pointerMoved(QPoint(int(std::floor(at.x())), int(std::floor(at.y()))));
    QLabel::mouseMoveEvent(event);
}

} // namespace lcj::mapview
