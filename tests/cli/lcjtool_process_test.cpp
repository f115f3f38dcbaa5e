// lcjtool as a user starts it: a separate process whose output goes to a pipe,
// with file names that hold Chinese characters and spaces.
#include "cli/datacommands.h"
#include "clirun.h"
#include "common/version.h"
#include "fields/datatable.h"
#include "samplegen/samplegame.h"
#include "support/testfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringDecoder>
#include <gtest/gtest.h>
#ifdef Q_OS_LINUX
#include <sys/stat.h>
#include <sys/sysmacros.h>
#endif

using namespace lcj;
using namespace Qt::StringLiterals;

namespace {

struct Outcome {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// How one program beside this test is started.
struct Launch {
    QString program = QStringLiteral("lcjtool");
    QStringList args;
    QString stdoutFile;  // standard output goes into this file when given
    QByteArray input;    // fed to standard input, which is then closed
    QString workingDir;  // the program starts here when given
    int waitMs = 120000; // a program that hangs is a failure, not a stuck test
};

QString programPath(const QString& name) {
    static int argc = 1;
    static char self[] = "cli_process_tests";
    static char* argv[] = {self, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv);
#ifdef Q_OS_WIN
    return QCoreApplication::applicationDirPath() + u'/' + name + QStringLiteral(".exe");
#else
    return QCoreApplication::applicationDirPath() + u'/' + name;
#endif
}

Outcome launch(const Launch& l) {
    const QString program = QFileInfo(l.program).isAbsolute() ? l.program : programPath(l.program);
    QProcess p;
    if (!l.stdoutFile.isEmpty())
        p.setStandardOutputFile(l.stdoutFile);
    if (!l.workingDir.isEmpty())
        p.setWorkingDirectory(l.workingDir);
    p.start(program, l.args);
    Outcome r;
    if (!p.waitForStarted(60000)) {
        ADD_FAILURE() << "the program did not start: " << p.errorString().toStdString();
        return r;
    }
    p.write(l.input);
    p.closeWriteChannel();
    if (!p.waitForFinished(l.waitMs)) {
        ADD_FAILURE() << l.program.toStdString() << " " << l.args.join(u' ').toStdString()
                      << " did not finish: " << p.errorString().toStdString();
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

// Starts lcjtool from beside this test program.
Outcome lcjtool(const QStringList& args) {
    Launch l;
    l.args = args;
    return launch(l);
}

bool isUtf8(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    (void)utf8.decode(bytes);
    return !utf8.hasError();
}

} // namespace

TEST(LcjtoolProcess, VersionIsTheProjectVersion) {
    const Outcome r = lcjtool({QStringLiteral("--version")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, QByteArray("lcjtool " LCJ_VERSION "\n"));
    EXPECT_TRUE(r.err.isEmpty());
}

// Text piped from lcjtool is UTF-8, byte for byte what the command computes,
// and a file named in Chinese with spaces opens.
TEST(LcjtoolProcess, ExportThroughAPipeIsUtf8FromAChinesePath) {
    test::TestFolder dir;
    ASSERT_TRUE(QDir(dir.path(QString())).mkpath(QStringLiteral("岚川 存档")));
    const QString path = dir.write(QStringLiteral("岚川 存档/数据 一.e5"), sample::dataFile());
    const auto expected = cli::exportTable(
        path, *fields::findDataTable(QStringLiteral("characters")), cli::Format::Csv);
    ASSERT_TRUE(expected.ok());
    const Outcome r = lcjtool({QStringLiteral("data"), QStringLiteral("export"),
                               QDir::toNativeSeparators(path), QStringLiteral("characters")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(isUtf8(r.out));
    EXPECT_EQ(r.out, expected->toUtf8());
}

// A message about a file names it readably: the Chinese path comes back in
// UTF-8 on the error stream, and the exit code says the data was at fault.
TEST(LcjtoolProcess, ErrorsNameTheChinesePathInUtf8) {
    test::TestFolder dir;
    const QString missing = dir.path(QStringLiteral("没有 这个.e5"));
    const Outcome r = lcjtool(
        {QStringLiteral("data"), QStringLiteral("export"), missing, QStringLiteral("characters")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(isUtf8(r.err));
    EXPECT_TRUE(QString::fromUtf8(r.err).contains(QStringLiteral("没有 这个.e5")))
        << r.err.toStdString();
}

namespace {

// A sample game in `game/` of a fresh folder, with the folder's bytes to hold
// it to afterwards: the game's every file and what lies around it.
struct GameFolder {
    test::TestFolder dir;
    QString root = dir.path(QString());
    QString game = dir.path(QStringLiteral("game"));

    GameFolder() { EXPECT_TRUE(sample::writeSampleGame(game).ok()); }
    QString at(const QString& name) const { return QDir(game).filePath(name); }
    QString firstMap() const {
        const QStringList maps = QDir(game).entryList({QStringLiteral("*.bmp")}, QDir::Files);
        return maps.isEmpty() ? QString() : at(maps.first());
    }
    // The placeholders of a command line: {game}, {root}, {map}.
    QStringList expand(const QStringList& args) const {
        QStringList out;
        for (QString a : args)
            out << a.replace(QStringLiteral("{game}"), game)
                       .replace(QStringLiteral("{root}"), root)
                       .replace(QStringLiteral("{map}"), firstMap());
        return out;
    }
};

} // namespace

// Output that cannot all be written is a failure that lcjtool names: a full
// disk (/dev/full) and a pipe whose reader leaves without reading (the
// output is larger than what a pipe holds, so it can never all go in).
struct CutOutputCase {
    const char* name;
    QStringList args;
    bool closedPipe; // else standard output is /dev/full
};

void PrintTo(const CutOutputCase& c, std::ostream* os) {
    *os << c.name;
}

class CutOutput : public testing::TestWithParam<CutOutputCase> {};

TEST_P(CutOutput, ExitsNonZeroAndSaysSo) {
#ifdef Q_OS_LINUX
    GameFolder g;
    Launch l;
    const QStringList args = g.expand(GetParam().args);
    if (GetParam().closedPipe) {
        // pipefail: the exit code is lcjtool's, not that of head.
        l.program = QStringLiteral("/bin/bash");
        l.args = QStringList{QStringLiteral("-c"), QStringLiteral("set -o pipefail; \"$@\" | true"),
                             QStringLiteral("bash"), programPath(QStringLiteral("lcjtool"))} +
                 args;
    } else {
        l.args = args;
        l.stdoutFile = QStringLiteral("/dev/full");
    }
    const auto before = test::snapshot(g.root);
    const Outcome r = launch(l);
    EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();
    EXPECT_TRUE(QString::fromUtf8(r.err).contains(QStringLiteral("输出不完整")))
        << r.err.toStdString();
    EXPECT_EQ(test::snapshot(g.root), before);
#else
    GTEST_SKIP() << "/dev/full and bash are Linux's";
#endif
}

INSTANTIATE_TEST_SUITE_P(
    Lcjtool, CutOutput,
    testing::Values(
        CutOutputCase{"dataExportToAFullDisk",
                      {u"data"_s, u"export"_s, u"{game}/data.e5"_s, u"characters"_s},
                      false},
        CutOutputCase{"scenarioShowToAFullDisk", {u"scenario"_s, u"show"_s, u"{game}"_s}, false},
        CutOutputCase{"helpToAFullDisk", {u"--help"_s}, false},
        CutOutputCase{"dataExportIntoAClosedPipe",
                      {u"data"_s, u"export"_s, u"{game}/data.e5"_s, u"characters"_s, u"--format"_s,
                       u"json"_s, u"-o"_s, u"-"_s},
                      true},
        CutOutputCase{
            "scenarioShowIntoAClosedPipe", {u"scenario"_s, u"show"_s, u"{game}"_s}, true}),
    [](const auto& info) { return std::string(info.param.name); });

// An output named after a game file, one of the command's own inputs, or a
// link to either is refused, and nothing in or around the game changes.
struct RefusedOutputCase {
    const char* name;
    QStringList args;
    const char* message; // what the refusal says
};

void PrintTo(const RefusedOutputCase& c, std::ostream* os) {
    *os << c.name;
}

class RefusedOutput : public testing::TestWithParam<RefusedOutputCase> {};

TEST_P(RefusedOutput, LeavesEveryFileAsItWas) {
    GameFolder g;
    g.dir.write(QStringLiteral("edits.json"), R"({"battle": {"turns": 30}})");
    // A patch needs a difference between its two folders.
    const QString orig = g.dir.path(QStringLiteral("orig"));
    ASSERT_TRUE(sample::writeSampleGame(orig).ok());
    const QString characters = g.dir.write(QStringLiteral("characters.csv"), "序号,武力\n3,77\n");
    ASSERT_EQ(cli::run({u"data"_s, u"import"_s, g.at(u"data.e5"_s), u"characters"_s, characters}),
              cli::Ok);
#ifdef Q_OS_UNIX
    ASSERT_TRUE(QFile::link(g.at(u"data.e5"_s), g.dir.path(u"to-data.json"_s)));
    ASSERT_TRUE(QFile::link(g.at(u"Sv01d.e5s"_s), g.dir.path(u"to-save.csv"_s)));
    ASSERT_TRUE(QFile::link(g.dir.path(u"edits.json"_s), g.dir.path(u"to-edits.eex"_s)));
#endif
    const auto before = test::snapshot(g.root);
    const QStringList args = g.expand(GetParam().args);
    if (args.join(u' ').contains(QStringLiteral("to-")) &&
        !QFileInfo::exists(g.dir.path(u"to-data.json"_s)))
        GTEST_SKIP() << "no links here";
    const Outcome r = lcjtool(args);
    EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();
    EXPECT_TRUE(QString::fromUtf8(r.err).contains(QString::fromUtf8(GetParam().message)))
        << r.err.toStdString();
    EXPECT_EQ(test::snapshot(g.root), before);
}

INSTANTIATE_TEST_SUITE_P(
    Lcjtool, RefusedOutput,
    testing::Values(RefusedOutputCase{"mapOverTheDataFile",
                                      {u"scenario"_s, u"map"_s, u"{game}/S_01.eex"_s, u"--map"_s,
                                       u"{map}"_s, u"-o"_s, u"{game}/data.e5"_s},
                                      "游戏文件的名字"},
                    RefusedOutputCase{"mapOverItsOwnMap",
                                      {u"scenario"_s, u"map"_s, u"{game}/S_01.eex"_s, u"--map"_s,
                                       u"{map}"_s, u"-o"_s, u"{map}"_s},
                                      "读入的文件"},
                    RefusedOutputCase{"patchOverASave",
                                      {u"patch"_s, u"make"_s, u"{root}/orig"_s, u"{game}"_s,
                                       u"-o"_s, u"{game}/Sv01d.e5s"_s},
                                      "游戏文件的名字"},
                    RefusedOutputCase{"patchOverItsOwnInput",
                                      {u"patch"_s, u"make"_s, u"{root}/orig/data.e5"_s,
                                       u"{game}/data.e5"_s, u"-o"_s, u"{game}/data.e5"_s},
                                      "读入的文件"},
                    RefusedOutputCase{"editedScenarioOverTheMessages",
                                      {u"scenario"_s, u"edit"_s, u"{game}/S_02.eex"_s,
                                       u"{root}/edits.json"_s, u"-o"_s, u"{game}/Imsg.e5"_s},
                                      "不是剧本文件的名字"},
                    RefusedOutputCase{"editedScenarioOverADeploymentFile",
                                      {u"scenario"_s, u"edit"_s, u"{game}/S_02.eex"_s,
                                       u"{root}/edits.json"_s, u"-o"_s, u"{game}/R_01.eex"_s},
                                      "不是剧本文件的名字"},
                    RefusedOutputCase{"editedScenarioOverItsEdits",
                                      {u"scenario"_s, u"edit"_s, u"{game}/S_02.eex"_s,
                                       u"{root}/edits.json"_s, u"-o"_s, u"{root}/edits.json"_s},
                                      "读入的文件"},
                    RefusedOutputCase{"editedScenarioThroughALinkToItsEdits",
                                      {u"scenario"_s, u"edit"_s, u"{game}/S_02.eex"_s,
                                       u"{root}/edits.json"_s, u"-o"_s, u"{root}/to-edits.eex"_s},
                                      "读入的文件"},
                    RefusedOutputCase{"showThroughALinkToTheDataFile",
                                      {u"scenario"_s, u"show"_s, u"{game}/S_01.eex"_s, u"-o"_s,
                                       u"{root}/to-data.json"_s},
                                      "游戏文件的名字"},
                    RefusedOutputCase{
                        "saveExportThroughALinkToItself",
                        {u"save"_s, u"export"_s, u"{game}/Sv01d.e5s"_s, u"{root}/to-save.csv"_s},
                        "读入的文件"},
                    RefusedOutputCase{"dataExportOverADataFile",
                                      {u"data"_s, u"export"_s, u"{game}/data.e5"_s, u"items"_s,
                                       u"-o"_s, u"{root}/orig/data.e5"_s},
                                      "游戏文件的名字"}),
    [](const auto& info) { return std::string(info.param.name); });

// An existing output that is not a plain file (a device, a pipe, a link to
// one, standard output by its name) is never replaced nor read: the command
// is refused, the thing stays what it was, and no backup of it appears.
struct SpecialOutputCase {
    const char* name;
    // made in the folder: "fifo", "null" (a copy of /dev/null), "link" (to a
    // fifo), "stdout" (a link to the process's standard output)
    const char* node;
    bool asSaveExport; // else data export -o
};

void PrintTo(const SpecialOutputCase& c, std::ostream* os) {
    *os << c.name;
}

class SpecialOutput : public testing::TestWithParam<SpecialOutputCase> {};

TEST_P(SpecialOutput, IsRefusedAndLeftAlone) {
#ifdef Q_OS_LINUX
    GameFolder g;
    // Apart from the game's folder, whose snapshot would read them.
    test::TestFolder specials;
    const QString special = specials.path(QStringLiteral("special"));
    ASSERT_TRUE(QDir().mkpath(special));
    const QByteArray node = GetParam().node;
    QString out = QDir(special).filePath(QString::fromLatin1(node));
    const QByteArray encoded = QFile::encodeName(out);
    if (node == "fifo") {
        ASSERT_EQ(::mkfifo(encoded.constData(), 0600), 0);
    } else if (node == "null") {
        if (::mknod(encoded.constData(), S_IFCHR | 0666, makedev(1, 3)) != 0)
            GTEST_SKIP() << "making a device needs root";
    } else if (node == "link") {
        const QString fifo = QDir(special).filePath(QStringLiteral("fifo"));
        ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        ASSERT_TRUE(QFile::link(fifo, out));
    } else {
        // The program's own standard output by name (a pipe here), as
        // /dev/stdout is: the link leads to each process's own.
        ASSERT_TRUE(QFile::link(QStringLiteral("/proc/self/fd/1"), out));
    }
    struct stat was {};
    const bool exists = node != "stdout" && ::stat(QFile::encodeName(out).constData(), &was) == 0;
    const auto before = test::snapshot(g.root);
    Launch l;
    l.waitMs = 30000; // today's fault: reading the fifo or its own pipe for good
    l.args =
        GetParam().asSaveExport
            ? QStringList{u"save"_s, u"export"_s, g.at(u"Sv01d.e5s"_s), out}
            : QStringList{u"data"_s, u"export"_s, g.at(u"data.e5"_s), u"terrain"_s, u"-o"_s, out};
    const Outcome r = launch(l);
    EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();
    EXPECT_TRUE(QString::fromUtf8(r.err).contains(QStringLiteral("不是普通文件")))
        << r.err.toStdString();
    EXPECT_TRUE(QString::fromUtf8(r.err).contains(QStringLiteral("“-”")));
    EXPECT_TRUE(r.out.isEmpty());
    struct stat now {};
    if (exists) {
        ASSERT_EQ(::stat(QFile::encodeName(out).constData(), &now), 0);
        EXPECT_EQ(now.st_mode, was.st_mode);
        EXPECT_EQ(now.st_rdev, was.st_rdev);
        EXPECT_EQ(now.st_ino, was.st_ino);
    }
    EXPECT_EQ(QFileInfo(out).isSymLink(), node == "link" || node == "stdout");
    EXPECT_EQ(QDir(special).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
              node == "link" ? QStringList({u"fifo"_s, u"link"_s})
                             : QStringList{QString::fromLatin1(node)});
    EXPECT_EQ(test::snapshot(g.root), before);
#else
    GTEST_SKIP() << "fifos and devices are made the Linux way";
#endif
}

INSTANTIATE_TEST_SUITE_P(Lcjtool, SpecialOutput,
                         testing::Values(SpecialOutputCase{"fifoAsSaveExport", "fifo", true},
                                         SpecialOutputCase{"fifoAsDataExport", "fifo", false},
                                         SpecialOutputCase{"deviceAsSaveExport", "null", true},
                                         SpecialOutputCase{"deviceAsDataExport", "null", false},
                                         SpecialOutputCase{"linkToAFifo", "link", false},
                                         SpecialOutputCase{"standardOutputByName", "stdout",
                                                           false}),
                         [](const auto& info) { return std::string(info.param.name); });

// "-" is standard output for every export that takes a file.
TEST(LcjtoolProcess, DashIsStandardOutput) {
    GameFolder g;
    const auto before = test::snapshot(g.root);
    const Outcome data =
        lcjtool({u"data"_s, u"export"_s, g.at(u"data.e5"_s), u"terrain"_s, u"-o"_s, u"-"_s});
    EXPECT_EQ(data.exitCode, 0) << data.err.toStdString();
    const auto expected = cli::exportTable(g.at(u"data.e5"_s), *fields::findDataTable(u"terrain"_s),
                                           cli::Format::Csv);
    ASSERT_TRUE(expected.ok());
    EXPECT_EQ(data.out, expected->toUtf8());
    const Outcome show = lcjtool({u"scenario"_s, u"show"_s, g.at(u"S_01.eex"_s), u"-o"_s, u"-"_s});
    EXPECT_EQ(show.exitCode, 0) << show.err.toStdString();
    EXPECT_EQ(show.out, lcjtool({u"scenario"_s, u"show"_s, g.at(u"S_01.eex"_s)}).out);
    EXPECT_EQ(test::snapshot(g.root), before);
}

// An import reads its file to the end, even from a pipe that has no size.
TEST(LcjtoolProcess, ImportReadsFromAPipe) {
#ifdef Q_OS_LINUX
    GameFolder g;
    const QString copy = g.dir.write(u"copy.e5"_s, test::readFile(g.at(u"data.e5"_s)));
    const QByteArray rows = "序号,武力\n3,77\n";
    ASSERT_EQ(
        cli::run({u"data"_s, u"import"_s, copy, u"characters"_s, g.dir.write(u"rows.csv"_s, rows)}),
        cli::Ok);
    Launch l;
    l.args = {u"data"_s, u"import"_s, g.at(u"data.e5"_s), u"characters"_s, u"/dev/stdin"_s};
    l.input = rows;
    const Outcome r = launch(l);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(test::readFile(g.at(u"data.e5"_s)), test::readFile(copy));
#else
    GTEST_SKIP() << "/dev/stdin is Linux's";
#endif
}

// An odd value for a halved field is stored even, as the windows store it;
// lcjtool says so on standard error, a line per cell, and its count is of the
// records whose bytes changed (none: nothing is written).
struct RoundedImportCase {
    const char* name;
    QStringList args;  // {file} and {rows} stand for the paths; the file is args[0]'s kind
    QByteArray rows;   // the imported table
    QList<int> stored; // the bytes the import changes: offset, byte …
    QByteArray out;
    QByteArray err;
};

void PrintTo(const RoundedImportCase& c, std::ostream* os) {
    *os << c.name;
}

class RoundedImport : public testing::TestWithParam<RoundedImportCase> {};

// 武力 (data.e5 byte 18, a save's byte 9) of character 5 stored as 76, of character 6 as 0.
constexpr int data5 = 396 + 32 * 5, save5 = 5340 + 32 * 5;

TEST_P(RoundedImport, SaysWhatWasRoundedAndCountsTrue) {
    const RoundedImportCase& c = GetParam();
    GameFolder g;
    const bool save = c.args[0] == u"save"_s;
    const QString file = g.at(save ? u"Sv01d.e5s"_s : u"data.e5"_s);
    QByteArray before = test::readFile(file);
    const int force = save ? save5 + 9 : data5 + 18;
    before[force] = 38;
    before[force + 32] = 0;
    g.dir.write(QDir(g.root).relativeFilePath(file), before);
    const QString rows = g.dir.write(u"表 一.csv"_s, c.rows);
    QStringList args;
    for (QString a : c.args)
        args << a.replace(u"{file}"_s, file).replace(u"{rows}"_s, rows);
    const Outcome r = lcjtool(args);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, c.out) << r.out.toStdString();
    EXPECT_EQ(r.err, c.err) << r.err.toStdString();
    for (qsizetype i = 0; i < c.stored.size(); i += 2)
        before[c.stored[i]] = char(c.stored[i + 1]);
    EXPECT_EQ(test::readFile(file), before);
}

const QStringList dataImport{u"data"_s, u"import"_s, u"{file}"_s, u"characters"_s, u"{rows}"_s};
INSTANTIATE_TEST_SUITE_P(
    Cases, RoundedImport,
    testing::Values(RoundedImportCase{"same_byte",
                                      dataImport,
                                      "序号,武力\n5,77\n",
                                      {},
                                      "已修改0条记录\n",
                                      "注意：人物 5 武力按2的倍数保存：77 → 76\n"},
                    RoundedImportCase{"two_records",
                                      dataImport,
                                      "序号,武力\n5,85\n6,75\n",
                                      {data5 + 18, 42, data5 + 32 + 18, 38},
                                      "已修改2条记录\n",
                                      "注意：人物 5 武力按2的倍数保存：85 → 84\n"
                                      "注意：人物 6 武力按2的倍数保存：75 → 76\n"},
                    RoundedImportCase{"dry_run",
                                      dataImport + QStringList{u"--dry-run"_s},
                                      "序号,武力\n5,85\n",
                                      {},
                                      "将修改1条记录（试运行，未写入）\n",
                                      "注意：人物 5 武力按2的倍数保存：85 → 84\n"},
                    RoundedImportCase{"save",
                                      {u"save"_s, u"import"_s, u"{file}"_s, u"{rows}"_s},
                                      "序号,武力\n5,77\n6,3\n",
                                      {save5 + 32 + 9, 2},
                                      "已修改1行\n",
                                      "注意：人物 5 武力按2的倍数保存：77 → 76\n"
                                      "注意：人物 6 武力按2的倍数保存：3 → 4\n"}),
    [](const auto& info) { return std::string(info.param.name); });

// Every program answers --help and --version and refuses an option it does
// not know; none of them writes anything then (lcjsamplegen once made a
// sample game in a folder named "--help").
struct ProgramOptionCase {
    const char* program;
    QStringList args;
    int exitCode;
    const char* says; // on standard output when exitCode is 0, else on standard error
};

void PrintTo(const ProgramOptionCase& c, std::ostream* os) {
    *os << c.program << " " << c.args.join(u' ').toStdString();
}

class ProgramOptions : public testing::TestWithParam<ProgramOptionCase> {};

TEST_P(ProgramOptions, AnswerWithoutWritingAnything) {
    test::TestFolder dir;
    const QString cwd = dir.path(QString());
    Launch l;
    l.program = QString::fromLatin1(GetParam().program);
    if (!QFileInfo::exists(programPath(l.program)))
        GTEST_SKIP() << "not built here";
#ifdef Q_OS_WIN
    if (l.program == QStringLiteral("lcjworkshop"))
        GTEST_SKIP() << "a windowed program's standard output is the console's business";
#endif
    l.args = GetParam().args;
    l.workingDir = cwd;
    const Outcome r = launch(l);
    EXPECT_EQ(r.exitCode, GetParam().exitCode) << r.err.toStdString();
    const QByteArray& said = GetParam().exitCode == 0 ? r.out : r.err;
    EXPECT_TRUE(said.contains(GetParam().says)) << said.toStdString();
    EXPECT_TRUE(
        QDir(cwd).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
        << QDir(cwd).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).join(u' ').toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Programs, ProgramOptions,
    testing::Values(
        ProgramOptionCase{"lcjsamplegen", {u"--help"_s}, 0, "usage: lcjsamplegen"},
        ProgramOptionCase{"lcjsamplegen", {u"--version"_s}, 0, "lcjsamplegen " LCJ_VERSION},
        ProgramOptionCase{"lcjsamplegen", {u"--bogus"_s}, 2, "--bogus"},
        ProgramOptionCase{"lcjsamplegen", {u"--force"_s, u"-x"_s}, 2, "-x"},
        ProgramOptionCase{"lcjpicgen", {u"--help"_s}, 0, "usage: lcjpicgen"},
        ProgramOptionCase{"lcjpicgen", {u"--version"_s}, 0, "lcjpicgen " LCJ_VERSION},
        ProgramOptionCase{"lcjpicgen", {u"--bogus"_s}, 2, "--bogus"},
        ProgramOptionCase{"lcjscreenshots", {u"--help"_s}, 0, "usage: lcjscreenshots"},
        ProgramOptionCase{"lcjscreenshots", {u"--version"_s}, 0, "lcjscreenshots " LCJ_VERSION},
        ProgramOptionCase{"lcjscreenshots", {u"--bogus"_s}, 2, "--bogus"},
        ProgramOptionCase{"lcjworkshop", {u"--help"_s}, 0, "usage: lcjworkshop"},
        ProgramOptionCase{"lcjworkshop", {u"--version"_s}, 0, "lcjworkshop " LCJ_VERSION},
        ProgramOptionCase{"lcjtool", {u"--help"_s}, 0, "lcjtool"},
        ProgramOptionCase{"lcjtool", {u"--bogus"_s}, 2, "--bogus"},
        ProgramOptionCase{
            "lcjtool", {u"diff"_s, u"data"_s, u"a.e5"_s, u"b.e5"_s, u"--bogus"_s}, 2, "--bogus"}),
    [](const auto& info) {
        std::string name = std::string(info.param.program) + "_" + std::to_string(info.index);
        return name;
    });

// An input that is too large, or that never ends, is refused once it passes
// its size: a link to /dev/zero in place of any file a command reads, or a
// sparse file one byte over the size. The message names the input and
// nothing in the game changes.
struct EndlessInputCase {
    const char* name;
    QStringList args;
    const char* input; // the argument the message names, as a placeholder
};

void PrintTo(const EndlessInputCase& c, std::ostream* os) {
    *os << c.name;
}

class EndlessInput : public testing::TestWithParam<EndlessInputCase> {};

TEST_P(EndlessInput, IsRefusedAndNamed) {
#ifdef Q_OS_LINUX
    GameFolder g;
    const QString in = g.dir.path(QStringLiteral("in"));
    const QString big = g.dir.path(QStringLiteral("big"));
    const QString zgame = g.dir.path(QStringLiteral("zgame"));
    for (const QString& folder : {in, big, zgame})
        ASSERT_TRUE(QDir().mkpath(folder));
    for (const QString& name :
         {u"data.e5"_s, u"S_05.eex"_s, u"zero.csv"_s, u"zero.json"_s, u"zero.lcjpatch"_s})
        ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), QDir(in).filePath(name)));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), QDir(zgame).filePath(u"S_05.eex"_s)));
    // One byte over: 64 MiB for game files, 256 MiB for what the user brings.
    const QList<std::pair<QString, qint64>> sparse{{u"data.e5"_s, (qint64(64) << 20) + 1},
                                                   {u"S_06.eex"_s, (qint64(64) << 20) + 1},
                                                   {u"rows.csv"_s, (qint64(256) << 20) + 1},
                                                   {u"mod.lcjpatch"_s, (qint64(256) << 20) + 1}};
    for (const auto& [name, size] : sparse) {
        QFile f(QDir(big).filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.resize(size));
    }
    const auto expand = [&](QString a) {
        return g
            .expand(
                {a.replace(u"{in}"_s, in).replace(u"{big}"_s, big).replace(u"{zgame}"_s, zgame)})
            .first();
    };
    QStringList args;
    for (const QString& a : GetParam().args)
        args << expand(a);
    const auto before = test::snapshot(g.game);
    const QStringList around = QDir(g.root).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    const Outcome r = lcjtool(args);
    const QString said = QString::fromUtf8(r.out + r.err);
    EXPECT_EQ(r.exitCode, 1) << said.toStdString();
    EXPECT_TRUE(
        said.contains(QDir::toNativeSeparators(expand(QString::fromUtf8(GetParam().input)))))
        << said.toStdString();
    EXPECT_TRUE(said.contains(QStringLiteral(" MiB"))) << said.toStdString();
    EXPECT_EQ(test::snapshot(g.game), before);
    EXPECT_EQ(QDir(g.root).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), around);
#else
    GTEST_SKIP() << "/dev/zero is Linux's";
#endif
}

