#include "scanhelpers.h"
#include "scenario/scenariodocument.h"

#include <gtest/gtest.h>

using namespace lcj;
using namespace lcj::scenario;
using lcj::test::buildScenario;

TEST(Scan, ShortFileFindsNothing) {
    const auto doc = ScenarioDocument::scan(QByteArray("\x44\x00\x45\x00\x00\x00\x00\x00", 8));
    EXPECT_FALSE(doc.scan().hasBattleHeader);
    EXPECT_EQ(doc.scan().scenarioLength, 8);
    EXPECT_EQ(doc.spoilsCount(), 0);
    EXPECT_EQ(doc.armyEntryCount(), 0);
    EXPECT_TRUE(doc.problems().isEmpty());
}

TEST(Scan, PositionsOfTheBattleHeader) {
    const auto b = buildScenario(5, 3, 100);
    const auto doc = ScenarioDocument::scan(b.bytes);
    ASSERT_TRUE(doc.scan().hasBattleHeader);
    EXPECT_EQ(doc.scan().battleHeaderPos, 100);
    EXPECT_EQ(doc.scan().allyBase, 148);
    EXPECT_EQ(doc.scan().enemyBase, 148 + 1042);
    EXPECT_EQ(doc.scan().armyBlockStart, 148 + 5540);
    EXPECT_EQ(doc.scan().armyBlockLength, 2 + 5 * 28);
    EXPECT_EQ(doc.scan().armyBlockEnd, b.q);
    EXPECT_EQ(doc.scan().armySlotCount, 5);
    EXPECT_EQ(doc.armyEntryCount(), 5);
    EXPECT_EQ(doc.extraSlotBytes(), QByteArray(10 * 28, '\0'));
    EXPECT_TRUE(doc.problems().isEmpty());
}

struct ArmyCase {
    int entries;
    bool canAppend;
};
class ArmyCounts : public ::testing::TestWithParam<ArmyCase> {};

TEST_P(ArmyCounts, CountsAndRoomForAppendedEntries) {
    const auto doc = ScenarioDocument::scan(buildScenario(GetParam().entries, 1).bytes);
    EXPECT_EQ(doc.scan().armySlotCount, GetParam().entries);
    EXPECT_EQ(doc.armyEntryCount(), GetParam().entries);
    EXPECT_EQ(doc.canAppendArmyEntry(), GetParam().canAppend);
    EXPECT_EQ(doc.extraSlotBytes().size(), (15 - GetParam().entries) * 28);
    EXPECT_EQ(doc.scan().equipEntryCount, 1); // found right after the block
}
INSTANTIATE_TEST_SUITE_P(Scan, ArmyCounts,
                         ::testing::Values(ArmyCase{0, true}, ArmyCase{1, true}, ArmyCase{14, true},
                                           ArmyCase{15, false}));

TEST(Scan, ArmyBlockThatCannotBeReadIsNotTakenAsData) {
    for (quint16 length : {quint16(2 + 16 * 28), quint16(30 + 5), quint16(1), quint16(0xFFFF)}) {
        auto b = buildScenario(3, 2);
        setWord(b.bytes, b.army, length);
        const auto doc = ScenarioDocument::scan(b.bytes);
        SCOPED_TRACE(length);
        // Header-shaped bytes whose army block does not read are no battle header.
        EXPECT_FALSE(doc.scan().hasBattleHeader);
        EXPECT_EQ(doc.scan().battleHeaderCount, 0);
        EXPECT_FALSE(doc.scan().armyBlockReadable);
        EXPECT_EQ(doc.armyEntryCount(), 0);
        EXPECT_FALSE(doc.canAppendArmyEntry());
        EXPECT_FALSE(doc.equipmentEditable());
        EXPECT_EQ(doc.problems().size(), 1);
    }
}

TEST(Scan, EquipmentGroupWithOneAndNoEntries) {
    const auto one = ScenarioDocument::scan(buildScenario(2, 1).bytes);
    EXPECT_EQ(one.scan().equipGroup, EquipGroup::Present);
    EXPECT_EQ(one.scan().equipBlockLength, 28);
    EXPECT_EQ(one.scan().equipEntryCount, 1);
    EXPECT_EQ(one.equipCharacter(0), 20);
    EXPECT_EQ(one.equipBytes().mid(26), QByteArray(2600 - 26, '\xFF'));

    const auto none = ScenarioDocument::scan(buildScenario(2, 0).bytes);
    EXPECT_EQ(none.scan().equipGroup, EquipGroup::Present);
    EXPECT_EQ(none.scan().equipBlockLength, 2);
    EXPECT_EQ(none.scan().equipEntryCount, 0);
    EXPECT_EQ(none.equipBytes(), QByteArray(2600, '\xFF'));

    const auto absent = ScenarioDocument::scan(buildScenario(2, -1).bytes);
    EXPECT_EQ(absent.scan().equipGroup, EquipGroup::Absent);
    EXPECT_EQ(absent.scan().equipBlockLength, 0);
    EXPECT_EQ(absent.scan().equipEntryCount, 0);
    EXPECT_EQ(absent.equipBytes(), QByteArray(2600, '\xFF'));
}

