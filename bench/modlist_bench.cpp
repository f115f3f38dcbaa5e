// 模组管理 on a folder whose two patches both set 1,000 fields (武力 and 运气 of 500
// characters): the list read and its grid of 1,000 conflicts shown through the window,
// repaint included, beside the list read alone; and the grid filtered to one patch and back.
#include "changes/modlist.h"
#include "changes/patch.h"
#include "changes/ui/modlistwindow.h"
#include "samplegen/samplegame.h"
#include "support/scriptedprompts.h"
#include "support/testfiles.h"
#include "windowbench.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QTableView>
#include <QTemporaryDir>

using namespace lcj;
using namespace lcj::bench;
namespace patch = changes::patch;
namespace mods = changes::mods;

namespace {

constexpr int conflictCount = 1000;

// A game folder with two patches in its list that set the same fields to other values.
struct ModdedFolder {
    QTemporaryDir temp;
    QString game = temp.filePath(QStringLiteral("game"));
    Failure failure;

    ModdedFolder() { failure = make(); }

    Failure make() {
        if (Failure f = sample::writeSampleGame(game); !f.ok())
            return f;
        const QByteArray data = test::readFile(QDir(game).filePath(QStringLiteral("data.e5")));
        auto cells = patch::readCells(patch::FileKind::Data, QStringLiteral("data.e5"), data);
        if (!cells.ok())
            return cells.error();
        QList<patch::Cell> fields;
        for (const patch::Cell& cell : std::as_const(*cells))
            if (cell.part == QStringLiteral("characters") && cell.row < conflictCount / 2 &&
                (cell.column == QStringLiteral("武力") || cell.column == QStringLiteral("运气")))
                fields << cell;
        if (fields.size() != conflictCount)
            return QStringLiteral("the sample game has %1 such fields").arg(fields.size());
        auto list = mods::ModList::open(game);
        if (!list.ok())
            return list.error();
        for (int turn = 1; turn <= 2; ++turn) {
            // Each patch moves every field by an even step its halved byte keeps.
            QList<patch::Cell> set = fields;
            for (patch::Cell& cell : set) {
                const int v = cell.value.toInt();
                cell.value = v + 4 * turn <= 250 ? v + 4 * turn : v - 4 * turn;
            }
            const QString mod = temp.filePath(QStringLiteral("mod%1").arg(turn));
            if (Failure f = sample::writeSampleGame(mod); !f.ok())
                return f;
            auto written =
                patch::writeCells(patch::FileKind::Data, QStringLiteral("data.e5"), data, set);
            if (!written.ok())
                return written.error();
            QFile out(QDir(mod).filePath(QStringLiteral("data.e5")));
            if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(*written) < 0)
                return QStringLiteral("cannot write the modded data.e5");
            out.close();
            QStringList warnings;
            auto made = patch::makePatch(game, mod, warnings);
            if (!made.ok())
                return made.error();
            made->name = QStringLiteral("模组%1").arg(turn);
            const QString path = temp.filePath(made->name + QStringLiteral(".lcjpatch"));
            QFile file(path);
            if (!file.open(QIODevice::WriteOnly) || file.write(patch::toJson(*made)) < 0)
                return QStringLiteral("cannot write the patch");
            file.close();
            if (auto added = list->add(path); !added.ok())
                return added.error();
        }
        return {};
    }
};

struct Window {
    test::ScriptedPrompts prompts;
    ModListWindow window{prompts};
    QTableView* grid = window.findChild<QTableView*>(QStringLiteral("conflictGrid"));

    Window() {
        window.resize(1024, 720);
        window.show();
        settle();
    }
};

} // namespace

// The window takes the folder: the list read, its conflicts found, the grid filled and
// repainted.
void ModGridShown(benchmark::State& state) {
    ModdedFolder folder;
    if (!folder.failure.ok()) {
        state.SkipWithError(qPrintable(folder.failure.error()));
        return;
    }
    Window w;
    PaintCounter paints(&w.window);
    for (auto _ : state) {
        state.PauseTiming();
        w.window.reopenIn({});
        settle();
        const int before = paints.count();
        state.ResumeTiming();
        w.window.reopenIn(folder.game);
        settle();
        if (!repainted(state, paints, before))
            break;
        if (w.grid->model()->rowCount() != conflictCount) {
            state.SkipWithError("the grid does not show every conflict");
            break;
        }
    }
    state.counters["rows"] = w.grid->model()->rowCount();
    state.SetLabel("goal<100ms");
}
BENCHMARK(ModGridShown)->Unit(benchmark::kMillisecond);

// The grid of 1,000 rows filtered to one patch's rows and back to every patch's.
void ModGridFiltered(benchmark::State& state) {
    ModdedFolder folder;
    if (!folder.failure.ok()) {
        state.SkipWithError(qPrintable(folder.failure.error()));
        return;
    }
    Window w;
    w.window.reopenIn(folder.game);
    settle();
    auto* filter = w.window.findChild<QComboBox*>(QStringLiteral("entryFilter"));
    PaintCounter paints(&w.window);
    int turn = 0;
    for (auto _ : state) {
        const int before = paints.count();
        filter->setCurrentIndex(++turn % 2);
        settle();
        if (!repainted(state, paints, before))
            break;
    }
    state.SetLabel(frameGoal);
}
BENCHMARK(ModGridFiltered)->Unit(benchmark::kMillisecond);

// The peer: the list read and its conflicts found, without the window.
void ModListRead(benchmark::State& state) {
    ModdedFolder folder;
    if (!folder.failure.ok()) {
        state.SkipWithError(qPrintable(folder.failure.error()));
        return;
    }
    for (auto _ : state) {
        auto list = mods::ModList::open(folder.game);
        auto conflicts =
            list.ok() ? list->conflicts() : Result<QList<mods::ConflictRow>>::failure({});
        if (!conflicts.ok() || conflicts->size() != conflictCount) {
            state.SkipWithError("the list gives not every conflict");
            break;
        }
    }
    state.SetLabel("peer");
}
BENCHMARK(ModListRead)->Unit(benchmark::kMillisecond);
