// A patch over two files of the sample game (data.e5 and R_01.eex) applied
// through the journal, beside the floor of the same two files written by two
// plain durable writes. The goal: the journal adds at most 5 ms.
#include "changes/patch.h"
#include "cli/cli.h"
#include "common/fileaccess.h"
#include "common/writejournal.h"
#include "common/writelock.h"
#include "samplegen/samplegame.h"
#include "support/testfiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>

using namespace lcj;
namespace patch = changes::patch;

namespace {

// The sample game and a patch of one field in each of its two files.
struct TwoFiles {
    test::TestFolder dir;
    QString game = dir.path(QStringLiteral("game"));
    QString mod = dir.path(QStringLiteral("mod"));
    patch::Patch made;
    QList<files::JournalFile> forward, back;

    TwoFiles() {
        (void)sample::writeSampleGame(game);
        (void)sample::writeSampleGame(mod);
        const QString characters = dir.write(QStringLiteral("c.csv"), "序号,武力\n3,80\n");
        const QString limit = dir.write(QStringLiteral("r.csv"), "序号,本关出场人数\n0,3\n");
        // Quiet: ./bench.sh reads the figures from standard output.
        std::FILE* null = std::fopen(QFile::encodeName(QProcess::nullDevice()), "w");
        cli::run({QStringLiteral("data"), QStringLiteral("import"), at(mod, "data.e5"),
                  QStringLiteral("characters"), characters},
                 null, null);
        cli::run({QStringLiteral("rfile"), QStringLiteral("set"), at(mod, "R_01.eex"), limit}, null,
                 null);
        std::fclose(null);
        for (const char* name : {"data.e5", "R_01.eex"})
            QFile::remove(files::backupPath(at(mod, name)));
        QStringList warnings;
        made = *patch::makePatch(game, mod, warnings);
        for (const char* name : {"data.e5", "R_01.eex"}) {
            const QByteArray before = test::readFile(at(game, name));
            const QByteArray after = test::readFile(at(mod, name));
            forward.append({at(game, name), before, after});
            back.append({at(game, name), after, before});
        }
    }
    static QString at(const QString& folder, const char* name) {
        return QDir(folder).filePath(QString::fromLatin1(name));
    }
};

// The whole apply (files read, forms typed, read back, written) through the
// journal, applied and reverted in turn so that every round writes both files.
void PatchApplyTwoFiles(benchmark::State& state) {
    TwoFiles t;
    if (t.made.files.size() != 2) {
        state.SkipWithError("the patch does not change two files");
        return;
    }
    bool reverse = false;
    for (auto _ : state) {
        const auto outcome =
            patch::applyPatch(t.made, t.game, reverse, patch::Settle::Refuse, false);
        if (!outcome.ok() || !outcome->written) {
            state.SkipWithError("the apply failed");
            break;
        }
        reverse = !reverse;
    }
}
BENCHMARK(PatchApplyTwoFiles)->Unit(benchmark::kMillisecond);

// The apply's writes alone: the two files through the journal...
void JournalWriteTwoFiles(benchmark::State& state) {
    TwoFiles t;
    bool reverse = false;
    for (auto _ : state) {
        const auto lock = files::WriteLock::take({t.forward[0].path, t.forward[1].path});
        if (!lock.ok() || !files::WriteJournal::write(reverse ? t.back : t.forward).ok()) {
            state.SkipWithError("the write failed");
            break;
        }
        reverse = !reverse;
    }
}
BENCHMARK(JournalWriteTwoFiles)->Unit(benchmark::kMillisecond);

// ...beside their floor: the same two files written by two plain durable writes.
void PlainWritesTwoFiles(benchmark::State& state) {
    TwoFiles t;
    bool reverse = false;
    for (auto _ : state) {
        const auto lock = files::WriteLock::take({t.forward[0].path, t.forward[1].path});
        for (const files::JournalFile& f : reverse ? t.back : t.forward)
            if (!lock.ok() || !files::writeWhole(f.path, f.after, &f.before).ok()) {
                state.SkipWithError("the write failed");
                return;
            }
        reverse = !reverse;
    }
}
BENCHMARK(PlainWritesTwoFiles)->Unit(benchmark::kMillisecond);

// What the journal adds: in every round the two files through the journal and
// the same two by plain durable writes, in turn; the figure is the difference.
void JournalAddsToTwoFileWrite(benchmark::State& state) {
    TwoFiles t;
    bool reverse = false;
    for (auto _ : state) {
        const auto lock = files::WriteLock::take({t.forward[0].path, t.forward[1].path});
        QElapsedTimer timer;
        timer.start();
        const bool journaled =
            lock.ok() && files::WriteJournal::write(reverse ? t.back : t.forward).ok();
        const qint64 journal = timer.nsecsElapsed();
        timer.restart();
        bool plain = journaled;
        for (const files::JournalFile& f : reverse ? t.forward : t.back)
            plain = plain && files::writeWhole(f.path, f.after, &f.before).ok();
        const qint64 floor = timer.nsecsElapsed();
        if (!plain) {
            state.SkipWithError("the write failed");
            break;
        }
        state.SetIterationTime(double(std::max<qint64>(0, journal - floor)) / 1e9);
    }
    state.SetLabel("goal<5ms");
}
BENCHMARK(JournalAddsToTwoFileWrite)->Unit(benchmark::kMillisecond)->UseManualTime();

} // namespace
