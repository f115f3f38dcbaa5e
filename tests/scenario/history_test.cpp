#include "common/diskstamp.h"
#include "scanhelpers.h"
#include "scenario/edithistory.h"
#include "support/testfiles.h"

#include <gtest/gtest.h>

using namespace lcj;
using namespace lcj::scenario;

TEST(EditHistory, UndoRedoAndTheModifiedMark) {
    auto doc = ScenarioDocument::scan(test::buildScenario(3, 1).bytes);
    const QByteArray loaded = doc.scenarioBytes;
    EditHistory history;
    EXPECT_FALSE(history.modified());

    ScenarioDocument before = doc;
    ASSERT_TRUE(doc.appendArmyEntry());
    history.record(before);
    before = doc;
    ArmyEntryForm form = ArmyEntryForm::show(doc.armyEntry(0));
    form.x = QStringLiteral("99");
    ASSERT_FALSE(doc.applyArmyEntry(0, form));
    history.record(before);
    EXPECT_TRUE(history.modified());

    ASSERT_TRUE(history.undo(doc));
    ASSERT_TRUE(history.undo(doc));
    EXPECT_FALSE(history.undo(doc));
    EXPECT_FALSE(history.modified());
    EXPECT_EQ(doc.scenarioBytes, loaded);
    EXPECT_EQ(doc.armyEntryCount, 3);

    ASSERT_TRUE(history.redo(doc));
    EXPECT_EQ(doc.armyEntryCount, 4);
    EXPECT_TRUE(history.modified());
    // A new edit after an undo drops the steps that could be redone.
    before = doc;
    doc.appendArmyEntry();
    history.record(before);
    EXPECT_FALSE(history.canRedo());
    ASSERT_TRUE(history.undo(doc));
    EXPECT_EQ(doc.armyEntryCount, 4);
    EXPECT_EQ(doc.armyEntry(0), ScenarioDocument::scan(loaded).armyEntry(0));
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
