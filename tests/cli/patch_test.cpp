#include "changes/patch.h"
#include "cli/cli.h"
#include "clirun.h"
#include "common/fileaccess.h"
#include "common/writelock.h"
#include "datafile/datalayout.h"
#include "samplegen/samplegame.h"
#include "support/randomedits.h"
#include "support/testfiles.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <random>

QT_BEGIN_NAMESPACE
// Failures show texts as text.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << s.toStdString();
}
QT_END_NAMESPACE

using namespace lcj;
namespace patch = changes::patch;

namespace {

QMap<QString, QByteArray> folderBytes(const QString& folder) {
    QMap<QString, QByteArray> out;
    for (const QString& name : QDir(folder).entryList(QDir::Files, QDir::Name))
        if (!name.endsWith(QStringLiteral(".bak")))
            out.insert(name, test::readFile(QDir(folder).filePath(name)));
    return out;
}

void copyFolder(const QString& from, const QString& to) {
    QDir().mkpath(to);
    for (const QString& name : QDir(from).entryList(QDir::Files))
        if (!name.endsWith(QStringLiteral(".bak"))) {
            ASSERT_TRUE(QFile::copy(QDir(from).filePath(name), QDir(to).filePath(name)));
        }
}

class PatchGame : public testing::Test {
protected:
    test::TestFolder dir;
    QString orig = dir.path(QStringLiteral("orig"));
    QString mod = dir.path(QStringLiteral("mod"));
    QString patchPath = dir.path(QStringLiteral("mod.lcjpatch"));
    int inputs = 0;

    void SetUp() override {
        ASSERT_TRUE(sample::writeSampleGame(orig).ok());
        copyFolder(orig, mod);
    }

    QString input(const QString& text) {
        return dir.write(QStringLiteral("input%1.txt").arg(++inputs), text.toUtf8());
    }
    QString in(const QString& folder, const char* name) const {
        return QDir(folder).filePath(QString::fromLatin1(name));
    }

    // Edits every kind of file of `folder` through lcjtool's imports, which
    // type each value into the windows' forms; which records and values is
    // drawn from `seed`.
    void randomEdits(const QString& folder, quint32 seed, bool appendArmy) {
        test::randomEdits(folder, seed, appendArmy,
                          [this](const QString& text) { return input(text); });
    }

    patch::Patch make(const QString& a, const QString& b) {
        QStringList warnings;
        auto p = patch::makePatch(a, b, warnings);
        EXPECT_TRUE(p.ok()) << p.error().toStdString();
        EXPECT_TRUE(warnings.isEmpty()) << warnings.join(u'\n').toStdString();
        return p.ok() ? *p : patch::Patch{};
    }
};

} // namespace

// Make then apply on a copy of the original gives the modded files byte for
// byte; revert then gives the original back byte for byte. Three draws of
// random edits in every kind of file.
TEST_F(PatchGame, MakeApplyRevertRoundTripsEveryFileKind) {
    for (quint32 seed : {1u, 2u, 3u}) {
        SCOPED_TRACE(seed);
        const QString modded = dir.path(QStringLiteral("mod%1").arg(seed));
        copyFolder(orig, modded);
        randomEdits(modded, seed, seed == 3);
        const patch::Patch p = make(orig, modded);
        // Every kind of file the editors own is in the patch.
        QStringList names;
        for (const auto& f : p.files)
            names << f.file;
        EXPECT_EQ(names.join(u' '), QStringLiteral("data.e5 Imsg.e5 Lcj5.exe R_01.eex S_01.eex "
                                                   "Sv01d.e5s"));

        // Through the file on disk, as a player gets it.
        const QString file = dir.write(QStringLiteral("p%1.lcjpatch").arg(seed), patch::toJson(p));
        const QString game = dir.path(QStringLiteral("game%1").arg(seed));
        copyFolder(orig, game);
        ASSERT_EQ(cli::run({QStringLiteral("patch"), QStringLiteral("apply"), file, game,
                            QStringLiteral("--dry-run")}),
                  cli::Ok);
        EXPECT_EQ(folderBytes(game), folderBytes(orig));
        ASSERT_EQ(cli::run({QStringLiteral("patch"), QStringLiteral("apply"), file, game}),
                  cli::Ok);
        EXPECT_EQ(folderBytes(game), folderBytes(modded));
        // Each written file kept its backup: the original.
        EXPECT_EQ(test::readFile(files::backupPath(in(game, "data.e5"))),
                  test::readFile(in(orig, "data.e5")));

        // Applying again finds everything in place and writes nothing.
        const auto again = patch::applyPatch(p, game, false, patch::Settle::Refuse, false);
        ASSERT_TRUE(again.ok()) << again.error().toStdString();
        EXPECT_FALSE(again->written);

        ASSERT_EQ(cli::run({QStringLiteral("patch"), QStringLiteral("revert"), file, game}),
                  cli::Ok);
        EXPECT_EQ(folderBytes(game), folderBytes(orig));
    }
}

