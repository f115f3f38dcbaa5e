// A later start of the program handing a game file to the one running, both
// real processes with a settings profile of their own: the time from starting
// the second until the running program's editor shows the file, and until the
// second has ended.
#include "samplegen/samplegame.h"
#include "windowbench.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <chrono>

namespace {

qlonglong now() {
    return std::chrono::steady_clock::now().time_since_epoch().count();
}

// One line the process prints, waited for up to ten seconds; empty when none came.
QByteArray lineOf(QProcess& process) {
    while (!process.canReadLine())
        if (!process.waitForReadyRead(10000))
            return {};
    return process.readLine().trimmed();
}

enum class Until { FileShown, SecondEnded };

void handOver(benchmark::State& state, Until until) {
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("data.e5"));
    QFile data(file);
    if (!data.open(QIODevice::WriteOnly) || data.write(lcj::sample::dataFile()) < 0) {
        state.SkipWithError("no sample file");
        return;
    }
    data.close();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                       folder.filePath(QStringLiteral("profile")));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    const QString bin = QCoreApplication::applicationDirPath();
    QProcess running;
    running.setProcessEnvironment(environment);
    running.start(bin + QStringLiteral("/lcj_handover_probe"), QStringList{});
    if (lineOf(running) != "ready") {
        state.SkipWithError("the running program did not start");
        return;
    }
    for (auto _ : state) {
        QProcess second;
        second.setProcessEnvironment(environment);
        const qlonglong started = now();
        second.start(bin + QStringLiteral("/lcjworkshop"), {file});
        const bool ended = second.waitForFinished(10000) &&
                           second.exitStatus() == QProcess::NormalExit && second.exitCode() == 0;
        const qlonglong secondEnded = now();
        bool ok = false;
        const qlonglong shown = lineOf(running).toLongLong(&ok);
        if (!ended || !ok || shown < started) {
            state.SkipWithError(ended ? "the file was not shown" : "the second start did not end");
            break;
        }
        state.SetIterationTime(((until == Until::FileShown ? shown : secondEnded) - started) / 1e9);
    }
    running.kill();
    running.waitForFinished(5000);
    state.SetLabel("goal<300ms");
}

void HandOverToFileShown(benchmark::State& state) {
    handOver(state, Until::FileShown);
}
BENCHMARK(HandOverToFileShown)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(8)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

// The second process's own time: it hands over and ends.
void HandOverSecondStartEnds(benchmark::State& state) {
    handOver(state, Until::SecondEnded);
}
BENCHMARK(HandOverSecondStartEnds)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(8)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

} // namespace
