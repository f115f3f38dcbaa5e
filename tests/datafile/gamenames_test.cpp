#include "common/gbk.h"
#include "common/nametables.h"
#include "datafile/datalayout.h"
#include "datafile/gamenames.h"
#include "samplegen/samplegame.h"
#include "support/testfiles.h"

#include <gtest/gtest.h>

using namespace lcj;

TEST(GameNames, TakesTheFirst174CharactersAndEveryItem) {
    test::TestFolder dir;
    QByteArray bytes = sample::dataFile();
    bytes.replace(data::characters.recordOffset(173), 12,
                  *gbk::encodeField(QStringLiteral("末位"), 12));
    bytes.replace(data::characters.recordOffset(174), 12,
                  *gbk::encodeField(QStringLiteral("多余"), 12));
    bytes.replace(data::items.recordOffset(103), 16, *gbk::encodeField(QStringLiteral("新果"), 16));
    const auto read = names::readGameNames(dir.write(QStringLiteral("data.e5"), bytes));
    ASSERT_TRUE(read.ok()) << read.error().toStdString();
    ASSERT_EQ(read->characters.size(), 174);
    ASSERT_EQ(read->items.size(), 104);
    EXPECT_EQ(read->characters[0], sample::characterNames()[0]);
    EXPECT_EQ(read->characters[173], QStringLiteral("末位"));
    EXPECT_EQ(read->items[103], QStringLiteral("新果"));
}

TEST(GameNames, ShortOrMissingFileIsAFailure) {
    test::TestFolder dir;
    EXPECT_FALSE(names::readGameNames(dir.path(QStringLiteral("none.e5"))).ok());
    EXPECT_FALSE(
        names::readGameNames(dir.write(QStringLiteral("data.e5"), sample::dataFile().left(20000)))
            .ok());
}

TEST(GameNames, FixedTablesHaveTheirCounts) {
    const names::GameNames fixed = names::fixedGameNames();
    EXPECT_EQ(fixed.characters.size(), 174);
    EXPECT_EQ(fixed.items.size(), 104);
}
