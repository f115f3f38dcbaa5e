// lcjtool over several files in one call: each file's result is what the
// command gives for that file alone, under a heading or in a folder.
#include "clirun.h"
#include "samplegen/samplegame.h"
#include "support/testfiles.h"

#include <QDir>
#include <QDirIterator>
#include <QMap>
#include <gtest/gtest.h>

using namespace lcj;
using namespace Qt::Literals::StringLiterals;
using test::runCli;
using test::snapshot;

namespace {

// A game folder (every sample file in `game/`) and an empty `out/`.
class Batch : public testing::Test {
protected:
    test::TestFolder dir;
    QString game = dir.path(u"game"_s);
    QString out = dir.path(u"out"_s);

    void SetUp() override {
        ASSERT_TRUE(sample::writeSampleGame(game).ok());
        ASSERT_TRUE(QDir().mkpath(out));
    }
    QString at(const QString& name) const { return QDir(game).filePath(name); }
    // What the command prints for one file alone.
    static QString alone(QStringList args) {
        const auto run = runCli(args);
        EXPECT_EQ(run.code, cli::Ok) << run.err.toStdString();
        return run.out;
    }
};

} // namespace

TEST_F(Batch, ScenarioShowPrintsEachFileUnderItsHeading) {
    const QStringList files{at(u"S_01.eex"_s), at(u"S_03.eex"_s), at(u"S_02.eex"_s)};
    QString expected;
    for (const QString& f : files)
        expected += (expected.isEmpty() ? QString() : u"\n"_s) + u"==> %1 <==\n"_s.arg(f) +
                    alone({u"scenario"_s, u"show"_s, f, u"--data"_s, at(u"data.e5"_s)});
    const auto run = runCli(QStringList{u"scenario"_s, u"show"_s} + files +
                            QStringList{u"--data"_s, at(u"data.e5"_s)});
    EXPECT_EQ(run.code, cli::Ok) << run.err.toStdString();
    EXPECT_EQ(run.out, expected);
    EXPECT_TRUE(run.err.isEmpty());
}

TEST_F(Batch, AFolderStandsForItsScenariosAndOutputGoesToAFolder) {
    const auto run = runCli({u"scenario"_s, u"show"_s, game, u"-o"_s, out});
    ASSERT_EQ(run.code, cli::Ok) << run.err.toStdString();
    EXPECT_TRUE(run.out.isEmpty());
    QMap<QString, QByteArray> expected;
    for (const QString& name : {u"S_01"_s, u"S_02"_s, u"S_03"_s, u"S_04"_s})
        expected.insert(name + u".json"_s,
                        alone({u"scenario"_s, u"show"_s, at(name + u".eex"_s)}).toUtf8());
    EXPECT_EQ(snapshot(out), expected);
}

// Outputs are written side by side into one folder: no writer takes the folder
// the others write their new files in from under them.
TEST_F(Batch, ManyOutputsWrittenAtOnceAreAllWritten) {
    const QByteArray scenario = test::readFile(at(u"S_01.eex"_s));
    const QString many = dir.path(u"many"_s);
    ASSERT_TRUE(QDir().mkpath(many));
    for (int i = 1; i <= 60; ++i)
        dir.write(u"many/S_%1.eex"_s.arg(i, 3, 10, QChar(u'0')), scenario);
    for (int round = 0; round < 10; ++round) {
        ASSERT_TRUE(QDir(out).removeRecursively() && QDir().mkpath(out));
        const auto run = runCli({u"scenario"_s, u"show"_s, many, u"-o"_s, out});
        ASSERT_EQ(run.code, cli::Ok) << run.err.toStdString();
        EXPECT_EQ(snapshot(out).size(), 60);
    }
}

// A read-only output file is kept as it is and named; the others are written.
TEST_F(Batch, AnOutputThatCannotBeWrittenIsReportedAndTheOthersWritten) {
    const QString locked = dir.write(u"out/S_02.json"_s, "kept");
    ASSERT_TRUE(QFile::setPermissions(locked, QFile::ReadOwner | QFile::ReadGroup));
    const auto run = runCli({u"scenario"_s, u"show"_s, game, u"-o"_s, out});
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(run.code, cli::DataError);
    EXPECT_TRUE(run.err.startsWith(u"==> %1 <==\n"_s.arg(at(u"S_02.eex"_s))))
        << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(u"只读"_s)) << run.err.toStdString();
    QMap<QString, QByteArray> expected{{u"S_02.json"_s, "kept"}};
    for (const QString& name : {u"S_01"_s, u"S_03"_s, u"S_04"_s})
        expected.insert(name + u".json"_s,
                        alone({u"scenario"_s, u"show"_s, at(name + u".eex"_s)}).toUtf8());
    EXPECT_EQ(snapshot(out), expected);
}

