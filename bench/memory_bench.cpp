// Memory, in bytes (the counter "bytes"; the times here mean nothing): the
// peak resident memory of the program with every editor open beside that of a
// minimal Qt 6 window with a 600-row list, and what one confirmed scenario
// edit keeps in memory for undo.
#include "scenarioeditor.h"

#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <algorithm>
#include <optional>

using namespace lcj;
using namespace lcj::bench;

namespace {

// The peak resident memory `program` reports for "memory" (its other
// arguments after that), in bytes; the median of five runs. Empty, with
// `failure` saying why, when it failed.
std::optional<double> peakBytes(const QStringList& program, QString& failure) {
    QList<double> runs;
    for (int run = 0; run < 5; ++run) {
        QProcess process;
        process.start(QCoreApplication::applicationDirPath() + u'/' + program[0],
                      QStringList{QStringLiteral("memory")} + program.mid(1));
        const bool ended = process.waitForFinished(30000);
        bool ok = false;
        const double kb = process.readAllStandardOutput().trimmed().toDouble(&ok);
        if (!ended || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0 ||
            !ok || kb <= 0) {
            const QString said = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
            failure = program.join(u' ') +
                      (!ended ? QStringLiteral(": hung")
                              : QStringLiteral(": exit code %1").arg(process.exitCode())) +
                      (said.isEmpty() ? QString() : QStringLiteral(": ") + said.section(u'\n', -1));
            return std::nullopt;
        }
        runs.append(kb * 1024);
    }
    std::sort(runs.begin(), runs.end());
    return runs[runs.size() / 2];
}

void timePeak(benchmark::State& state, const QStringList& program) {
    double bytes = 0;
    for (auto _ : state) {
        QString failure;
        const std::optional<double> peak = peakBytes(program, failure);
        if (!peak) {
            state.SkipWithError(qPrintable(QStringLiteral("the program failed: ") + failure));
            break;
        }
        bytes = *peak;
    }
    state.counters["bytes"] = bytes;
}

void MinimalWindowPeakMemory(benchmark::State& state) {
    timePeak(state, {QStringLiteral("lcj_minimal_window")});
    state.SetLabel("peer");
}
BENCHMARK(MinimalWindowPeakMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

// The same window with Chinese rows: the floor of a program that shows Chinese text.
void MinimalChineseWindowPeakMemory(benchmark::State& state) {
    timePeak(state, {QStringLiteral("lcj_minimal_window"), QStringLiteral("chinese")});
    state.SetLabel("peer");
}
BENCHMARK(MinimalChineseWindowPeakMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

void PeakMemoryEveryEditorOpen(benchmark::State& state) {
    timePeak(state, {QStringLiteral("lcj_probe")});
    state.SetLabel("goal<=1.4x:MinimalChineseWindowPeakMemory");
}
BENCHMARK(PeakMemoryEveryEditorOpen)->Iterations(1)->Unit(benchmark::kMillisecond);

// Resident memory now, in bytes.
double residentBytes() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * 4096 : 0;
}

// What one confirmed edit of an ally slot's y coordinate (one word of the
// script) keeps in memory for undo: the resident growth over sixteen confirms,
// per confirm. The goal: twice the bytes changed and 1 KB. The first edit
// after a load or a save is left out of the sixteen and reported on its own
// ("first"): it parts the script from the copy kept as the file on disk (for
// the changed-on-disk check and the list of pending changes), one copy of
// the script per load or save, not per edit.
void ScenarioEditMemory(benchmark::State& state) {
    constexpr int edits = 16;
    ScenarioEditor editor(state.range(0));
    editor.list("List3")->setCurrentRow(1);
    auto* confirm = editor.find<QPushButton>("Command4");
    double perEdit = 0;
    int value = 0;
    double first = 0;
    for (auto _ : state) {
        const double loaded = residentBytes();
        editor.box("Text2")->setText(QString::number(10 + value++ % 40));
        confirm->click();
        first = residentBytes() - loaded;
        const double before = residentBytes();
        for (int k = 0; k < edits; ++k) {
            editor.box("Text2")->setText(QString::number(10 + value++ % 40));
            confirm->click();
        }
        perEdit = (residentBytes() - before) / edits;
        state.PauseTiming();
        // A save empties the history for the next round.
        editor.trigger("ssave");
        editor.list("List3")->setCurrentRow(1);
        state.ResumeTiming();
    }
    editor.quiet(state);
    state.counters["bytes"] = perEdit;
    state.counters["first"] = first;
    state.SetLabel("goal<1028B");
}
BENCHMARK(ScenarioEditMemory)
    ->Arg(1 << 20)
    ->Arg(16 << 20)
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);

} // namespace
