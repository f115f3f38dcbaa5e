// The scenario editor's battle map on a 1 MB scenario with all 115 units
// (15 army entries, 20 allies, 80 enemies) at zoom 3: the map and its markers
// drawn, and one marker dragged to another cell (the confirm, the markers
// rebuilt and the picture drawn again). Each should take less than 8 ms.
#include "common/bytes.h"
#include "samplegen/samplegame.h"
#include "scenario/ui/battlemap.h"
#include "scenario/ui/junben.h"
#include "support/scriptedprompts.h"
#include "support/testfiles.h"

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <benchmark/benchmark.h>
#include <memory>

using namespace lcj;
using namespace lcj::scenario;

namespace {

constexpr const char* goal = "goal<8ms";

// A scenario of about 1 MB whose every slot holds a character.
QByteArray fullScenario() {
    sample::ScenarioShape shape;
    shape.armyEntries = 15;
    shape.equipEntries = 40;
    shape.spoils = 6;
    shape.scriptAfter = (1 << 20) - 8000;
    QByteArray file = sample::scenarioFile(shape);
    const qint64 header = sample::scenarioHeaderPos(shape);
    for (int k = 0; k < 20; ++k)
        setWord(file, header + 48 + 52 * k + 2, quint16(1 + k));
    for (int k = 0; k < 80; ++k)
        setWord(file, header + 1090 + 56 * k + 2, quint16(100 + k));
    return file;
}

struct Battle {
    test::ScriptedPrompts prompts;
    test::TestFolder dir;
    Junben window{prompts};
    BattleMapImage* image = nullptr;

    explicit Battle(bool changeList) {
        window.show();
        prompts.openAnswers.enqueue(dir.write(QStringLiteral("data.e5"), sample::dataFile()));
        action("dataopen")->trigger();
        prompts.openAnswers.enqueue(dir.write(QStringLiteral("S_01.eex"), fullScenario()));
        action("sopen")->trigger();
        prompts.openAnswers.enqueue(
            dir.write(QStringLiteral("map01.bmp"), sample::mapPicture(64, 48, 3)));
        action("battlemap")->trigger();
        window.battleMap()->findChild<QPushButton*>(QStringLiteral("zoom3"))->click();
        if (changeList)
            action("changelist")->trigger();
        image = window.battleMap()->image();
        QApplication::processEvents();
    }
    QAction* action(const char* name) {
        return window.findChild<QAction*>(QString::fromLatin1(name));
    }
    bool ready(benchmark::State& state) {
        if (image->units().size() != 115 || window.battleMap()->zoom().cellSize() != 18) {
            state.SkipWithError("the battle is not as meant");
            return false;
        }
        return true;
    }
    void checkQuiet(benchmark::State& state) {
        if (!prompts.messages.isEmpty())
            state.SkipWithError(qPrintable(prompts.lastMessage()));
    }
};

// The whole map at zoom 3 (1152 x 864 pixels) with every marker and arrow.
void BattleMapDrawn(benchmark::State& state) {
    Battle battle(false);
    if (!battle.ready(state))
        return;
    QImage target(battle.image->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        battle.image->render(&target);
        benchmark::DoNotOptimize(target.constBits());
    }
    state.SetLabel(goal);
}
BENCHMARK(BattleMapDrawn)->Unit(benchmark::kMillisecond);

void press(QWidget* w, QEvent::Type type, QPoint at) {
    QMouseEvent event(type, at, w->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

// One drag: the marker taken (its slot selected and shown), dropped on
// another cell (the frame's confirm, one undo step), the markers rebuilt and
// the window drawn again; with the change list open, it is compared afresh.
void BattleMapUnitMoved(benchmark::State& state) {
    Battle battle(state.range(0) != 0);
    if (!battle.ready(state))
        return;
    int i = -1;
    for (qsizetype u = 0; u < battle.image->units().size(); ++u)
        if (battle.image->units()[u].kind == UnitKind::Enemy &&
            battle.image->units()[u].index == 30)
            i = int(u);
    int step = 0;
    for (auto _ : state) {
        const QPoint to((step % 2 ? 40 : 41) * 18 + 9, 30 * 18 + 9);
        press(battle.image, QEvent::MouseButtonPress, battle.image->markerCentre(i));
        press(battle.image, QEvent::MouseButtonRelease, to);
        QApplication::processEvents();
        ++step;
    }
    battle.checkQuiet(state);
    state.SetLabel(goal);
}
BENCHMARK(BattleMapUnitMoved)->ArgName("changeList")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
