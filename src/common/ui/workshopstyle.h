#pragma once

#include <QProxyStyle>

namespace lcj {

// The program's style: the platform's, with two changes that only make it quicker.
// - The icons Qt gives a menu bar and a dock panel when they are built are
//   read from their pictures only when first drawn. Reading a picture makes Qt
//   look through every picture-format plugin first, and at start none of these
//   icons is shown.
// - Over Fusion, a group box's frame and an upright scroll bar are drawn in
//   bands a few rows high, with exactly the same pixels. Qt's raster engine
//   hands every blend of about a hundred rows or more to its thread pool and
//   sleeps until the pool is done; for a thin frame the hand-over costs more
//   than the drawing, and far more on a busy machine. A band that short is
//   blended on the GUI thread.
class WorkshopStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    QIcon standardIcon(StandardPixmap which, const QStyleOption* option,
                       const QWidget* widget) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget) const override;

private:
    bool drawsInBands() const;
};

} // namespace lcj
