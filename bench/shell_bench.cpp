// The first impression: the program started as a new process until its main
// window is painted, beside a minimal Qt 6 window with a 600-row list started
// the same way, the two runs interleaved, both with a settings folder of their
// own; and the main window built and shown inside a running program.
#include "shell/mainwindow.h"
#include "support/scriptedprompts.h"
#include "windowbench.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <chrono>
#include <optional>

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

// The settings of every started program: a folder of its own, made once, so
// that no game folder the user's program remembers is opened at the start
// and nothing the user keeps is read or changed.
const QProcessEnvironment& startEnvironment() {
    static QTemporaryDir settings;
    static const QProcessEnvironment environment = [] {
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert(QStringLiteral("XDG_CONFIG_HOME"), settings.path());
        return e;
    }();
    return environment;
}

// Seconds from starting `program` (its name, then its arguments) until its
// first paint, as the program reports it on the monotonic clock (its teardown
// is not counted). Empty, with `failure` saying why, when it painted nothing.
std::optional<double> startSeconds(const QStringList& program, QString& failure) {
    QProcess process;
    process.setProcessEnvironment(startEnvironment());
    const auto started = std::chrono::steady_clock::now().time_since_epoch().count();
    process.start(QCoreApplication::applicationDirPath() + u'/' + program[0], program.mid(1));
    const bool ended = process.waitForFinished(10000);
    const QString said = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
    const QString why = !ended                                         ? QStringLiteral("hung")
                        : process.exitStatus() != QProcess::NormalExit ? QStringLiteral("crashed")
                                                                       : QString();
    bool ok = false;
    const qlonglong painted = process.readAllStandardOutput().trimmed().toLongLong(&ok);
    if (why.isEmpty() && process.exitCode() == 0 && ok && painted > started)
        return (painted - started) / 1e9;
    failure = program.join(u' ') + QStringLiteral(": ") +
              (why.isEmpty() ? QStringLiteral("exit code %1").arg(process.exitCode()) : why) +
              (said.isEmpty() ? QString() : QStringLiteral(": ") + said.section(u'\n', -1));
    return std::nullopt;
}

// Each iteration starts both programs, in turns, and times one of them, so
// that both figures see the same load on the machine. Returns the timed
// program's total time over the other's, both summed over the same turns; 0
// when a start failed.
double timeStart(benchmark::State& state, const QStringList& timed, const QStringList& other,
                 double* otherMs = nullptr) {
    bool otherFirst = false;
    QString failure;
    double timedSum = 0, otherSum = 0;
    for (auto _ : state) {
        std::optional<double> peer;
        if (otherFirst && !(peer = startSeconds(other, failure))) {
            state.SkipWithError(qPrintable(QStringLiteral("the peer did not paint: ") + failure));
            return 0;
        }
        const std::optional<double> seconds = startSeconds(timed, failure);
        if (!seconds) {
            state.SkipWithError(qPrintable(QStringLiteral("no window painted: ") + failure));
            return 0;
        }
        state.SetIterationTime(*seconds);
        if (!otherFirst && !(peer = startSeconds(other, failure))) {
            state.SkipWithError(qPrintable(QStringLiteral("the peer did not paint: ") + failure));
            return 0;
        }
        timedSum += *seconds;
        otherSum += *peer;
        otherFirst = !otherFirst;
    }
    if (otherMs && state.iterations() > 0)
        *otherMs = otherSum * 1e3 / double(state.iterations());
    return otherSum > 0 ? timedSum / otherSum : 0;
}

// The program as a user starts it: no argument.
const QStringList program{QStringLiteral("lcj_start_probe")};
const QStringList minimalWindow{QStringLiteral("lcj_minimal_window"), QStringLiteral("start")};
const QStringList minimalChineseWindow{QStringLiteral("lcj_minimal_window"),
                                       QStringLiteral("start"), QStringLiteral("chinese")};

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

// Its ratio is that of the starts paired in its own turns (x_chinese, beside
// the peer's mean there, peer_chinese_ms): the two programs' figures from
// separate rows see different loads.
void ProgramStartToMainWindowShown(benchmark::State& state) {
    double peerMs = 0;
    if (const double ratio = timeStart(state, program, minimalChineseWindow, &peerMs); ratio > 0) {
        state.counters["x_chinese"] = ratio;
        state.counters["peer_chinese_ms"] = peerMs;
    }
    state.SetLabel("goal<=1.05x:MinimalChineseWindowStart");
}
BENCHMARK(ProgramStartToMainWindowShown)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(8)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace
