// The mod list against an oracle of its own: random patches, in random orders
// and switch states, give exactly the fields the patches' JSON says, read
// from the JSON alone; switching a mod off and on again gives the same bytes;
// restoring gives the original bytes, whatever came before.
#include "changes/modlist.h"
#include "common/fileaccess.h"
#include "samplegen/samplegame.h"
#include "scenario/scenariolayout.h"
#include "support/randomedits.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>
#include <random>

using namespace lcj;
namespace mods = changes::mods;
namespace patch = changes::patch;

namespace {

QMap<QString, QByteArray> gameBytes(const QString& folder) {
    QMap<QString, QByteArray> out;
    for (const QString& name : QDir(folder).entryList(QDir::Files, QDir::Name))
        if (!name.endsWith(QStringLiteral(".bak")))
            out.insert(name, test::readFile(QDir(folder).filePath(name)));
    return out;
}

void copyGame(const QString& from, const QString& to) {
    QDir().mkpath(to);
    for (const QString& name : QDir(from).entryList(QDir::Files))
        ASSERT_TRUE(QFile::copy(QDir(from).filePath(name), QDir(to).filePath(name)));
}

// "file|part|row|column"
QString oracleKey(const QString& file, const QString& part, int row, const QString& column) {
    return QStringLiteral("%1|%2|%3|%4").arg(file, part).arg(row).arg(column);
}

// What the fields must hold after the enabled patches, in order, read from
// their JSON: a later patch wins on a field; entries a patch appends follow
// those appended before it; a patch that would take the army past its limit
// is left out whole.
QMap<QString, QJsonValue> oracle(const QList<QByteArray>& jsons) {
    QMap<QString, QJsonValue> want;
    QMap<QString, int> army; // file → the army's length so far
    for (const QByteArray& json : jsons) {
        const QJsonArray files =
            QJsonDocument::fromJson(json).object().value(QStringLiteral("files")).toArray();
        const auto countOf = [](const QJsonArray& changes) -> std::optional<QJsonObject> {
            for (const QJsonValue& c : changes)
                if (c[QStringLiteral("row")].toInt() < 0 &&
                    c[QStringLiteral("column")].toString() == QStringLiteral("count"))
                    return c.toObject();
            return std::nullopt;
        };
        bool fits = true;
        for (const QJsonValue& f : files)
            if (const auto count = countOf(f[QStringLiteral("changes")].toArray())) {
                const int before = (*count)[QStringLiteral("old")].toInt();
                const int now = army.value(f[QStringLiteral("file")].toString(), before);
                fits = fits && now + (*count)[QStringLiteral("new")].toInt() - before <=
                                   scenario::layout::maxArmyEntries;
            }
        if (!fits)
            continue;
        for (const QJsonValue& f : files) {
            const QString file = f[QStringLiteral("file")].toString();
            const QJsonArray changes = f[QStringLiteral("changes")].toArray();
            const auto count = countOf(changes);
            const int base = count ? (*count)[QStringLiteral("old")].toInt() : 0;
            const int now = army.value(file, base);
            for (const QJsonValue& c : changes) {
                const QString part = c[QStringLiteral("part")].toString();
                int row = c[QStringLiteral("row")].toInt();
                const QString column = c[QStringLiteral("column")].toString();
                if (count && row < 0 && column == QStringLiteral("count"))
                    continue;
                if (count && part == QStringLiteral("army") && row >= base &&
                    c[QStringLiteral("old")].isNull())
                    row = now + row - base;
                want.insert(oracleKey(file, part, row, column), c[QStringLiteral("new")]);
            }
            if (count) {
                army.insert(file, now + (*count)[QStringLiteral("new")].toInt() - base);
                want.insert(oracleKey(file, QStringLiteral("army"), -1, QStringLiteral("count")),
                            army.value(file));
            }
        }
    }
    return want;
}

struct PropertyCase {
    quint32 seed;
    int patches;
    int rounds; // of reordering, switching, applying and restoring
};

class ModListProperty : public testing::TestWithParam<PropertyCase> {
protected:
    test::TestFolder dir;
    QString orig = dir.path(QStringLiteral("orig"));
    QString game = dir.path(QStringLiteral("game"));
    int inputs = 0;
    QList<QByteArray> jsons; // by the patch's number
    QStringList names;

