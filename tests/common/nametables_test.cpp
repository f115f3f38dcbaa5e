#include "common/gbk.h"
#include "common/nametables.h"

#include <gtest/gtest.h>

using namespace lcj;

TEST(NameTables, CountsAndFixedEntries) {
    EXPECT_EQ(names::troopTypes().size(), 53);
    EXPECT_EQ(names::troopTypes().first(), QStringLiteral("群雄"));
    EXPECT_EQ(names::troopTypes().last(), QStringLiteral("百姓"));
    EXPECT_EQ(names::equipmentKinds().size(), 18);
    EXPECT_EQ(names::equipmentKinds().last(), QStringLiteral("特殊衣服"));
    EXPECT_EQ(names::troopClasses().size(), 27);
    EXPECT_EQ(names::terrains().size(), 30);
    EXPECT_EQ(names::terrains()[9], QStringLiteral("浅滩"));
    EXPECT_EQ(names::strategies().size(), 68);
    EXPECT_EQ(names::consumables().size(), 17);
    EXPECT_EQ(names::battles().size(), 58);
    EXPECT_EQ(names::battles()[7], QStringLiteral("濮阳之战  贰"));
    EXPECT_EQ(names::characters().size(), 174);
    EXPECT_EQ(names::items().size(), 104);
}

TEST(NameTables, ItemsAgreeWithTheQuotedEntries) {
    const QStringList& items = names::items();
    EXPECT_EQ(items[0], QStringLiteral("短剑"));
    EXPECT_EQ(items[1], QStringLiteral("大剑"));
    EXPECT_EQ(items[2], QStringLiteral("钢剑"));
    EXPECT_EQ(items[38], QStringLiteral("皮铠"));
    // Items 87..103 are the consumables, in stock order.
    EXPECT_EQ(items.mid(87), names::consumables());
}

TEST(NameTables, EveryNameFitsItsFieldInGbk) {
    for (const QString& n : names::characters())
        EXPECT_LE(gbk::encode(n)->size(), 12) << n.toStdString();
    for (const QString& n : names::items())
        EXPECT_LE(gbk::encode(n)->size(), 16) << n.toStdString();
    for (const QString& n : names::strategies())
        EXPECT_LE(gbk::encode(n)->size(), 10) << n.toStdString();
}