TEST(Scan, EquipmentGroupThatCannotBeReadIsLeftAlone) {
    for (quint16 length : {quint16(2 + 101 * 26), quint16(29), quint16(0), quint16(2 + 50 * 26)}) {
        auto b = buildScenario(2, 1);
        setWord(b.bytes, b.q + 21, length); // 50 entries run past the end of this file
        const auto doc = ScenarioDocument::scan(b.bytes);
        SCOPED_TRACE(length);
        EXPECT_EQ(doc.scan().equipGroup, EquipGroup::Unreadable);
        EXPECT_FALSE(doc.equipmentEditable());
        EXPECT_TRUE(doc.scan().armyBlockReadable);
        EXPECT_EQ(doc.problems().size(), 1);
    }
}

TEST(Scan, EquipmentCharacters512And513) {
    auto b = buildScenario(1, 3);
    setWord(b.bytes, b.q + 23 + 4, 511);
    setWord(b.bytes, b.q + 23 + 26 + 4, 512);
    setWord(b.bytes, b.q + 23 + 52 + 4, 513);
    const auto doc = ScenarioDocument::scan(b.bytes);
    EXPECT_EQ(doc.equipCharacter(0), 511);
    EXPECT_EQ(doc.equipCharacter(1), 512);
    EXPECT_EQ(doc.equipCharacter(2), 513);
    // Nothing was confirmed: an unchanged save keeps all three.
    EXPECT_EQ(doc.newEquipCount(), 3);
}

TEST(Scan, BattleFormShowsTheLevelBonusAndFFFFWords) {
    struct Case {
        quint8 byte;
        int shown;
    };
    for (const Case c :
         {Case{14, 14}, Case{15, 15}, Case{50, 0}, Case{53, -3}, Case{60, -10}, Case{255, -205}}) {
        auto b = buildScenario(0, -1);
        setByte(b.bytes, b.p + 20, c.byte);
        setWord(b.bytes, b.p + 28, 0xFFFF);
        setWord(b.bytes, b.p + 36, 5);
        setByte(b.bytes, b.p + 14, 200);
        const auto form = ScenarioDocument::scan(b.bytes).showBattle();
        EXPECT_EQ(form.scrollValue, c.shown);
        EXPECT_EQ(form.levelBonus, QString::number(c.shown));
        EXPECT_EQ(form.victory, QStringLiteral("65535"));
        EXPECT_EQ(form.defeat, QStringLiteral("5"));
        EXPECT_EQ(form.turns, QStringLiteral("200"));
    }
}

TEST(Scan, WordsOf0x8000AndAboveAreUnsigned) {
    auto b = buildScenario(1, 0);
    setWord(b.bytes, b.p + 48 + 2, 0x8001);             // ally 0's character
    setWord(b.bytes, b.p + 1090 + 56 * 79 + 2, 0xFFFE); // the last enemy's character
    const auto doc = ScenarioDocument::scan(b.bytes);
    EXPECT_EQ(doc.slotCharacter(Side::Ally, 0), 0x8001);
    EXPECT_EQ(doc.slotCharacter(Side::Enemy, 79), 0xFFFE);
    EXPECT_EQ(doc.scan().armySlotCount, 1);
    EXPECT_TRUE(doc.problems().isEmpty());
}

TEST(Scan, SpoilsInsideTheTablesAreFoundInFileOrder) {
    auto b = buildScenario(1, 0);
    const qint64 inAlly = b.p + 48 + 52 * 3 + 6;
    const qint64 inEnemy = b.p + 1090 + 56 * 40;
    const qint64 after = b.bytes.size() - 40;
    for (qint64 s : {after, inEnemy, inAlly}) {
        setByte(b.bytes, s, 0x59);
        setByte(b.bytes, s + 2, 0x04);
        setByte(b.bytes, s + 8, 0x17);
    }
    const auto doc = ScenarioDocument::scan(b.bytes);
    EXPECT_EQ(doc.scan().spoilsPositions, (QList<qint64>{inAlly, inEnemy, after}));
}

TEST(Scan, MoreThanSixSpoilsAreAllFound) {
    auto b = buildScenario(0, -1, 40, 400);
    for (int i = 0; i < 9; ++i) {
        const qint64 s = b.bytes.size() - 400 + 40 * i;
        setByte(b.bytes, s, 0x59);
        setByte(b.bytes, s + 2, 0x04);
        setByte(b.bytes, s + 8, 0x17);
    }
    EXPECT_EQ(ScenarioDocument::scan(b.bytes).spoilsCount(), 9);
}

TEST(Scan, SpoilsRunningPastTheEndAreNotTaken) {
    QByteArray bytes(40, '\0');
    setByte(bytes, 20, 0x59);
    setByte(bytes, 22, 0x04);
    setByte(bytes, 28, 0x17);
    const auto doc = ScenarioDocument::scan(bytes);
    EXPECT_EQ(doc.spoilsCount(), 0);
    EXPECT_EQ(doc.problems().size(), 1);
}