TEST_F(PatchGame, PatchTextIsStableAndReadsBack) {
    randomEdits(mod, 7, true);
    const QByteArray first = patch::toJson(make(orig, mod));
    EXPECT_EQ(patch::toJson(make(orig, mod)), first);
    const auto read = patch::fromJson(first);
    ASSERT_TRUE(read.ok()) << read.error().toStdString();
    EXPECT_EQ(patch::toJson(*read), first);
    // The header carries the mod's name, author and note; each file its
    // original's size and SHA-256.
    ASSERT_EQ(cli::run({QStringLiteral("patch"), QStringLiteral("make"), orig, mod,
                        QStringLiteral("-o"), patchPath, QStringLiteral("--name"),
                        QStringLiteral("强兵"), QStringLiteral("--author"), QStringLiteral("阿岚"),
                        QStringLiteral("--note"), QStringLiteral("武力调整")}),
              cli::Ok);
    const auto onDisk = patch::fromJson(test::readFile(patchPath));
    ASSERT_TRUE(onDisk.ok());
    EXPECT_EQ(onDisk->name, QStringLiteral("强兵"));
    EXPECT_EQ(onDisk->author, QStringLiteral("阿岚"));
    EXPECT_EQ(onDisk->note, QStringLiteral("武力调整"));
    for (const auto& f : onDisk->files) {
        const QByteArray original = test::readFile(QDir(orig).filePath(f.file));
        EXPECT_EQ(f.size, original.size());
        EXPECT_EQ(f.sha256,
                  QString::fromLatin1(
                      QCryptographicHash::hash(original, QCryptographicHash::Sha256).toHex()));
    }
}

// A field that holds neither the patch's old nor its new value is a conflict:
// nothing is written to any file, and the field is named.
TEST_F(PatchGame, ConflictWritesNothingAndNamesTheField) {
    const QString chars = input(QStringLiteral("序号,武力\n5,76\n"));
    ASSERT_EQ(cli::run({QStringLiteral("data"), QStringLiteral("import"), in(mod, "data.e5"),
                        QStringLiteral("characters"), chars}),
              cli::Ok);
    ASSERT_EQ(cli::run({QStringLiteral("save"), QStringLiteral("import"), in(mod, "Sv01d.e5s"),
                        input(QStringLiteral("序号,数量\n0,9\n")), QStringLiteral("--part"),
                        QStringLiteral("stock")}),
              cli::Ok);
    const patch::Patch p = make(orig, mod);
    const QString was = patch::shown(p.files.first().changes.first().before);

    const QString game = dir.path(QStringLiteral("game"));
    copyFolder(orig, game);
    ASSERT_EQ(cli::run({QStringLiteral("data"), QStringLiteral("import"), in(game, "data.e5"),
                        QStringLiteral("characters"), input(QStringLiteral("序号,武力\n5,80\n"))}),
              cli::Ok);
    QFile::remove(files::backupPath(in(game, "data.e5")));
    const auto before = folderBytes(game);

    for (bool dryRun : {false, true}) {
        const auto outcome = patch::applyPatch(p, game, false, patch::Settle::Refuse, dryRun);
        ASSERT_TRUE(outcome.ok()) << outcome.error().toStdString();
        EXPECT_FALSE(outcome->written);
        EXPECT_EQ(outcome->conflicts,
                  QStringList{
                      QStringLiteral("data.e5 人物 5 武力：补丁要求 %1 → 76，现在是 80").arg(was)});
        // The save game is still the original the patch was made from; the
        // data file is not.
        ASSERT_EQ(outcome->files.size(), 2);
        EXPECT_FALSE(outcome->files[0].original);
        EXPECT_TRUE(outcome->files[1].original);
        EXPECT_EQ(folderBytes(game), before);
    }
    EXPECT_EQ(cli::run({QStringLiteral("patch"), QStringLiteral("apply"),
                        dir.write(QStringLiteral("c.lcjpatch"), patch::toJson(p)), game}),
              cli::DataError);
    EXPECT_EQ(folderBytes(game), before);
    EXPECT_FALSE(QFileInfo::exists(files::backupPath(in(game, "Sv01d.e5s"))));

    // Keep mine: the conflicting field stays, the rest is applied.
    auto mine = patch::applyPatch(p, game, false, patch::Settle::KeepMine, false);
    ASSERT_TRUE(mine.ok()) << mine.error().toStdString();
    EXPECT_EQ(test::readFile(in(game, "Sv01d.e5s")), test::readFile(in(mod, "Sv01d.e5s")));
    EXPECT_EQ(test::readFile(in(game, "data.e5")), before.value(QStringLiteral("data.e5")));
    // Take theirs: the patch's value wins.
    auto theirs = patch::applyPatch(p, game, false, patch::Settle::TakeTheirs, false);
    ASSERT_TRUE(theirs.ok()) << theirs.error().toStdString();
    EXPECT_EQ(folderBytes(game), folderBytes(mod));
}

