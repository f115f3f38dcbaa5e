// The first impression: the program started as a new process until its main
// window is painted, beside a minimal Qt 6 window with a 600-row list started
// the same way, the two runs interleaved; and the main window built and shown
// inside a running program.
#include "shell/mainwindow.h"
#include "support/scriptedprompts.h"
#include "windowbench.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>

using namespace lcj;

namespace {

void MainWindowShown(benchmark::State& state) {
    test::ScriptedPrompts prompts;
    for (auto _ : state) {
        MainWindow main(prompts);
        main.show();
        bench::settle();
        benchmark::DoNotOptimize(main.isVisible());
    }
    state.SetLabel(bench::frameGoal);
}
BENCHMARK(MainWindowShown)->Unit(benchmark::kMillisecond);

// Seconds from starting `program` until it has ended after its first paint.
double startSeconds(const char* program) {
    QProcess process;
    QElapsedTimer clock;
    clock.start();
    process.start(QCoreApplication::applicationDirPath() + u'/' + QString::fromLatin1(program),
                  {QStringLiteral("start")});
    if (!process.waitForFinished(10000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return -1;
    return clock.nsecsElapsed() / 1e9;
}

// Each iteration starts both programs, in turns, and times one of them, so
// that both figures see the same load on the machine.
void timeStart(benchmark::State& state, const char* timed, const char* other) {
    bool otherFirst = false;
    for (auto _ : state) {
        if (otherFirst && startSeconds(other) < 0) {
            state.SkipWithError("the peer did not start");
            break;
        }
        const double seconds = startSeconds(timed);
        if (seconds < 0) {
            state.SkipWithError("no window painted");
            break;
        }
        state.SetIterationTime(seconds);
        if (!otherFirst && startSeconds(other) < 0) {
            state.SkipWithError("the peer did not start");
            break;
        }
        otherFirst = !otherFirst;
    }
}

void MinimalWindowStart(benchmark::State& state) {
    timeStart(state, "lcj_minimal_window", "lcj_start_probe");
    state.SetLabel("peer");
}
BENCHMARK(MinimalWindowStart)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(8)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void ProgramStartToMainWindowShown(benchmark::State& state) {
    timeStart(state, "lcj_start_probe", "lcj_minimal_window");
    state.SetLabel("goal<=1.1x:MinimalWindowStart");
}
BENCHMARK(ProgramStartToMainWindowShown)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(8)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
