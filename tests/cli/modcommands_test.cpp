// lcjtool mods refusing bad input: each case is refused with its message and
// leaves every byte of the folder, its workshop included, as it was.
#include "changes/patch.h"
#include "cli/cli.h"
#include "clirun.h"
#include "common/fileaccess.h"
#include "samplegen/samplegame.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace lcj;
using namespace Qt::StringLiterals;

namespace {

QString workshopFile(const QString& game, const QString& name) {
    return QDir(files::workshopOf(game)).filePath(name);
}

void append(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::Append) && f.write(bytes) == bytes.size());
}

void importInto(const QString& game, const QString& input, const char* csv) {
    QFile f(input);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(csv) > 0);
    f.close();
    ASSERT_EQ(cli::run({u"data"_s, u"import"_s, QDir(game).filePath(u"data.e5"_s), u"characters"_s,
                        input}),
              cli::Ok);
}

void copyGame(const QString& from, const QString& to) {
    QDir().mkpath(to);
    for (const QString& name : QDir(from).entryList(QDir::Files))
        ASSERT_TRUE(QFile::copy(QDir(from).filePath(name), QDir(to).filePath(name)));
}

struct BadCase {
    const char* name;
    // What goes wrong in the folder before the command; may be none.
    void (*damage)(const QString& game, const QString& scratch);
    QStringList args; // after "mods"; GAME stands for the folder
    const char* message;
};

void PrintTo(const BadCase& c, std::ostream* os) {
    *os << c.name;
}

const BadCase badCases[] = {
    {"patch_changed_after_added",
     [](const QString& game, const QString&) {
         append(workshopFile(game, u"mods/甲.lcjpatch"_s), " ");
     },
     {u"apply"_s, u"GAME"_s},
     "在加入列表之后被改过了"},
    {"original_missing",
     [](const QString& game, const QString&) {
         ASSERT_TRUE(QFile::remove(workshopFile(game, u"original/data.e5"_s)));
     },
     {u"restore"_s, u"GAME"_s},
     "保存的原版文件"},
    {"list_names_a_missing_patch",
     [](const QString& game, const QString&) {
         ASSERT_TRUE(QFile::remove(workshopFile(game, u"mods/乙.lcjpatch"_s)));
     },
     {u"apply"_s, u"GAME"_s},
     "找不到它的补丁文件"},
    {"list_damaged",
     [](const QString& game, const QString&) {
         QFile f(workshopFile(game, u"mods/list.json"_s));
         ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write("{\"format\": ") > 0);
     },
     {u"enable"_s, u"GAME"_s, u"甲"_s},
     "已损坏"},
    {"read_only_folder",
     [](const QString& game, const QString&) {
         ASSERT_TRUE(QFile::setPermissions(game, QFile::ReadOwner | QFile::ExeOwner));
     },
     {u"apply"_s, u"GAME"_s, u"--drop-mine"_s},
     "是只读的"},
    {"unknown_name", nullptr, {u"disable"_s, u"GAME"_s, u"丙"_s}, "模组列表里没有“丙”"},
    {"position_past_the_end",
     nullptr,
     {u"order"_s, u"GAME"_s, u"甲"_s, u"3"_s},
     "不在 1 到 2 之间"},
    {"position_zero", nullptr, {u"order"_s, u"GAME"_s, u"乙"_s, u"0"_s}, "位置 0 不在"},
    {"position_no_number", nullptr, {u"order"_s, u"GAME"_s, u"甲"_s, u"二"_s}, "不是一个数字"},
    {"not_a_patch", nullptr, {u"add"_s, u"GAME"_s, u"SCRATCH/甲.csv"_s}, "补丁文件有误"},
    {"outside_edits_on_apply",
     [](const QString& game, const QString& scratch) {
         importInto(game, scratch + u"/edit.csv"_s, "序号,智力\n9,12\n");
     },
     {u"apply"_s, u"GAME"_s},
     "data.e5：人物 9 智力：68 → 12"},
    {"outside_edits_on_restore",
     [](const QString& game, const QString& scratch) {
         importInto(game, scratch + u"/edit.csv"_s, "序号,智力\n9,12\n");
     },
     {u"restore"_s, u"GAME"_s},
     "--keep-mine"},
    {"outside_edits_on_undo",
     [](const QString& game, const QString& scratch) {
         importInto(game, scratch + u"/edit.csv"_s, "序号,智力\n9,12\n");
     },
     {u"undo"_s, u"GAME"_s},
     "在上次应用之后又改过了"},
};