INSTANTIATE_TEST_SUITE_P(
    Lcjtool, EndlessInput,
    testing::Values(
        EndlessInputCase{"dataExportFromZero",
                         {u"data"_s, u"export"_s, u"{in}/data.e5"_s, u"characters"_s, u"-o"_s,
                          u"{root}/out.csv"_s},
                         "{in}/data.e5"},
        EndlessInputCase{"dataExportFromTooLarge",
                         {u"data"_s, u"export"_s, u"{big}/data.e5"_s, u"characters"_s, u"-o"_s,
                          u"{root}/out.csv"_s},
                         "{big}/data.e5"},
        EndlessInputCase{
            "dataImportFromZero",
            {u"data"_s, u"import"_s, u"{game}/data.e5"_s, u"characters"_s, u"{in}/zero.csv"_s},
            "{in}/zero.csv"},
        EndlessInputCase{
            "dataImportFromTooLarge",
            {u"data"_s, u"import"_s, u"{game}/data.e5"_s, u"characters"_s, u"{big}/rows.csv"_s},
            "{big}/rows.csv"},
        EndlessInputCase{"saveImportFromZero",
                         {u"save"_s, u"import"_s, u"{game}/Sv01d.e5s"_s, u"{in}/zero.csv"_s},
                         "{in}/zero.csv"},
        EndlessInputCase{"scenarioEditFromZero",
                         {u"scenario"_s, u"edit"_s, u"{game}/S_01.eex"_s, u"{in}/zero.json"_s},
                         "{in}/zero.json"},
        EndlessInputCase{"scenarioShowFromZero",
                         {u"scenario"_s, u"show"_s, u"{in}/S_05.eex"_s},
                         "{in}/S_05.eex"},
        EndlessInputCase{"scenarioShowTooLarge",
                         {u"scenario"_s, u"show"_s, u"{big}/S_06.eex"_s},
                         "{big}/S_06.eex"},
        EndlessInputCase{"patchApplyFromZero",
                         {u"patch"_s, u"apply"_s, u"{in}/zero.lcjpatch"_s, u"{game}"_s},
                         "{in}/zero.lcjpatch"},
        EndlessInputCase{"patchShowFromZero",
                         {u"patch"_s, u"show"_s, u"{in}/zero.lcjpatch"_s},
                         "{in}/zero.lcjpatch"},
        EndlessInputCase{"patchShowTooLarge",
                         {u"patch"_s, u"show"_s, u"{big}/mod.lcjpatch"_s},
                         "{big}/mod.lcjpatch"},
        EndlessInputCase{"diffFromZero",
                         {u"diff"_s, u"data"_s, u"{in}/data.e5"_s, u"{game}/data.e5"_s},
                         "{in}/data.e5"},
        EndlessInputCase{"diffTooLarge",
                         {u"diff"_s, u"data"_s, u"{game}/data.e5"_s, u"{big}/data.e5"_s},
                         "{big}/data.e5"},
        EndlessInputCase{
            "checkWithZeroAsAScenario", {u"check"_s, u"{zgame}"_s}, "{zgame}/S_05.eex"}),
    [](const auto& info) { return std::string(info.param.name); });

