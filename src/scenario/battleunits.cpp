#include "battleunits.h"

#include "common/bytes.h"

#include <QHash>
#include <cmath>

namespace lcj::scenario {

namespace {

constexpr int cellPixels = 6;

int number(const QString& text) {
    return text.toInt();
}

BattleUnit slotUnit(const ScenarioDocument& doc, Side side, int k) {
    const SlotForm form = doc.showSlot(side, k);
    BattleUnit u;
    u.kind = side == Side::Ally ? UnitKind::Ally : UnitKind::Enemy;
    u.index = k;
    u.cell = QPoint(number(form.x), number(form.y));
    u.facing = number(form.facing);
    u.fromStart = form.appearance == Appearance::Initial;
    u.character = number(form.character);
    u.levelBonus = form.levelBonus;
    u.tendency = number(form.tendency);
    u.follow = number(form.follow);
    if (u.tendency == runToTendency)
        u.runTo = QPoint(number(form.runX), number(form.runY));
    return u;
}

QString facingName(int facing) {
    static const QString names[4] = {QStringLiteral("向上"), QStringLiteral("向右"),
                                     QStringLiteral("向下"), QStringLiteral("向左")};
    return facing >= 0 && facing < 4 ? names[facing] : QString::number(facing);
}

// The labels of the frame "行动趋向说明".
QString tendencyName(const BattleUnit& u) {
    switch (u.tendency) {
    case 0:
        return QStringLiteral("00 若一回合内能攻击，则移动，否则原地不动");
    case 1:
        return QStringLiteral("01 出击");
    case 2:
        return QStringLiteral("02 坚守");
    case 3:
        return QStringLiteral("03 跟随 %1").arg(u.follow);
    case runToTendency:
        return QStringLiteral("04 奔向某坐标 (%1, %2)").arg(u.runTo->x()).arg(u.runTo->y());
    default:
        return QString::number(u.tendency);
    }
}

} // namespace

QList<BattleUnit> battleUnits(const ScenarioDocument& doc) {
    QList<BattleUnit> units;
    for (int k = 0; k < doc.armyEntryCount(); ++k) {
        const ArmyEntryForm form = ArmyEntryForm::show(doc.armyEntry(k));
        BattleUnit u;
        u.kind = UnitKind::Army;
        u.index = k;
        u.cell = QPoint(number(form.x), number(form.y));
        u.facing = number(form.facing);
        u.fromStart = form.appearance == Appearance::Initial;
        units.append(u);
    }
    if (!doc.scan().hasBattleHeader)
        return units;
    for (Side side : {Side::Ally, Side::Enemy})
        for (int k = 0; k < ScenarioDocument::slotCount(side); ++k)
            if (doc.slotCharacter(side, k) != 0xFFFF)
                units.append(slotUnit(doc, side, k));
    return units;
}

QList<QRectF> markerPlaces(const QList<BattleUnit>& units) {
    QHash<QPoint, int> onCell;
    for (const BattleUnit& u : units)
        ++onCell[u.cell];
    QHash<QPoint, int> placed;
    QList<QRectF> places;
    places.reserve(units.size());
    for (const BattleUnit& u : units) {
        const int n = onCell.value(u.cell);
        const int i = placed[u.cell]++;
        // n markers share the cell in a grid of c x c parts.
        const int c = int(std::ceil(std::sqrt(double(n))));
        const double part = 1.0 / c;
        places.append(QRectF((i % c) * part, (i / c) * part, part, part));
    }
    return places;
}

int unitAt(const QList<BattleUnit>& units, const QList<QRectF>& places, QPointF at) {
    const QPoint cell(int(std::floor(at.x())), int(std::floor(at.y())));
    const QPointF inside = at - QPointF(cell);
    for (qsizetype i = units.size() - 1; i >= 0; --i)
        if (units[i].cell == cell && places[i].contains(inside))
            return int(i);
    return -1;
}

bool cellOnMap(QPoint cell, QSize mapSize) {
    return cell.x() >= 0 && cell.y() >= 0 && qint64(cell.x()) * cellPixels < mapSize.width() &&
           qint64(cell.y()) * cellPixels < mapSize.height();
}

Failure moveUnit(ScenarioDocument& doc, UnitKind kind, int index, QPoint cell) {
    const QString x = QString::number(cell.x()), y = QString::number(cell.y());
    if (kind == UnitKind::Army) {
        if (index < 0 || index >= doc.armyEntryCount())
            return QStringLiteral("请先在列表中选择一个出场人物");
        // The army form writes back exactly what it shows.
        ArmyEntryForm form = ArmyEntryForm::show(doc.armyEntry(index));
        form.x = x;
        form.y = y;
        return doc.applyArmyEntry(index, form);
    }
    const Side side = kind == UnitKind::Ally ? Side::Ally : Side::Enemy;
    return doc.moveSlot(side, index, x, y);
}

QString kindName(UnitKind kind) {
    switch (kind) {
    case UnitKind::Army:
        return QStringLiteral("我军");
    case UnitKind::Ally:
        return QStringLiteral("友军");
    case UnitKind::Enemy:
        break;
    }
    return QStringLiteral("敌军");
}

QString unitTitle(const BattleUnit& u, const QStringList& people) {
    QString title = QStringLiteral("%1 %2").arg(kindName(u.kind)).arg(u.number());
    if (u.kind != UnitKind::Army) {
        const QString name =
            u.character >= 0 && u.character < people.size() ? people[u.character] : QString();
        title += u' ' + (name.isEmpty() ? QStringLiteral("人物%1").arg(u.character) : name);
    }
    return title;
}

QString unitDescription(const BattleUnit& u, const QStringList& people) {
    QStringList lines{unitTitle(u, people),
                      QStringLiteral("横坐标 %1，纵坐标 %2").arg(u.cell.x()).arg(u.cell.y()),
                      QStringLiteral("朝向：%1").arg(facingName(u.facing))};
    if (!u.fromStart)
        lines << QStringLiteral("不在初始登场");
    if (u.kind != UnitKind::Army) {
        lines << QStringLiteral("%1等级加成：%2").arg(kindName(u.kind), u.levelBonus);
        lines << QStringLiteral("行动趋向：%1").arg(tendencyName(u));
    }
    return lines.join(u'\n');
}

QString offMapNote(const QList<BattleUnit>& units, QSize mapSize, const QStringList& people) {
    QStringList off;
    for (const BattleUnit& u : units)
        if (!cellOnMap(u.cell, mapSize))
            off << QStringLiteral("%1 (%2, %3)")
                       .arg(unitTitle(u, people))
                       .arg(u.cell.x())
                       .arg(u.cell.y());
    if (off.isEmpty())
        return {};
    return QStringLiteral("不在地图范围内（%1个）：").arg(off.size()) +
           off.join(QStringLiteral("；"));
}

} // namespace lcj::scenario
