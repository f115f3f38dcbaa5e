// The scenario editor as the user meets it, at 64 KB, 1 MB and 16 MB: a
// scenario loaded from the menu and saved from the menu, each timed from the
// menu entry to the repainted window.
#include "scenarioeditor.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <unistd.h>

using namespace lcj;
using namespace lcj::bench;

namespace {

const char* goalFor(std::int64_t bytes) {
    return bytes <= (1 << 20) ? frameGoal : "goal<100ms";
}

void ScenarioLoaded(benchmark::State& state) {
    ScenarioEditor editor(state.range(0));
    PaintCounter paints(editor.form.get());
    for (auto _ : state) {
        const int before = paints.count();
        editor.reopen("sopen");
        settle();
        if (!repainted(state, paints, before))
            break;
    }
    editor.quiet(state);
    state.SetBytesProcessed(state.iterations() * state.range(0));
    state.SetLabel(goalFor(state.range(0)));
}
BENCHMARK(ScenarioLoaded)
    ->Arg(64 << 10)
    ->Arg(1 << 20)
    ->Arg(16 << 20)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The floor of any save that survives a power cut: the same bytes written to
// a new file beside the scenario and synced to the disk, in milliseconds.
double syncedCopyMs(const QString& folder, const QByteArray& bytes) {
    QElapsedTimer timer;
    timer.start();
    QFile copy(folder + QStringLiteral("/floor.tmp"));
    if (!copy.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        copy.write(bytes) != bytes.size() || !copy.flush() || ::fsync(copy.handle()) != 0)
        return -1;
    const double ms = timer.nsecsElapsed() / 1e6;
    copy.remove();
    return ms;
}

// An ally slot confirmed (untimed), then the scenario saved from the menu: the
// whole file built, written, read back and shown again. Beside it, untimed in
// the same iterations, the floor: the file's bytes written and synced
// (cp_sync_ms).
void ScenarioSaved(benchmark::State& state) {
    ScenarioEditor editor(state.range(0));
    PaintCounter paints(editor.form.get());
    const QString folder = QFileInfo(editor.path).absolutePath();
    int value = 0;
    double floorMs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const double floor = syncedCopyMs(folder, editor.written());
        if (floor < 0) {
            state.SkipWithError("the floor's copy could not be written");
            break;
        }
        floorMs += floor;
        // A save shows the lists again, without a selection.
        editor.list("List3")->setCurrentRow(1);
        editor.box("Text2")->setText(QString::number(10 + value++ % 40));
        editor.click("Command4");
        settle();
        const int before = paints.count();
        state.ResumeTiming();
        editor.trigger("ssave");
        settle();
        if (!repainted(state, paints, before))
            break;
    }
    editor.quiet(state);
    state.SetBytesProcessed(state.iterations() * state.range(0));
    if (state.iterations() > 0)
        state.counters["cp_sync_ms"] = floorMs / double(state.iterations());
    // A save reads the file once, after writing it: a large one within 40 ms.
    state.SetLabel(state.range(0) <= (1 << 20) ? frameGoal : "goal<40ms");
}
BENCHMARK(ScenarioSaved)
    ->Arg(64 << 10)
    ->Arg(1 << 20)
    ->Arg(16 << 20)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
