#include "cli/cli.h"
#include "cli/csv.h"
#include "cli/datacommands.h"
#include "common/fileaccess.h"
#include "samplegen/samplegame.h"
#include "support/testfiles.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <gtest/gtest.h>

using namespace lcj;

namespace {

class DataCommands : public testing::Test {
protected:
    test::TestFolder dir;
    QByteArray original = sample::dataFile();
    QString path = dir.write(QStringLiteral("data.e5"), original);
    const fields::TableAdapter& characters = *fields::findDataTable(QStringLiteral("characters"));

    csv::Rows exported() {
        const auto text = cli::exportTable(path, characters, cli::Format::Csv);
        EXPECT_TRUE(text.ok());
        return *csv::read(*text);
    }
    // Sets the cell of `column` in the row of record `record`.
    static void setCell(csv::Rows& rows, int record, const QString& column, const QString& v) {
        rows[record + 1][rows[0].indexOf(column)] = v;
    }
};

} // namespace

TEST_F(DataCommands, ExportShowsWhatTheWindowShows) {
    const csv::Rows rows = exported();
    ASSERT_EQ(rows.size(), 513);
    EXPECT_EQ(rows[0].first(), QStringLiteral("序号"));
    EXPECT_EQ(rows[0][1], QStringLiteral("姓名"));
    const int force = int(rows[0].indexOf(QStringLiteral("武力")));
    const int hp = int(rows[0].indexOf(QStringLiteral("初始HP值")));
    const qint64 at = 396 + 32 * 5;
    EXPECT_EQ(rows[6][0], QStringLiteral("5"));
    EXPECT_EQ(rows[6][force], QString::number(quint8(original[at + 18]) * 2));
    EXPECT_EQ(rows[6][hp],
              QString::number(quint8(original[at + 23]) + 256 * quint8(original[at + 24])));
    EXPECT_EQ(rows[9][1], QStringLiteral("林青"));
}

TEST_F(DataCommands, ImportWithoutChangesWritesNothing) {
    const auto outcome = cli::importTable(path, characters, csv::write(exported()), false);
    ASSERT_TRUE(outcome.ok()) << outcome.error().toStdString();
    EXPECT_EQ(outcome->changedRecords, 0);
    EXPECT_TRUE(outcome->problems.isEmpty());
    EXPECT_EQ(test::readFile(path), original);
    EXPECT_FALSE(QFile::exists(files::backupPath(path))); // not even touched
}

TEST_F(DataCommands, EditedCellsChangeExactlyTheirBytes) {
    csv::Rows rows = exported();
    setCell(rows, 5, QStringLiteral("武力"), QStringLiteral("75"));
    setCell(rows, 511, QStringLiteral("姓名"), QStringLiteral("岚川记"));
    setCell(rows, 0, QStringLiteral("武具"), QStringLiteral("255"));
    const auto outcome = cli::importTable(path, characters, csv::write(rows), false);
    ASSERT_TRUE(outcome.ok());
    EXPECT_EQ(outcome->changedRecords, 3);
    QByteArray expected = original;
    expected[396 + 32 * 5 + 18] = 38;
    expected.replace(396 + 32 * 511, 12, QByteArray("\xE1\xB0\xB4\xA8\xBC\xC7\0\0\0\0\0\0", 12));
    expected[396 + 29] = char(255);
    EXPECT_EQ(test::readFile(path), expected);
}

TEST_F(DataCommands, MissingColumnsKeepTheirValues) {
    const QString text = QStringLiteral("序号,武力\r\n5,75\r\n");
    ASSERT_TRUE(cli::importTable(path, characters, text, false).ok());
    QByteArray expected = original;
    expected[396 + 32 * 5 + 18] = 38;
    EXPECT_EQ(test::readFile(path), expected);
}

TEST_F(DataCommands, OneBadCellAmongManyWritesNothing) {
    csv::Rows rows = exported();
    for (int r = 0; r < 100; ++r)
        setCell(rows, r, QStringLiteral("等级"), QStringLiteral("50"));
    setCell(rows, 42, QStringLiteral("武力"), QStringLiteral("abc"));
    const auto outcome = cli::importTable(path, characters, csv::write(rows), false);
    ASSERT_TRUE(outcome.ok());
    ASSERT_EQ(outcome->problems.size(), 1);
    EXPECT_EQ(outcome->problems[0],
              QStringLiteral("第44行（序号42）：武力：“abc”不是数字，请输入0到510之间的整数"));
    EXPECT_EQ(test::readFile(path), original);
}

