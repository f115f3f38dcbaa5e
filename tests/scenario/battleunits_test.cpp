#include "common/bytes.h"
#include "samplegen/samplegame.h"
#include "scenario/battleunits.h"

#include <gtest/gtest.h>

namespace lcj {
namespace {

using namespace lcj::scenario;

class BattleUnits : public ::testing::Test {
protected:
    sample::ScenarioShape shape; // 5 army entries
    ScenarioDocument doc = ScenarioDocument::scan(sample::scenarioFile(shape));
    qint64 enemy(int k) const { return doc.scan().enemyBase + 56 * k; }
    qint64 ally(int k) const { return doc.scan().allyBase + 52 * k; }
    qint64 army(int k) const { return doc.scan().armyBlockStart + 2 + 28 * k; }
    const BattleUnit* find(const QList<BattleUnit>& units, UnitKind kind, int index) {
        for (const BattleUnit& u : units)
            if (u.kind == kind && u.index == index)
                return &u;
        return nullptr;
    }
};

TEST_F(BattleUnits, EveryEntryOnTheCellItsBytesGive) {
    const QList<BattleUnit> units = battleUnits(doc);
    int expected = doc.armyEntryCount();
    const QByteArray& b = doc.bytes();
    for (int k = 0; k < doc.armyEntryCount(); ++k) {
        const BattleUnit* u = find(units, UnitKind::Army, k);
        ASSERT_NE(u, nullptr);
        EXPECT_EQ(u->cell, QPoint(byteAt(b, army(k) + 10), byteAt(b, army(k) + 16)));
        EXPECT_EQ(u->fromStart, wordAt(b, army(k) + 26) == 0);
    }
    for (int k = 0; k < 20; ++k) {
        const bool present = wordAt(b, ally(k) + 2) != 0xFFFF;
        expected += present;
        const BattleUnit* u = find(units, UnitKind::Ally, k);
        ASSERT_EQ(u != nullptr, present) << k;
        if (u) {
            EXPECT_EQ(u->cell, QPoint(wordAt(b, ally(k) + 10), wordAt(b, ally(k) + 16)));
        }
    }
    for (int k = 0; k < 80; ++k) {
        const bool present = wordAt(b, enemy(k) + 2) != 0xFFFF;
        expected += present;
        const BattleUnit* u = find(units, UnitKind::Enemy, k);
        ASSERT_EQ(u != nullptr, present) << k;
        if (!u)
            continue;
        EXPECT_EQ(u->cell, QPoint(wordAt(b, enemy(k) + 14), wordAt(b, enemy(k) + 20)));
        EXPECT_EQ(u->fromStart, wordAt(b, enemy(k) + 10) == 0);
        EXPECT_EQ(u->character, wordAt(b, enemy(k) + 2));
        // Tendency 4 runs to the point at 46 and 52.
        EXPECT_EQ(u->runTo.has_value(), byteAt(b, enemy(k) + 38) == 4) << k;
        if (u->runTo) {
            EXPECT_EQ(*u->runTo, QPoint(wordAt(b, enemy(k) + 46), wordAt(b, enemy(k) + 52)));
        }
    }
    EXPECT_EQ(units.size(), expected);
}

TEST_F(BattleUnits, MoveChangesOnlyTheCoordinateBytes) {
    struct Case {
        UnitKind kind;
        int index;
        QList<qint64> changed; // the bytes a move to (201, 202) may change
    };
    const Case cases[] = {
        {UnitKind::Enemy, 7, {enemy(7) + 14, enemy(7) + 15, enemy(7) + 20, enemy(7) + 21}},
        {UnitKind::Ally, 2, {ally(2) + 10, ally(2) + 11, ally(2) + 16, ally(2) + 17}},
        {UnitKind::Army, 4, {army(4) + 10, army(4) + 16}},
    };
    for (const Case& c : cases) {
        ScenarioDocument moved = doc;
        ASSERT_TRUE(moveUnit(moved, c.kind, c.index, QPoint(201, 202)).ok());
        QByteArray expected = doc.bytes();
        if (c.kind == UnitKind::Army) {
            setByte(expected, c.changed[0], 201);
            setByte(expected, c.changed[1], 202);
        } else {
            setWord(expected, c.changed[0], 201);
            setWord(expected, c.changed[2], 202);
        }
        // The high bytes of facing, level bonus and tendency that a confirm
        // writes as 0 keep their values here.
        EXPECT_EQ(moved.bytes(), expected) << int(c.kind);
        const QList<BattleUnit> units = battleUnits(moved);
        EXPECT_EQ(find(units, c.kind, c.index)->cell, QPoint(201, 202));
    }
}

TEST_F(BattleUnits, AppendedArmyEntryMovesInItsOwnBuffer) {
    ASSERT_TRUE(doc.appendArmyEntry());
    const QByteArray file = doc.bytes();
    ASSERT_TRUE(moveUnit(doc, UnitKind::Army, 5, QPoint(9, 11)).ok());
    EXPECT_EQ(doc.bytes(), file);
    EXPECT_EQ(byteAt(doc.extraSlotBytes(), 10), 9);
    EXPECT_EQ(byteAt(doc.extraSlotBytes(), 16), 11);
}

TEST_F(BattleUnits, RefusedMoveChangesNothing) {
    const ScenarioDocument before = doc;
    // An army coordinate is one byte; a slot's a word.
    const auto army = moveUnit(doc, UnitKind::Army, 0, QPoint(256, 3));
    ASSERT_FALSE(army.ok());
    EXPECT_TRUE(army.error().startsWith(QStringLiteral("横坐标"))) << army.error().toStdString();
    const auto slot = moveUnit(doc, UnitKind::Enemy, 0, QPoint(3, 65536));
    ASSERT_FALSE(slot.ok());
    EXPECT_TRUE(slot.error().startsWith(QStringLiteral("纵坐标"))) << slot.error().toStdString();
    EXPECT_FALSE(moveUnit(doc, UnitKind::Enemy, 80, QPoint(1, 1)).ok());
    EXPECT_FALSE(moveUnit(doc, UnitKind::Army, 5, QPoint(1, 1)).ok());
    EXPECT_EQ(doc.bytes(), before.bytes());
    EXPECT_EQ(doc.extraSlotBytes(), before.extraSlotBytes());
}

TEST(BattleMarkers, UnitsOnOneCellShareIt) {
    QList<BattleUnit> units(3);
    units[0].cell = QPoint(4, 4);
    units[1].cell = QPoint(4, 4);
    units[2].cell = QPoint(5, 4);
    const QList<QRectF> places = markerPlaces(units);
    EXPECT_EQ(places[2], QRectF(0, 0, 1, 1));
    EXPECT_FALSE(places[0].intersects(places[1]));
    // Each can be taken by a point inside its own part.
    EXPECT_EQ(unitAt(units, places, QPointF(4, 4) + places[0].center()), 0);
    EXPECT_EQ(unitAt(units, places, QPointF(4, 4) + places[1].center()), 1);
    EXPECT_EQ(unitAt(units, places, QPointF(5.5, 4.5)), 2);
    EXPECT_EQ(unitAt(units, places, QPointF(6.5, 4.5)), -1);
    EXPECT_EQ(unitAt(units, places, QPointF(-0.5, 4.5)), -1);
}

TEST(BattleMarkers, CellsOnAndOffTheMap) {
    const QSize map(6 * 10 + 3, 6 * 5); // a last column cut by the picture's edge
    EXPECT_TRUE(cellOnMap(QPoint(0, 0), map));
    EXPECT_TRUE(cellOnMap(QPoint(10, 4), map));
    EXPECT_FALSE(cellOnMap(QPoint(11, 0), map));
    EXPECT_FALSE(cellOnMap(QPoint(0, 5), map));
    EXPECT_FALSE(cellOnMap(QPoint(-1, 0), map));
    QList<BattleUnit> units(2);
    units[0].cell = QPoint(3, 3);
    units[1].kind = UnitKind::Enemy;
    units[1].index = 6;
    units[1].character = 2;
    units[1].cell = QPoint(40, 1);
    const QStringList people{QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙")};
    EXPECT_EQ(offMapNote(units, map, people),
              QStringLiteral("不在地图范围内（1个）：敌军 7 丙 (40, 1)"));
    EXPECT_TRUE(offMapNote(units.mid(0, 1), map, people).isEmpty());
}

TEST(BattleMarkers, DescriptionOfASlot) {
    BattleUnit u;
    u.kind = UnitKind::Ally;
    u.index = 0;
    u.character = 1;
    u.cell = QPoint(7, 8);
    u.facing = 3;
    u.fromStart = false;
    u.levelBonus = QStringLiteral("-3");
    u.tendency = runToTendency;
    u.runTo = QPoint(20, 21);
    EXPECT_EQ(unitDescription(u, {QStringLiteral("甲"), QStringLiteral("乙")}),
              QStringLiteral("友军 1 乙\n横坐标 7，纵坐标 8\n朝向：向左\n不在初始登场\n"
                             "友军等级加成：-3\n行动趋向：04 奔向某坐标 (20, 21)"));
}

} // namespace
} // namespace lcj