// A game folder whose list holds 甲 and 乙, applied.
class ModsFolder : public testing::Test {
protected:
    test::TestFolder dir;
    QString game = dir.path(u"game"_s);
    QString scratch = dir.path(u"scratch"_s);

    void SetUp() override {
        const QString orig = dir.path(u"orig"_s);
        ASSERT_TRUE(sample::writeSampleGame(orig).ok());
        copyGame(orig, game);
        QDir().mkpath(scratch);
        for (const auto& [name, csv] :
             {std::pair{"甲", "序号,武力\n5,76\n"}, std::pair{"乙", "序号,武力\n5,80\n6,70\n"}}) {
            const QString mod = dir.path(QString::fromUtf8(name));
            copyGame(orig, mod);
            importInto(mod, scratch + u"/"_s + QString::fromUtf8(name) + u".csv"_s, csv);
            const QString file = scratch + u"/"_s + QString::fromUtf8(name) + u".lcjpatch"_s;
            ASSERT_EQ(cli::run({u"patch"_s, u"make"_s, orig, mod, u"-o"_s, file}), cli::Ok);
            ASSERT_EQ(cli::run({u"mods"_s, u"add"_s, game, file}), cli::Ok);
        }
        ASSERT_EQ(cli::run({u"mods"_s, u"apply"_s, game}), cli::Ok);
    }
    void TearDown() override {
        QFile::setPermissions(game, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
};

class BadModsInput : public ModsFolder, public testing::WithParamInterface<BadCase> {};

} // namespace

TEST_P(BadModsInput, IsRefusedWithItsMessageAndNothingWritten) {
    const BadCase& c = GetParam();
#ifdef Q_OS_WIN
    if (qstrcmp(c.name, "read_only_folder") == 0)
        GTEST_SKIP() << "Windows lets programs write in a folder marked read-only";
#endif
    if (c.damage)
        c.damage(game, scratch);
    QStringList args{u"mods"_s};
    for (const QString& a : c.args)
        args << (a == u"GAME"_s ? game : QString(a).replace(u"SCRATCH"_s, scratch));
    const auto before = test::snapshot(dir.path(u"."_s));
    const test::CliRun run = test::runCli(args);
    EXPECT_EQ(run.code, cli::DataError) << run.out.toStdString() << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QString::fromUtf8(c.message))) << run.err.toStdString();
    const auto after = test::snapshot(dir.path(u"."_s));
    QStringList changed;
    for (const QString& name : before.keys() + after.keys())
        if (before.value(name) != after.value(name) ||
            before.contains(name) != after.contains(name))
            changed << name;
    EXPECT_TRUE(changed.isEmpty()) << changed.join(u' ').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Cases, BadModsInput, testing::ValuesIn(badCases),
                         [](const auto& info) { return std::string(info.param.name); });

namespace {

struct RepairCase {
    const char* name;
    int bad;          // the damage: badCases[bad]
    QStringList args; // the repair after "mods"; GAME and ORIG stand for the folders
};

void PrintTo(const RepairCase& c, std::ostream* os) {
    *os << c.name;
}

class RepairedMods : public ModsFolder, public testing::WithParamInterface<RepairCase> {};

} // namespace

// A damaged workshop is mended from the command line: the entry taken out,
// or the originals taken again; the list then restores the original bytes.
TEST_P(RepairedMods, RestoreWorksAgain) {
    const RepairCase& c = GetParam();
    badCases[c.bad].damage(game, scratch);
    QStringList args{u"mods"_s};
    for (const QString& a : c.args)
        args << (a == u"GAME"_s ? game : a == u"ORIG"_s ? dir.path(u"orig"_s) : a);
    const test::CliRun repair = test::runCli(args);
    ASSERT_EQ(repair.code, cli::Ok) << repair.err.toStdString();
    const test::CliRun restore = test::runCli({u"mods"_s, u"restore"_s, game});
    ASSERT_EQ(restore.code, cli::Ok) << restore.err.toStdString();
    for (const QString& name : {u"data.e5"_s, u"S_01.eex"_s})
        EXPECT_EQ(test::readFile(QDir(game).filePath(name)),
                  test::readFile(QDir(dir.path(u"orig"_s)).filePath(name)))
            << name.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RepairedMods,
    testing::Values(RepairCase{"changed_patch_removed", 0, {u"remove"_s, u"GAME"_s, u"甲"_s}},
                    RepairCase{"missing_patch_removed", 2, {u"remove"_s, u"GAME"_s, u"乙"_s}},
                    RepairCase{"originals_taken_again", 1, {u"originals"_s, u"GAME"_s, u"ORIG"_s}}),
    [](const auto& info) { return std::string(info.param.name); });