// Two patches over different fields give the same files in either order; a
// second patch over the same field reports the conflict.
TEST_F(PatchGame, IndependentPatchesCommuteAndOverlappingOnesConflict) {
    const QString modA = dir.path(QStringLiteral("modA")), modB = dir.path(QStringLiteral("modB"));
    copyFolder(orig, modA);
    copyFolder(orig, modB);
    ASSERT_EQ(cli::run({QStringLiteral("data"), QStringLiteral("import"), in(modA, "data.e5"),
                        QStringLiteral("characters"), input(QStringLiteral("序号,武力\n5,78\n"))}),
              cli::Ok);
    ASSERT_EQ(cli::run({QStringLiteral("scenario"), QStringLiteral("edit"), in(modA, "S_01.eex"),
                        input(QStringLiteral(R"({"enemies": {"2": {"x": 21}}})"))}),
              cli::Ok);
    ASSERT_EQ(cli::run({QStringLiteral("data"), QStringLiteral("import"), in(modB, "data.e5"),
                        QStringLiteral("characters"), input(QStringLiteral("序号,智力\n5,12\n"))}),
              cli::Ok);
    ASSERT_EQ(cli::run({QStringLiteral("scenario"), QStringLiteral("edit"), in(modB, "S_01.eex"),
                        input(QStringLiteral(R"({"append_army": 1, "battle": {"turns": 44}})"))}),
              cli::Ok);
    const patch::Patch a = make(orig, modA), b = make(orig, modB);

    const QString ab = dir.path(QStringLiteral("ab")), ba = dir.path(QStringLiteral("ba"));
    copyFolder(orig, ab);
    copyFolder(orig, ba);
    for (const auto& [game, first, second] : {std::tuple{ab, &a, &b}, std::tuple{ba, &b, &a}})
        for (const patch::Patch* p : {first, second}) {
            const auto outcome = patch::applyPatch(*p, game, false, patch::Settle::Refuse, false);
            ASSERT_TRUE(outcome.ok()) << outcome.error().toStdString();
            EXPECT_TRUE(outcome->conflicts.isEmpty());
            EXPECT_TRUE(outcome->written);
        }
    EXPECT_EQ(folderBytes(ab), folderBytes(ba));
    EXPECT_NE(folderBytes(ab), folderBytes(orig));

    // A third patch that sets 武力 5 to another value conflicts on top of A.
    const QString modC = dir.path(QStringLiteral("modC"));
    copyFolder(orig, modC);
    ASSERT_EQ(cli::run({QStringLiteral("data"), QStringLiteral("import"), in(modC, "data.e5"),
                        QStringLiteral("characters"), input(QStringLiteral("序号,武力\n5,90\n"))}),
              cli::Ok);
    const auto before = folderBytes(ab);
    const auto c = patch::applyPatch(make(orig, modC), ab, false, patch::Settle::Refuse, false);
    ASSERT_TRUE(c.ok());
    ASSERT_EQ(c->conflicts.size(), 1);
    EXPECT_TRUE(c->conflicts[0].startsWith(QStringLiteral("data.e5 人物 5 武力：")));
    EXPECT_TRUE(c->conflicts[0].endsWith(
        QStringLiteral("→ 90，现在是 %1").arg(patch::shown(a.files.first().changes.first().after))))
        << c->conflicts[0].toStdString();
    EXPECT_EQ(folderBytes(ab), before);
}

// Appended army entries travel as entries: they apply to a scenario whose
// script around them differs, giving what the editor itself would save.
TEST_F(PatchGame, AppendedArmyEntriesApplyToAScenarioWithAnotherTrailingScript) {
    const QString edits = input(QStringLiteral(
        R"({"append_army": 2, "army": {"5": {"x": 9, "y": 4, "facing": 2}, "6": {"mode": 1}}})"));
    ASSERT_EQ(
        cli::run({QStringLiteral("scenario"), QStringLiteral("edit"), in(mod, "S_01.eex"), edits}),
        cli::Ok);
    const patch::Patch p = make(orig, mod);
    ASSERT_EQ(p.files.size(), 1);

    sample::ScenarioShape shape = sample::sampleScenarios().first().second;
    ASSERT_EQ(shape.armyEntries, 5);
    shape.scriptAfter += 123;
    shape.seed += 40;
    const QByteArray other = sample::scenarioFile(shape);
    const QString target = dir.write(QStringLiteral("S_01.eex"), other);
    const QString expected = dir.write(QStringLiteral("expected.eex"), other);
    ASSERT_EQ(cli::run({QStringLiteral("scenario"), QStringLiteral("edit"), expected, edits}),
              cli::Ok);

    const auto outcome = patch::applyPatch(p, target, false, patch::Settle::Refuse, false);
    ASSERT_TRUE(outcome.ok()) << outcome.error().toStdString();
    EXPECT_TRUE(outcome->conflicts.isEmpty()) << outcome->conflicts.join(u'\n').toStdString();
    EXPECT_EQ(test::readFile(target), test::readFile(expected));
    EXPECT_NE(test::readFile(target), test::readFile(in(mod, "S_01.eex")));

    // A revert takes the appended entries out again: the file is back byte for
    // byte. An appended entry moved since is a conflict, and stays unless the
    // patch is told to win.
    QDir().mkpath(dir.path(QStringLiteral("moved")));
    const QString moved = dir.write(QStringLiteral("moved/S_01.eex"), test::readFile(target));
    ASSERT_EQ(cli::run({QStringLiteral("scenario"), QStringLiteral("edit"), moved,
                        input(QStringLiteral(R"({"army": {"6": {"x": 30}}})"))}),
              cli::Ok);
    const QByteArray movedBytes = test::readFile(moved);
    const auto refused = patch::applyPatch(p, moved, true, patch::Settle::Refuse, false);
    ASSERT_TRUE(refused.ok()) << refused.error().toStdString();
    EXPECT_EQ(
        refused->conflicts,
        QStringList{QStringLiteral("S_01.eex 我军出场人物 7 横坐标：补丁要求 0 → 无，现在是 30")});
    EXPECT_EQ(test::readFile(moved), movedBytes);
    const auto forced = patch::applyPatch(p, moved, true, patch::Settle::TakeTheirs, false);
    ASSERT_TRUE(forced.ok()) << forced.error().toStdString();
    EXPECT_EQ(test::readFile(moved), other);

    // Entries of the player's own, which the editor did not append, are never
    // cut out, whatever the settling.
    shape.armyEntries = 7;
    QDir().mkpath(dir.path(QStringLiteral("own")));
    const QByteArray ownBytes = sample::scenarioFile(shape);
    const QString own = dir.write(QStringLiteral("own/S_01.eex"), ownBytes);
    const auto cut = patch::applyPatch(p, own, true, patch::Settle::TakeTheirs, false);
    ASSERT_FALSE(cut.ok());
    EXPECT_TRUE(cut.error().contains(QStringLiteral("不能自动删除"))) << cut.error().toStdString();
    EXPECT_EQ(test::readFile(own), ownBytes);

    const auto revert = patch::applyPatch(p, target, true, patch::Settle::Refuse, false);
    ASSERT_TRUE(revert.ok()) << revert.error().toStdString();
    EXPECT_TRUE(revert->conflicts.isEmpty());
    EXPECT_EQ(test::readFile(target), other);
}

