#include "common/diskstamp.h"
#include "scanhelpers.h"
#include "scenario/savebuilder.h"
#include "scenario/ui/documentundo.h"
#include "support/testfiles.h"

#include <gtest/gtest.h>

using namespace lcj;
using namespace lcj::scenario;

namespace {

// Records the change of the edit just made on `doc`.
void recordEdit(DocumentUndo& history, ScenarioDocument& doc) {
    auto change = doc.takeChange();
    ASSERT_TRUE(change.has_value());
    history.record(std::move(*change), QStringLiteral("修改"));
}

// Types `x` into army entry `index` and confirms it.
void setArmyX(ScenarioDocument& doc, int index, int x) {
    ArmyEntryForm form = ArmyEntryForm::show(doc.armyEntry(index));
    form.x = QString::number(x);
    ASSERT_TRUE(doc.applyArmyEntry(index, form).ok());
}

} // namespace

TEST(DocumentUndo, UndoRedoAndTheModifiedMark) {
    auto doc = ScenarioDocument::scan(test::buildScenario(3, 1).bytes);
    const QByteArray loaded = doc.bytes();
    DocumentUndo history(doc);
    EXPECT_FALSE(history.modified());

    ASSERT_TRUE(doc.appendArmyEntry());
    recordEdit(history, doc);
    setArmyX(doc, 0, 99);
    recordEdit(history, doc);
    EXPECT_TRUE(history.modified());

    ASSERT_TRUE(history.undo());
    ASSERT_TRUE(history.undo());
    EXPECT_FALSE(history.undo());
    EXPECT_FALSE(history.modified());
    EXPECT_EQ(doc.bytes(), loaded);
    EXPECT_EQ(doc.armyEntryCount(), 3);

    ASSERT_TRUE(history.redo());
    EXPECT_EQ(doc.armyEntryCount(), 4);
    EXPECT_TRUE(history.modified());
    // A new edit after an undo drops the steps that could be redone.
    doc.appendArmyEntry();
    recordEdit(history, doc);
    EXPECT_FALSE(history.canRedo());
    ASSERT_TRUE(history.undo());
    EXPECT_EQ(doc.armyEntryCount(), 4);
    EXPECT_EQ(doc.armyEntry(0), ScenarioDocument::scan(loaded).armyEntry(0));
}

TEST(DocumentUndo, AStepKeepsOnlyTheBytesThatDiffer) {
    auto doc = ScenarioDocument::scan(test::buildScenario(3, 1).bytes);
    setArmyX(doc, 1, 200); // one byte of a 28-byte entry
    const auto change = doc.takeChange();
    ASSERT_TRUE(change.has_value());
    EXPECT_EQ(change->buffer, DocumentChange::Buffer::Scenario);
    EXPECT_EQ(change->pos, doc.scan().armyBlockStart + 2 + 28 + 10);
    EXPECT_EQ(change->before, QByteArray(1, char(11)));
    EXPECT_EQ(change->after, QByteArray(1, char(200)));
    EXPECT_FALSE(doc.takeChange().has_value()); // taken once

    // A refused edit leaves no change behind.
    ArmyEntryForm bad = ArmyEntryForm::show(doc.armyEntry(0));
    bad.x = QStringLiteral("300");
    EXPECT_FALSE(doc.applyArmyEntry(0, bad).ok());
    EXPECT_FALSE(doc.takeChange().has_value());
}

