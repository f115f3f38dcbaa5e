#include "datafile/datafile.h"
#include "samplegen/samplegame.h"
#include "support/testfiles.h"

#include <gtest/gtest.h>

using namespace lcj;

namespace {

struct Edge {
    const data::Table* table;
    qint64 first; // offset of record 0
    qint64 last;  // offset of the last record
    qint64 end;   // one past the last record
};

class TableEdges : public testing::TestWithParam<Edge> {};

} // namespace

TEST_P(TableEdges, FirstAndLastRecordOffsets) {
    const Edge& e = GetParam();
    EXPECT_EQ(e.table->recordOffset(0), e.first);
    EXPECT_EQ(e.table->recordOffset(e.table->count - 1), e.last);
    EXPECT_EQ(e.table->end(), e.end);
}

INSTANTIATE_TEST_SUITE_P(SixTables, TableEdges,
                         testing::Values(Edge{&data::characters, 396, 16748, 16780},
                                         Edge{&data::items, 16780, 19355, 19380},
                                         Edge{&data::shops, 19381, 21433, 21469},
                                         Edge{&data::troopTypes, 21468, 22872, 22899},
                                         Edge{&data::terrain, 22899, 24459, 24519},
                                         Edge{&data::strategies, 24519, 29209, 29279}));

TEST(DataFile, ReadsRecordsAndNamesFromTheirOffsets) {
    test::TestFolder dir;
    const QByteArray bytes = sample::dataFile();
    const data::DataFile file(dir.write(QStringLiteral("data.e5"), bytes));
    EXPECT_EQ(*file.readRecord(data::characters, 511), bytes.mid(16748, 32));
    EXPECT_EQ(*file.readRecord(data::strategies, 67), bytes.mid(29209, 70));
    const auto names = file.readNames(data::characters);
    ASSERT_TRUE(names.ok());
    ASSERT_EQ(names->size(), 512);
    EXPECT_EQ(names->at(0), sample::characterNames()[0]);
    EXPECT_EQ(names->at(7), QStringLiteral("岚川长风破浪")); // fills the field, no zero byte
    EXPECT_EQ(names->at(8), QStringLiteral("林青"));         // stored with trailing blanks
}

TEST(DataFile, ShortMissingOrUnchosenFileIsRefusedAndNothingWritten) {
    test::TestFolder dir;
    const QByteArray shortFile = sample::dataFile().left(29278);
    const QString path = dir.write(QStringLiteral("data.e5"), shortFile);
    data::DataFile file(path);
    // Even a record wholly inside the file: a file this short is not a data file.
    EXPECT_FALSE(file.readRecord(data::characters, 0).ok());
    EXPECT_FALSE(file.readNames(data::items).ok());
    EXPECT_FALSE(file.writeRecord(data::characters, 0, QByteArray(32, 'x')).ok());
    EXPECT_EQ(test::readFile(path), shortFile);
    EXPECT_FALSE(data::DataFile(dir.path(QStringLiteral("missing.e5")))
                     .readRecord(data::characters, 0)
                     .ok());
    EXPECT_FALSE(data::DataFile().readNames(data::characters).ok());
}

TEST(DataFile, WritesOnlyTheRecord) {
    test::TestFolder dir;
    const QByteArray before = sample::dataFile();
    const QString path = dir.write(QStringLiteral("data.e5"), before);
    const QByteArray record(70, '\x42');
    EXPECT_TRUE(data::DataFile(path).writeRecord(data::strategies, 67, record).ok());
    QByteArray expected = before;
    expected.replace(29209, 70, record);
    EXPECT_EQ(test::readFile(path), expected);
}