// A value the window's form refuses is refused here with the form's message,
// and nothing is written; so is a patch that is not one.
TEST_F(PatchGame, RefusedValuesAndBadPatchesWriteNothing) {
    ASSERT_EQ(cli::run({QStringLiteral("data"), QStringLiteral("import"), in(mod, "data.e5"),
                        QStringLiteral("characters"), input(QStringLiteral("序号,武力\n5,76\n"))}),
              cli::Ok);
    ASSERT_EQ(cli::run({QStringLiteral("save"), QStringLiteral("import"), in(mod, "Sv01d.e5s"),
                        input(QStringLiteral("序号,数量\n0,9\n")), QStringLiteral("--part"),
                        QStringLiteral("stock")}),
              cli::Ok);
    patch::Patch p = make(orig, mod);
    const QString game = dir.path(QStringLiteral("game"));
    copyFolder(orig, game);
    const auto before = folderBytes(game);

    patch::Patch tooStrong = p;
    tooStrong.files.first().changes.first().after = QStringLiteral("99999");
    const auto refused = patch::applyPatch(tooStrong, game, false, patch::Settle::Refuse, false);
    ASSERT_FALSE(refused.ok());
    EXPECT_TRUE(refused.error().contains(QStringLiteral("人物 5 武力")))
        << refused.error().toStdString();
    EXPECT_EQ(folderBytes(game), before);

    // A field this copy does not have is a conflict; taken anyway, the form
    // has no box for it and nothing is written.
    patch::Patch unknown = p;
    unknown.files.first().changes.first().column = QStringLiteral("魅力");
    unknown.files.first().changes.first().where = QStringLiteral("人物 5 魅力");
    const auto missing = patch::applyPatch(unknown, game, false, patch::Settle::Refuse, false);
    ASSERT_TRUE(missing.ok());
    EXPECT_EQ(
        missing->conflicts,
        QStringList{QStringLiteral("data.e5 人物 5 魅力：补丁要求 74 → 76，但文件里没有这一栏")});
    const auto forced = patch::applyPatch(unknown, game, false, patch::Settle::TakeTheirs, false);
    ASSERT_FALSE(forced.ok());
    EXPECT_TRUE(forced.error().contains(QStringLiteral("魅力"))) << forced.error().toStdString();
    EXPECT_EQ(folderBytes(game), before);

    const QByteArray good = patch::toJson(p);
    const QList<QByteArray> bad{
        QByteArray("not json"),
        QByteArray(good).replace("\"version\":1", "\"version\":2"),
        QByteArray(good).replace("\"lcjpatch\"", "\"other\""),
        QByteArray(good).replace("\"file\":\"data.e5\"", "\"file\":\"../data.e5\""),
        QByteArray(good).replace("\"file\":\"data.e5\"", "\"file\":\"C:data.e5\""),
        QByteArray(good).replace("\"part\":\"characters\"", "\"part\":\"\""),
    };
    for (const QByteArray& text : bad) {
        EXPECT_FALSE(patch::fromJson(text).ok()) << text.left(120).toStdString();
        const QString file = dir.write(QStringLiteral("bad.lcjpatch"), text);
        EXPECT_EQ(cli::run({QStringLiteral("patch"), QStringLiteral("apply"), file, game}),
                  cli::DataError);
        EXPECT_EQ(folderBytes(game), before);
    }
}