TEST(DocumentUndo, EveryKindOfEditIsTakenBackAndMadeAgain) {
    const auto b = test::buildScenario(3, 2);
    auto doc = ScenarioDocument::scan(b.bytes);
    DocumentUndo history(doc);
    QList<ScenarioDocument> states{doc};

    ASSERT_TRUE(doc.appendArmyEntry());
    recordEdit(history, doc);
    states << doc;
    setArmyX(doc, 3, 7); // the appended entry
    recordEdit(history, doc);
    states << doc;
    SlotForm slot = doc.showSlot(Side::Enemy, 79);
    slot.character = QStringLiteral("600");
    slot.runY = QStringLiteral("4660");
    ASSERT_TRUE(doc.applySlot(Side::Enemy, 79, slot).ok());
    recordEdit(history, doc);
    states << doc;
    BattleForm battle = doc.showBattle();
    battle.turns = QStringLiteral("99");
    ASSERT_TRUE(doc.applyBattle(battle).ok());
    recordEdit(history, doc);
    states << doc;
    EquipForm equip = EquipForm::show(doc.equipEntry(0)); // unchanged: marks the group edited
    ASSERT_TRUE(doc.applyEquipEntry(0, equip).ok());
    recordEdit(history, doc);
    states << doc;
    equip.character = QStringLiteral("513");
    ASSERT_TRUE(doc.applyEquipEntry(1, equip).ok());
    recordEdit(history, doc);
    states << doc;

    auto same = [](const ScenarioDocument& a, const ScenarioDocument& e) {
        return a.bytes() == e.bytes() && a.extraSlotBytes() == e.extraSlotBytes() &&
               a.equipBytes() == e.equipBytes() && a.armyEntryCount() == e.armyEntryCount() &&
               a.equipEdited() == e.equipEdited() && a.newEquipCount() == e.newEquipCount();
    };
    for (qsizetype i = states.size() - 2; i >= 0; --i) {
        ASSERT_TRUE(history.undo());
        EXPECT_TRUE(same(doc, states[i])) << "after undo to state " << i;
    }
    EXPECT_FALSE(history.modified());
    for (qsizetype i = 1; i < states.size(); ++i) {
        ASSERT_TRUE(history.redo());
        EXPECT_TRUE(same(doc, states[i])) << "after redo to state " << i;
    }
}

TEST(DocumentUndo, BoundedInStepsAndInBytes) {
    auto doc = ScenarioDocument::scan(test::buildScenario(3, 1).bytes);
    const QByteArray loaded = doc.bytes();
    DocumentUndo bySteps(doc, 5, 1 << 20);
    for (int i = 0; i < 12; ++i) {
        setArmyX(doc, i % 3, 100 + i);
        recordEdit(bySteps, doc);
    }
    EXPECT_EQ(bySteps.undoSteps(), 5);
    int undone = 0;
    while (bySteps.undo())
        ++undone;
    EXPECT_EQ(undone, 5);
    // The oldest steps are forgotten: the loaded state cannot be reached again.
    EXPECT_TRUE(bySteps.modified());
    EXPECT_NE(doc.bytes(), loaded);

    DocumentUndo byBytes(doc, 1000, 1000);
    for (int i = 0; i < 100; ++i) {
        setArmyX(doc, i % 3, i);
        recordEdit(byBytes, doc);
        ASSERT_LE(byBytes.heldBytes(), 1000);
    }
    EXPECT_GT(byBytes.undoSteps(), 0);
    EXPECT_LT(byBytes.undoSteps(), 100);
}

TEST(DocumentUndo, ASaveKeepsTheSteps) {
    auto doc = ScenarioDocument::scan(test::buildScenario(3, 1).bytes);
    const QByteArray loaded = doc.bytes();
    DocumentUndo history(doc);
    setArmyX(doc, 0, 40);
    recordEdit(history, doc);
    ASSERT_TRUE(doc.appendArmyEntry());
    recordEdit(history, doc);
    history.markSaved();
    EXPECT_FALSE(history.modified());
    EXPECT_EQ(history.undoSteps(), 2);

    ASSERT_TRUE(history.undo());
    EXPECT_TRUE(history.modified());
    ASSERT_TRUE(history.redo());
    EXPECT_FALSE(history.modified());
    ASSERT_TRUE(history.undo());
    ASSERT_TRUE(history.undo());
    EXPECT_EQ(doc.bytes(), loaded);
    EXPECT_EQ(doc.armyEntryCount(), 3);
    // The state loaded is no longer the one on disk.
    EXPECT_TRUE(history.modified());
    // An edit from here forgets the way back to the saved state.
    setArmyX(doc, 1, 41);
    recordEdit(history, doc);
    EXPECT_FALSE(history.canRedo());
    ASSERT_TRUE(history.undo());
    EXPECT_TRUE(history.modified());

    // A saved state whose step the bound forgot stays out of reach.
    DocumentUndo bounded(doc, 2, 1 << 20);
    bounded.markSaved();
    for (int i = 0; i < 3; ++i) {
        setArmyX(doc, 0, 60 + i);
        recordEdit(bounded, doc);
    }
    int undone = 0;
    while (bounded.undo())
        ++undone;
    EXPECT_EQ(undone, 2);
    EXPECT_TRUE(bounded.modified());
}