// lcjtool's conventions as a script meets them: check's exit codes, `--`
// before a folder named like an option, an export over an old one leaving no
// .bak, an empty input called empty.
struct ConventionCase {
    const char* name;
    QStringList args;
    bool fullDisk; // standard output is /dev/full
    int exitCode;
    const char* says; // in the output, or empty
};

void PrintTo(const ConventionCase& c, std::ostream* os) {
    *os << c.name;
}

class Convention : public testing::TestWithParam<ConventionCase> {};

TEST_P(Convention, ExitCodeAndMessage) {
#ifdef Q_OS_LINUX
    const ConventionCase& c = GetParam();
    GameFolder g;
    // A game folder whose name starts with a dash, holding a broken scenario.
    const QString dashed = g.dir.path(QStringLiteral("-g"));
    ASSERT_TRUE(QDir().mkpath(dashed));
    g.dir.write(QStringLiteral("-g/S_05.eex"), QByteArray(10, 'x'));
    g.dir.write(QStringLiteral("old.csv"), "old\n");
    g.dir.write(QStringLiteral("empty.csv"), QByteArray());
    Launch l;
    l.args = g.expand(c.args);
    l.workingDir = g.root;
    if (c.fullDisk)
        l.stdoutFile = QStringLiteral("/dev/full");
    const auto before = test::snapshot(g.game);
    const Outcome r = launch(l);
    const QString said = QString::fromUtf8(r.out + r.err);
    EXPECT_EQ(r.exitCode, c.exitCode) << said.toStdString();
    EXPECT_TRUE(said.contains(QString::fromUtf8(c.says))) << said.toStdString();
    EXPECT_EQ(test::snapshot(g.game), before);
    const QStringList leftOver =
        QDir(g.root).entryList({QStringLiteral("*.bak")}, QDir::Files | QDir::Hidden);
    EXPECT_TRUE(leftOver.isEmpty()) << leftOver.join(u' ').toStdString();
#else
    GTEST_SKIP() << "/dev/full is Linux's";
#endif
}

INSTANTIATE_TEST_SUITE_P(
    Lcjtool, Convention,
    testing::Values(
        ConventionCase{"checkFindsProblems", {u"check"_s, u"--"_s, u"-g"_s}, false, 1, "S_05.eex"},
        ConventionCase{
            "checkReportToAFullDisk", {u"check"_s, u"--"_s, u"-g"_s}, true, 3, "输出不完整"},
        ConventionCase{
            "checkOptionBeforeTheDashes", {u"check"_s, u"-g"_s}, false, 2, "未知的选项 -g"},
        ConventionCase{"checkMissingFolder", {u"check"_s, u"{root}/nothing"_s}, false, 2, "不存在"},
        ConventionCase{"exportOverAnOldCsv",
                       {u"data"_s, u"export"_s, u"{game}/data.e5"_s, u"characters"_s, u"-o"_s,
                        u"{root}/old.csv"_s},
                       false,
                       0,
                       ""},
        ConventionCase{
            "importOfAnEmptyFile",
            {u"data"_s, u"import"_s, u"{game}/data.e5"_s, u"characters"_s, u"{root}/empty.csv"_s},
            false,
            1,
            "文件是空的"}),
    [](const auto& info) { return std::string(info.param.name); });
