// A game folder switched with six editors open (data, save, program, messages, scenario, map),
// through the real main window until it is repainted, beside the same folder opened with no
// editor open.
#include "common/ui/settings.h"
#include "samplegen/samplegame.h"
#include "shell/mainwindow.h"
#include "support/scriptedprompts.h"
#include "windowbench.h"

#include <QDir>
#include <QListWidget>
#include <QMdiArea>
#include <QTemporaryDir>

using namespace lcj;

namespace {

// Two sample games and the main window, its settings in the temporary folder.
struct TwoGames {
    QTemporaryDir tmp;
    test::ScriptedPrompts prompts;
    QString games[2];
    std::unique_ptr<MainWindow> main;

    bool start(benchmark::State& state) {
        settings::useFile(tmp.filePath(QStringLiteral("settings.ini")));
        for (int i = 0; i < 2; ++i) {
            games[i] = tmp.filePath(QStringLiteral("game%1").arg(i + 1));
            if (!sample::writeSampleGame(games[i]).ok()) {
                state.SkipWithError("no sample game");
                return false;
            }
        }
        main = std::make_unique<MainWindow>(prompts);
        main->resize(1366, 768);
        main->show();
        bench::settle();
        return true;
    }
    ~TwoGames() {
        main.reset();
        settings::forget();
    }
};

void FolderOpenedNoEditor(benchmark::State& state) {
    TwoGames g;
    if (!g.start(state))
        return;
    bench::PaintCounter painted(g.main.get());
    int next = 0;
    for (auto _ : state) {
        const int before = painted.count();
        g.main->openGameFolder(g.games[next]);
        bench::settle();
        if (!bench::repainted(state, painted, before))
            return;
        next = 1 - next;
    }
    state.SetLabel("peer");
}
BENCHMARK(FolderOpenedNoEditor)->Unit(benchmark::kMillisecond);

void FolderSwitchSixEditors(benchmark::State& state) {
    TwoGames g;
    if (!g.start(state))
        return;
    g.main->openGameFolder(g.games[0]);
    for (const char* file :
         {"data.e5", "Sv01d.e5s", "Lcj5.exe", "Imsg.e5", "S_01.eex", "map01.bmp"})
        if (!g.main->openPath(QDir(g.games[0]).filePath(QString::fromLatin1(file)))) {
            state.SkipWithError(qPrintable(QStringLiteral("not opened: ") +
                                           QString::fromLatin1(file) + g.prompts.lastMessage()));
            return;
        }
    bench::settle();
    if (g.main->mdiArea()->subWindowList().size() != 6) {
        state.SkipWithError("six editors are not open");
        return;
    }
    bench::PaintCounter painted(g.main.get());
    int next = 1;
    for (auto _ : state) {
        const int before = painted.count();
        g.main->openGameFolder(g.games[next]);
        bench::settle();
        if (!bench::repainted(state, painted, before) || !g.prompts.messages.isEmpty() ||
            g.main->mdiArea()->subWindowList().size() != 6) {
            state.SkipWithError("the switch did not keep six editors quietly");
            return;
        }
        next = 1 - next;
    }
    state.SetLabel("goal<150ms");
}
BENCHMARK(FolderSwitchSixEditors)->Unit(benchmark::kMillisecond);

} // namespace
