#include "cli/cli.h"
#include "cli/csv.h"
#include "cli/datacommands.h"
#include "common/fileaccess.h"
#include "samplegen/samplegame.h"
#include "support/testfiles.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace lcj;

namespace {

class DataCommands : public testing::Test {
protected:
    test::TestFolder dir;
    QByteArray original = sample::dataFile();
    QString path = dir.write(QStringLiteral("data.e5"), original);
    const cli::TableAdapter& characters = *cli::findDataTable(QStringLiteral("characters"));

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