TEST_F(Batch, AFailingFileDoesNotStopTheOthersButSetsTheExitCode) {
    const QString missing = dir.path(u"S_09.eex"_s);
    const auto run = runCli({u"rfile"_s, u"show"_s, at(u"R_01.eex"_s), missing, at(u"R_02.eex"_s)});
    EXPECT_EQ(run.code, cli::DataError);
    EXPECT_EQ(run.out, u"==> %1 <==\n"_s.arg(at(u"R_01.eex"_s)) +
                           alone({u"rfile"_s, u"show"_s, at(u"R_01.eex"_s)}) +
                           u"\n==> %1 <==\n"_s.arg(at(u"R_02.eex"_s)) +
                           alone({u"rfile"_s, u"show"_s, at(u"R_02.eex"_s)}));
    EXPECT_TRUE(run.err.startsWith(u"==> %1 <==\n"_s.arg(missing))) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(u"找不到文件“%1”"_s.arg(QDir::toNativeSeparators(missing))))
        << run.err.toStdString();
}

namespace {

struct ExportCase {
    const char* name;
    QStringList args; // "{a}", "{b}": the two inputs, "{out}": the output folder
    const char* a;
    const char* b;
    QStringList single; // the command for one file: "{in}", "-" for standard output
    const char* suffix;
};

void PrintTo(const ExportCase& c, std::ostream* os) {
    *os << c.name;
}

class RegionExports : public Batch, public testing::WithParamInterface<ExportCase> {
protected:
    QStringList filled(const QStringList& args, const QString& in, const QString& a,
                       const QString& b) const {
        QStringList out;
        for (const QString& arg : args)
            out.append(arg == u"{a}"_s     ? a
                       : arg == u"{b}"_s   ? b
                       : arg == u"{in}"_s  ? in
                       : arg == u"{out}"_s ? this->out
                                           : arg);
        return out;
    }
};

} // namespace

