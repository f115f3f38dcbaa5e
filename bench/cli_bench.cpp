// lcjtool: the commands a batch run is made of, in process, and a hundred
// scenarios shown by one lcjtool process against a cp loop over the same
// files, both started from outside in the same run.
#include "cli/cli.h"
#include "cli/datacommands.h"
#include "cli/scenariocommands.h"
#include "samplegen/samplegame.h"
#include "support/testfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <benchmark/benchmark.h>
#include <cstdio>

using namespace lcj;

namespace {

constexpr int batchFiles = 100;

// The sample game, and `batchFiles` scenarios (copies of the four samples) in many/.
struct Game {
    test::TestFolder dir;
    QString game = dir.path(QStringLiteral("game"));
    QString many = dir.path(QStringLiteral("many"));

    Game() {
        (void)sample::writeSampleGame(game);
        QDir().mkpath(many);
        const auto scenarios = sample::sampleScenarios();
        for (int i = 0; i < batchFiles; ++i)
            dir.write(QStringLiteral("many/S_%1.eex").arg(i + 1, 3, 10, QChar(u'0')),
                      sample::scenarioFile(scenarios[i % scenarios.size()].second));
    }
    QString at(const QString& name) const { return QDir(game).filePath(name); }
    // An empty folder for outputs.
    QString freshOut() const {
        QDir out(dir.path(QStringLiteral("out")));
        out.removeRecursively();
        out.mkpath(QStringLiteral("."));
        return out.path();
    }
};

const fields::TableAdapter& characters() {
    return *fields::findDataTable(QStringLiteral("characters"));
}

void DataExport(benchmark::State& state) {
    Game g;
    const auto format = state.range(0) ? cli::Format::Json : cli::Format::Csv;
    for (auto _ : state)
        benchmark::DoNotOptimize(
            cli::exportTable(g.at(QStringLiteral("data.e5")), characters(), format));
    state.SetLabel(state.range(0) ? "json" : "csv");
}
BENCHMARK(DataExport)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The exported table read back, every cell checked, nothing to write.
void DataImportUnchanged(benchmark::State& state) {
    Game g;
    const QString data = g.at(QStringLiteral("data.e5"));
    const auto format = state.range(0) ? cli::Format::Json : cli::Format::Csv;
    const QString text = *cli::exportTable(data, characters(), format);
    for (auto _ : state) {
        const auto outcome = cli::importTable(data, characters(), text, false);
        if (!outcome.ok() || outcome->changedRecords != 0) {
            state.SkipWithError("import failed");
            break;
        }
    }
    state.SetLabel(state.range(0) ? "json" : "csv");
}
BENCHMARK(DataImportUnchanged)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void ScenarioShown(benchmark::State& state) {
    Game g;
    const QString path = g.at(QStringLiteral("S_01.eex"));
    for (auto _ : state)
        benchmark::DoNotOptimize(cli::showScenario(path, QString()));
}
BENCHMARK(ScenarioShown)->Unit(benchmark::kMillisecond);

// The whole batch inside one process, output to the null device: the part
// that lcjtool itself adds to the hundred reads.
void ScenarioShowFolderInProcess(benchmark::State& state) {
    Game g;
    std::FILE* null = std::fopen(QFile::encodeName(QProcess::nullDevice()), "w");
    for (auto _ : state)
        if (cli::run({QStringLiteral("scenario"), QStringLiteral("show"), g.many}, null, null) !=
            0) {
            state.SkipWithError("scenario show failed");
            break;
        }
    std::fclose(null);
    state.SetItemsProcessed(state.iterations() * batchFiles);
}
BENCHMARK(ScenarioShowFolderInProcess)->Unit(benchmark::kMillisecond);

void DiffScenarioFolders(benchmark::State& state) {
    Game g;
    std::FILE* null = std::fopen(QFile::encodeName(QProcess::nullDevice()), "w");
    for (auto _ : state)
        if (cli::run({QStringLiteral("diff"), QStringLiteral("scenario"), g.many, g.many}, null,
                     null) != 0) {
            state.SkipWithError("diff failed");
            break;
        }
    std::fclose(null);
    state.SetItemsProcessed(state.iterations() * batchFiles);
}
BENCHMARK(DiffScenarioFolders)->Unit(benchmark::kMillisecond);

// Runs `program`; false when it did not end well, with `why` its last line of
// standard error, or how it ended.
bool runProcess(const QString& program, const QStringList& args, QString* why = nullptr) {
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(program, args);
    const bool ended = process.waitForFinished(60000);
    if (ended && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
        return true;
    if (why) {
        const QString said = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
        *why = !ended                                         ? QStringLiteral("hung")
               : process.exitStatus() != QProcess::NormalExit ? QStringLiteral("crashed")
                                                              : QStringLiteral("exit code %1: %2")
                                                                    .arg(process.exitCode())
                                                                    .arg(said.section(u'\n', -1));
    }
    return false;
}

// `lcjtool scenario show FOLDER -o OUT` over a hundred scenarios, started as a
// process, timed against a shell loop of `cp` over the same files into an
// empty folder, measured in turn in every iteration. The time is lcjtool's;
// x_cp is its ratio to the loop (goal: at most 1.5).
void ScenarioShow100FilesAgainstCpLoop(benchmark::State& state) {
    Game g;
    const QString lcjtool = QCoreApplication::applicationDirPath() + QStringLiteral("/lcjtool");
    const QString loop = QStringLiteral("for f in \"$1\"/*.eex; do cp \"$f\" \"$2\"/; done");
    double toolSeconds = 0, cpSeconds = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        QString out = g.freshOut();
        timer.start();
        const bool copied = runProcess(
            QStringLiteral("sh"), {QStringLiteral("-c"), loop, QStringLiteral("sh"), g.many, out});
        cpSeconds += timer.nsecsElapsed() / 1e9;
        out = g.freshOut();
        timer.start();
        QString why;
        const bool shown = runProcess(
            lcjtool,
            {QStringLiteral("scenario"), QStringLiteral("show"), g.many, QStringLiteral("-o"), out},
            &why);
        const double seconds = timer.nsecsElapsed() / 1e9;
        if (!copied || !shown) {
            state.SkipWithError(copied ? qPrintable(QStringLiteral("lcjtool failed: ") + why)
                                       : "cp loop failed");
            break;
        }
        toolSeconds += seconds;
        state.SetIterationTime(seconds);
    }
    if (cpSeconds > 0) {
        const double ratio = toolSeconds / cpSeconds;
        state.counters["cp_ms"] = cpSeconds * 1e3 / double(state.iterations());
        state.counters["x_cp"] = ratio;
        state.SetLabel(QStringLiteral("goal<=1.5x cp loop: x%1 %2")
                           .arg(ratio, 0, 'f', 2)
                           .arg(ratio <= 1.5 ? QStringLiteral("met") : QStringLiteral("MISSED"))
                           .toStdString());
    }
}
BENCHMARK(ScenarioShow100FilesAgainstCpLoop)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(5);

} // namespace
