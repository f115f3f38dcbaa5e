// Floors that other figures are compared with, measured in the same run:
// a shell loop that copies 100 scenario files with cp, one process each (the
// floor of a batch over 100 scenarios).
#include "samplegen/samplegame.h"
#include "support/testfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <benchmark/benchmark.h>

using namespace lcj;

namespace {

void CpLoop100Files(benchmark::State& state) {
    test::TestFolder dir;
    const auto shapes = sample::sampleScenarios();
    QDir().mkpath(dir.path(QStringLiteral("in")));
    QDir().mkpath(dir.path(QStringLiteral("out")));
    for (int k = 0; k < 100; ++k)
        dir.write(QStringLiteral("in/S_%1.eex").arg(k, 3, 10, QLatin1Char('0')),
                  sample::scenarioFile(shapes[k % shapes.size()].second));
    for (auto _ : state) {
        QProcess shell;
        shell.setWorkingDirectory(dir.path(QStringLiteral(".")));
        shell.start(
            QStringLiteral("bash"),
            {QStringLiteral("-c"), QStringLiteral("for f in in/*; do cp \"$f\" out/; done")});
        if (!shell.waitForFinished(60000) || shell.exitCode() != 0) {
            state.SkipWithError("the cp loop failed");
            break;
        }
    }
    state.SetLabel("peer");
}
BENCHMARK(CpLoop100Files)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
