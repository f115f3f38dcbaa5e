#include "picgen.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <cstdlib>

// The sixteen attack-range shapes: a 9 × 9 grid around the unit in the middle,
// the cells it reaches shaded. The shapes are our own reading of their names.
namespace {

constexpr int radius = 4;
constexpr int cell = 12;
constexpr int side = 120;
constexpr int margin = (side - (2 * radius + 1) * cell) / 2;

// True when a unit of shape `shape` reaches the cell (dx, dy) from its own.
bool reaches(int shape, int dx, int dy) {
    const int manhattan = std::abs(dx) + std::abs(dy);
    const int chebyshev = std::max(std::abs(dx), std::abs(dy));
    const bool straight = dx == 0 || dy == 0;
    if (manhattan == 0)
        return false;
    switch (shape) {
    case 0: // 群雄 轻骑兵等: the four neighbours
        return manhattan == 1;
    case 1: // 步兵等: the eight neighbours
        return chebyshev == 1;
    case 2: // 弓兵 弩骑兵: two steps away
        return manhattan == 2;
    case 3: // 弩兵等: two or three steps away
        return manhattan == 2 || manhattan == 3;
    case 4: // 连弩兵: up to two steps
        return manhattan <= 2;
    case 5: // 爆炎时的攻击范围: a cross two cells long
        return straight && manhattan <= 2;
    case 6:    // 没羽箭(方块延伸1): the square around the unit, its sides extended by one
    case 12:   // 大没羽箭(方块延伸2)
    case 13: { // 大大没羽箭(方块延伸3)
        const int extension = shape == 6 ? 1 : (shape == 12 ? 2 : 3);
        return chebyshev == 1 || (straight && manhattan <= 1 + extension);
    }
    case 7: // 轻炮车: three steps away, or two straight ahead
        return manhattan == 3 || (straight && manhattan == 2);
    case 8: // 霹雳车: two to four steps away
        return manhattan >= 2 && manhattan <= 4;
    case 9: // 弓骑兵: the neighbours' diagonals and two steps straight
        return chebyshev == 1 ? !straight : (straight && manhattan == 2);
    case 10: // 全屏幕: everywhere
        return true;
    case 11: // 皇帝 无攻击: nowhere
        return false;
    case 14: // 比较特殊的形状: a knight's leaps and the diagonals
        return (std::abs(dx) == 1 && std::abs(dy) == 2) ||
               (std::abs(dx) == 2 && std::abs(dy) == 1) || (chebyshev == 1 && !straight);
    case 15: // 大方块: the 5 × 5 square
        return chebyshev <= 2;
    }
    return false;
}

QImage drawShape(int shape) {
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(QColor(236, 228, 204));
    QPainter p(&image);
    for (int y = -radius; y <= radius; ++y)
        for (int x = -radius; x <= radius; ++x) {
            const QRect r(margin + (x + radius) * cell, margin + (y + radius) * cell, cell, cell);
            QColor fill(250, 246, 232);
            if (x == 0 && y == 0)
                fill = QColor(40, 80, 170);
            else if (reaches(shape, x, y))
                fill = QColor(200, 50, 40);
            p.fillRect(r, fill);
            p.setPen(QColor(120, 110, 90));
            p.drawRect(r.adjusted(0, 0, -1, -1));
        }
    // The unit: a small white figure in the middle cell.
    const QPoint centre(side / 2, side / 2);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(centre + QPoint(0, -2), 2, 2);
    p.drawRect(centre.x() - 2, centre.y() + 1, 5, 3);
    return image;
}

bool drawAttackRanges(const QDir& folder) {
    for (int shape = 0; shape < 16; ++shape)
        if (!drawShape(shape).save(folder.filePath(QStringLiteral("攻击范围%1.jpg").arg(shape)),
                                   "JPG", 95))
            return false;
    return true;
}

const bool registered = lcj::pictures::add(u"攻击范围", &drawAttackRanges);

} // namespace