TEST(Scan, BattleHeaderRunningPastTheEndIsNotTaken) {
    auto b = buildScenario(2, 1);
    // A second signature whose tables would run past the end of the file.
    const qint64 late = b.bytes.size() - 100;
    setByte(b.bytes, late, 0x44);
    setByte(b.bytes, late + 2, 0x45);
    const auto doc = ScenarioDocument::scan(b.bytes);
    EXPECT_EQ(doc.scan().battleHeaderPos, b.p);
    EXPECT_EQ(doc.scan().armySlotCount, 2);
    EXPECT_EQ(doc.problems().size(), 1);
}

TEST(Scan, HeaderShapedBytesWhoseArmyBlockDoesNotReadArePassedOver) {
    // A real header, then 44 ?? 45 in the script after it whose army length
    // word does not read (and one whose block would end past the file's end).
    auto b = buildScenario(3, 2, 40, 12000);
    const qint64 strays[] = {b.bytes.size() - 9000, b.bytes.size() - 5600};
    setWord(b.bytes, strays[0] + 5588, 0x0505);
    setWord(b.bytes, strays[1] + 5588, 2 + 15 * 28);
    for (qint64 s : strays) {
        setByte(b.bytes, s, 0x44);
        setByte(b.bytes, s + 2, 0x45);
    }
    const auto doc = ScenarioDocument::scan(b.bytes);
    EXPECT_TRUE(doc.scan().hasBattleHeader);
    EXPECT_EQ(doc.scan().battleHeaderPos, b.p);
    EXPECT_EQ(doc.scan().battleHeaderCount, 1);
    EXPECT_EQ(doc.scan().armySlotCount, 3);
    EXPECT_EQ(doc.scan().equipEntryCount, 2);
    ASSERT_EQ(doc.problems().size(), 2);
    EXPECT_TRUE(doc.problems()[0].startsWith(QStringLiteral("位置%1").arg(strays[0])));
    EXPECT_TRUE(doc.problems()[1].startsWith(QStringLiteral("位置%1").arg(strays[1])));
}

TEST(Scan, NothingToEditIsSaid) {
    EXPECT_TRUE(ScenarioDocument::scan(QByteArray(8, '\x44')).nothingToEdit().contains(u"8个字节"));
    EXPECT_FALSE(ScenarioDocument::scan(QByteArray(9, '\x11')).nothingToEdit().isEmpty());
    EXPECT_TRUE(ScenarioDocument::scan(buildScenario(1, -1).bytes).nothingToEdit().isEmpty());
    QByteArray spoils(40, '\0');
    setByte(spoils, 2, 0x59);
    setByte(spoils, 4, 0x04);
    setByte(spoils, 10, 0x17);
    EXPECT_TRUE(ScenarioDocument::scan(spoils).nothingToEdit().isEmpty());
}

TEST(Scan, TheLastOfSeveralBattleHeadersIsEdited) {
    auto first = buildScenario(2, 1, 40, 0);
    auto second = buildScenario(4, 2, 0, 64);
    setWord(second.bytes, 14, 0); // the second one's file header is plain script here
    setWord(second.bytes, 18, 0);
    const QByteArray bytes = first.bytes + second.bytes;
    const auto doc = ScenarioDocument::scan(bytes);
    EXPECT_EQ(doc.scan().battleHeaderCount, 2);
    EXPECT_EQ(doc.scan().battleHeaderPos, first.bytes.size());
    EXPECT_EQ(doc.scan().armySlotCount, 4);
    EXPECT_EQ(doc.scan().equipEntryCount, 2);
}

TEST(Scan, SampleScenariosReadCompletely) {
    struct Expect {
        int army;
        EquipGroup group;
        int equip;
        int spoils;
    };
    const Expect expected[] = {{5, EquipGroup::Present, 3, 3},
                               {15, EquipGroup::Present, 2, 1},
                               {4, EquipGroup::Absent, 0, 2},
                               {3, EquipGroup::Present, 0, 0}};
    int i = 0;
    for (const auto& [name, shape] : sample::sampleScenarios()) {
        const auto doc = ScenarioDocument::scan(sample::scenarioFile(shape));
        SCOPED_TRACE(name.toStdString());
        EXPECT_TRUE(doc.problems().isEmpty());
        EXPECT_EQ(doc.scan().battleHeaderCount, 1);
        EXPECT_EQ(doc.scan().battleHeaderPos, sample::scenarioHeaderPos(shape));
        EXPECT_EQ(doc.scan().armySlotCount, expected[i].army);
        EXPECT_EQ(doc.scan().equipGroup, expected[i].group);
        EXPECT_EQ(doc.scan().equipEntryCount, expected[i].equip);
        EXPECT_EQ(doc.spoilsCount(), expected[i].spoils);
        ++i;
    }
}
