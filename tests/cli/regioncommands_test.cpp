#include "cli/cli.h"
#include "cli/csv.h"
#include "cli/regioncommands.h"
#include "common/fileaccess.h"
#include "messages/imsglayout.h"
#include "messages/messagefile.h"
#include "samplegen/samplegame.h"
#include "scenario/rfile.h"
#include "support/testfiles.h"

#include <gtest/gtest.h>

using namespace lcj;
using cli::RegionKind;

namespace {

struct KindCase {
    RegionKind kind;
    const char* part;
    const char* file;
    QByteArray (*make)();
};

QByteArray saveBytes() {
    return sample::saveGame();
}
QByteArray rBytes() {
    return sample::rFile(2, 1);
}

class RegionCommands : public testing::TestWithParam<KindCase> {
protected:
    test::TestFolder dir;
    QByteArray original = GetParam().make();
    QString path = dir.write(QString::fromLatin1(GetParam().file), original);
    QString part = QString::fromLatin1(GetParam().part);

    csv::Rows exported() {
        auto model = cli::loadRegionModel(GetParam().kind, path);
        EXPECT_TRUE(model.ok()) << model.error().toStdString();
        return *csv::read(cli::exportRows((*model)->table(part)));
    }
    Result<cli::RowImportOutcome> import(const csv::Rows& rows, bool dryRun = false) {
        auto model = cli::loadRegionModel(GetParam().kind, path);
        EXPECT_TRUE(model.ok());
        return cli::importRows(**model, part, csv::write(rows), dryRun);
    }
};

} // namespace

TEST_P(RegionCommands, ExportThenImportWithoutChangesWritesNothing) {
    const csv::Rows rows = exported();
    ASSERT_GE(rows.size(), 2);
    EXPECT_EQ(rows[0][0], QStringLiteral("序号"));
    const auto outcome = import(rows);
    ASSERT_TRUE(outcome.ok()) << outcome.error().toStdString();
    EXPECT_TRUE(outcome->problems.isEmpty()) << outcome->problems.join(u'\n').toStdString();
    EXPECT_EQ(outcome->changedRows, 0);
    EXPECT_EQ(test::readFile(path), original);
    EXPECT_FALSE(QFile::exists(files::backupPath(path)));
}

TEST_P(RegionCommands, OneBadCellAmongValidRowsWritesNothing) {
    csv::Rows rows = exported();
    const int last = int(rows[0].size()) - 1;
    // Valid changes in every row but one, then a cell no form takes.
    for (qsizetype r = 1; r < rows.size(); ++r)
        rows[r][last] =
            rows[r][last] == QStringLiteral("1") ? QStringLiteral("0") : QStringLiteral("1");
    const qsizetype bad = rows.size() == 2 ? 1 : rows.size() / 2;
    // Numbers are checked by the window's rules; texts must have a GBK code.
    rows[bad][last] =
        GetParam().kind == RegionKind::Imsg ? QStringLiteral("表情😀") : QStringLiteral("abc");
    const auto outcome = import(rows);
    ASSERT_TRUE(outcome.ok());
    ASSERT_EQ(outcome->problems.size(), 1);
    EXPECT_TRUE(outcome->problems[0].startsWith(QStringLiteral("第%1行").arg(bad + 1)))
        << outcome->problems[0].toStdString();
    EXPECT_EQ(test::readFile(path), original);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, RegionCommands,
    testing::Values(KindCase{RegionKind::Save, "characters", "Sv01d.e5s", saveBytes},
                    KindCase{RegionKind::Save, "stock", "Sv01d.e5s", saveBytes},
                    KindCase{RegionKind::Save, "loyalty", "Sv01d.e5s", saveBytes},
                    KindCase{RegionKind::Exe, "figures", "Lcj5.exe", sample::programFile},
                    KindCase{RegionKind::Exe, "switch", "Lcj5.exe", sample::programFile},
                    KindCase{RegionKind::RFile, "limits", "R_01.eex", rBytes},
                    KindCase{RegionKind::Imsg, "liezhuan", "Imsg.e5", sample::messageFile},
                    KindCase{RegionKind::Imsg, "zhiming", "Imsg.e5", sample::messageFile}));

namespace {

class RegionEdits : public testing::Test {
protected:
    test::TestFolder dir;

