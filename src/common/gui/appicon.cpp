#include "appicon.h"

#include <QIconEngine>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPixmapCache>
#include <algorithm>
#include <cmath>

namespace lcj::icons {
namespace {

constexpr QRgb skyTop = 0xff2b4c7e;
constexpr QRgb skyBottom = 0xff1b2a4a;
constexpr QRgb hillBlue = 0xff8fb3d9;
constexpr QRgb riverWhite = 0xffe8eef6;
constexpr QRgb scrollGold = 0xffc8a24a;
constexpr QRgb ink = 0xff1b2a4a;
constexpr QRgb paper = 0xfffdfdfb;
constexpr QRgb paperEdge = 0xff4a5a73;
constexpr QRgb paperFold = 0xffd9e1ec;
constexpr QRgb paperText = 0xff9aa8bc;

int rounded(double v) {
    return int(std::lround(v));
}

// The picture is drawn in the units of the svg: 256 wide, the sky square from
// 8 to 248. A Grid maps those units onto the pixels of the sky square drawn.
struct Grid {
    double left;
    double top;
    double scale;
    double x(double u) const { return left + (u - 8) * scale; }
    double y(double u) const { return top + (u - 8) * scale; }
    int px(double u) const { return rounded(x(u)); }
    int py(double u) const { return rounded(y(u)); }
};

// The border around the sky square. The smallest sizes use every pixel.
int skyMargin(int side) {
    return side <= 20 ? 0 : std::max(1, rounded(side * 8.0 / 256));
}

void paintSky(QPainter& p, const QRect& sky) {
    QLinearGradient gradient(QPointF(0, sky.top()), QPointF(0, sky.bottom() + 1));
    gradient.setColorAt(0, QColor(skyTop));
    gradient.setColorAt(1, QColor(skyBottom));
    const double radius = sky.width() * 36.0 / 240;
    p.setBrush(gradient);
    p.drawRoundedRect(QRectF(sky), radius, radius);
}

void paintHills(QPainter& p, const Grid& g, const QRect& sky) {
    const int foot = g.py(176);
    const QColor blue(hillBlue);
    if (sky.width() < 12) {
        // A picture of a few pixels (on a page): one hill in steps of a pixel.
        const int apex = g.py(92);
        const int middle = sky.left() + sky.width() / 2;
        for (int y = apex; y < foot; ++y) {
            const int reach = y - apex;
            const int from = std::max(sky.left(), middle - 1 - reach + sky.width() % 2);
            const int to = std::min(sky.right(), middle + reach);
            p.fillRect(QRect(from, y, to - from + 1, 1), blue);
        }
        return;
    }
    // The foot on a pixel row, each peak on the middle of a pixel column.
    auto peak = [&](double x, double y) { return QPointF(std::floor(g.x(x)) + 0.5, g.py(y)); };
    const QPolygonF hills{QPointF(g.px(28), foot), peak(92, 92), peak(128, 140), peak(160, 104),
                          QPointF(g.px(228), foot)};
    p.setBrush(blue);
    p.drawPolygon(hills);
}

// The river's banks in units: each a run of two cubic curves from left to right.
struct Cubic {
    QPointF a, b, c, d;
    QPointF at(double t) const {
        const double u = 1 - t;
        return u * u * u * a + 3 * u * u * t * b + 3 * u * t * t * c + t * t * t * d;
    }
};
constexpr double riverLeft = 28;
constexpr double riverRight = 228;
const Cubic upperBank[2] = {{{28, 196}, {72, 176}, {104, 216}, {148, 196}},
                            {{148, 196}, {184, 180}, {208, 196}, {228, 190}}};
const Cubic lowerBank[2] = {{{28, 216}, {72, 198}, {104, 236}, {148, 218}},
                            {{148, 218}, {184, 204}, {208, 220}, {228, 212}}};

// The height of a bank at `x` units (its curves' x grows with t).
double bankAt(const Cubic (&bank)[2], double x) {
    const Cubic& curve = x < bank[1].a.x() ? bank[0] : bank[1];
    double low = 0;
    double high = 1;
    for (int i = 0; i < 30; ++i) {
        const double mid = (low + high) / 2;
        (curve.at(mid).x() < x ? low : high) = mid;
    }
    return curve.at((low + high) / 2).y();
}

void paintRiver(QPainter& p, const Grid& g, int skySide) {
    const QColor white(riverWhite);
    const int left = g.px(riverLeft);
    const int right = g.px(riverRight);
    if (skySide < 30) {
        // Its bends would be a blur of half pixels: a straight band on whole pixels.
        const int thickness = std::max(skySide < 12 ? 1 : 2, rounded(20 * g.scale));
        const int top = rounded(g.y(205) - thickness / 2.0);
        p.fillRect(QRect(left, top, right - left, thickness), white);
        return;
    }
    if (skySide < 64) {
        // A band of even width whose bends step by whole pixels, column by column.
        const int thickness = rounded(20 * g.scale);
        for (int x = left; x < right; ++x) {
            const double u = std::clamp(8 + (x + 0.5 - g.left) / g.scale, riverLeft, riverRight);
            const double middle = (bankAt(upperBank, u) + bankAt(lowerBank, u)) / 2;
            p.fillRect(QRect(x, rounded(g.y(middle) - thickness / 2.0), 1, thickness), white);
        }
        return;
    }
    QPainterPath river;
    river.moveTo(upperBank[0].a);
    for (const Cubic& c : upperBank)
        river.cubicTo(c.b, c.c, c.d);
    river.lineTo(lowerBank[1].d);
    for (int i = 1; i >= 0; --i)
        river.cubicTo(lowerBank[i].c, lowerBank[i].b, lowerBank[i].a);
    river.closeSubpath();
    const QTransform units =
        QTransform::fromTranslate(g.left, g.top).scale(g.scale, g.scale).translate(-8, -8);
    p.setBrush(white);
    p.drawPath(units.map(river));
}

void paintScroll(QPainter& p, const Grid& g) {
    const QRect scroll(QPoint(g.px(96), g.py(40)), QPoint(g.px(160) - 1, g.py(80) - 1));
    const double radius = 6 * g.scale;
    if (radius >= 1.5) {
        p.setBrush(QColor(scrollGold));
        p.drawRoundedRect(QRectF(scroll), radius, radius);
    } else {
        p.fillRect(scroll, QColor(scrollGold));
    }
    // Its lines of writing: three as drawn where they fit with a pixel of gold
    // between them, else as many as fit, in the middle of the scroll.
    const int thick = std::max(1, rounded(6 * g.scale));
    const int heights[3] = {thick, thick, std::max(1, rounded(4 * g.scale))};
    const int gap = thick;
    const int padTop = std::max(1, rounded(8 * g.scale));
    const int padBottom = std::max(1, rounded(4 * g.scale));
    const int room = scroll.height() - padTop - padBottom;
    int lines = 3;
    auto blockOf = [&](int count) {
        int block = (count - 1) * gap;
        for (int i = 0; i < count; ++i)
            block += heights[i];
        return block;
    };
    while (lines > 0 && blockOf(lines) > room)
        --lines;
    if (lines == 0)
        return;
    int y =
        lines == 3 ? scroll.top() + padTop : scroll.top() + (scroll.height() - blockOf(lines)) / 2;
    const int left = std::max(g.px(104), scroll.left() + 1);
    for (int i = 0; i < lines; ++i) {
        const int right = std::min(g.px(i == 2 ? 136 : 152), scroll.right());
        p.fillRect(QRect(left, y, right - left, heights[i]), QColor(ink));
        y += heights[i] + gap;
    }
}

// The application's picture in the square `area` (whole pixels).
void paintPicture(QPainter& p, const QRect& area) {
    const int margin = skyMargin(area.width());
    const QRect sky = area.adjusted(margin, margin, -margin, -margin);
    const Grid g{double(sky.left()), double(sky.top()), sky.width() / 240.0};
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    paintSky(p, sky);
    paintHills(p, g, sky);
    paintRiver(p, g, sky.width());
    paintScroll(p, g);
    p.restore();
}

// A page of one pixel's outline, pixel by pixel: the fold's diagonal on whole
// pixels as a pen would blur it. The fold is the square of `fold` pixels at the
// top right: above its diagonal nothing, below it the turned-down corner.
void paintPagePixels(QPainter& p, const QRect& page, int fold) {
    const QColor edge(paperEdge);
    const int foldLeft = page.right() + 1 - fold;
    p.fillRect(
        QRect(page.left() + 1, page.top() + 1, foldLeft - page.left() - 1, page.height() - 2),
        QColor(paper));
    p.fillRect(QRect(foldLeft, page.top() + fold, fold - 1, page.height() - fold - 1),
               QColor(paper));
    p.fillRect(QRect(page.left(), page.top(), foldLeft - page.left(), 1), edge);
    p.fillRect(QRect(page.left(), page.top(), 1, page.height()), edge);
    p.fillRect(QRect(page.left(), page.bottom(), page.width(), 1), edge);
    p.fillRect(QRect(page.right(), page.top() + fold - 1, 1, page.height() - fold + 1), edge);
    for (int j = 0; j < fold; ++j) {
        const int y = page.top() + j;
        p.fillRect(QRect(foldLeft, y, 1, 1), edge);     // the fold's upright edge
        p.fillRect(QRect(foldLeft + j, y, 1, 1), edge); // the diagonal
        if (j == fold - 1)
            p.fillRect(QRect(foldLeft, y, fold, 1), edge); // the fold's lower edge
        else if (j > 1)
            p.fillRect(QRect(foldLeft + 1, y, j - 1, 1), QColor(paperFold));
    }
}

// A page of a thicker outline, drawn as shapes.
void paintPageShape(QPainter& p, const QRect& page, int fold, int edge) {
    const double e = edge / 2.0;
    const double left = page.left();
    const double top = page.top();
    const double right = page.right() + 1;
    const double bottom = page.bottom() + 1;
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(paperEdge), edge, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    p.setBrush(QColor(paper));
    p.drawPolygon(QPolygonF{QPointF(left + e, top + e), QPointF(right - fold, top + e),
                            QPointF(right - e, top + fold), QPointF(right - e, bottom - e),
                            QPointF(left + e, bottom - e)});
    p.setBrush(QColor(paperFold));
    p.drawPolygon(QPolygonF{QPointF(right - fold, top + e), QPointF(right - fold, top + fold),
                            QPointF(right - e, top + fold)});
    p.restore();
}

void paintPatch(QPainter& p, int side) {
    const int left = rounded(side * 36.0 / 256);
    const int right = side - left;
    const int top = side <= 24 ? 0 : std::max(1, rounded(side * 8.0 / 256));
    const int bottom = side - top;
    const int fold = rounded(side * 56.0 / 256);
    const int edge = std::max(1, side / 48);
    const int gap = std::max(1, rounded(side * 12.0 / 256));

    if (edge == 1)
        paintPagePixels(p, QRect(left, top, right - left, bottom - top), fold);
    else
        paintPageShape(p, QRect(left, top, right - left, bottom - top), fold, edge);

    // The picture at the foot of the page, lines of writing above it.
    const int inner = left + edge + gap;
    const int picture = right - left - 2 * (edge + gap);
    const int pictureTop = bottom - edge - gap - picture;
    paintPicture(p, QRect(inner, pictureTop, picture, picture));
    const int line = std::max(1, rounded(side * 8.0 / 256));
    for (int y = top + edge + gap; y + line <= pictureTop - gap; y += 2 * line) {
        const int end = y < top + fold + gap ? right - fold - gap : right - edge - gap;
        if (end > inner)
            p.fillRect(QRect(inner, y, end - inner, line), QColor(paperText));
    }
}

QImage blank(int side) {
    QImage image(std::max(side, 0), std::max(side, 0), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// A disabled icon: grey and faint, as the system greys a disabled command's.
QImage greyed(QImage image) {
    image = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int grey = 128 + qGray(row[x]) / 2;
            row[x] = qRgba(grey, grey, grey, qAlpha(row[x]) / 2);
        }
    }
    return image;
}

// Draws the picture for every size asked, in device pixels.
class DrawnIconEngine final : public QIconEngine {
public:
    using Draw = QImage (*)(int);
    DrawnIconEngine(Draw draw, QString name) : draw_(draw), name_(std::move(name)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatio() : 1.0;
        const int side = std::min(rect.width(), rect.height());
        QPixmap pixmap = scaledPixmap(QSize(side, side) * ratio, mode, state, ratio);
        pixmap.setDevicePixelRatio(ratio);
        const QSizeF drawn = QSizeF(pixmap.size()) / ratio;
        const QPointF corner(rect.x() + (rect.width() - drawn.width()) / 2,
                             rect.y() + (rect.height() - drawn.height()) / 2);
        painter->drawPixmap(corner, pixmap);
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
        const int side = std::min(size.width(), size.height());
        return QSize(side, side);
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return scaledPixmap(size, mode, state, 1.0);
    }

    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State, qreal) override {
        const int side = std::min(size.width(), size.height());
        if (side <= 0)
            return {};
        const bool disabled = mode == QIcon::Disabled;
        const QString key = QStringLiteral("lcjicon/%1/%2/%3").arg(name_).arg(disabled).arg(side);
        QPixmap pixmap;
        if (QPixmapCache::find(key, &pixmap))
            return pixmap;
        const QImage image = draw_(side);
        pixmap = QPixmap::fromImage(disabled ? greyed(image) : image);
        QPixmapCache::insert(key, pixmap);
        return pixmap;
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        QList<QSize> sizes;
        for (int side : iconFileSizes())
            sizes << QSize(side, side);
        return sizes;
    }