TEST_F(DataCommands, RefusesBadTables) {
    EXPECT_FALSE(cli::importTable(path, characters, QStringLiteral("姓名\r\n"), false).ok());
    EXPECT_FALSE(
        cli::importTable(path, characters, QStringLiteral("序号,未知\r\n1,2\r\n"), false).ok());
    const auto outcome = cli::importTable(
        path, characters, QStringLiteral("序号,武力\r\n512,2\r\n5,2\r\n5,4\r\n6\r\n"), false);
    ASSERT_TRUE(outcome.ok());
    EXPECT_EQ(outcome->problems.size(), 3); // number out of range, a repeat, a short row
    EXPECT_EQ(test::readFile(path), original);
}

TEST_F(DataCommands, DryRunCountsButWritesNothing) {
    csv::Rows rows = exported();
    setCell(rows, 3, QStringLiteral("经验"), QStringLiteral("1"));
    const auto outcome = cli::importTable(path, characters, csv::write(rows), true);
    ASSERT_TRUE(outcome.ok());
    EXPECT_EQ(outcome->changedRecords, 1);
    EXPECT_EQ(test::readFile(path), original);
}

TEST_F(DataCommands, DiffNamesEachChangedField) {
    QByteArray changed = original;
    const qint64 force = 396 + 32 * 5 + 18;
    const int stored = quint8(original[force]);
    changed[force] = char(stored + 1);
    changed[data::minimumFileSize + 3] ^= 1; // past every table
    const QString other = dir.write(QStringLiteral("other.e5"), changed);
    const auto lines = cli::diffData(path, other);
    ASSERT_TRUE(lines.ok());
    EXPECT_EQ(lines->size(), 2);
    EXPECT_TRUE(lines->contains(
        QStringLiteral("人物 5 武力: %1 → %2").arg(stored * 2).arg(stored * 2 + 2)));
    EXPECT_TRUE(lines->contains(QStringLiteral("表格之外的字节不同")));
    EXPECT_TRUE(cli::diffData(path, path)->isEmpty());
}

TEST_F(DataCommands, ExitCodes) {
    EXPECT_EQ(cli::run({}), cli::UsageError);
    EXPECT_EQ(cli::run({QStringLiteral("data"), QStringLiteral("export"), path,
                        QStringLiteral("nosuchtable")}),
              cli::UsageError);
    EXPECT_EQ(cli::run({QStringLiteral("data"), QStringLiteral("export"),
                        dir.path(QStringLiteral("missing.e5")), QStringLiteral("characters")}),
              cli::DataError);
    const QString out = dir.path(QStringLiteral("c.csv"));
    EXPECT_EQ(cli::run({QStringLiteral("data"), QStringLiteral("export"), path,
                        QStringLiteral("characters"), QStringLiteral("-o"), out}),
              cli::Ok);
    EXPECT_EQ(cli::run({QStringLiteral("data"), QStringLiteral("import"), path,
                        QStringLiteral("characters"), out}),
              cli::Ok);
    EXPECT_EQ(cli::run({QStringLiteral("diff"), QStringLiteral("data"), path, path}), cli::Ok);
    EXPECT_EQ(cli::run({QStringLiteral("data"), QStringLiteral("--help")}), cli::Ok);
    EXPECT_EQ(test::readFile(path), original);
}

namespace {

class EveryTable : public testing::TestWithParam<const char*> {};

} // namespace

TEST_P(EveryTable, ExportThenImportChangesNothing) {
    test::TestFolder dir;
    const QByteArray original = sample::dataFile();
    const QString path = dir.write(QStringLiteral("data.e5"), original);
    const auto* table = fields::findDataTable(QString::fromLatin1(GetParam()));
    ASSERT_TRUE(table);
    for (auto format : {cli::Format::Csv, cli::Format::Json}) {
        const auto text = cli::exportTable(path, *table, format);
        ASSERT_TRUE(text.ok());
        if (format == cli::Format::Json) {
            QJsonParseError error;
            const QJsonDocument doc = QJsonDocument::fromJson(text->toUtf8(), &error);
            ASSERT_EQ(error.error, QJsonParseError::NoError);
            EXPECT_EQ(doc.array().size(), table->table().count);
        } else {
            const auto rows = csv::read(*text);
            ASSERT_EQ(rows->size(), table->table().count + 1);
        }
        const auto outcome = cli::importTable(path, *table, *text, false);
        ASSERT_TRUE(outcome.ok());
        EXPECT_TRUE(outcome->problems.isEmpty()) << outcome->problems.join(u'\n').toStdString();
        EXPECT_EQ(outcome->changedRecords, 0);
    }
    EXPECT_EQ(test::readFile(path), original);
}