    // Runs the command line; returns its exit code.
    static int run(const QStringList& args) { return cli::run(args); }
    QString csvFile(const QString& text) {
        return dir.write(QStringLiteral("in.csv"), text.toUtf8());
    }
};

} // namespace

TEST_F(RegionEdits, SaveCellsChangeExactlyTheirBytes) {
    const QByteArray original = sample::saveGame();
    const QString path = dir.write(QStringLiteral("Sv01d.e5s"), original);
    // 武力 is shown doubled; 辅助 255 is none; 兵种 is the stored byte.
    ASSERT_EQ(run({QStringLiteral("save"), QStringLiteral("import"), path,
                   csvFile(QStringLiteral("序号,武力,辅助,兵种\r\n5,76,255,9\r\n"))}),
              0);
    ASSERT_EQ(run({QStringLiteral("save"), QStringLiteral("import"), path,
                   csvFile(QStringLiteral("序号,数量\r\n3,42\r\n")), QStringLiteral("--part"),
                   QStringLiteral("stock")}),
              0);
    ASSERT_EQ(run({QStringLiteral("save"), QStringLiteral("import"), path,
                   csvFile(QStringLiteral("序号,忠奸度\r\n0,12\r\n")), QStringLiteral("--part"),
                   QStringLiteral("loyalty")}),
              0);
    QByteArray expected = original;
    const int record = 5340 + 32 * 5;
    expected[record + 9] = 38;
    expected[record + 26] = char(255);
    expected[record + 17] = 9;
    expected[687 + 3] = 42;
    expected[86] = 12;
    EXPECT_EQ(test::readFile(path), expected);
}

TEST_F(RegionEdits, MessageTextGoesIntoItsSlotOnly) {
    const QByteArray original = sample::messageFile();
    const QString path = dir.write(QStringLiteral("Imsg.e5"), original);
    const QString text = QStringLiteral("第一行\n第二行，有逗号");
    csv::Rows rows{{QStringLiteral("序号"), QStringLiteral("撤退台词")},
                   {QStringLiteral("4"), text}};
    ASSERT_EQ(run({QStringLiteral("imsg"), QStringLiteral("import"), path, QStringLiteral("chetui"),
                   csvFile(csv::write(rows))}),
              0);
    const imsg::Category& chetui = imsg::categories[3];
    QByteArray expected = original;
    expected.replace(chetui.slotOffset(4), imsg::slotSize, *imsg::encodeSlot(text));
    EXPECT_EQ(test::readFile(path), expected);
    // A character GBK has no code for is refused, and nothing is written.
    rows[1][1] = QStringLiteral("表情😀");
    EXPECT_EQ(run({QStringLiteral("imsg"), QStringLiteral("import"), path, QStringLiteral("chetui"),
                   csvFile(csv::write(rows))}),
              1);
    EXPECT_EQ(test::readFile(path), expected);
}

TEST_F(RegionEdits, ProgramFileFigureAndSwitch) {
    const QByteArray original = sample::programFile();
    const QString path = dir.write(QStringLiteral("Lcj5.exe"), original);
    ASSERT_EQ(run({QStringLiteral("exe"), QStringLiteral("set"), path,
                   csvFile(QStringLiteral("序号,形象\r\n7,30\r\n"))}),
              0);
    ASSERT_EQ(run({QStringLiteral("exe"), QStringLiteral("set"), path,
                   csvFile(QStringLiteral("序号,敌军小兵自动升级兵种\r\n0,0\r\n")),
                   QStringLiteral("--part"), QStringLiteral("switch")}),
              0);
    QByteArray expected = original;
    expected[24793 + 7] = 30;
    expected[269801] = char(0xE2);
    expected[269805] = char(0xE8);
    EXPECT_EQ(test::readFile(path), expected);
    // 31 is no figure of the list.
    EXPECT_EQ(run({QStringLiteral("exe"), QStringLiteral("set"), path,
                   csvFile(QStringLiteral("序号,形象\r\n1,3\r\n7,31\r\n"))}),
              1);
    EXPECT_EQ(test::readFile(path), expected);
}