    QString key() const override { return QStringLiteral("lcjdrawn"); }
    QString iconName() override { return name_; }
    bool isNull() override { return false; }
    QIconEngine* clone() const override { return new DrawnIconEngine(draw_, name_); }

private:
    Draw draw_;
    QString name_;
};

} // namespace

QImage drawAppIcon(int size) {
    QImage image = blank(size);
    if (image.isNull())
        return image;
    QPainter p(&image);
    paintPicture(p, image.rect());
    return image;
}

QImage drawPatchIcon(int size) {
    QImage image = blank(size);
    if (image.isNull())
        return image;
    QPainter p(&image);
    paintPatch(p, size);
    return image;
}

void paintLandscape(QPainter& p, const QRectF& area) {
    const double w = area.width();
    const double h = area.height();
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(area.topLeft());
    QLinearGradient sky(0, 0, 0, h);
    sky.setColorAt(0, QColor(0xcf, 0xe3, 0xf5));
    sky.setColorAt(1, QColor(0xf6, 0xf0, 0xe0));
    p.fillRect(QRectF(0, 0, w, h), sky);
    const QColor hills[] = {QColor(0x9d, 0xb7, 0xc9), QColor(0x7a, 0x99, 0xad),
                            QColor(0x58, 0x78, 0x8c)};
    for (int layer = 0; layer < 3; ++layer) {
        QPainterPath path;
        const double base = h * (0.62 + 0.1 * layer);
        path.moveTo(0, h);
        path.lineTo(0, base);
        const int steps = 8;
        for (int i = 1; i <= steps; ++i) {
            const double x = w * i / double(steps);
            const double peak = base - h * (0.08 + 0.05 * ((i * (layer + 3)) % 4));
            path.quadTo(x - w / (2.0 * steps), peak, x, base);
        }
        path.lineTo(w, h);
        path.closeSubpath();
        p.fillPath(path, hills[layer]);
    }
    p.setPen(QPen(QColor(0xe8, 0xf1, 0xf8), 3));
    p.drawLine(QPointF(0, h * 0.95), QPointF(w, h * 0.9));
    p.restore();
}

QSize setupPictureSize(int scale) {
    return scale < 1 ? QSize() : QSize(164 * scale, 314 * scale);
}

QImage drawSetupPicture(int scale) {
    const QSize size = setupPictureSize(scale);
    if (size.isEmpty())
        return {};
    QImage image(size, QImage::Format_RGB32);
    QPainter p(&image);
    paintLandscape(p, QRectF(image.rect()));
    // The icon in the sky, over the hills' tops (they start at 0.37 of the height).
    const int side = 112 * scale;
    const QImage icon = drawAppIcon(side);
    p.drawImage(QPoint((size.width() - side) / 2, 56 * scale), icon);
    p.end();
    return image;
}

QIcon appIcon() {
    return QIcon(new DrawnIconEngine(drawAppIcon, QStringLiteral("lcjworkshop")));
}

QIcon patchIcon() {
    return QIcon(new DrawnIconEngine(drawPatchIcon, QStringLiteral("lcjpatch")));
}

QList<int> iconFileSizes() {
    return {16, 20, 24, 32, 40, 48, 64, 256};
}

} // namespace lcj::icons