INSTANTIATE_TEST_SUITE_P(Tables, EveryTable,
                         testing::Values("characters", "items", "shops", "troops", "terrain",
                                         "strategies"));

namespace {

struct Edit {
    const char* table;
    int record;
    const char16_t* column;
    const char16_t* cell;
    qint64 offset;           // of the byte that must change, -1 when the edit is refused
    int byte;                // its new value
    const char16_t* message; // the start of the refusal
};

class TableEdit : public testing::TestWithParam<Edit> {};

} // namespace

// Each edit goes through the section's own rules: one byte changes, or the
// whole import is refused with the section's message and nothing is written.
TEST_P(TableEdit, ChangesOneByteOrNothing) {
    const Edit& e = GetParam();
    test::TestFolder dir;
    const QByteArray original = sample::dataFile();
    const QString path = dir.write(QStringLiteral("data.e5"), original);
    const auto* table = fields::findDataTable(QString::fromLatin1(e.table));
    const QString text = QStringLiteral("序号,%1\r\n%2,\"%3\"\r\n")
                             .arg(QString::fromUtf16(e.column))
                             .arg(e.record)
                             .arg(QString::fromUtf16(e.cell));
    const auto outcome = cli::importTable(path, *table, text, false);
    ASSERT_TRUE(outcome.ok()) << outcome.error().toStdString();
    QByteArray expected = original;
    if (e.offset < 0) {
        ASSERT_EQ(outcome->problems.size(), 1);
        EXPECT_TRUE(outcome->problems[0].contains(QString::fromUtf16(e.message)))
            << outcome->problems[0].toStdString();
    } else {
        ASSERT_TRUE(outcome->problems.isEmpty()) << outcome->problems[0].toStdString();
        expected[e.offset] = char(e.byte);
    }
    EXPECT_EQ(test::readFile(path), expected);
}

// Sample items: 0..35 weapons, 36..50 armour, 51..86 auxiliary, 87..103 consumables.
INSTANTIATE_TEST_SUITE_P(
    Rules, TableEdit,
    testing::Values(
        Edit{"items", 90, u"特殊效果值", u"77", 16780 + 25 * 90 + 21, 77, nullptr},
        Edit{"items", 60, u"升级成长值", u"5", -1, 0, u"升级成长值：这一类道具不用这一栏"},
        Edit{"items", 60, u"适合兵种", u"255", 16780 + 25 * 60 + 23, 255, nullptr},
        Edit{"items", 60, u"特殊效果", u"255", -1, 0, u"特殊效果：请输入18到62之间的代码"},
        Edit{"items", 2, u"特殊效果", u"20", -1, 0, u"特殊效果：这件武具或防具没有特殊效果"},
        Edit{"items", 0, u"特殊效果", u"20", 16780 + 18, 20, nullptr},
        Edit{"troops", 3, u"移动力", u"21", -1, 0, u"移动力介于0到20之间"},
        Edit{"troops", 3, u"特殊弓", u"1", 21468 + 27 * 3 + 9 + 5, 1, nullptr},
        Edit{"terrain", 2, u"浅滩（地形效果）", u"2.5", 22899 + 60 * 2 + 9, 2, nullptr},
        Edit{"terrain", 2, u"浅滩（消耗移动力）", u"3.5", 22899 + 60 * 2 + 39, 4, nullptr},
        Edit{"strategies", 4, u"英雄学会此计策的等级", u"12", 24519 + 70 * 4 + 18, 12, nullptr},
        Edit{"strategies", 4, u"施展对象", u"3", -1, 0, u"施展对象"},
        Edit{"shops", 0, u"装备店(最多16种)", u"1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17", -1, 0,
             u"每关商店所卖物品的最大数为16！"}));

TEST(ShopImport, PacksTheItemsSortedAndPadsWith255) {
    test::TestFolder dir;
    const QByteArray original = sample::dataFile();
    const QString path = dir.write(QStringLiteral("data.e5"), original);
    const auto outcome =
        cli::importTable(path, *fields::findDataTable(QStringLiteral("shops")),
                         QStringLiteral("序号,战役,装备店(最多16种),道具店(最多16种)\r\n"
                                        "5,徐州复仇战,40 3 17,\r\n"),
                         false);
    ASSERT_TRUE(outcome.ok());
    ASSERT_TRUE(outcome->problems.isEmpty());
    QByteArray expected = original;
    const qint64 at = 19381 + 36 * 5;
    expected.replace(at + 3, 32, QByteArray("\x03\x11\x28", 3) + QByteArray(29, '\xFF'));
    EXPECT_EQ(test::readFile(path), expected);
}