    void SetUp() override {
        ASSERT_TRUE(sample::writeSampleGame(orig).ok());
        copyGame(orig, game);
    }

    QString input(const QString& text) {
        return dir.write(QStringLiteral("input%1.txt").arg(++inputs), text.toUtf8());
    }

    // Every field of the folder's files holds the oracle's value, or the
    // original's where no enabled patch sets it.
    void expectOracle(const mods::ModList& list) {
        QList<QByteArray> enabled;
        for (const mods::Entry& e : list.entries())
            if (e.enabled)
                enabled << jsons[names.indexOf(e.name)];
        const auto want = oracle(enabled);
        int checked = 0;
        for (const auto& [name, bytes] : gameBytes(game).asKeyValueRange()) {
            const auto kind = patch::kindOfName(name);
            if (!kind)
                continue;
            const auto now = patch::readCells(*kind, name, bytes);
            const auto before =
                patch::readCells(*kind, name, test::readFile(QDir(orig).filePath(name)));
            ASSERT_TRUE(now.ok() && before.ok()) << name.toStdString();
            QHash<QString, QJsonValue> original;
            for (const patch::Cell& c : *before)
                original.insert(c.key(), c.value);
            for (const patch::Cell& c : *now) {
                const QString key = oracleKey(name, c.part, c.row, c.column);
                const QJsonValue expected = want.value(key, original.value(c.key()));
                if (!want.contains(key) && !original.contains(c.key()))
                    continue; // a field of an appended entry no patch sets
                ++checked;
                EXPECT_EQ(c.value, expected) << name.toStdString() << ' ' << c.where.toStdString();
            }
        }
        EXPECT_GT(checked, 1000);
    }
};

} // namespace

