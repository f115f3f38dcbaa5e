// The first impression: the program started as a new process until its main
// window is painted, beside a minimal Qt 6 window with a 600-row list started
// the same way, the two runs interleaved; and the main window built and shown
// inside a running program.
#include "shell/mainwindow.h"
#include "support/scriptedprompts.h"
#include "windowbench.h"

#include <QCoreApplication>
#include <QProcess>
#include <chrono>

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

// Seconds from starting `program` (with its arguments after "start") until its
// first paint, as the program reports it on the monotonic clock (its teardown
// is not counted).
double startSeconds(const QStringList& program) {
    QProcess process;
    const auto started = std::chrono::steady_clock::now().time_since_epoch().count();
    process.start(QCoreApplication::applicationDirPath() + u'/' + program[0],
                  QStringList{QStringLiteral("start")} + program.mid(1));
    if (!process.waitForFinished(10000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return -1;
    bool ok = false;
    const qlonglong painted = process.readAllStandardOutput().trimmed().toLongLong(&ok);
    return ok && painted > started ? (painted - started) / 1e9 : -1;
}

// Each iteration starts both programs, in turns, and times one of them, so
// that both figures see the same load on the machine.
void timeStart(benchmark::State& state, const QStringList& timed, const QStringList& other) {
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

const QStringList program{QStringLiteral("lcj_start_probe")};
const QStringList minimalWindow{QStringLiteral("lcj_minimal_window")};
const QStringList minimalChineseWindow{QStringLiteral("lcj_minimal_window"),
                                       QStringLiteral("chinese")};

void MinimalWindowStart(benchmark::State& state) {
    timeStart(state, minimalWindow, program);
    state.SetLabel("peer");
}
BENCHMARK(MinimalWindowStart)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(8)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The same window with Chinese rows: the floor of a program that shows Chinese text.
void MinimalChineseWindowStart(benchmark::State& state) {
    timeStart(state, minimalChineseWindow, program);
    state.SetLabel("peer");
}
BENCHMARK(MinimalChineseWindowStart)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(8)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void ProgramStartToMainWindowShown(benchmark::State& state) {
    timeStart(state, program, minimalWindow);
    state.SetLabel("goal<=1.1x:MinimalWindowStart");
}
BENCHMARK(ProgramStartToMainWindowShown)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(8)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace
