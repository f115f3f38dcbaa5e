#include "picgen.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

// The figure previews x0.jpg .. x29.jpg of the program-file editor: a small
// standing warrior for each of the thirty particular figures. The colour of
// the robe, the headgear and the weapon in hand vary with the figure number.
namespace {

constexpr int width = 96;
constexpr int height = 112;

void drawWeapon(QPainter& p, int kind, const QColor& metal) {
    p.setPen(QPen(QColor(90, 60, 30), 3, Qt::SolidLine, Qt::RoundCap));
    switch (kind) {
    case 0: // sword
        p.setPen(QPen(metal, 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(70, 58, 84, 24);
        p.setPen(QPen(QColor(90, 60, 30), 4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(66, 56, 76, 60);
        break;
    case 1: // spear
        p.drawLine(74, 100, 80, 14);
        p.setBrush(metal);
        p.setPen(Qt::NoPen);
        p.drawPolygon(QPolygon({QPoint(80, 4), QPoint(84, 18), QPoint(76, 18)}));
        break;
    case 2: // bow
        p.setPen(QPen(QColor(120, 70, 20), 3));
        p.drawArc(QRect(62, 24, 26, 60), -90 * 16, 180 * 16);
        p.setPen(QPen(QColor(230, 230, 230), 1));
        p.drawLine(75, 24, 75, 84);
        break;
    case 3: // staff with an orb
        p.drawLine(76, 100, 76, 22);
        p.setBrush(metal);
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPoint(76, 18), 6, 6);
        break;
    default: // fan
        p.setBrush(QColor(240, 235, 215));
        p.setPen(QPen(QColor(120, 90, 50), 1));
        p.drawPie(QRect(60, 30, 36, 36), 30 * 16, 120 * 16);
        break;
    }
}

void drawHeadgear(QPainter& p, int kind, const QColor& colour) {
    p.setBrush(colour);
    p.setPen(Qt::NoPen);
    switch (kind) {
    case 0: // helmet with a plume
        p.drawChord(QRect(34, 12, 28, 24), 0, 180 * 16);
        p.setBrush(QColor(200, 30, 30));
        p.drawEllipse(QRect(45, 4, 6, 10));
        break;
    case 1: // scholar's cap
        p.drawRect(QRect(38, 10, 20, 10));
        p.drawRect(QRect(34, 18, 28, 4));
        break;
    case 2: // headband
        p.drawRect(QRect(35, 18, 26, 5));
        p.drawPolygon(QPolygon({QPoint(60, 20), QPoint(70, 26), QPoint(66, 18)}));
        break;
    case 3: // crown
        p.drawPolygon(QPolygon({QPoint(36, 20), QPoint(36, 8), QPoint(42, 14), QPoint(48, 6),
                                QPoint(54, 14), QPoint(60, 8), QPoint(60, 20)}));
        break;
    default: // topknot
        p.drawEllipse(QRect(43, 6, 10, 10));
        break;
    }
}

QImage drawFigure(int n) {
    QImage image(width, height, QImage::Format_RGB32);
    const QColor robe = QColor::fromHsv((n * 37) % 360, 150, 200);
    const QColor trim = QColor::fromHsv((n * 37 + 180) % 360, 120, 140);
    image.fill(QColor::fromHsv((n * 37) % 360, 25, 245));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    // Ground and shadow.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 40));
    p.drawEllipse(QRect(26, 98, 44, 8));
    // Legs and boots.
    p.setBrush(QColor(60, 50, 40));
    p.drawRect(QRect(38, 78, 8, 22));
    p.drawRect(QRect(50, 78, 8, 22));
    // Robe.
    QPainterPath body;
    body.moveTo(36, 38);
    body.lineTo(60, 38);
    body.lineTo(66 + n % 4, 84);
    body.lineTo(30 - n % 4, 84);
    body.closeSubpath();
    p.setBrush(robe);
    p.drawPath(body);
    p.setBrush(trim);
    p.drawRect(QRect(36, 58, 24, 5));
    // Arms.
    p.setPen(QPen(robe.darker(120), 7, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(38, 42, 28, 62);
    p.drawLine(58, 42, 70, 56);
    // Head.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(240, 205, 170));
    p.drawEllipse(QRect(37, 16, 22, 24));
    p.setBrush(QColor(40, 30, 30));
    p.drawEllipse(QRect(43, 26, 3, 3));
    p.drawEllipse(QRect(51, 26, 3, 3));

    drawHeadgear(p, n / 6 % 5, trim.darker(130));
    drawWeapon(p, n % 5, QColor(190, 195, 205));
    // A frame, thicker for every tenth figure.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(trim, 1 + n / 10));
    p.drawRect(QRect(1, 1, width - 3, height - 3));
    return image;
}

bool drawFigures(const QDir& folder) {
    for (int n = 0; n < 30; ++n)
        if (!drawFigure(n).save(folder.filePath(QStringLiteral("x%1.jpg").arg(n)), "JPG", 90))
            return false;
    return true;
}

const bool registered = lcj::pictures::add(u"形象", &drawFigures);

} // namespace
