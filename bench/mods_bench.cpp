// The mod list of the sample game with 20 mods of 500 fields each: applying
// it (goal 300 ms) and restoring the original files (goal 100 ms).
#include "changes/modlist.h"
#include "common/fileaccess.h"
#include "samplegen/samplegame.h"
#include "support/testfiles.h"

#include <QDir>
#include <benchmark/benchmark.h>

using namespace lcj;
namespace mods = changes::mods;
namespace patch = changes::patch;

namespace {

constexpr int modCount = 20;
constexpr int fieldsPerMod = 500;

// The sample game with its list of mods, each giving 500 characters' values
// of other characters (every value one the data file already holds).
struct ListedGame {
    test::TestFolder dir;
    QString game = dir.path(QStringLiteral("game"));
    std::optional<mods::ModList> list;
    QString error;

    ListedGame() {
        if (Failure f = sample::writeSampleGame(game); !f.ok()) {
            error = f.error();
            return;
        }
        const QString data = QDir(game).filePath(QStringLiteral("data.e5"));
        const QByteArray bytes = test::readFile(data);
        const auto cells =
            patch::readCells(patch::FileKind::Data, QStringLiteral("data.e5"), bytes);
        if (!cells.ok()) {
            error = cells.error();
            return;
        }
        const QStringList columns{QStringLiteral("武力"), QStringLiteral("统率"),
                                  QStringLiteral("智力"), QStringLiteral("敏捷"),
                                  QStringLiteral("运气")};
        QHash<QString, QJsonValue> values;
        int rows = 0;
        for (const patch::Cell& c : *cells)
            if (c.part == QStringLiteral("characters")) {
                values.insert(c.key(), c.value);
                rows = std::max(rows, c.row + 1);
            }
        for (int m = 0; m < modCount; ++m) {
            patch::FilePatch fp{
                QStringLiteral("data.e5"), patch::FileKind::Data, bytes.size(), QString(), {}};
            for (int k = 0; fp.changes.size() < fieldsPerMod && k < rows * 5; ++k) {
                const int row = (m * 37 + k) % rows;
                const QString& column = columns[(k / rows + m) % columns.size()];
                const QJsonValue before =
                    values.value(changes::fieldKey(QStringLiteral("characters"), row, column));
                const QJsonValue after = values.value(
                    changes::fieldKey(QStringLiteral("characters"), (row + m + 1) % rows, column));
                if (before == after)
                    continue;
                const auto where =
                    patch::place(patch::FileKind::Data, QStringLiteral("characters"), row, column);
                fp.changes.append({QStringLiteral("characters"), row, column,
                                   where.ok() ? *where : QString(), before, after});
            }
            patch::Patch p{QStringLiteral("模组%1").arg(m), QString(), QString(), {fp}};
            auto opened = mods::ModList::open(game);
            const auto added = opened.ok()
                                   ? opened->add(dir.write(QStringLiteral("模组%1.lcjpatch").arg(m),
                                                           patch::toJson(p)))
                                   : Result<mods::AddResult>::failure(opened.error());
            if (!added.ok()) {
                error = added.error();
                return;
            }
        }
        auto opened = mods::ModList::open(game);
        if (!opened.ok()) {
            error = opened.error();
            return;
        }
        list = std::move(*opened);
    }
};

// The whole apply: originals read, 10,000 fields layered, the file built,
// read back, checked and written through the journal. Between rounds (not
// timed) the last mod is switched, so that every round writes.
void ModsApply20x500(benchmark::State& state) {
    ListedGame g;
    if (!g.list) {
        state.SkipWithError(g.error.toStdString().c_str());
        return;
    }
    const QString last = g.list->entries().last().name; // it wins on every field it sets
    bool on = true;
    for (auto _ : state) {
        state.PauseTiming();
        on = !on;
        const Failure switchFailed = g.list->setEnabled(last, on);
        state.ResumeTiming();
        const auto r = g.list->apply(mods::Outside::Drop);
        const QString failed = !switchFailed.ok() ? switchFailed.error()
                               : !r.ok()          ? r.error()
                               : !r->written      ? QStringLiteral("nothing was written")
                                                  : QString();
        if (!failed.isEmpty()) {
            state.SkipWithError(failed.toStdString().c_str());
            break;
        }
    }
    state.SetLabel("goal<300ms");
}
BENCHMARK(ModsApply20x500)->Unit(benchmark::kMillisecond);

// 恢复原版: the originals written back. Each round applies first (not timed).
void ModsRestore20x500(benchmark::State& state) {
    ListedGame g;
    if (!g.list) {
        state.SkipWithError(g.error.toStdString().c_str());
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        const auto applied = g.list->apply(mods::Outside::Drop);
        state.ResumeTiming();
        const auto r = g.list->restore(mods::Outside::Drop);
        if (!applied.ok() || !r.ok() || !r->written) {
            state.SkipWithError("the restore wrote nothing");
            break;
        }
    }
    state.SetLabel("goal<100ms");
}
BENCHMARK(ModsRestore20x500)->Unit(benchmark::kMillisecond);

} // namespace
