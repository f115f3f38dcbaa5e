// The journal of unsaved edits: one edit step of the data editor's history with the journal's
// flush (the runs appended and synced) beside the same step without it (goal: at most 2 ms
// more), the journal's bytes after 1,000 single-field steps (goal: at most 1 MiB), and the
// start's scan of the journal folder (goal: at most 1 ms).
#include "common/recoveryjournal.h"
#include "common/ui/undohistory.h"
#include "samplegen/samplegame.h"

#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace lcj;

namespace {

// On the disk the program runs from, not a memory-backed /tmp: the sync is part of the figure.
QString onDisk() {
    return QDir::currentPath() + QStringLiteral("/recovery-bench-XXXXXX");
}

// One step: a byte of record `i` changed, recorded in the history as the data editor does.
struct Steps {
    QByteArray bytes = sample::dataFile();
    ByteUndo history{[this] { return ByteUndo::Buffers{bytes}; },
                     [this](ByteUndo::Buffers&& buffers) { bytes = buffers.front(); }};
    int i = 0;
    void step() {
        const QByteArray before = bytes;
        ++i;
        bytes[396 + (i % 512) * 32 + 18] = char(i);
        history.record(before, bytes, QStringLiteral("修改"));
    }
};

void editSteps(benchmark::State& state, bool journaled) {
    QTemporaryDir folder(onDisk());
    Steps steps;
    RecoveryJournal journal;
    if (journaled)
        journal.start(folder.path(), QStringLiteral("data.e5"), steps.bytes);
    for (auto _ : state) {
        steps.step();
        if (journaled && !journal.append(steps.bytes))
            state.SkipWithError("the journal was not written");
    }
    journal.remove();
}

void BM_EditStepPlain(benchmark::State& state) {
    editSteps(state, false);
    state.SetLabel("peer");
}
BENCHMARK(BM_EditStepPlain)->Unit(benchmark::kMillisecond);

// Every step flushed on its own (the worst case: steps a second apart); the step itself is a
// few microseconds (BM_EditStepPlain), so the goal is the journal's 2 ms.
void BM_EditStepJournaled(benchmark::State& state) {
    editSteps(state, true);
    state.SetLabel("goal<2ms");
}
BENCHMARK(BM_EditStepJournaled)->Unit(benchmark::kMillisecond);

void BM_BytesPer1000Steps(benchmark::State& state) {
    qint64 bytes = 0;
    for (auto _ : state) {
        QTemporaryDir folder(onDisk());
        Steps steps;
        RecoveryJournal journal;
        journal.start(folder.path(), QStringLiteral("data.e5"), steps.bytes);
        const qint64 base = journal.written();
        for (int n = 0; n < 1000; ++n) {
            steps.step();
            journal.append(steps.bytes);
        }
        bytes = journal.written() - base;
        journal.remove();
    }
    state.counters["bytes"] = double(bytes);
    state.SetLabel("goal<1048576B");
}
BENCHMARK(BM_BytesPer1000Steps)->Iterations(1)->Unit(benchmark::kMillisecond);

// The folder as a start finds it: `state.range(0)` journals of a running program (this one).
void BM_StartScan(benchmark::State& state) {
    QTemporaryDir folder(onDisk());
    std::vector<std::unique_ptr<RecoveryJournal>> running;
    for (int n = 0; n < state.range(0); ++n) {
        running.push_back(std::make_unique<RecoveryJournal>());
        running.back()->start(folder.path(), QStringLiteral("data.e5"), sample::dataFile());
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(RecoveryJournal::orphans(folder.path()));
    for (auto& journal : running)
        journal->remove();
    state.SetLabel("goal<1ms");
}
BENCHMARK(BM_StartScan)->Arg(0)->Arg(3)->Unit(benchmark::kMicrosecond);

} // namespace
