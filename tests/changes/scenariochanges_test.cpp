#include "changes/scenariochanges.h"
#include "common/bytes.h"
#include "samplegen/samplegame.h"
#include "scenario/savebuilder.h"

#include <gtest/gtest.h>

namespace lcj {
namespace {

using changes::Change;
using scenario::ScenarioDocument;
using scenario::Side;

QStringList diffLines(const QList<Change>& list) {
    QStringList out;
    for (const Change& c : list)
        if (const QString line = changes::diffLine(c); !line.isEmpty())
            out << line;
    return out;
}

// What a save of `doc` would put on disk, read back.
ScenarioDocument saved(const ScenarioDocument& doc) {
    auto built = scenario::buildSave(doc);
    EXPECT_TRUE(built.ok()) << built.error().toStdString();
    return built->scanned;
}

class ScenarioChanges : public ::testing::Test {
protected:
    sample::ScenarioShape shape; // 5 army entries, 3 equipment entries
    ScenarioDocument loaded = ScenarioDocument::scan(sample::scenarioFile(shape));
    qint64 enemy(int k, int offset) const { return loaded.scan().enemyBase + 56 * k + offset; }
};

TEST_F(ScenarioChanges, SameFileHasNoChanges) {
    EXPECT_TRUE(changes::compareScenarios(loaded, loaded).isEmpty());
    EXPECT_TRUE(changes::compareScenarios(loaded, saved(loaded)).isEmpty());
}

TEST_F(ScenarioChanges, MovedEnemyIsTwoFieldsInBothWordings) {
    const int oldX = wordAt(loaded.bytes(), enemy(3, 14));
    const int oldY = wordAt(loaded.bytes(), enemy(3, 20));
    ScenarioDocument doc = loaded;
    scenario::SlotForm form = doc.showSlot(Side::Enemy, 3);
    form.x = QStringLiteral("21");
    form.y = QStringLiteral("7");
    ASSERT_TRUE(doc.applySlot(Side::Enemy, 3, form).ok());

    const auto list = changes::compareScenarios(loaded, saved(doc));
    ASSERT_EQ(list.size(), 2);
    EXPECT_EQ(list[0].kind, Change::Kind::Field);
    EXPECT_EQ(list[0].frame, changes::Frame::Enemy);
    EXPECT_EQ(list[0].entry, 3);
    EXPECT_EQ(list[0].field, QStringLiteral("x"));
    EXPECT_EQ(changes::windowLines(list),
              (QStringList{QStringLiteral("敌军 4 横坐标：%1 → 21").arg(oldX),
                           QStringLiteral("敌军 4 纵坐标：%1 → 7").arg(oldY)}));
    EXPECT_EQ(diffLines(list), (QStringList{QStringLiteral("敌军 4 横坐标: %1 → 21").arg(oldX),
                                            QStringLiteral("敌军 4 纵坐标: %1 → 7").arg(oldY)}));
}

TEST_F(ScenarioChanges, AppendedArmyEntryIsOneLine) {
    ScenarioDocument doc = loaded;
    ASSERT_TRUE(doc.appendArmyEntry());
    const auto list = changes::compareScenarios(loaded, saved(doc));
    EXPECT_EQ(changes::windowLines(list), QStringList{QStringLiteral("我军出场人物 6 追加")});
    EXPECT_EQ(
        diffLines(list),
        (QStringList{
            QStringLiteral("我军出场人数: 5 → 6"),
            QStringLiteral("我军出场人物 6: 新增 横坐标 0，纵坐标 0，朝向 0，登场方式 初始登场")}));
}

TEST_F(ScenarioChanges, EmptiedEquipmentEntryDropsAloneAndTheNextMovesUp) {
    // Clearing the second of three entries: the third takes its place, the last place goes.
    ScenarioDocument doc = loaded;
    scenario::EquipForm form = scenario::EquipForm::show(doc.equipEntry(1));
    form.character = QStringLiteral("513");
    ASSERT_TRUE(doc.applyEquipEntry(1, form).ok());
    const auto list = changes::compareScenarios(loaded, saved(doc));
    const QStringList lines = changes::windowLines(list);
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(lines.last(), QStringLiteral("个人装备 3 已删除"));
    for (const QString& line : lines.mid(0, lines.size() - 1))
        EXPECT_TRUE(line.startsWith(QStringLiteral("个人装备 2 "))) << line.toStdString();
    // lcjtool diff lists the fields of both places that change.
    const QStringList cli = diffLines(list);
    const int second = wordAt(loaded.equipBytes(), 26 + 4),
              third = wordAt(loaded.equipBytes(), 52 + 4);
    EXPECT_TRUE(cli.contains(QStringLiteral("个人装备 2 人物编号: %1 → %2").arg(second).arg(third)))
        << cli.join(u'\n').toStdString();
    EXPECT_TRUE(cli.contains(QStringLiteral("个人装备 3 人物编号: %1 → 65535").arg(third)))
        << cli.join(u'\n').toStdString();
}

TEST_F(ScenarioChanges, EquipmentAddedAfterTheLastEntry) {
    ScenarioDocument doc = loaded;
    scenario::EquipForm form;
    form.character = QStringLiteral("9");
    ASSERT_TRUE(doc.applyEquipEntry(3, form).ok());
    const auto lines = changes::windowLines(changes::compareScenarios(loaded, saved(doc)));
    EXPECT_EQ(lines, QStringList{QStringLiteral("个人装备 4 追加")});
}

TEST_F(ScenarioChanges, WindowWordsForEveryFrame) {
    ScenarioDocument doc = loaded;
    scenario::BattleForm battle = doc.showBattle();
    battle.turns = QStringLiteral("12");
    ASSERT_TRUE(doc.applyBattle(battle).ok());
    scenario::SlotForm ally = doc.showSlot(Side::Ally, 0);
    ally.appearance = scenario::Appearance::Story;
    ally.levelBonus = QStringLiteral("-2");
    ASSERT_TRUE(doc.applySlot(Side::Ally, 0, ally).ok());
    scenario::ArmyEntryForm army = scenario::ArmyEntryForm::show(doc.armyEntry(0));
    army.facing = QStringLiteral("2");
    ASSERT_TRUE(doc.applyArmyEntry(0, army).ok());
    scenario::SpoilsForm spoils = scenario::SpoilsForm::show(doc.spoilsInstruction(0));
    spoils.items[2] = QStringLiteral("200");
    ASSERT_TRUE(doc.applySpoils(0, spoils).ok());

    const ScenarioDocument after = saved(doc);
    const scenario::SlotForm was = loaded.showSlot(Side::Ally, 0);
    ASSERT_EQ(was.appearance, scenario::Appearance::Initial); // the sample's slot 0
    const QStringList lines = changes::windowLines(changes::compareScenarios(loaded, after));
    EXPECT_EQ(
        lines,
        (QStringList{QStringLiteral("战役 回合数：%1 → 12").arg(loaded.showBattle().turns),
                     QStringLiteral("友军 1 登场方式：初始登场 → 剧情控制"),
                     QStringLiteral("友军 1 友军等级加成：%1 → -2").arg(was.levelBonus),
                     QStringLiteral("我军出场人物 1 朝向：%1 → 2")
                         .arg(scenario::ArmyEntryForm::show(loaded.armyEntry(0)).facing),
                     QStringLiteral("战利品 1 第三战利品：%1 → 无")
                         .arg(scenario::SpoilsForm::show(loaded.spoilsInstruction(0)).items[2])}));
}

TEST_F(ScenarioChanges, NamesFollowTheCharacterNumber) {
    ScenarioDocument doc = loaded;
    scenario::SlotForm form = doc.showSlot(Side::Enemy, 0);
    const int was = form.character.toInt();
    form.character = QStringLiteral("2");
    ASSERT_TRUE(doc.applySlot(Side::Enemy, 0, form).ok());
    const QStringList people = sample::characterNames();
    const auto list = changes::compareScenarios(loaded, doc, &people);
    EXPECT_EQ(changes::windowLines(list),
              QStringList{QStringLiteral("敌军 1 人物编号：%1 → 2（%2 → %3）")
                              .arg(was)
                              .arg(people[was], people[2])});
    // The name is a field of the view too, but not a line of its own.
    EXPECT_EQ(list.size(), 2);
}

TEST_F(ScenarioChanges, BytesNoFrameShowsAreOneLine) {
    QByteArray bytes = loaded.bytes();
    bytes[5] = char(bytes[5] ^ 0x01); // invented script in the file header
    const ScenarioDocument other = ScenarioDocument::scan(bytes);
    const auto list = changes::compareScenarios(loaded, other);
    ASSERT_EQ(list.size(), 1);
    EXPECT_EQ(list[0].kind, Change::Kind::Bytes);
    const QString line =
        QStringLiteral("编辑器不显示的字节不同（文件长度 %1 → %1）").arg(bytes.size());
    EXPECT_EQ(changes::windowLines(list), QStringList{line});
    EXPECT_EQ(diffLines(list), QStringList{line});
}

TEST_F(ScenarioChanges, LostBattleHeader) {
    const ScenarioDocument none = ScenarioDocument::scan(QByteArray(64, '\x01'));
    const auto list = changes::compareScenarios(loaded, none);
    ASSERT_FALSE(list.isEmpty());
    EXPECT_EQ(list[0].kind, Change::Kind::Header);
    EXPECT_EQ(changes::diffLine(list[0]), QStringLiteral("战役头: 有 → 无"));
    EXPECT_EQ(list[0].line, QStringLiteral("战役头 已删除"));
    EXPECT_TRUE(diffLines(list).contains(QStringLiteral("敌军条数: 80 → 0")));
}

} // namespace
} // namespace lcj
