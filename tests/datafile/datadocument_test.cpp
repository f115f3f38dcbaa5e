#include "common/gbk.h"
#include "datafile/datafile.h"
#include "samplegen/samplegame.h"
#include "support/testfiles.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace lcj;

namespace {

struct Edit {
    const char* name;
    const data::Table* table;
    int record;
    int byte;         // within the record
    int recordsSaved; // what the save reports
};

class DocumentSave : public testing::TestWithParam<Edit> {};

} // namespace

// One byte changed in the document: the save writes that record alone, in
// place, and reports it; every other byte of the file stays.
TEST_P(DocumentSave, WritesTheChangedRecordAndNothingElse) {
    const Edit& e = GetParam();
    test::TestFolder dir;
    QByteArray bytes = sample::dataFile();
    bytes.append("tail bytes past the tables");
    const QString path = dir.write(QStringLiteral("data.e5"), bytes);
    data::DataFile file(path);
    ASSERT_TRUE(file.load().ok());
    QByteArray record = file.record(*e.table, e.record);
    record[e.byte] = char(record[e.byte] ^ 0x5A);
    file.setRecord(*e.table, e.record, record);
    EXPECT_TRUE(file.modified());
    const auto saved = file.save();
    ASSERT_TRUE(saved.ok()) << qPrintable(saved.error());
    EXPECT_EQ(*saved, e.recordsSaved);
    QByteArray expected = bytes;
    expected.replace(e.table->recordOffset(e.record), e.table->recordSize, record);
    EXPECT_EQ(test::readFile(path), expected);
    EXPECT_FALSE(file.modified());
}

INSTANTIATE_TEST_SUITE_P(
    Tables, DocumentSave,
    testing::Values(Edit{"FirstCharacter", &data::characters, 0, 0, 1},
                    Edit{"LastItem", &data::items, 103, 24, 1},
                    Edit{"LastShop", &data::shops, 57, 34, 1},
                    // The last shop block's last byte is troop type 0's first: one record.
                    Edit{"TroopTypeZeroFirstByte", &data::troopTypes, 0, 0, 1},
                    Edit{"LastTerrain", &data::terrain, 26, 59, 1},
                    Edit{"LastStrategy", &data::strategies, 67, 69, 1}),
    [](const auto& info) { return info.param.name; });

// Another program changed bytes outside the tables and one record: the save
// (which the window lets go on only when the user agreed) writes the records
// the document holds otherwise and keeps the other bytes as they are on disk.
TEST(DataDocument, SaveWritesOverDifferingRecordsOnlyAndKeepsOtherBytes) {
    test::TestFolder dir;
    const QByteArray bytes = sample::dataFile();
    const QString path = dir.write(QStringLiteral("data.e5"), bytes);
    data::DataFile file(path);
    ASSERT_TRUE(file.load().ok());
    QByteArray other = bytes;
    other[19380] = char(other[19380] ^ 1);                   // belongs to no table
    other[data::characters.recordOffset(7) + 13] = char(77); // a record
    dir.write(QStringLiteral("data.e5"), other);
    QByteArray record = file.record(data::strategies, 2);
    record[11] = char(9);
    file.setRecord(data::strategies, 2, record);
    const auto saved = file.save();
    ASSERT_TRUE(saved.ok());
    EXPECT_EQ(*saved, 2);
    QByteArray expected = other;
    expected.replace(data::characters.recordOffset(7), 32,
                     bytes.mid(data::characters.recordOffset(7), 32));
    expected.replace(data::strategies.recordOffset(2), 70, record);
    EXPECT_EQ(test::readFile(path), expected);
    EXPECT_FALSE(file.modified());
}

TEST(DataDocument, FileShortOnDiskIsRefusedAndNothingWritten) {
    test::TestFolder dir;
    const QByteArray bytes = sample::dataFile();
    const QString path = dir.write(QStringLiteral("data.e5"), bytes);
    data::DataFile file(path);
    ASSERT_TRUE(file.load().ok());
    file.setRecord(data::characters, 1, QByteArray(32, 'x'));
    const QByteArray shortFile = bytes.left(29278);
    dir.write(QStringLiteral("data.e5"), shortFile);
    EXPECT_FALSE(file.save().ok());
    EXPECT_EQ(test::readFile(path), shortFile);
    EXPECT_TRUE(file.modified());
}

