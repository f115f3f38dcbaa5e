#include "battlepainter.h"

#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>
#include <cmath>

namespace lcj::scenario {

namespace {

double haloWidth(const QFontMetricsF& metrics) {
    return qMax(2.0, metrics.height() / 6);
}

QPointF cellCentre(QPoint cell, int k) {
    return QPointF((cell.x() + 0.5) * k, (cell.y() + 0.5) * k);
}

void paintArrow(QPainter& p, QPointF from, QPointF to, const QColor& colour, int k) {
    const double width = qMax(1.0, k / 9.0);
    QPen pen(colour, width, Qt::DashLine);
    pen.setCapStyle(Qt::FlatCap);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawLine(from, to);
    const QLineF line(from, to);
    if (line.length() < 1)
        return;
    // The head: a filled triangle whose tip stands on the target cell's centre.
    const double head = qMax(4.0, k * 0.45);
    const double angle = qDegreesToRadians(line.angle());
    const QPointF back(-std::cos(angle) * head, std::sin(angle) * head);
    const QPointF side(std::sin(angle) * head * 0.5, std::cos(angle) * head * 0.5);
    QPainterPath path;
    path.moveTo(to);
    path.lineTo(to + back + side);
    path.lineTo(to + back - side);
    path.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPath(path);
}

void strokeLabel(QPainter& p, const QPainterPath& path, const QColor& fill, const QColor& halo,
                 double haloWidth) {
    p.setPen(QPen(halo, haloWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawPath(path);
}

// A label drawn once: the outlined digits over a clear ground, and where its top left
// stands from the text's origin, in whole pixels.
struct DrawnLabel {
    QImage image;
    QPoint offset;
};

// Outlining a number costs the font's hinting program and a stroke: about a quarter of a
// millisecond a marker, most of the map's drawing. A map shows few different labels, so
// each is drawn once into a picture and copied from then on.
const DrawnLabel& drawnLabel(const QFont& font, const QString& text, const QColor& fill,
                             const QColor& halo, double haloWidth, qreal ratio) {
    static QHash<QString, DrawnLabel> drawn;
    const QString key = font.key() + QLatin1Char('|') + text + QLatin1Char('|') +
                        QString::number(fill.rgba()) + QLatin1Char('|') +
                        QString::number(halo.rgba()) + QLatin1Char('|') +
                        QString::number(haloWidth) + QLatin1Char('|') + QString::number(ratio);
    if (auto it = drawn.constFind(key); it != drawn.cend())
        return *it;
    if (drawn.size() > 1000)
        drawn.clear();
    QPainterPath path;
    path.addText(0, 0, font, text);
    const int margin = int(std::ceil(haloWidth / 2)) + 1;
    const QRect box =
        path.boundingRect().toAlignedRect().adjusted(-margin, -margin, margin, margin);
    DrawnLabel label{QImage(box.size() * ratio, QImage::Format_ARGB32_Premultiplied),
                     box.topLeft()};
    label.image.setDevicePixelRatio(ratio);
    label.image.fill(Qt::transparent);
    QPainter p(&label.image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.translate(-box.topLeft());
    strokeLabel(p, path, fill, halo, haloWidth);
    p.end();
    return *drawn.insert(key, std::move(label));
}

// The number over a marker, in its label font, filled in one colour inside a halo of a
// contrasting one, so that it reads on any colour of the map and over its neighbours.
void paintLabel(QPainter& p, const BattleUnit& u, const QRectF& marker) {
    const QColor colour = unitColour(u.kind);
    const QFont font = labelFont(p.font(), marker);
    const QFontMetricsF metrics(font);
    const QString text = QString::number(u.number());
    const QPointF centre = marker.center();
    const QPointF origin(centre.x() - metrics.horizontalAdvance(text) / 2,
                         centre.y() + (metrics.ascent() - metrics.descent()) / 2);
    const QColor fill = u.fromStart ? QColor(Qt::white) : colour.darker(130);
    const QColor halo = u.fromStart ? colour.darker(170) : QColor(Qt::white);
    const double width = haloWidth(metrics);
    if (p.transform().type() > QTransform::TxTranslate) {
        // Scaled or turned: a copied picture would blur, so the outline is drawn itself.
        QPainterPath path;
        path.addText(origin, font, text);
        strokeLabel(p, path, fill, halo, width);
        return;
    }
    const DrawnLabel& label =
        drawnLabel(font, text, fill, halo, width, p.device()->devicePixelRatioF());
    p.drawImage(QPoint(qRound(origin.x()), qRound(origin.y())) + label.offset, label.image);
}

void paintMarker(QPainter& p, const BattleUnit& u, const QRectF& r, bool selected) {
    const QColor colour = unitColour(u.kind);
    const double edge = qMax(1.0, r.width() / 8);
    if (u.fromStart) {
        p.setPen(QPen(Qt::white, qMax(1.0, edge / 2)));
        p.setBrush(colour);
    } else {
        // Enters later: a ring in the kind's colour.
        p.setPen(QPen(colour, edge * 1.5));
        p.setBrush(QColor(255, 255, 255, 170));
    }
    p.drawEllipse(r.adjusted(edge / 2, edge / 2, -edge / 2, -edge / 2));
    paintLabel(p, u, r);
    if (selected) {
        p.setPen(QPen(QColor(255, 220, 0), qMax(2.0, edge)));
        p.setBrush(Qt::NoBrush);
        p.drawRect(r.adjusted(-1, -1, 1, 1));
    }
}

} // namespace

QColor unitColour(UnitKind kind) {
    switch (kind) {
    case UnitKind::Army:
        return QColor(30, 90, 220);
    case UnitKind::Ally:
        return QColor(20, 150, 60);
    case UnitKind::Enemy:
        break;
    }
    return QColor(210, 30, 30);
}

QFont labelFont(const QFont& font, const QRectF& marker) {
    QFont label = font;
    label.setBold(true);
    // Never below the text's own size, however small the marker; on a large
    // marker the number grows to some 60 % of its height.
    const double room = marker.height() * 0.6;
    const double height = QFontMetricsF(label).height();
    if (height > 0 && height < room) {
        if (label.pointSizeF() > 0)
            label.setPointSizeF(label.pointSizeF() * room / height);
        else
            label.setPixelSize(qRound(label.pixelSize() * room / height));
    }
    return label;
}

QRectF labelRect(const BattleUnit& unit, const QRectF& marker, const QFont& font) {
    const QFontMetricsF metrics(labelFont(font, marker));
    const double halo = haloWidth(metrics);
    QRectF box(0, 0, metrics.horizontalAdvance(QString::number(unit.number())) + halo,
               metrics.height() + halo);
    box.moveCenter(marker.center());
    return box;
}

QRectF markerRect(const BattleUnit& unit, const QRectF& place, int k) {
    return QRectF((unit.cell.x() + place.x()) * k, (unit.cell.y() + place.y()) * k,
                  place.width() * k, place.height() * k);
}

void paintUnits(QPainter& p, const QList<BattleUnit>& units, const QList<QRectF>& places, int k,
                const QRect& exposed, int selected) {
    p.setRenderHint(QPainter::Antialiasing, true);
    // A label reaches past its marker: markers that far outside are drawn too.
    const double reach = k + 2 * QFontMetricsF(labelFont(p.font(), {})).height();
    const QRectF area = QRectF(exposed).adjusted(-reach, -reach, reach, reach);
    for (const BattleUnit& u : units) {
        if (!u.runTo)
            continue;
        const QPointF from = cellCentre(u.cell, k), to = cellCentre(*u.runTo, k);
        if (QRectF(from, to)
                .normalized()
                .adjusted(-k, -k, k, k)
                .intersects(QRectF(exposed).adjusted(-k, -k, k, k)))
            paintArrow(p, from, to, unitColour(u.kind), k);
    }
    for (qsizetype i = 0; i < units.size(); ++i) {
        const QRectF r = markerRect(units[i], places[i], k);
        if (r.intersects(area))
            paintMarker(p, units[i], r, i == selected);
    }
}

QImage battlePicture(const QImage& map, const QList<BattleUnit>& units, int factor,
                     const QStringList& people) {
    const int k = 6 * factor;
    const QSize shown = map.size() * factor;
    QFont font;
    font.setPixelSize(14);
    const QFontMetrics metrics(font);
    const int line = metrics.height() + 6;
    const int width = qMax(shown.width(), 420);
    const QString note = offMapNote(units, map.size(), people);
    const QRect noteBox = note.isEmpty() ? QRect()
                                         : metrics.boundingRect(QRect(0, 0, width - 16, 100000),
                                                                Qt::TextWordWrap, note);
    const int legendHeight = 2 * line + 12 + (note.isEmpty() ? 0 : noteBox.height() + 6);

    QImage out(width, shown.height() + legendHeight, QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter p(&out);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    p.drawImage(QRect(QPoint(0, 0), shown), map);
    paintUnits(p, units, markerPlaces(units), k, QRect(QPoint(0, 0), shown), -1);

    // The legend: one sample marker per kind, a hollow one, an arrow.
    p.setFont(font);
    int x = 8;
    const int y = shown.height() + 6;
    const int m = line - 4;
    auto sample = [&](UnitKind kind, bool fromStart, const QString& text) {
        BattleUnit u;
        u.kind = kind;
        u.fromStart = fromStart;
        paintMarker(p, u, QRectF(x, y, m, m), false);
        p.setFont(font);
        p.setPen(Qt::black);
        p.drawText(QRect(x + m + 4, y, 200, m), Qt::AlignVCenter, text);
        x += m + 12 + metrics.horizontalAdvance(text);
    };
    sample(UnitKind::Army, true, kindName(UnitKind::Army));
    sample(UnitKind::Ally, true, kindName(UnitKind::Ally));
    sample(UnitKind::Enemy, true, kindName(UnitKind::Enemy));
    sample(UnitKind::Enemy, false, QStringLiteral("非初始登场"));
    paintArrow(p, QPointF(x, y + m / 2.0), QPointF(x + 3 * m, y + m / 2.0),
               unitColour(UnitKind::Enemy), m);
    x += 3 * m + 6;
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(QRect(x, y, 200, m), Qt::AlignVCenter, QStringLiteral("奔向某坐标"));
    p.drawText(QRect(8, y + line, width - 16, m), Qt::AlignVCenter,
               QStringLiteral("数字为列表中的序号；一格 = 地图图片的6×6像素，横坐标向右、纵坐标向下"
                              "从0数起"));
    if (!note.isEmpty())
        p.drawText(QRect(8, y + 2 * line + 4, width - 16, noteBox.height()), Qt::TextWordWrap,
                   note);
    return out;
}

} // namespace lcj::scenario
