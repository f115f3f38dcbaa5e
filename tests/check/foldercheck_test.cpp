// The check of a game folder: a clean sample game has no problem; one fault of
// each kind, planted in the bytes, is found once, in the right file and place;
// the check writes nothing.
#include "check/foldercheck.h"
#include "cli/clirun.h"
#include "common/gbk.h"
#include "messages/imsglayout.h"
#include "samplegen/samplegame.h"
#include "savefile/savelayout.h"
#include "scenario/rfile.h"
#include "scenario/scenariodocument.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

using namespace lcj;
using namespace Qt::StringLiterals;

namespace {

// A sample game in a folder of its own.
struct GameFolder {
    QTemporaryDir dir;
    GameFolder() {
        EXPECT_TRUE(dir.isValid());
        EXPECT_TRUE(sample::writeSampleGame(dir.path()).ok());
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    QByteArray read(const QString& name) const { return test::readFile(path(name)); }
    void write(const QString& name, const QByteArray& bytes) const {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(f.write(bytes), bytes.size());
    }
    // Changes the bytes of `name` with `edit`.
    void change(const QString& name, const std::function<void(QByteArray&)>& edit) const {
        QByteArray bytes = read(name);
        edit(bytes);
        write(name, bytes);
    }
};

void setWord(QByteArray& bytes, qint64 pos, int value) {
    bytes[pos] = char(value & 0xFF);
    bytes[pos + 1] = char((value >> 8) & 0xFF);
}

scenario::ScenarioScan scanOf(const QByteArray& bytes) {
    return scenario::ScenarioDocument::scan(bytes).scan();
}

struct Planted {
    const char* name;
    QString file;
    std::function<void(QByteArray&)> plant;
    int part;
    int row;
    QString place;
    QString message; // the start of the message
};

void PrintTo(const Planted& p, std::ostream* os) {
    *os << p.name;
}

class PlantedFault : public testing::TestWithParam<Planted> {};

TEST_P(PlantedFault, IsFoundOnceInItsPlaceAndNothingIsWritten) {
    const Planted& p = GetParam();
    GameFolder game;
    game.change(p.file, p.plant);
    const auto before = test::snapshot(game.dir.path());

    const auto problems = check::checkFolder(game.dir.path());

    ASSERT_TRUE(problems.ok()) << problems.error().toStdString();
    EXPECT_EQ(test::snapshot(game.dir.path()), before);
    ASSERT_EQ(problems->size(), 1);
    const check::Problem& found = problems->first();
    EXPECT_EQ(found.file, p.file);
    EXPECT_EQ(QDir::cleanPath(found.path), QDir::cleanPath(game.path(p.file)));
    EXPECT_EQ(found.part, p.part);
    EXPECT_EQ(found.row, p.row);
    EXPECT_EQ(found.place, p.place) << found.line().toStdString();
    EXPECT_TRUE(found.message.startsWith(p.message)) << found.line().toStdString();
}

qint64 imsgSlot(int category, int row) {
    return imsg::categories[std::size_t(category)].slotOffset(row);
}

constexpr qint64 characterAt(int r) {
    return data::characters.recordOffset(r);
}

const QString sampleScenario = u"S_01.eex"_s;

INSTANTIATE_TEST_SUITE_P(
    EveryKind, PlantedFault,
    testing::Values(
        // A stored value the section's "保存" refuses, though no box differs.
        Planted{"refusedMovement", u"data.e5"_s,
                [](QByteArray& b) { b[data::troopTypes.recordOffset(4)] = char(25); }, 3, 4,
                u"兵种 4"_s, u"编辑器保存时会拒绝：移动力介于0到20之间"_s},
        Planted{"dataTroopType", u"data.e5"_s,
                [](QByteArray& b) { b[characterAt(5) + 26] = char(60); }, 0, 5, u"人物 5 兵种"_s,
                u"兵种编号60超出了data.e5的兵种表（共53种"_s},
        Planted{"dataEquipment", u"data.e5"_s,
                [](QByteArray& b) { b[characterAt(7) + 30] = char(150); }, 0, 7, u"人物 7 防具"_s,
                u"道具编号150超出了data.e5的道具表（共104件"_s},
        Planted{"shopItem", u"data.e5"_s,
                [](QByteArray& b) {
                    // The item shop's slots, each past the table.
                    b[data::shops.recordOffset(9) + 19] = char(104);
                },
                2, 9, u"商店 9 道具店(最多16种)"_s, u"道具编号104超出了"_s},
        Planted{"dataName", u"data.e5"_s,
                [](QByteArray& b) { b.replace(characterAt(11), 3, QByteArray("\x41\x80\x42")); }, 0,
                11, u"人物 11 姓名"_s, u"文字不是有效的GBK编码（字节 41 80 42"_s},
        Planted{"itemName", u"data.e5"_s,
                [](QByteArray& b) {
                    b.replace(data::items.recordOffset(3), 2, QByteArray("\xB0\x7F"));
                },
                1, 3, u"道具 3 道具名称"_s, u"文字不是有效的GBK编码（字节 B0 7F"_s},
        Planted{"enemyCharacter", sampleScenario,
                [](QByteArray& b) { setWord(b, scanOf(b).enemyBase + 2 * 56 + 2, 600); }, 2, 2,
                u"敌军 3 人物编号"_s, u"人物编号600超出了data.e5的人物表（共512人"_s},
        // 512 is stored by the ally frame's "确定", but no character has it.
        Planted{"allyCharacter", sampleScenario,
                [](QByteArray& b) { setWord(b, scanOf(b).allyBase + 4 * 52 + 2, 512); }, 1, 4,
                u"友军 5 人物编号"_s, u"人物编号512超出了"_s},
        Planted{"victoryCharacter", sampleScenario,
                [](QByteArray& b) { setWord(b, scanOf(b).battleHeaderPos + 28, 530); }, 0, 0,
                u"战役 胜利条件武将编号"_s, u"人物编号530超出了"_s},
        Planted{"followedGeneral", sampleScenario,
                [](QByteArray& b) {
                    const qint64 slot = scanOf(b).enemyBase + 6 * 56;
                    setWord(b, slot + 2, 3);       // a character
                    setWord(b, slot + 38, 3);      // 03 跟随
                    setWord(b, slot + 42, 0x7000); // whom it follows
                },
                2, 6, u"敌军 7 跟随武将"_s, u"人物编号28672超出了"_s},
        Planted{"equipmentCharacter", sampleScenario,
                [](QByteArray& b) { setWord(b, scanOf(b).armyBlockEnd + 23 + 26 + 4, 700); }, 4, 1,
                u"个人装备 2 人物编号"_s, u"人物编号700超出了"_s},
        Planted{"equipmentWeapon", sampleScenario,
                [](QByteArray& b) {
                    // The weapon's code is its item number + 2.
                    setWord(b, scanOf(b).armyBlockEnd + 23 + 8, 120 + 2);
                },
                4, 0, u"个人装备 1 武具"_s, u"道具编号120超出了"_s},
        Planted{"spoilsItem", sampleScenario,
                [](QByteArray& b) { setWord(b, scanOf(b).spoilsPositions.at(1) + 18, 104); }, 5, 1,
                u"战利品 2"_s, u"道具编号104超出了"_s},
        Planted{
            "rFileLimit", u"R_01.eex"_s,
            [](QByteArray& b) { setWord(b, scenario::RFile::findRecord(b) + 32 + 4 * 2, 9000); }, 0,
            0, u"出场人物数 限制出场人员3"_s, u"人物编号9000超出了"_s},
        Planted{"saveTroopType", u"Sv01d.e5s"_s,
                [](QByteArray& b) {
                    b[save::characterRegion.offset + 3 * save::recordSize + 17] = char(99);
                },
                0, 3, u"人物 3 兵种"_s, u"兵种编号99超出了"_s},
        Planted{"saveEquipment", u"Sv01d.e5s"_s,
                [](QByteArray& b) {
                    b[save::characterRegion.offset + 8 * save::recordSize + 26] = char(200);
                },
                0, 8, u"人物 8 辅助"_s, u"道具编号200超出了"_s},
        Planted{"messageText", u"Imsg.e5"_s,
                [](QByteArray& b) { b.replace(imsgSlot(2, 4), 2, QByteArray("\xFF\xA1")); }, 2, 4,
                u"兵种简介 4"_s, u"文字不是有效的GBK编码（字节 FF A1"_s},
        Planted{"truncatedScenario", u"S_02.eex"_s, [](QByteArray& b) { b.truncate(100); }, -1, -1,
                QString(), u"编辑器无法读取这个文件：剧本中没有找到战役数据或战利品"_s},
        Planted{"truncatedMessages", u"Imsg.e5"_s, [](QByteArray& b) { b.truncate(5000); }, -1, -1,
                QString(), u"编辑器无法读取这个文件：文件太短"_s},
        Planted{"truncatedSave", u"Sv01d.e5s"_s, [](QByteArray& b) { b.truncate(6000); }, -1, -1,
                QString(), u"编辑器无法读取这个文件："_s},
        Planted{"brokenArmyBlock", sampleScenario,
                [](QByteArray& b) { setWord(b, scanOf(b).armyBlockStart, 3); }, -1, -1, QString(),
                u"剧本中有内容无法识别，编辑器按原样保留、不作修改：位置"_s}),
    [](const testing::TestParamInfo<Planted>& info) { return std::string(info.param.name); });

TEST(FolderCheck, CleanSampleGameHasNoProblem) {
    GameFolder game;
    const auto before = test::snapshot(game.dir.path());
    const auto problems = check::checkFolder(game.dir.path());
    ASSERT_TRUE(problems.ok()) << problems.error().toStdString();
    QStringList lines;
    for (const auto& p : *problems)
        lines << p.line();
    EXPECT_TRUE(lines.isEmpty()) << lines.join(u'\n').toStdString();
    EXPECT_EQ(test::snapshot(game.dir.path()), before);
}

TEST(FolderCheck, EveryFaultOfAFolderIsListedInFileOrder) {
    GameFolder game;
    game.change(u"Sv01d.e5s"_s,
                [](QByteArray& b) { b[save::characterRegion.offset + 17] = char(80); });
    game.change(u"data.e5"_s, [](QByteArray& b) { b[characterAt(2) + 29] = char(140); });
    const auto problems = check::checkFolder(game.dir.path());
    ASSERT_TRUE(problems.ok());
    ASSERT_EQ(problems->size(), 2);
    EXPECT_EQ(problems->at(0).line(),
              u"data.e5: 人物 2 武具：道具编号140超出了data.e5的道具表（共104件，编号0到103）"_s);
    EXPECT_EQ(problems->at(1).line(),
              u"Sv01d.e5s: 人物 0 兵种：兵种编号80超出了data.e5的兵种表（共53种，编号0到52）"_s);
}

// A folder whose data.e5 cannot be read still has its references checked,
// against the tables' own sizes.
TEST(FolderCheck, ReferencesAreCheckedWithoutAReadableDataFile) {
    GameFolder game;
    game.change(u"data.e5"_s, [](QByteArray& b) { b.truncate(1000); });
    game.change(u"Sv01d.e5s"_s,
                [](QByteArray& b) { b[save::characterRegion.offset + 20] = char(104); });
    const auto problems = check::checkFolder(game.dir.path());
    ASSERT_TRUE(problems.ok());
    ASSERT_EQ(problems->size(), 2);
    EXPECT_EQ(problems->at(0).file, u"data.e5"_s);
    EXPECT_EQ(problems->at(0).part, -1);
    EXPECT_TRUE(problems->at(0).message.contains(u"1000"_s))
        << problems->at(0).line().toStdString();
    EXPECT_EQ(problems->at(1).line().section(u'：', 0, 1),
              u"Sv01d.e5s: 人物 0 武具：道具编号104超出了data.e5的道具表（共104件，编号0到103）"_s);
}

struct Unreadable {
    const char* name;
    std::function<QString(const QTemporaryDir&)> folder;
    QString message;
};

void PrintTo(const Unreadable& u, std::ostream* os) {
    *os << u.name;
}

class UnreadableFolder : public testing::TestWithParam<Unreadable> {};

TEST_P(UnreadableFolder, IsRefusedWithItsReason) {
    QTemporaryDir dir;
    const QString folder = GetParam().folder(dir);
    const auto problems = check::checkFolder(folder);
    ASSERT_FALSE(problems.ok());
    EXPECT_TRUE(problems.error().contains(GetParam().message)) << problems.error().toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Folders, UnreadableFolder,
    testing::Values(Unreadable{"missing",
                               [](const QTemporaryDir& d) { return d.filePath(u"无此目录"_s); },
                               u"不存在"_s},
                    Unreadable{"aFile",
                               [](const QTemporaryDir& d) {
                                   QFile f(d.filePath(u"data.e5"_s));
                                   EXPECT_TRUE(f.open(QIODevice::WriteOnly));
                                   return f.fileName();
                               },
                               u"不是文件夹"_s},
                    Unreadable{"noGameFiles",
                               [](const QTemporaryDir& d) {
                                   QFile f(d.filePath(u"readme.txt"_s));
                                   EXPECT_TRUE(f.open(QIODevice::WriteOnly));
                                   return d.path();
                               },
                               u"没有游戏文件"_s}),
    [](const testing::TestParamInfo<Unreadable>& info) { return std::string(info.param.name); });

// lcjtool check as a user runs it: its own process, one line per problem on
// standard output, the exit code saying clean (0), problems (1) or no folder (2).
struct ToolRun {
    int code = -1;
    QString out;
    QString err;
};

ToolRun runTool(const QStringList& args) {
    static int argc = 1;
    static char self[] = "check_tests";
    static char* argv[] = {self, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv);
    QProcess p;
    p.start(QStringLiteral(LCJTOOL_PATH), args);
    ToolRun r;
    if (!p.waitForStarted(60000) || !p.waitForFinished(120000)) {
        ADD_FAILURE() << "lcjtool did not run: " << p.errorString().toStdString();
        return r;
    }
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

TEST(LcjtoolCheck, CleanFolderExitsZeroAndPrintsNoProblem) {
    GameFolder game;
    const auto before = test::snapshot(game.dir.path());
    const ToolRun run = runTool({u"check"_s, game.dir.path()});
    EXPECT_EQ(run.code, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QString());
    EXPECT_EQ(test::snapshot(game.dir.path()), before);
}

TEST(LcjtoolCheck, ProblemsArePrintedOneALineAndExitOne) {
    GameFolder game;
    game.change(sampleScenario,
                [](QByteArray& b) { setWord(b, scanOf(b).enemyBase + 2 * 56 + 2, 600); });
    game.change(u"data.e5"_s, [](QByteArray& b) { b[data::troopTypes.recordOffset(1)] = 30; });
    const auto before = test::snapshot(game.dir.path());
    const ToolRun run = runTool({u"check"_s, game.dir.path()});
    EXPECT_EQ(run.code, 1) << run.err.toStdString();
    EXPECT_EQ(run.out, u"data.e5: 兵种 1：编辑器保存时会拒绝：移动力介于0到20之间\n"
                       u"S_01.eex: 敌军 3 人物编号：人物编号600超出了data.e5的人物表"
                       u"（共512人，编号0到511）\n"_s);
    EXPECT_TRUE(run.err.contains(u"共发现2处问题"_s)) << run.err.toStdString();
    EXPECT_EQ(test::snapshot(game.dir.path()), before);
}

TEST(LcjtoolCheck, AFolderThatCannotBeReadExitsTwo) {
    QTemporaryDir dir;
    for (const QString& folder : {dir.filePath(u"没有"_s), dir.path()}) {
        const ToolRun run = runTool({u"check"_s, folder});
        EXPECT_EQ(run.code, 2) << folder.toStdString();
        EXPECT_EQ(run.out, QString());
        EXPECT_FALSE(run.err.isEmpty());
    }
    EXPECT_EQ(runTool({u"check"_s}).code, 2);
    const ToolRun help = runTool({u"check"_s, u"--help"_s});
    EXPECT_EQ(help.code, 0);
    EXPECT_TRUE(help.out.contains(u"lcjtool check GAME"_s));
    EXPECT_TRUE(runTool({u"--help"_s}).out.contains(u"check GAME"_s));
}

struct GbkCase {
    const char* name;
    QByteArray bytes;
    bool valid;
};

void PrintTo(const GbkCase& c, std::ostream* os) {
    *os << c.name;
}

class StrictGbk : public testing::TestWithParam<GbkCase> {};

TEST_P(StrictGbk, TakesOnlyGbkText) {
    const auto text = gbk::decodeStrict(GetParam().bytes);
    EXPECT_EQ(text.has_value(), GetParam().valid);
    if (text) {
        EXPECT_EQ(gbk::encode(*text).ok() ? *gbk::encode(*text) : QByteArray(), GetParam().bytes);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, StrictGbk,
    testing::Values(GbkCase{"ascii", QByteArray("Abc 12"), true},
                    GbkCase{"chinese", QByteArray("\xE1\xB0\xB4\xA8", 4), true},
                    GbkCase{"empty", QByteArray(), true},
                    GbkCase{"loneFF", QByteArray("A\xFF"), false},
                    GbkCase{"lone80", QByteArray("\x80"), false},
                    GbkCase{"cutPair", QByteArray("\xE1\xB0\xB4"), false},
                    GbkCase{"badTrail", QByteArray("\xB0\x7F"), false},
                    GbkCase{"userDefined", QByteArray("\xAA\xA1"), false}),
    [](const testing::TestParamInfo<GbkCase>& info) { return std::string(info.param.name); });

} // namespace
