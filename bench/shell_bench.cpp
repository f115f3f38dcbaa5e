// The first impression: the main window shown, the character section opened
// with its 512 names, one character saved with its list refresh.
#include "datafile/ui/dform.h"
#include "samplegen/samplegame.h"
#include "shell/mainwindow.h"
#include "support/scriptedprompts.h"
#include "support/testfiles.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <benchmark/benchmark.h>

using namespace lcj;

namespace {

void MainWindowShown(benchmark::State& state) {
    test::ScriptedPrompts prompts;
    for (auto _ : state) {
        MainWindow main(prompts);
        main.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(main.isVisible());
    }
    state.SetLabel("goal<16ms");
}
BENCHMARK(MainWindowShown)->Unit(benchmark::kMillisecond);

// From starting the program to its main window on screen, as a new process:
// loading the libraries, the application and the main window.
void ProgramStartToMainWindowShown(benchmark::State& state) {
    const QString probe = QCoreApplication::applicationDirPath() + QStringLiteral("/lcj_probe");
    for (auto _ : state) {
        QProcess process;
        process.start(probe, {QStringLiteral("start")});
        if (!process.waitForFinished(10000) || process.exitCode() != 0) {
            state.SkipWithError("lcj_probe start failed");
            break;
        }
    }
    state.SetLabel("goal<150ms");
}
BENCHMARK(ProgramStartToMainWindowShown)->Unit(benchmark::kMillisecond)->UseRealTime();

struct OpenDataEditor {
    test::ScriptedPrompts prompts;
    test::TestFolder dir;
    data::DForm form{prompts};
    OpenDataEditor() {
        prompts.openAnswers.enqueue(dir.write(QStringLiteral("data.e5"), sample::dataFile()));
        form.findChild<QAction*>(QStringLiteral("fileop"))->trigger();
        form.show();
    }
};

void CharacterSectionOpened(benchmark::State& state) {
    OpenDataEditor editor;
    auto* renpre = editor.form.findChild<QAction*>(QStringLiteral("renpre"));
    for (auto _ : state) {
        renpre->trigger();
        QApplication::processEvents();
    }
    state.SetLabel("goal<16ms");
}
BENCHMARK(CharacterSectionOpened)->Unit(benchmark::kMillisecond);

void CharacterSaved(benchmark::State& state) {
    OpenDataEditor editor;
    editor.form.findChild<QAction*>(QStringLiteral("renpre"))->trigger();
    editor.form.findChild<QListWidget*>(QStringLiteral("List1"))->setCurrentRow(5);
    auto* force = editor.form.findChild<QLineEdit*>(QStringLiteral("Text4"));
    auto* save = editor.form.findChild<QPushButton*>(QStringLiteral("Command1"));
    int value = 0;
    for (auto _ : state) {
        force->setText(QString::number(value++ % 500));
        save->click();
    }
    state.SetLabel("goal<16ms");
}
BENCHMARK(CharacterSaved)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