// A save that reads back otherwise (an appended entry now in its block) gives the document
// as read back; an undo past it leads to the document as it was, and on to the loaded one.
TEST(DocumentUndo, ASaveThatReadsBackOtherwiseKeepsTheWayBack) {
    auto doc = ScenarioDocument::scan(test::buildScenario(3, 1).bytes);
    const QByteArray loaded = doc.bytes();
    DocumentUndo history(doc);
    ASSERT_TRUE(doc.appendArmyEntry());
    recordEdit(history, doc);
    setArmyX(doc, 3, 9);
    recordEdit(history, doc);
    auto built = buildSave(doc);
    ASSERT_TRUE(built.ok());
    const QByteArray savedBytes = built->bytes;
    history.takeSaved(std::move(built->scanned));
    EXPECT_FALSE(history.modified());
    EXPECT_EQ(doc.scan().armySlotCount, 4);
    EXPECT_EQ(doc.bytes(), savedBytes);
    EXPECT_EQ(history.undoSteps(), 2);

    ASSERT_TRUE(history.undo());
    EXPECT_TRUE(history.modified());
    EXPECT_EQ(doc.scan().armySlotCount, 3); // the document the steps were made on
    EXPECT_EQ(doc.armyEntryCount(), 4);
    ASSERT_TRUE(history.undo());
    EXPECT_FALSE(history.canUndo());
    EXPECT_EQ(doc.bytes(), loaded);
    EXPECT_EQ(doc.armyEntryCount(), 3);
    auto again = buildSave(doc);
    ASSERT_TRUE(again.ok());
    EXPECT_EQ(again->bytes, test::buildScenario(3, 1).bytes);

    ASSERT_TRUE(history.redo());
    ASSERT_TRUE(history.redo());
    EXPECT_FALSE(history.canRedo());
    EXPECT_FALSE(history.modified());
    // Back past the save: the file as read back again.
    EXPECT_EQ(doc.scan().armySlotCount, 4);
    EXPECT_EQ(doc.bytes(), savedBytes);
    // An edit after it is taken back on the document read back.
    setArmyX(doc, 0, 12);
    recordEdit(history, doc);
    ASSERT_TRUE(history.undo());
    EXPECT_EQ(doc.bytes(), savedBytes);
    EXPECT_FALSE(history.modified());
}

TEST(DiskStamp, SizeTimeOrContent) {
    test::TestFolder dir;
    const QByteArray bytes(100, 'a');
    const QString path = dir.write(QStringLiteral("S_01.eex"), bytes);
    const DiskStamp stamp = DiskStamp::take(path, bytes);
    EXPECT_FALSE(stamp.changedOnDisk(path));
    EXPECT_FALSE(stamp.changedOnDisk(dir.path(QStringLiteral("S_02.eex"))));
    dir.write(QStringLiteral("S_01.eex"), QByteArray(100, 'b'));
    EXPECT_TRUE(stamp.changedOnDisk(path));
    QFile::remove(path);
    EXPECT_TRUE(stamp.changedOnDisk(path));
}