TEST_P(ModListProperty, ResultIsTheOracleAndRestoreGivesTheOriginal) {
    const PropertyCase& c = GetParam();
    std::mt19937 rng(c.seed);
    for (int k = 0; k < c.patches; ++k) {
        const QString modded = dir.path(QStringLiteral("mod%1").arg(k));
        copyGame(orig, modded);
        test::randomEdits(modded, c.seed * 100 + k, rng() % 3 != 0,
                          [this](const QString& text) { return input(text); });
        QStringList warnings;
        const auto p = patch::makePatch(orig, modded, warnings);
        ASSERT_TRUE(p.ok()) << p.error().toStdString();
        const QByteArray json = patch::toJson(*p);
        names << QStringLiteral("模组%1").arg(k);
        jsons << json;
        const auto added = [&] {
            auto list = mods::ModList::open(game);
            return list.ok()
                       ? list->add(dir.write(names.last() + QStringLiteral(".lcjpatch"), json))
                       : Result<mods::AddResult>::failure(list.error());
        }();
        ASSERT_TRUE(added.ok()) << added.error().toStdString();
        ASSERT_EQ(added->name, names.last());
    }
    const auto original = gameBytes(game);
    auto list = *mods::ModList::open(game);
    for (int round = 0; round < c.rounds; ++round) {
        SCOPED_TRACE(round);
        for (const QString& name : names) {
            ASSERT_TRUE(list.move(name, int(rng() % names.size())).ok());
            ASSERT_TRUE(list.setEnabled(name, rng() % 4 != 0).ok());
        }
        const auto applied = list.apply(mods::Outside::Refuse);
        ASSERT_TRUE(applied.ok()) << applied.error().toStdString();
        expectOracle(list);
        const auto after = gameBytes(game);

        // One mod off: the list without it; on again: the same bytes.
        const QString one = names[int(rng() % names.size())];
        bool wasOn = false;
        for (const mods::Entry& e : list.entries())
            wasOn = wasOn || (e.name == one && e.enabled);
        ASSERT_TRUE(list.setEnabled(one, !wasOn).ok());
        ASSERT_TRUE(list.apply(mods::Outside::Refuse).ok());
        expectOracle(list);
        const auto switched = gameBytes(game);
        ASSERT_TRUE(list.setEnabled(one, wasOn).ok());
        ASSERT_TRUE(list.apply(mods::Outside::Refuse).ok());
        EXPECT_TRUE(gameBytes(game) == after);

        // Undo: the files as the apply before the last one left them.
        if (round == c.rounds - 1) {
            ASSERT_TRUE(list.undoApply().ok());
            EXPECT_TRUE(gameBytes(game) == switched);
            EXPECT_FALSE(list.canUndoApply());
        }
        const auto restored = list.restore(mods::Outside::Refuse);
        ASSERT_TRUE(restored.ok()) << restored.error().toStdString();
        for (const auto& [name, bytes] : gameBytes(game).asKeyValueRange())
            EXPECT_EQ(bytes, original.value(name)) << name.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, ModListProperty,
                         testing::Values(PropertyCase{1, 2, 1}, PropertyCase{2, 4, 1},
                                         PropertyCase{5, 6, 2}),
                         [](const auto& info) {
                             return "seed" + std::to_string(info.param.seed) + "_" +
                                    std::to_string(info.param.patches) + "patches";
                         });

namespace {

// The sample game and patches made from it through lcjtool's own imports.
class ModListGame : public testing::Test {
protected:
    test::TestFolder dir;
    QString orig = dir.path(QStringLiteral("orig"));
    QString game = dir.path(QStringLiteral("game"));
    int made = 0;

    void SetUp() override {
        ASSERT_TRUE(sample::writeSampleGame(orig).ok());
        copyGame(orig, game);
    }

    // Runs an import of lcjtool on `folder`; `args` name the file as FILE.
    void edit(const QString& folder, QStringList args, const QString& file,
              const QByteArray& input) {
        const QString in = dir.write(QStringLiteral("input%1").arg(++made), input);
        for (QString& a : args)
            a = a == QStringLiteral("FILE") ? QDir(folder).filePath(file)
                : a == QStringLiteral("IN") ? in
                                            : a;
        ASSERT_EQ(cli::run(args), cli::Ok) << args.join(u' ').toStdString();
    }
    void characters(const QString& folder, const QByteArray& csv) {
        edit(folder,
             {QStringLiteral("data"), QStringLiteral("import"), QStringLiteral("FILE"),
              QStringLiteral("characters"), QStringLiteral("IN")},
             QStringLiteral("data.e5"), csv);
    }
    void scenario(const QString& folder, const QByteArray& json) {
        edit(folder,
             {QStringLiteral("scenario"), QStringLiteral("edit"), QStringLiteral("FILE"),
              QStringLiteral("IN")},
             QStringLiteral("S_01.eex"), json);
    }

    // A patch file `name` of what `change` does to a copy of the original.
    QString patchFile(const QString& name, const std::function<void(const QString&)>& change) {
        const QString mod = dir.path(QStringLiteral("mod%1").arg(++made));
        copyGame(orig, mod);
        change(mod);
        QStringList warnings;
        const auto p = patch::makePatch(orig, mod, warnings);
        EXPECT_TRUE(p.ok());
        QDir().mkpath(dir.path(QStringLiteral("p%1").arg(made)));
        return dir.write(QStringLiteral("p%1/%2.lcjpatch").arg(made).arg(name),
                         p.ok() ? patch::toJson(*p) : QByteArray());
    }

    mods::ModList list() {
        auto l = mods::ModList::open(game);
        EXPECT_TRUE(l.ok()) << l.error().toStdString();
        return *l;
    }
};

struct AddCase {
    const char* name;
    const char* secondFile; // the second patch's file name
    const char* secondCsv;  // its characters
    const char* gameCsv;    // what the game already holds before the first add; may be null
    const char* wantName;
    bool listedTwice;
    const char* modded; // a line of AddResult::alreadyModded of the first add; may be null
};

void PrintTo(const AddCase& c, std::ostream* os) {
    *os << c.name;
}

class ModListAdd : public ModListGame, public testing::WithParamInterface<AddCase> {};

} // namespace

TEST_P(ModListAdd, ListsEachContentOnceUnderAFreeName) {
    const AddCase& c = GetParam();
    if (c.gameCsv)
        characters(game, c.gameCsv);
    const QString first = patchFile(
        QStringLiteral("强兵"), [&](const QString& mod) { characters(mod, "序号,武力\n5,76\n"); });
    const QString second = patchFile(QString::fromUtf8(c.secondFile),
                                     [&](const QString& mod) { characters(mod, c.secondCsv); });
    mods::ModList l = list();
    const auto a = l.add(first);
    ASSERT_TRUE(a.ok()) << a.error().toStdString();
    EXPECT_EQ(a->alreadyModded.join(u'|').toStdString(), c.modded ? c.modded : "");
    const auto b = l.add(second);
    ASSERT_TRUE(b.ok()) << b.error().toStdString();
    EXPECT_EQ(b->name.toStdString(), c.wantName);
    EXPECT_EQ(b->alreadyListed, c.listedTwice);
    EXPECT_EQ(list().entries().size(), c.listedTwice ? 1 : 2);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ModListAdd,
    testing::Values(AddCase{"same_patch_again", "强兵", "序号,武力\n5,76\n", nullptr, "强兵", true,
                            nullptr},
                    AddCase{"same_content_other_name", "快马", "序号,武力\n5,76\n", nullptr, "强兵",
                            true, nullptr},
                    AddCase{"same_name_other_content", "强兵", "序号,武力\n5,80\n", nullptr,
                            "强兵-2", false, nullptr},
                    AddCase{"game_modded_already", "快马", "序号,智力\n5,50\n", "序号,武力\n5,76\n",
                            "快马", false, "data.e5 人物 5 武力 已是 76"}),
    [](const auto& info) { return std::string(info.param.name); });

// A mod whose file the game does not have is never applied, not even the
// fields of the files it does have; one that takes the army past its limit is
// a conflict row and is left out whole.
TEST_F(ModListGame, AModThatDoesNotFitIsLeftOutWhole) {
    const QString army = patchFile(QStringLiteral("大军"), [&](const QString& mod) {
        characters(mod, "序号,武力\n5,90\n");
        scenario(mod, R"({"append_army": 6})");
    });
    QByteArray json = test::readFile(army);
    const QString elsewhere =
        dir.write(QStringLiteral("别处.lcjpatch"), json.replace("\"S_01.eex\"", "\"S_09.eex\""));
    mods::ModList l = list();
    for (const QString& p :
         {army, elsewhere, patchFile(QStringLiteral("又一军"), [&](const QString& mod) {
              scenario(mod, R"({"append_army": 6})");
          })})
        ASSERT_TRUE(l.add(p).ok());
    l = list();
    EXPECT_EQ(l.entries()[1].problem.toStdString(), "游戏文件夹里没有 S_09.eex");
    ASSERT_TRUE(l.move(QStringLiteral("大军"), 2).ok());
    const auto r = l.apply(mods::Outside::Refuse);
    ASSERT_TRUE(r.ok()) << r.error().toStdString();
    EXPECT_EQ(r->skipped.size(), 2) << r->skipped.join(u'|').toStdString();
    const auto rows = l.conflicts();
    ASSERT_TRUE(rows.ok() && rows->size() == 1);
    EXPECT_EQ(rows->first().where.toStdString(), "我军出场人数");
    EXPECT_EQ(rows->first().result, QJsonValue(11));
    const auto data =
        patch::readCells(patch::FileKind::Data, QStringLiteral("data.e5"),
                         test::readFile(QDir(game).filePath(QStringLiteral("data.e5"))));
    ASSERT_TRUE(data.ok());
    for (const patch::Cell& c : *data)
        if (c.where == QStringLiteral("人物 5 武力")) {
            EXPECT_EQ(c.value, QJsonValue(QStringLiteral("74")));
        }
}

// The player's own edits, kept as the top layer, outlive switching a mod off;
// originals taken from a clean folder make 恢复原版 give that folder's bytes.
TEST_F(ModListGame, OwnEditsStayOnTopAndOriginalsComeFromAnotherFolder) {
    characters(game, "序号,运气\n7,40\n"); // modded before the list knew it
    mods::ModList l = list();
    ASSERT_TRUE(l.add(patchFile(QStringLiteral("强兵"), [&](const QString& mod) {
                     characters(mod, "序号,武力,智力\n5,76,60\n");
                 })).ok());
    ASSERT_TRUE(l.apply(mods::Outside::Refuse).ok());
    characters(game, "序号,智力\n5,20\n");
    const auto outside = l.outsideEdits();
    ASSERT_TRUE(outside.ok());
    EXPECT_EQ(outside->lines.join(u'|').toStdString(), "data.e5：人物 5 智力：60 → 20");
    EXPECT_FALSE(l.apply(mods::Outside::Refuse).ok());
    ASSERT_TRUE(l.apply(mods::Outside::KeepAsLayer).ok());
    EXPECT_TRUE(l.entries().last().own);
    ASSERT_TRUE(l.setEnabled(QStringLiteral("强兵"), false).ok());
    ASSERT_TRUE(l.apply(mods::Outside::Refuse).ok());
    QStringList shown;
    const auto cells =
        patch::readCells(patch::FileKind::Data, QStringLiteral("data.e5"),
                         test::readFile(QDir(game).filePath(QStringLiteral("data.e5"))));
    for (const patch::Cell& c : *cells)
        if (c.row == 5 || c.row == 7)
            if (c.column == QStringLiteral("武力") || c.column == QStringLiteral("智力") ||
                c.column == QStringLiteral("运气"))
                shown << c.where + u'=' + c.value.toString();
    EXPECT_EQ(shown.join(u' ').toStdString(), "人物 5 武力=74 人物 5 智力=20 人物 5 运气=66 "
                                              "人物 7 武力=98 人物 7 智力=86 人物 7 运气=40");
    ASSERT_TRUE(l.takeOriginalsFrom(orig).ok());
    ASSERT_TRUE(l.restore(mods::Outside::Drop).ok());
    EXPECT_EQ(test::readFile(QDir(game).filePath(QStringLiteral("data.e5"))),
              test::readFile(QDir(orig).filePath(QStringLiteral("data.e5"))));
}

// Army entries the player appended outside the list, kept twice as 我的修改,
// follow the mods' entries wherever those end: switching the mod off moves
// them up, with the values last typed into them.
TEST_F(ModListGame, OwnAppendedEntriesFollowTheMods) {
    mods::ModList l = list();
    ASSERT_TRUE(l.add(patchFile(QStringLiteral("大军"), [&](const QString& mod) {
                     scenario(mod, R"({"append_army": 2})");
                 })).ok());
    ASSERT_TRUE(l.apply(mods::Outside::Refuse).ok());
    scenario(game, R"({"append_army": 1, "army": {"7": {"x": 3}}})");
    ASSERT_TRUE(l.apply(mods::Outside::KeepAsLayer).ok());
    scenario(game, R"({"append_army": 1, "army": {"7": {"x": 5}, "8": {"x": 4}}})");
    ASSERT_TRUE(l.apply(mods::Outside::KeepAsLayer).ok());
    ASSERT_TRUE(l.setEnabled(QStringLiteral("大军"), false).ok());
    ASSERT_TRUE(l.apply(mods::Outside::Refuse).ok());
    const auto cells =
        patch::readCells(patch::FileKind::Scenario, QStringLiteral("S_01.eex"),
                         test::readFile(QDir(game).filePath(QStringLiteral("S_01.eex"))));
    ASSERT_TRUE(cells.ok());
    QStringList army;
    for (const patch::Cell& c : *cells)
        if (c.part == QStringLiteral("army") &&
            (c.row < 0 || (c.row >= 5 && c.column == QStringLiteral("x"))))
            army << QStringLiteral("%1=%2").arg(c.where).arg(c.value.toInt());
    EXPECT_EQ(army.join(u' ').toStdString(),
              "我军出场人数=7 我军出场人物 6 横坐标=5 我军出场人物 7 横坐标=4");
}