// Another program changed the file while the document holds edits: reload
// drops the edits and their steps and takes the file; a file that cannot be
// a data file (cut short, or gone) leaves the document, its edits and its
// stamp exactly as they were.
TEST(DataDocument, ReloadTakesTheFileOrKeepsEverything) {
    test::TestFolder dir;
    const QByteArray bytes = sample::dataFile();
    const QString path = dir.write(QStringLiteral("data.e5"), bytes);
    data::DataFile file(path);
    ASSERT_TRUE(file.load().ok());
    QByteArray record = file.record(data::characters, 3);
    record[5] = char(record[5] ^ 0x21);
    file.setRecord(data::characters, 3, record);
    const QByteArray edited = file.bytes();

    for (const QByteArray& broken : {bytes.left(100), QByteArray()}) {
        if (broken.isEmpty())
            ASSERT_TRUE(QFile::remove(path));
        else
            dir.write(QStringLiteral("data.e5"), broken);
        EXPECT_FALSE(file.reload().ok());
        EXPECT_TRUE(file.loaded());
        EXPECT_EQ(file.bytes(), edited);
        EXPECT_TRUE(file.modified());
        EXPECT_EQ(file.stamp().bytes, bytes);
    }

    QByteArray outside = bytes;
    outside[data::items.recordOffset(7) + 2] =
        char(outside[data::items.recordOffset(7) + 2] ^ 0x11);
    dir.write(QStringLiteral("data.e5"), outside);
    const int loads = file.loads();
    ASSERT_TRUE(file.reload().ok());
    EXPECT_EQ(file.bytes(), outside);
    EXPECT_EQ(file.savedBytes(), outside);
    EXPECT_FALSE(file.modified());
    EXPECT_EQ(file.loads(), loads + 1);
    EXPECT_EQ(file.stamp().state(), DiskStamp::State::Unchanged);
}

namespace {

struct NameWrite {
    const char* name;
    const data::Table* table;
    int record;
};

class DocumentNames : public testing::TestWithParam<NameWrite> {};

} // namespace

// A name written into the document's bytes in place, as the table view
// writes, is what the names give next, and what undoing it back gives after;
// the names asked again over the same bytes are the same.
TEST_P(DocumentNames, FollowTheBytesWrittenInPlace) {
    const NameWrite& w = GetParam();
    test::TestFolder dir;
    data::DataFile file(dir.write(QStringLiteral("data.e5"), sample::dataFile()));
    ASSERT_TRUE(file.load().ok());
    const QStringList before = file.names(*w.table);
    EXPECT_EQ(file.names(*w.table), before);
    const qint64 at = w.table->recordOffset(w.record);
    const QByteArray was = file.bytes().mid(at, w.table->nameWidth);
    const auto name = gbk::encodeField(QStringLiteral("新名"), w.table->nameWidth);
    ASSERT_TRUE(name.ok());
    file.bytes().replace(at, name->size(), *name);
    QStringList after = before;
    after[w.record] = QStringLiteral("新名");
    EXPECT_EQ(file.names(*w.table), after);
    EXPECT_TRUE(file.modified());
    file.bytes().replace(at, was.size(), was);
    EXPECT_EQ(file.names(*w.table), before);
    EXPECT_FALSE(file.modified());
}

INSTANTIATE_TEST_SUITE_P(Tables, DocumentNames,
                         testing::Values(NameWrite{"FirstCharacter", &data::characters, 0},
                                         NameWrite{"LastCharacter", &data::characters, 511},
                                         NameWrite{"LastItem", &data::items, 103},
                                         NameWrite{"LastStrategy", &data::strategies, 67}),
                         [](const auto& info) { return info.param.name; });

// Bytes of no table changed in the document (the byte between the items and
// the shops, the header, the bytes past the strategies) leave it unmodified:
// a save never writes them.
TEST(DataDocument, BytesOutsideTheTablesAreNoChange) {
    test::TestFolder dir;
    QByteArray bytes = sample::dataFile();
    bytes.append("tail");
    data::DataFile file(dir.write(QStringLiteral("data.e5"), bytes));
    ASSERT_TRUE(file.load().ok());
    for (const qint64 at : {qint64(0), data::characters.offset - 1, data::items.end(),
                            data::strategies.end(), qint64(bytes.size() - 1)}) {
        file.bytes()[at] = char(file.bytes()[at] ^ 0x3C);
        EXPECT_FALSE(file.modified()) << at;
    }
    file.bytes()[data::items.end() + 1] = char(file.bytes()[data::items.end() + 1] ^ 0x3C);
    EXPECT_TRUE(file.modified());
}
