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
        ASSERT_FALSE(sample::writeSampleGame(orig));
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
            return list ? list->add(dir.write(names.last() + QStringLiteral(".lcjpatch"), json))
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
            ASSERT_FALSE(list.move(name, int(rng() % names.size())));
            ASSERT_FALSE(list.setEnabled(name, rng() % 4 != 0));
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
        ASSERT_FALSE(list.setEnabled(one, !wasOn));
        ASSERT_TRUE(list.apply(mods::Outside::Refuse).ok());
        expectOracle(list);
        const auto switched = gameBytes(game);
        ASSERT_FALSE(list.setEnabled(one, wasOn));
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