TEST_F(RegionEdits, RFileLimits) {
    const QByteArray original = sample::rFile(2, 1);
    const QString path = dir.write(QStringLiteral("R_01.eex"), original);
    const qint64 record = scenario::RFile::findRecord(original);
    ASSERT_GE(record, 0);
    ASSERT_EQ(run({QStringLiteral("rfile"), QStringLiteral("set"), path,
                   csvFile(QStringLiteral("序号,本关出场人数,限制出场人员2\r\n0,9,300\r\n"))}),
              0);
    QByteArray expected = original;
    expected[record + 6] = 9;
    expected[record + 36] = char(300 & 0xFF);
    expected[record + 37] = char(300 >> 8);
    EXPECT_EQ(test::readFile(path), expected);
    EXPECT_EQ(run({QStringLiteral("rfile"), QStringLiteral("set"), path,
                   csvFile(QStringLiteral("序号,本关出场人数,强制出场人员1\r\n0,5,x\r\n"))}),
              1);
    EXPECT_EQ(test::readFile(path), expected);
}

TEST_F(RegionEdits, DiffNamesEachChangedField) {
    const QByteArray save = sample::saveGame();
    QByteArray changed = save;
    changed[5340 + 32 * 5 + 9] = char(quint8(save[5340 + 32 * 5 + 9]) + 1);
    changed[687 + 2] = char(quint8(save[687 + 2]) + 3);
    const QString a = dir.write(QStringLiteral("a.e5s"), save);
    const QString b = dir.write(QStringLiteral("b.e5s"), changed);
    const auto lines = cli::diffRegions(RegionKind::Save, a, b);
    ASSERT_TRUE(lines.ok());
    const int force = quint8(save[5340 + 32 * 5 + 9]) * 2;
    EXPECT_EQ(*lines, (QStringList{QStringLiteral("人物 5 武力: %1 → %2").arg(force).arg(force + 2),
                                   QStringLiteral("道具 2 数量: %1 → %2")
                                       .arg(quint8(save[689]))
                                       .arg(quint8(save[689]) + 3)}));
    EXPECT_EQ(run({QStringLiteral("diff"), QStringLiteral("save"), a, a}), 0);
    EXPECT_EQ(run({QStringLiteral("diff"), QStringLiteral("save"), a, b}), 1);

    const QByteArray exe = sample::programFile();
    QByteArray exeChanged = exe;
    exeChanged[24793 + 3] = 29;
    exeChanged[269801] = char(0xE2);
    const auto exeLines = cli::diffRegions(RegionKind::Exe, dir.write(QStringLiteral("a.exe"), exe),
                                           dir.write(QStringLiteral("b.exe"), exeChanged));
    ASSERT_TRUE(exeLines.ok());
    EXPECT_EQ(*exeLines,
              (QStringList{QStringLiteral("人物 3 形象: %1 → 29").arg(quint8(exe[24796])),
                           QStringLiteral("开关 敌军小兵自动升级兵种: 1 → 0")}));

    const QByteArray msg = sample::messageFile();
    QByteArray msgChanged = msg;
    msgChanged.replace(imsg::categories[1].slotOffset(2), imsg::slotSize,
                       *imsg::encodeSlot(QStringLiteral("新说明")));
    const auto msgLines = cli::diffRegions(RegionKind::Imsg, dir.write(QStringLiteral("a.e5"), msg),
                                           dir.write(QStringLiteral("b.e5"), msgChanged));
    ASSERT_TRUE(msgLines.ok());
    ASSERT_EQ(msgLines->size(), 1);
    EXPECT_TRUE(msgLines->first().startsWith(QStringLiteral("物品说明 2: ")));
    EXPECT_TRUE(msgLines->first().endsWith(QStringLiteral(" → 新说明")));
}

TEST_F(RegionEdits, UsageErrorsExitTwo) {
    EXPECT_EQ(run({QStringLiteral("save")}), 2);
    EXPECT_EQ(run({QStringLiteral("imsg"), QStringLiteral("export"), QStringLiteral("x"),
                   QStringLiteral("nope"), QStringLiteral("-")}),
              2);
    EXPECT_EQ(run({QStringLiteral("exe"), QStringLiteral("show"), QStringLiteral("x"),
                   QStringLiteral("--part"), QStringLiteral("nope")}),
              2);
    EXPECT_EQ(run({QStringLiteral("diff"), QStringLiteral("nope"), QStringLiteral("a"),
                   QStringLiteral("b")}),
              2);
    EXPECT_EQ(run({QStringLiteral("scenario"), QStringLiteral("--help")}), 0);
    EXPECT_EQ(run({QStringLiteral("rfile"), QStringLiteral("show"),
                   dir.path(QStringLiteral("missing.eex"))}),
              1);
}