// Two copies in different folders would write the same output file: refused.
TEST_P(RegionExports, WriteOneFileEachAsTheCommandForOneFileDoes) {
    const ExportCase& c = GetParam();
    const QString a = at(QString::fromLatin1(c.a));
    const QString b = dir.write(u"copy_"_s + QString::fromLatin1(c.b),
                                test::readFile(at(QString::fromLatin1(c.b))));
    const auto run = runCli(filled(c.args, {}, a, b));
    ASSERT_EQ(run.code, cli::Ok) << run.err.toStdString();
    QMap<QString, QByteArray> expected;
    for (const QString& in : {a, b})
        expected.insert(QFileInfo(in).completeBaseName() + u'.' + QString::fromLatin1(c.suffix),
                        alone(filled(c.single, in, a, b)).toUtf8());
    EXPECT_EQ(snapshot(out), expected);

    const QString twin = dir.write(QString::fromLatin1(c.a), test::readFile(a));
    const auto before = snapshot(dir.path({}));
    const auto clash = runCli(filled(c.args, {}, a, twin));
    EXPECT_EQ(clash.code, cli::DataError);
    EXPECT_TRUE(clash.err.contains(u"有两个文件都要写到"_s)) << clash.err.toStdString();
    EXPECT_EQ(snapshot(dir.path({})), before);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, RegionExports,
    testing::Values(ExportCase{"rfile",
                               {u"rfile"_s, u"show"_s, u"{a}"_s, u"{b}"_s, u"-o"_s, u"{out}"_s},
                               "R_01.eex",
                               "R_02.eex",
                               {u"rfile"_s, u"show"_s, u"{in}"_s},
                               "csv"},
                    ExportCase{"exe",
                               {u"exe"_s, u"show"_s, u"{a}"_s, u"{b}"_s, u"--part"_s, u"switch"_s,
                                u"-o"_s, u"{out}"_s},
                               "Lcj5.exe",
                               "Lcj5.exe",
                               {u"exe"_s, u"show"_s, u"{in}"_s, u"--part"_s, u"switch"_s},
                               "csv"},
                    ExportCase{"save",
                               {u"save"_s, u"export"_s, u"{a}"_s, u"{b}"_s, u"{out}"_s, u"--part"_s,
                                u"stock"_s},
                               "Sv01d.e5s",
                               "Sv01d.e5s",
                               {u"save"_s, u"export"_s, u"{in}"_s, u"-"_s, u"--part"_s, u"stock"_s},
                               "csv"},
                    ExportCase{
                        "imsg",
                        {u"imsg"_s, u"export"_s, u"{a}"_s, u"{b}"_s, u"zhiming"_s, u"{out}"_s},
                        "Imsg.e5",
                        "Imsg.e5",
                        {u"imsg"_s, u"export"_s, u"{in}"_s, u"zhiming"_s, u"-"_s},
                        "csv"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Batch, SeveralInputsNeedAFolderForTheirOutput) {
    const QString file = dir.write(u"out.json"_s, "kept");
    const auto before = snapshot(dir.path({}));
    const auto run =
        runCli({u"scenario"_s, u"show"_s, at(u"S_01.eex"_s), at(u"S_02.eex"_s), u"-o"_s, file});
    EXPECT_EQ(run.code, cli::DataError);
    EXPECT_TRUE(run.err.contains(u"“%1”不是文件夹"_s.arg(file))) << run.err.toStdString();
    EXPECT_EQ(snapshot(dir.path({})), before);
}

TEST_F(Batch, ScenarioEditChangesEveryFileAsOneEditWould) {
    const QString edits =
        dir.write(u"edits.json"_s, R"({"battle": {"turns": 33}, "append_army": 1})");
    // Each scenario edited alone, for the bytes to expect.
    QMap<QString, QByteArray> expected;
    for (const QString& name : {u"S_01.eex"_s, u"S_03.eex"_s}) {
        const QString single = dir.path(u"single_"_s + name);
        ASSERT_EQ(runCli({u"scenario"_s, u"edit"_s, at(name), edits, u"-o"_s, single}).code,
                  cli::Ok);
        expected.insert(name, test::readFile(single));
        ASSERT_NE(expected[name], test::readFile(at(name)));
    }
    const auto run =
        runCli({u"scenario"_s, u"edit"_s, at(u"S_01.eex"_s), at(u"S_03.eex"_s), edits});
    ASSERT_EQ(run.code, cli::Ok) << run.err.toStdString();
    EXPECT_EQ(
        run.out,
        u"==> %1 <==\n已按2次操作修改并保存剧本\n==> %2 <==\n已按2次操作修改并保存剧本\n"_s.arg(
            at(u"S_01.eex"_s), at(u"S_03.eex"_s)));
    EXPECT_EQ(test::readFile(at(u"S_01.eex"_s)), expected[u"S_01.eex"_s]);
    EXPECT_EQ(test::readFile(at(u"S_03.eex"_s)), expected[u"S_03.eex"_s]);
}

TEST_F(Batch, ScenarioEditIntoAFolderLeavesTheInputs) {
    const QString edits = dir.write(u"edits.json"_s, R"({"battle": {"turns": 33}})");
    const auto gameBefore = snapshot(game);
    const auto run = runCli({u"scenario"_s, u"edit"_s, game, edits, u"-o"_s, out});
    ASSERT_EQ(run.code, cli::Ok) << run.err.toStdString();
    EXPECT_EQ(snapshot(game), gameBefore);
    const auto written = snapshot(out);
    EXPECT_EQ(written.keys(),
              (QStringList{u"S_01.eex"_s, u"S_02.eex"_s, u"S_03.eex"_s, u"S_04.eex"_s}));
    const QString single = dir.path(u"single.eex"_s);
    ASSERT_EQ(runCli({u"scenario"_s, u"edit"_s, at(u"S_02.eex"_s), edits, u"-o"_s, single}).code,
              cli::Ok);
    EXPECT_EQ(written[u"S_02.eex"_s], test::readFile(single));
}

// Every edit is accepted, then one file cannot be written: it is named and
// kept as it was, the others are saved.
TEST_F(Batch, AScenarioThatCannotBeSavedIsReportedAndTheOthersSaved) {
    const QString edits = dir.write(u"edits.json"_s, R"({"battle": {"turns": 33}})");
    const QString locked = dir.write(u"out/S_03.eex"_s, "kept");
    ASSERT_TRUE(QFile::setPermissions(locked, QFile::ReadOwner | QFile::ReadGroup));
    const auto run = runCli({u"scenario"_s, u"edit"_s, at(u"S_01.eex"_s), at(u"S_03.eex"_s),
                             at(u"S_04.eex"_s), edits, u"-o"_s, out});
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(run.code, cli::DataError);
    EXPECT_TRUE(run.err.startsWith(u"==> %1 <==\n保存剧本文件出错"_s.arg(at(u"S_03.eex"_s))))
        << run.err.toStdString();
    EXPECT_EQ(
        run.out,
        u"==> %1 <==\n已按1次操作修改并保存剧本\n==> %2 <==\n已按1次操作修改并保存剧本\n"_s.arg(
            at(u"S_01.eex"_s), at(u"S_04.eex"_s)));
    const auto written = snapshot(out);
    EXPECT_EQ(written.value(u"S_03.eex"_s), QByteArray("kept"));
    for (const QString& name : {u"S_01.eex"_s, u"S_04.eex"_s}) {
        const QString single = dir.path(u"single_"_s + name);
        ASSERT_EQ(runCli({u"scenario"_s, u"edit"_s, at(name), edits, u"-o"_s, single}).code,
                  cli::Ok);
        EXPECT_EQ(written.value(name), test::readFile(single)) << name.toStdString();
    }
}

// S_02 already has fifteen army entries: it refuses one more, so no file is written.
TEST_F(Batch, OneRefusedScenarioEditWritesNoFile) {
    const QString edits = dir.write(u"edits.json"_s, R"({"append_army": 1})");
    const auto before = snapshot(dir.path({}));
    const auto run = runCli({u"scenario"_s, u"edit"_s, game, edits});
    EXPECT_EQ(run.code, cli::DataError);
    EXPECT_TRUE(run.err.startsWith(u"==> %1 <==\n"_s.arg(at(u"S_02.eex"_s))))
        << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(u"4个剧本中有1个不能这样修改，没有写入任何剧本。"_s))
        << run.err.toStdString();
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_EQ(snapshot(dir.path({})), before);
}

TEST_F(Batch, DiffComparesFilesOfTheSameNameInTwoFolders) {
    const QString other = dir.path(u"other"_s);
    ASSERT_TRUE(QDir().mkpath(other));
    QByteArray changed = test::readFile(at(u"R_02.eex"_s));
    dir.write(u"other/R_01.eex"_s, test::readFile(at(u"R_01.eex"_s)));
    dir.write(u"changed.eex"_s, changed);
    ASSERT_EQ(runCli({u"rfile"_s, u"set"_s, dir.path(u"changed.eex"_s),
                      dir.write(u"in.csv"_s, "\xE5\xBA\x8F\xE5\x8F\xB7,"
                                             "\xE6\x9C\xAC\xE5\x85\xB3\xE5\x87\xBA\xE5\x9C\xBA\xE4"
                                             "\xBA\xBA\xE6\x95\xB0\r\n0,9\r\n")})
                  .code,
              cli::Ok);
    dir.write(u"other/R_02.eex"_s, test::readFile(dir.path(u"changed.eex"_s)));
    dir.write(u"other/R_07.eex"_s, test::readFile(at(u"R_01.eex"_s)));
    const auto run = runCli({u"diff"_s, u"rfile"_s, game, other});
    EXPECT_EQ(run.code, cli::DataError);
    const QString o1 = QDir(other).filePath(u"R_01.eex"_s),
                  o2 = QDir(other).filePath(u"R_02.eex"_s);
    EXPECT_EQ(run.out, u"==> %1 与 %2 <==\n相同\n\n"
                       "==> %3 与 %4 <==\n%5\n\n"
                       "==> %6 <==\n只有“%7”中有R_03.eex\n\n"
                       "==> %8 <==\n只有“%7”中有R_04.eex\n\n"
                       "==> %9 <==\n只有“%10”中有R_07.eex\n"_s.arg(
                           at(u"R_01.eex"_s), o1, at(u"R_02.eex"_s), o2,
                           alone({u"diff"_s, u"rfile"_s, at(u"R_01.eex"_s), at(u"R_01.eex"_s)}) +
                               u"出场人物数 本关出场人数: 6 → 9"_s,
                           at(u"R_03.eex"_s), game, at(u"R_04.eex"_s),
                           QDir(other).filePath(u"R_07.eex"_s), other));
    const auto same = runCli({u"diff"_s, u"rfile"_s, at(u"R_01.eex"_s), other});
    EXPECT_EQ(same.code, cli::Ok);
    EXPECT_EQ(same.out, u"==> %1 与 %2 <==\n相同\n"_s.arg(at(u"R_01.eex"_s), o1));
}