// A write that fails after other files were written puts those back: here the
// save game is marked read-only, a real refusal met after Imsg.e5 and the
// others before it in the patch were written.
TEST_F(PatchGame, AFailedWriteMidwayPutsBackTheFilesAlreadyWritten) {
    randomEdits(mod, 11, false);
    const patch::Patch p = make(orig, mod);
    const QString game = dir.path(QStringLiteral("game"));
    copyFolder(orig, game);
    const auto before = folderBytes(game);
    QFile save(in(game, "Sv01d.e5s"));
    ASSERT_TRUE(save.setPermissions(QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    const auto outcome = patch::applyPatch(p, game, false, patch::Settle::Refuse, false);
    save.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    ASSERT_FALSE(outcome.ok());
    EXPECT_TRUE(outcome.error().contains(QStringLiteral("Sv01d.e5s")))
        << outcome.error().toStdString();
    EXPECT_TRUE(outcome.error().contains(QStringLiteral("已恢复原样")));
    EXPECT_EQ(folderBytes(game), before);
}

// When a file already written cannot be put back, its contents from before
// the patch are not left to the .bak (which may be older than other edits or a
// game update): the restore is tried again, and if that fails too, the bytes
// go into a new file beside it that the message names. `failures` counts the
// failed writes: the second file's, then the restore's tries.
TEST_F(PatchGame, AFailedRestoreKeepsTheOriginalInAFileItNames) {
    randomEdits(mod, 11, false);
    const patch::Patch p = make(orig, mod);
    ASSERT_GE(p.files.size(), 2);
    // Building the new files writes too: count those writes on a dry run, the
    // first one that gets through them all.
    int planning = 0;
    for (;; ++planning) {
        ASSERT_LT(planning, 1000);
        files::injectFault(files::Fault::CommitFailure, 1, planning);
        const bool planned = patch::applyPatch(p, orig, false, patch::Settle::Refuse, true).ok();
        files::clearFaults();
        if (planned)
            break;
    }
    for (const int failures : {2, 3}) {
        SCOPED_TRACE(failures);
        const QString game = dir.path(QStringLiteral("game%1").arg(failures));
        copyFolder(orig, game);
        const auto before = folderBytes(game);
        const QString first = p.files[0].file;
        files::injectFault(files::Fault::CommitFailure, failures, planning + 1);
        const auto outcome = patch::applyPatch(p, game, false, patch::Settle::Refuse, false);
        files::clearFaults();
        ASSERT_FALSE(outcome.ok());
        const QString message = outcome.error();
        EXPECT_FALSE(message.contains(QStringLiteral(".bak"))) << message.toStdString();
        auto now = folderBytes(game);
        if (failures == 2) {
            // The second try puts the file back.
            EXPECT_TRUE(message.contains(QStringLiteral("%1 已恢复原样").arg(first)))
                << message.toStdString();
            EXPECT_EQ(now, before);
            continue;
        }
        const QStringList kept = QDir(game).entryList({first + QStringLiteral(".补丁前-*")});
        ASSERT_EQ(kept.size(), 1) << message.toStdString();
        EXPECT_TRUE(message.contains(kept[0])) << message.toStdString();
        EXPECT_EQ(now.take(kept[0]), before.value(first));
        // The file itself holds the patch's bytes; every other file is as it was.
        EXPECT_NE(now.value(first), before.value(first));
        now.insert(first, before.value(first));
        EXPECT_EQ(now, before);
        // The journal the write leaves puts the file back at the next write to the folder.
        ASSERT_TRUE(files::WriteLock::take(in(game, "Lcj5.exe")).ok());
        now = folderBytes(game);
        now.remove(kept[0]);
        EXPECT_EQ(now, before);
        EXPECT_FALSE(QFileInfo::exists(files::workshopOf(game)));
    }
}

// Another program of ours saving one of the patch's files holds its lock: the
// patch waits, then stops before reading any file, and no file of the folder changes.
TEST_F(PatchGame, AFileLockedElsewhereStopsTheApplyBeforeAnyWrite) {
    randomEdits(mod, 11, false);
    const patch::Patch p = make(orig, mod);
    const QString game = dir.path(QStringLiteral("game"));
    copyFolder(orig, game);
    const auto everything = [&] {
        QMap<QString, QByteArray> out;
        for (const QString& name : QDir(game).entryList(QDir::Files | QDir::Hidden))
            out.insert(name, test::readFile(QDir(game).filePath(name)));
        return out;
    };
    files::setLockWait(std::chrono::milliseconds(200));
    auto held = files::WriteLock::take(in(game, "Sv01d.e5s"));
    ASSERT_TRUE(held.ok());
    const auto before = everything();
    for (const bool reverse : {false, true}) {
        const auto outcome = patch::applyPatch(p, game, reverse, patch::Settle::Refuse, false);
        ASSERT_FALSE(outcome.ok());
        EXPECT_TRUE(outcome.error().contains(QStringLiteral("Sv01d.e5s")) &&
                    outcome.error().contains(QStringLiteral("没有写入任何内容")))
            << outcome.error().toStdString();
        EXPECT_EQ(everything(), before);
    }
    held->release();
    files::setLockWait(std::chrono::milliseconds(3000));
    const auto outcome = patch::applyPatch(p, game, false, patch::Settle::Refuse, false);
    ASSERT_TRUE(outcome.ok()) << outcome.error().toStdString();
    EXPECT_EQ(folderBytes(game), folderBytes(mod));
    for (const QString& name : QDir(game).entryList(QDir::Files | QDir::Hidden))
        EXPECT_FALSE(name.endsWith(QStringLiteral(".lock"))) << name.toStdString();
}

// What a patch promises it keeps: the checks below each refuse, and then
// nothing in the game folder or the folder around it changes.

// A revert takes out the army entries the patch appended and never one the
// player appended after it, whatever the settling.
TEST_F(PatchGame, RevertNeverCutsAnArmyEntryThePlayerAppended) {
    ASSERT_EQ(cli::run({QStringLiteral("scenario"), QStringLiteral("edit"), in(mod, "S_01.eex"),
                        input(QStringLiteral(R"({"append_army": 1, "army": {"5": {"x": 9}}})"))}),
              cli::Ok);
    ASSERT_EQ(cli::run({QStringLiteral("patch"), QStringLiteral("make"), orig, mod,
                        QStringLiteral("-o"), patchPath}),
              cli::Ok);
    const QString game = dir.path(QStringLiteral("game"));
    copyFolder(orig, game);
    ASSERT_EQ(cli::run({QStringLiteral("patch"), QStringLiteral("apply"), patchPath, game}),
              cli::Ok);
    // The player's own entry, appended in the editor after the patch.
    ASSERT_EQ(cli::run({QStringLiteral("scenario"), QStringLiteral("edit"), in(game, "S_01.eex"),
                        input(QStringLiteral(R"({"append_army": 1, "army": {"6": {"x": 3}}})"))}),
              cli::Ok);
    const QString root = QFileInfo(game).absolutePath();
    const auto before = test::snapshot(root);
    for (const QString& settle : {QStringLiteral("--take-theirs"), QString()}) {
        SCOPED_TRACE(settle.toStdString());
        QStringList args{QStringLiteral("patch"), QStringLiteral("revert"), patchPath, game};
        if (!settle.isEmpty())
            args << settle;
        const test::CliRun run = test::runCli(args);
        EXPECT_EQ(run.code, cli::DataError);
        EXPECT_TRUE(run.err.contains(QStringLiteral("我军出场人物 7"))) << run.err.toStdString();
        EXPECT_EQ(test::snapshot(root), before);
    }
    // Kept, the list keeps its length and the patch's own entry with it.
    const test::CliRun kept = test::runCli({QStringLiteral("patch"), QStringLiteral("revert"),
                                            patchPath, game, QStringLiteral("--keep-mine")});
    EXPECT_EQ(kept.code, cli::Ok) << kept.err.toStdString();
    EXPECT_TRUE(kept.out.contains(QStringLiteral("保留现有的值"))) << kept.out.toStdString();
    EXPECT_EQ(test::snapshot(root), before);
}

// patch show names each field by the part, row and column the patch changes,
// never by a label of the patch's own; a label naming another field is refused.
TEST_F(PatchGame, ShowNamesTheFieldThePatchChanges) {
    ASSERT_EQ(cli::run({QStringLiteral("data"), QStringLiteral("import"), in(mod, "data.e5"),
                        QStringLiteral("characters"), input(QStringLiteral("序号,武力\n5,76\n"))}),
              cli::Ok);
    const QByteArray good = patch::toJson(make(orig, mod));
    ASSERT_TRUE(good.contains("\"where\":\"人物 5 武力\", "));

    QByteArray unlabelled = good;
    unlabelled.replace("\"where\":\"人物 5 武力\", ", "");
    const test::CliRun shown = test::runCli({QStringLiteral("patch"), QStringLiteral("show"),
                                             dir.write(QStringLiteral("u.lcjpatch"), unlabelled)});
    EXPECT_EQ(shown.code, cli::Ok);
    EXPECT_TRUE(shown.out.contains(QStringLiteral("  人物 5 武力：74 → 76")))
        << shown.out.toStdString();

    const QString game = dir.path(QStringLiteral("game"));
    copyFolder(orig, game);
    const QString root = QFileInfo(game).absolutePath();
    const QString lying =
        dir.write(QStringLiteral("l.lcjpatch"),
                  QByteArray(good).replace("\"column\":\"武力\"", "\"column\":\"智力\""));
    const auto before = test::snapshot(root);
    for (const QString& verb : {QStringLiteral("show"), QStringLiteral("apply")}) {
        QStringList args{QStringLiteral("patch"), verb, lying};
        if (verb != QStringLiteral("show"))
            args << game;
        const test::CliRun run = test::runCli(args);
        EXPECT_EQ(run.code, cli::DataError);
        EXPECT_TRUE(run.err.contains(QStringLiteral("“人物 5 武力”，但它改的是“人物 5 智力”")))
            << run.err.toStdString();
        EXPECT_EQ(test::snapshot(root), before);
    }
}

// A change the windows cannot undo is named by make: a 登场方式 once chosen
// cannot go back to 未选, so reverting the patch would be refused.
TEST_F(PatchGame, MakeNamesAChangeThatCannotBeReverted) {
    ASSERT_EQ(cli::run({QStringLiteral("scenario"), QStringLiteral("edit"), in(mod, "S_01.eex"),
                        input(QStringLiteral(R"({"enemies": {"2": {"mode": 0}}})"))}),
              cli::Ok);
    const test::CliRun made = test::runCli({QStringLiteral("patch"), QStringLiteral("make"), orig,
                                            mod, QStringLiteral("-o"), patchPath});
    EXPECT_EQ(made.code, cli::Ok);
    EXPECT_TRUE(made.err.contains(QStringLiteral("注意：S_01.eex 敌军 3 登场方式：")))
        << made.err.toStdString();
    EXPECT_TRUE(made.err.contains(QStringLiteral("撤销补丁时改不回来"))) << made.err.toStdString();
    // Shown as the window shows it, not as an appended entry.
    const test::CliRun shown =
        test::runCli({QStringLiteral("patch"), QStringLiteral("show"), patchPath});
    EXPECT_TRUE(shown.out.contains(QStringLiteral("  敌军 3 登场方式：未选 → 0\n")))
        << shown.out.toStdString();
    // An edit that can be undone is not named.
    const QString other = dir.path(QStringLiteral("other"));
    copyFolder(orig, other);
    ASSERT_EQ(cli::run({QStringLiteral("scenario"), QStringLiteral("edit"), in(other, "S_01.eex"),
                        input(QStringLiteral(R"({"enemies": {"0": {"mode": 1}}})"))}),
              cli::Ok);
    const test::CliRun undoable =
        test::runCli({QStringLiteral("patch"), QStringLiteral("make"), orig, other,
                      QStringLiteral("-o"), dir.path(QStringLiteral("o.lcjpatch"))});
    EXPECT_EQ(undoable.code, cli::Ok);
    EXPECT_FALSE(undoable.err.contains(QStringLiteral("注意"))) << undoable.err.toStdString();
}

// Patch text that is not what it should be is refused with a message saying
// what is wrong, and no file is touched.
struct BadPatchText {
    const char* name;
    const char* from;
    QByteArray to;
    QString message;
    const char* scenarioEdits = nullptr; // the mod's change; else 武力 of 人物 5
};

class PatchText : public PatchGame, public testing::WithParamInterface<BadPatchText> {};

TEST_P(PatchText, IsRefusedWithItsReason) {
    const BadPatchText& c = GetParam();
    if (c.scenarioEdits)
        ASSERT_EQ(cli::run({QStringLiteral("scenario"), QStringLiteral("edit"), in(mod, "S_01.eex"),
                            input(QString::fromUtf8(c.scenarioEdits))}),
                  cli::Ok);
    else
        ASSERT_EQ(
            cli::run({QStringLiteral("data"), QStringLiteral("import"), in(mod, "data.e5"),
                      QStringLiteral("characters"), input(QStringLiteral("序号,武力\n5,76\n"))}),
            cli::Ok);
    const QByteArray good = patch::toJson(make(orig, mod));
    ASSERT_TRUE(good.contains(c.from)) << good.toStdString();
    const QByteArray text = QByteArray(good).replace(c.from, c.to);
    const auto read = patch::fromJson(text);
    ASSERT_FALSE(read.ok());
    EXPECT_TRUE(read.error().contains(c.message)) << read.error().toStdString();

    const QString game = dir.path(QStringLiteral("game"));
    copyFolder(orig, game);
    const QString root = QFileInfo(game).absolutePath();
    const QString file = dir.write(QStringLiteral("bad.lcjpatch"), text);
    const auto before = test::snapshot(root);
    const test::CliRun run = test::runCli({QStringLiteral("patch"), QStringLiteral("apply"), file,
                                           game, QStringLiteral("--take-theirs")});
    EXPECT_EQ(run.code, cli::DataError);
    EXPECT_TRUE(run.err.contains(c.message)) << run.err.toStdString();
    EXPECT_EQ(test::snapshot(root), before);
}

INSTANTIATE_TEST_SUITE_P(
    Patch, PatchText,
    testing::Values(
        BadPatchText{"KeyTwice", "\"row\":5,", "\"row\":5, \"row\":6,",
                     QStringLiteral("“row”出现了不止一次（在“files/0/changes/0”中）")},
        BadPatchText{"NameTwice", "\"author\":", "\"name\":\"x\",\"author\":",
                     QStringLiteral("“name”出现了不止一次")},
        BadPatchText{"NumberForColumn", "\"column\":\"武力\"", "\"column\":7",
                     QStringLiteral("“column”应是一段文字，而不是 7")},
        BadPatchText{"NumberForPart", "\"part\":\"characters\"", "\"part\":3",
                     QStringLiteral("“part”应是一段文字，而不是 3")},
        BadPatchText{"NumberForFile", "\"file\":\"data.e5\"", "\"file\":5",
                     QStringLiteral("“file”应是一段文字，而不是 5")},
        BadPatchText{"NumberForValue", "\"new\":\"76\"", "\"new\":76",
                     QStringLiteral("new 应是一段文字（窗口里的值都是文字），而不是 76")},
        BadPatchText{"TextForRow", "\"row\":5", "\"row\":\"5\"",
                     QStringLiteral("row 应是一个整数，而不是 \"5\"")},
        BadPatchText{"NegativeRow", "\"row\":5", "\"row\":-3", QStringLiteral("row -3 是负数")},
        BadPatchText{"FractionalRow", "\"row\":5", "\"row\":5.5",
                     QStringLiteral("row 5.5 不是整数")},
        BadPatchText{"HugeRow", "\"row\":5", "\"row\":4294967301",
                     QStringLiteral("row 4294967301 太大")},
        BadPatchText{"RowPastTheTable", "\"row\":5",
                     "\"row\":" + QByteArray::number(data::characters.count),
                     QStringLiteral("“characters”没有 row %1（应是0到%2）")
                         .arg(data::characters.count)
                         .arg(data::characters.count - 1)},
        BadPatchText{"RowlessRowInATable", "\"row\":5", "\"row\":-1",
                     QStringLiteral("“characters”没有 row -1")},
        BadPatchText{"UnknownColumn", "\"column\":\"武力\"", "\"column\":\"魅力\"",
                     QStringLiteral("第1条修改：“characters”没有“魅力”这一栏")},
        BadPatchText{"UnknownPart", "\"part\":\"characters\"", "\"part\":\"heroes\"",
                     QStringLiteral("第1条修改：没有“heroes”这一部分")},
        BadPatchText{"HugeVersion", "\"version\":1", "\"version\":1e308",
                     QStringLiteral("版本号 1e308 不是一个整数版本")},
        BadPatchText{"FractionalVersion", "\"version\":1", "\"version\":1.5",
                     QStringLiteral("版本号 1.5 不是一个整数版本")},
        BadPatchText{"TextForAScenarioNumber", "\"new\":9", "\"new\":\"9\"",
                     QStringLiteral("new 应是一个数字，而不是 \"9\""),
                     R"({"allies": {"3": {"x": 9}}})"},
        BadPatchText{"UnknownScenarioColumn", "\"column\":\"x\"", "\"column\":\"z\"",
                     QStringLiteral("“allies”没有“z”这一栏"), R"({"allies": {"3": {"x": 9}}})"},
        BadPatchText{"TextVersion", "\"version\":1", "\"version\":\"1\"",
                     QStringLiteral("版本号 \"1\" 不是一个整数版本")}),
    [](const auto& info) { return std::string(info.param.name); });

// Reverting a patch that is not in the game, never applied or already
// reverted, finds nothing to undo: no conflict, nothing written, exit 0,
// appended army entries included.
struct NothingToRevertCase {
    const char* name;
    const char* scenarioEdits; // made in the modded scenario; else a data change
    bool appliedAndReverted;   // else never applied
};

class NothingToRevert : public PatchGame,
                        public testing::WithParamInterface<NothingToRevertCase> {};

TEST_P(NothingToRevert, SaysSoAndWritesNothing) {
    const NothingToRevertCase& c = GetParam();
    if (c.scenarioEdits)
        ASSERT_EQ(cli::run({QStringLiteral("scenario"), QStringLiteral("edit"), in(mod, "S_01.eex"),
                            input(QString::fromUtf8(c.scenarioEdits))}),
                  cli::Ok);
    else
        ASSERT_EQ(
            cli::run({QStringLiteral("data"), QStringLiteral("import"), in(mod, "data.e5"),
                      QStringLiteral("characters"), input(QStringLiteral("序号,武力\n5,76\n"))}),
            cli::Ok);
    ASSERT_EQ(cli::run({QStringLiteral("patch"), QStringLiteral("make"), orig, mod,
                        QStringLiteral("-o"), patchPath}),
              cli::Ok);
    const QString game = dir.path(QStringLiteral("game"));
    copyFolder(orig, game);
    if (c.appliedAndReverted) {
        ASSERT_EQ(cli::run({QStringLiteral("patch"), QStringLiteral("apply"), patchPath, game}),
                  cli::Ok);
        ASSERT_EQ(cli::run({QStringLiteral("patch"), QStringLiteral("revert"), patchPath, game}),
                  cli::Ok);
    }
    const QString root = QFileInfo(game).absolutePath();
    const auto before = test::snapshot(root);
    const test::CliRun run =
        test::runCli({QStringLiteral("patch"), QStringLiteral("revert"), patchPath, game});
    EXPECT_EQ(run.code, cli::Ok) << run.err.toStdString();
    EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("补丁的修改不在文件里，没有可撤销的")))
        << run.out.toStdString();
    EXPECT_EQ(test::snapshot(root), before);
}

INSTANTIATE_TEST_SUITE_P(
    Patch, NothingToRevert,
    testing::Values(
        NothingToRevertCase{"ArmyNeverApplied",
                            R"({"append_army": 2, "army": {"5": {"x": 4}, "6": {"x": 4}}})", false},
        NothingToRevertCase{"ArmyRevertedTwice",
                            R"({"append_army": 2, "army": {"5": {"x": 4}, "6": {"x": 4}}})", true},
        NothingToRevertCase{"DataNeverApplied", nullptr, false},
        NothingToRevertCase{"DataRevertedTwice", nullptr, true}),
    [](const auto& info) { return std::string(info.param.name); });
