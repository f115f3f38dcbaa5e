// The main() of every benchmark that drives a window: an offscreen
// application in the program's style around Google Benchmark's own run.
#include "common/ui/workshopstyle.h"

#include <QApplication>
#include <benchmark/benchmark.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setStyle(new lcj::WorkshopStyle);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
