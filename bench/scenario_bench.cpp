// A 1 MB scenario: loaded and scanned, then saved with appended army entries
// and a grown equipment group, the written file read back and scanned again.
#include "common/fileaccess.h"
#include "samplegen/samplegame.h"
#include "scenario/savebuilder.h"
#include "scenario/scenariodocument.h"
#include "support/testfiles.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstring>
#include <ctime>
#include <random>

using namespace lcj;
using namespace lcj::scenario;

namespace {

// A scenario of about `bytes` bytes (64 KB and 1 MB are measured).
sample::ScenarioShape bigShape(std::int64_t bytes = 1024 * 1024) {
    sample::ScenarioShape shape;
    shape.armyEntries = 5;
    shape.equipEntries = 40;
    shape.spoils = 6;
    shape.scriptAfter = int(bytes) - 8000;
    return shape;
}

void ScenarioLoadAndScan(benchmark::State& state) {
    test::TestFolder dir;
    const QByteArray file = sample::scenarioFile(bigShape(state.range(0)));
    const QString path = dir.write(QStringLiteral("S_01.eex"), file);
    for (auto _ : state) {
        auto bytes = files::readWhole(path);
        const auto doc = ScenarioDocument::scan(std::move(*bytes));
        benchmark::DoNotOptimize(doc.scan().armySlotCount);
    }
    state.SetBytesProcessed(state.iterations() * file.size());
    state.SetLabel("goal<16ms");
}
BENCHMARK(ScenarioLoadAndScan)->Arg(64 << 10)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

void ScenarioScanOnly(benchmark::State& state) {
    const QByteArray file = sample::scenarioFile(bigShape(state.range(0)));
    for (auto _ : state) {
        const auto doc = ScenarioDocument::scan(file);
        benchmark::DoNotOptimize(doc.scan().spoilsPositions.size());
    }
    state.SetBytesProcessed(state.iterations() * file.size());
    state.SetLabel("goal>300MB/s");
}
BENCHMARK(ScenarioScanOnly)->Arg(64 << 10)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

// Processor time of this thread: other programs on a busy machine do not count.
double threadSeconds() {
#if defined(CLOCK_THREAD_CPUTIME_ID) && !defined(_WIN32)
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
#else
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
#endif
}

// The scan against memchr over the same buffer, in the same run: memchr
// counts the bytes 0x44 (one of the two the scan jumps between). Arguments:
// the size, and 1 for a buffer of random bytes (a candidate every 128 bytes)
// instead of a sample scenario.
void ScenarioScanAgainstMemchr(benchmark::State& state) {
    const qint64 size = state.range(0);
    QByteArray file;
    if (state.range(1) == 0) {
        file = sample::scenarioFile(bigShape(size));
    } else {
        std::mt19937 rng(5);
        file.resize(size);
        for (char& c : file)
            c = char(rng());
    }
    const auto* bytes = reinterpret_cast<const uchar*>(file.constData());
    double scanSeconds = 0;
    double memchrSeconds = 0;
    for (auto _ : state) {
        const double t0 = threadSeconds();
        qint64 found = 0;
        for (const uchar* p = bytes;
             (p = static_cast<const uchar*>(std::memchr(p, 0x44, file.size() - (p - bytes)))); ++p)
            ++found;
        benchmark::DoNotOptimize(found);
        const double t1 = threadSeconds();
        const auto doc = ScenarioDocument::scan(file);
        benchmark::DoNotOptimize(doc.scan().spoilsPositions.size());
        const double t2 = threadSeconds();
        memchrSeconds += t1 - t0;
        scanSeconds += t2 - t1;
    }
    const double total = double(file.size()) * double(state.iterations());
    state.counters["scan_MBps"] = total / scanSeconds / 1e6;
    state.counters["memchr_MBps"] = total / memchrSeconds / 1e6;
    state.counters["ratio"] = memchrSeconds / scanSeconds;
    state.SetLabel("goal ratio>=0.5");
}
BENCHMARK(ScenarioScanAgainstMemchr)
    ->Args({1 << 20, 0})
    ->Args({16 << 20, 0})
    ->Args({1 << 20, 1})
    ->Unit(benchmark::kMillisecond);

void ScenarioSaveAndReadBack(benchmark::State& state) {
    test::TestFolder dir;
    const QString path =
        dir.write(QStringLiteral("S_01.eex"), sample::scenarioFile(bigShape(state.range(0))));
    const QString target = dir.path(QStringLiteral("S_02.eex"));
    ScenarioDocument doc = ScenarioDocument::scan(*files::readWhole(path));
    doc.appendArmyEntry();
    doc.appendArmyEntry();
    EquipForm entry;
    entry.character = QStringLiteral("77");
    entry.weapon = 5;
    (void)doc.applyEquipEntry(40, entry);
    for (auto _ : state) {
        auto built = buildSave(doc);
        if (!built.ok() || !files::writeWhole(target, built->bytes).ok()) {
            state.SkipWithError("save failed");
            break;
        }
        // As the window does: the written file is read back, and scanned again
        // only when it differs from what the builder scanned.
        const auto onDisk = files::readWhole(target);
        const ScenarioDocument reread =
            *onDisk == built->bytes ? std::move(built->scanned) : ScenarioDocument::scan(*onDisk);
        benchmark::DoNotOptimize(reread.scan().equipEntryCount);
    }
    state.SetLabel("goal<16ms");
}
BENCHMARK(ScenarioSaveAndReadBack)->Arg(64 << 10)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

// The whole-file write alone (temporary file, flush to disk, rename): the part
// of a save that the disk decides.
void ScenarioWriteWholeOnly(benchmark::State& state) {
    test::TestFolder dir;
    const QByteArray file = sample::scenarioFile(bigShape(state.range(0)));
    const QString target = dir.path(QStringLiteral("S_02.eex"));
    for (auto _ : state)
        if (!files::writeWhole(target, file).ok()) {
            state.SkipWithError("write failed");
            break;
        }
}
BENCHMARK(ScenarioWriteWholeOnly)->Arg(64 << 10)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
