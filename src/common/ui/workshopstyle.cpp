#include "workshopstyle.h"

#include <QIconEngine>
#include <QPaintEngine>
#include <QPainter>
#include <QStyleOption>

namespace lcj {

namespace {

// An icon that asks the style for the real one the first time it is drawn or measured.
class LazyIcon : public QIconEngine {
public:
    LazyIcon(const QStyle* style, QStyle::StandardPixmap which) : style_(style), which_(which) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        real().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return real().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        return real().pixmap(size, scale, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return real().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return real().availableSizes(mode, state);
    }
    // Asked before any drawing; these icons are never empty.
    bool isNull() override { return false; }
    QIconEngine* clone() const override { return new LazyIcon(*this); }
    QString key() const override { return QStringLiteral("lcj-lazy"); }

private:
    const QIcon& real() {
        if (real_.isNull())
            real_ = style_->standardIcon(which_);
        return real_;
    }

    const QStyle* style_;
    QStyle::StandardPixmap which_;
    QIcon real_;
};

// How many device rows one band may cover. The raster engine splits a blend
// among its threads from 96 spans on, and a frame's row holds up to three.
constexpr int bandDeviceRows = 24;

// The rows of one band over `rect`, or 0 to draw it in one piece: when it is
// short; when the painter is not Qt's raster engine (a printer, a recording),
// which has no threads to avoid; when it blends in another way than plainly
// over (a picture of a band would then blend as one layer); or when the bands'
// edges would not all fall on whole device pixels (a fractional display scale,
// a turned painter), since neighbouring bands could then share a row and
// blend it twice.
int bandRows(QPainter* painter, const QRect& rect) {
    const QTransform toDevice = painter->deviceTransform();
    const qreal scale = toDevice.m22();
    if (!painter->paintEngine() || painter->paintEngine()->type() != QPaintEngine::Raster ||
        painter->opacity() < 1 ||
        painter->compositionMode() != QPainter::CompositionMode_SourceOver ||
        toDevice.type() > QTransform::TxScale || scale <= 0 ||
        rect.height() * scale <= bandDeviceRows)
        return 0;
    const int rows = qMax(1, int(bandDeviceRows / scale));
    const auto whole = [](qreal y) { return qAbs(y - qRound(y)) < 1e-6; };
    for (int top = rect.top(); top <= rect.bottom(); top += rows)
        if (!whole(toDevice.map(QPointF(0, top)).y()))
            return 0;
    return rows;
}

// Draws `draw` clipped to one band of `rect` after another, top to bottom.
template <typename Draw> void drawInBands(QPainter* painter, const QRect& rect, Draw draw) {
    const int rows = bandRows(painter, rect);
    if (rows == 0) {
        draw();
        return;
    }
    for (int top = rect.top(); top <= rect.bottom(); top += rows) {
        painter->save();
        painter->setClipRect(QRect(rect.left(), top, rect.width(), rows), Qt::IntersectClip);
        draw();
        painter->restore();
    }
}

// Draws `draw(painter)` one band of `rect` at a time into a picture of the band,
// and that picture onto `painter`: for a control whose style sets the clip
// itself. Only for a control that covers its whole rectangle opaquely first,
// so that the picture holds exactly what drawing on the painter would leave.
template <typename Draw> void drawInBandPictures(QPainter* painter, const QRect& rect, Draw draw) {
    const int rows = bandRows(painter, rect);
    const qreal scale = painter->device()->devicePixelRatio();
    const QTransform toDevice = painter->deviceTransform();
    if (rows == 0 || !qFuzzyCompare(toDevice.m11(), scale) ||
        !qFuzzyCompare(toDevice.m22(), scale)) {
        draw(painter);
        return;
    }
    QImage band(QSize(rect.width(), rows) * scale, QImage::Format_ARGB32_Premultiplied);
    band.setDevicePixelRatio(scale);
    for (int top = rect.top(); top <= rect.bottom(); top += rows) {
        band.fill(Qt::transparent);
        QPainter onBand(&band);
        onBand.setRenderHints(painter->renderHints());
        onBand.translate(-rect.left(), -top);
        draw(&onBand);
        onBand.end();
        painter->drawImage(QPoint(rect.left(), top), band);
    }
}

} // namespace

QIcon WorkshopStyle::standardIcon(StandardPixmap which, const QStyleOption* option,
                                  const QWidget* widget) const {
    switch (which) {
    case SP_ToolBarHorizontalExtensionButton:
    case SP_ToolBarVerticalExtensionButton:
    case SP_TitleBarMenuButton:
    case SP_TitleBarMinButton:
    case SP_TitleBarMaxButton:
    case SP_TitleBarNormalButton:
    case SP_TitleBarCloseButton:
    case SP_DockWidgetCloseButton:
    case SP_LineEditClearButton:
        // Every style has these, so the icon is never empty. Every list's filter box has a
        // clear button, shown only once something is typed; every editor's frame has a
        // system menu, shown only when asked for. Reading one of these pictures loads
        // every image format Qt has (libjpeg among them) to find its format.
        return QIcon(new LazyIcon(baseStyle(), which));
    default:
        return QProxyStyle::standardIcon(which, option, widget);
    }
}

// Whether the bands give exactly the pixels of drawing in one piece: known of
// Fusion (the style on Linux, and the tests check it); another style may set
// its own clip inside.
bool WorkshopStyle::drawsInBands() const {
    return baseStyle()->name().compare(QLatin1String("fusion"), Qt::CaseInsensitive) == 0;
}

void WorkshopStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                  QPainter* painter, const QWidget* widget) const {
    if (element != PE_FrameGroupBox || !drawsInBands()) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    drawInBands(painter, option->rect,
                [&] { QProxyStyle::drawPrimitive(element, option, painter, widget); });
}

void WorkshopStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                       QPainter* painter, const QWidget* widget) const {
    const auto draw = [&](QPainter* on) {
        QProxyStyle::drawComplexControl(control, option, on, widget);
    };
    // Only an upright scroll bar. Across a wide one, a rectangle's top edge
    // would run past the band's right side, and Qt's line drawing then draws
    // the rectangle's first corner twice, once for each edge meeting there.
    const auto* bar = qstyleoption_cast<const QStyleOptionSlider*>(option);
    if (control == CC_ScrollBar && bar && bar->orientation == Qt::Vertical && drawsInBands())
        drawInBandPictures(painter, option->rect, draw);
    else
        draw(painter);
}

} // namespace lcj
