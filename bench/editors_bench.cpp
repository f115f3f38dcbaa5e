// One user action at a time in every editor, timed from the click to the
// repainted window: a data-file section opened from another section and one
// record saved, a save game and a program file opened and saved, a message
// category switched from another category and one slot saved, the map
// viewer's grid cell under the pointer.
#include "common/ui/workshopstyle.h"
#include "datafile/datalayout.h"
#include "datafile/ui/dform.h"
#include "mapview/mapzoom.h"
#include "mapview/ui/form1.h"
#include "mapview/ui/mapimage.h"
#include "messages/ui/imsg.h"
#include "programfile/ui/mainfile.h"
#include "samplegen/samplegame.h"
#include "savefile/ui/record.h"
#include "windowbench.h"

#include <QFile>
#include <QPlainTextEdit>
#include <functional>

using namespace lcj;
using namespace lcj::bench;

namespace {

// Runs `prepare` untimed (typing, choosing a row, switching away), lets the
// window repaint it, then times `act` (the click) and the repaint it causes.
template <class Window>
void timeAction(benchmark::State& state, Editor<Window>& editor,
                const std::function<void()>& prepare, const std::function<void()>& act) {
    PaintCounter paints(editor.form.get());
    for (auto _ : state) {
        state.PauseTiming();
        prepare();
        settle();
        const int before = paints.count();
        state.ResumeTiming();
        act();
        settle();
        if (!repainted(state, paints, before))
            break;
    }
    editor.quiet(state);
}

struct Section {
    const char* entry;
    const char* other; // the section shown before this one is opened
    const char* list;
    int row;
    const char* box;
    const char* save;
    const char* openGoal;
    const char* saveGoal;
};

// Each section of the data file editor: its menu entry, its list, a box and its save button.
const Section sections[] = {
    {"renpre", "daopre", "List1", 5, "Text4", "Command1", "goal<4ms", "goal<2ms"},
    {"daopre", "renpre", "List3", 9, "Text14", "Command4", frameGoal, frameGoal},
    {"shoppre", "renpre", "List4", 3, nullptr, "Command6", frameGoal, frameGoal},
    {"binpre", "renpre", "List8", 4, "Text21", "Command10", frameGoal, frameGoal},
    {"dipfe", "renpre", "List7", 2, "Text19_3", "Command8", frameGoal, frameGoal},
    {"chepre", "renpre", "List9", 6, "Text30", "Command12", frameGoal, frameGoal},
};

struct DataEditor : Editor<data::DForm> {
    DataEditor() { openFile("data.e5", sample::dataFile(), "fileop"); }
};

void DataSectionOpened(benchmark::State& state, const Section& s) {
    DataEditor editor;
    timeAction(
        state, editor, [&] { editor.trigger(s.other); }, [&] { editor.trigger(s.entry); });
    state.SetLabel(s.openGoal);
}

void DataRecordSaved(benchmark::State& state, const Section& s) {
    DataEditor editor;
    editor.trigger(s.entry);
    editor.list(s.list)->setCurrentRow(s.row);
    int value = 0;
    timeAction(
        state, editor,
        [&] {
            if (s.box)
                editor.box(s.box)->setText(QString::number(10 + value++ % 80));
        },
        [&] { editor.click(s.save); });
    state.SetLabel(s.saveGoal);
}

// Character 5 saved while another program has changed character 20 in the file since: the
// save merges both, writes the file and shows it read afresh (beside DataRecordSaved/renpre,
// the same save over an unchanged file).
void DataRecordMergeSaved(benchmark::State& state) {
    DataEditor editor;
    editor.trigger("renpre");
    editor.list("List1")->setCurrentRow(5);
    const qint64 other = data::characters.recordOffset(20) + 18;
    int value = 0;
    timeAction(
        state, editor,
        [&] {
            editor.list("List1")->setCurrentRow(5);
            editor.box("Text4")->setText(QString::number(10 + value++ % 80));
            QFile file(editor.path);
            if (!file.open(QIODevice::ReadWrite) || !file.seek(other) ||
                !file.write(QByteArray(1, char(1 + value % 50))))
                state.SkipWithError("the other program's write failed");
            file.close();
            editor.prompts.chooseAnswers.enqueue(0);
        },
        [&] { editor.click("Command1"); });
    if (!editor.prompts.chooseAnswers.isEmpty())
        state.SkipWithError("the save did not merge");
    state.SetLabel("goal<20ms");
}
BENCHMARK(DataRecordMergeSaved)->Unit(benchmark::kMillisecond);

// Two save games opened in turns, so that every open shows other values.
void SaveGameOpened(benchmark::State& state) {
    Editor<save::Record> editor;
    const QString games[] = {editor.dir->write(QStringLiteral("Sv01d.e5s"), sample::saveGame(7)),
                             editor.dir->write(QStringLiteral("Sv02d.e5s"), sample::saveGame(8))};
    int turn = 0;
    timeAction(
        state, editor, [&] { editor.prompts.openAnswers.enqueue(games[turn++ % 2]); },
        [&] { editor.trigger("fileopen"); });
    state.SetLabel(frameGoal);
}
BENCHMARK(SaveGameOpened)->Unit(benchmark::kMillisecond);

void SaveGameConfirmedAndSaved(benchmark::State& state) {
    Editor<save::Record> editor;
    editor.openFile("Sv01d.e5s", sample::saveGame(), "fileopen");
    editor.list("List1")->setCurrentRow(41);
    int value = 0;
    timeAction(
        state, editor, [&] { editor.box("Text8")->setText(QString::number(10 + value++ % 80)); },
        [&] {
            editor.click("Command1");
            editor.click("Command2");
        });
    state.SetLabel(frameGoal);
}
BENCHMARK(SaveGameConfirmedAndSaved)->Unit(benchmark::kMillisecond);

void ProgramFileOpened(benchmark::State& state) {
    Editor<exe::MainFile> editor;
    editor.openFile("Lcj5.exe", sample::programFile(), "mainopen");
    timeAction(
        state, editor, [] {}, [&] { editor.reopen("mainopen"); });
    state.SetLabel(frameGoal);
}
BENCHMARK(ProgramFileOpened)->Unit(benchmark::kMillisecond);

void ProgramFileConfirmedAndSaved(benchmark::State& state) {
    Editor<exe::MainFile> editor;
    editor.openFile("Lcj5.exe", sample::programFile(), "mainopen");
    editor.list("List1")->setCurrentRow(3);
    int value = 0;
    timeAction(
        state, editor, [&] { editor.combo("Combo1")->setCurrentIndex(value++ % 30); },
        [&] {
            editor.click("Command1");
            editor.click("Command2");
        });
    state.SetLabel(frameGoal);
}
BENCHMARK(ProgramFileConfirmedAndSaved)->Unit(benchmark::kMillisecond);

struct MessageEditor : Editor<imsg::Imsg> {
    MessageEditor() { openFile("Imsg.e5", sample::messageFile(), "fileopen"); }
};

void MessageFileOpened(benchmark::State& state) {
    MessageEditor editor;
    timeAction(
        state, editor, [] {}, [&] { editor.reopen("fileopen"); });
    state.SetLabel(frameGoal);
}
BENCHMARK(MessageFileOpened)->Unit(benchmark::kMillisecond);

// A category chosen from the menu while another one is shown: the 174
// biographies (a fixed list of names) after the critical-hit lines, and the
// 99 critical-hit lines (every slot read and listed) after the biographies.
void MessageCategorySwitched(benchmark::State& state, const char* from, const char* to) {
    MessageEditor editor;
    timeAction(
        state, editor, [&] { editor.trigger(from); }, [&] { editor.trigger(to); });
    state.SetLabel(frameGoal);
}
BENCHMARK_CAPTURE(MessageCategorySwitched, liezhuan, "zhiming", "liezhuan")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(MessageCategorySwitched, zhiming, "liezhuan", "zhiming")
    ->Unit(benchmark::kMillisecond);

void MessageSlotSaved(benchmark::State& state) {
    MessageEditor editor;
    editor.trigger("liezhuan");
    editor.list("List1")->setCurrentRow(2);
    auto* text = editor.find<QPlainTextEdit>("Text1");
    int value = 0;
    timeAction(
        state, editor, [&] { text->setPlainText(QStringLiteral("第%1次改写的列传").arg(value++)); },
        [&] { editor.click("Command1"); });
    state.SetLabel(frameGoal);
}
BENCHMARK(MessageSlotSaved)->Unit(benchmark::kMillisecond);

// The viewer's handler for a pointer move: the cell computed and both boxes
// filled, then repainted.
void MapPointerMoved(benchmark::State& state) {
    Editor<mapview::Form1> editor;
    auto* image = editor.find<mapview::MapImage>("Image1");
    int x = 0;
    for (auto _ : state) {
        emit image->pointerMoved(QPoint(x % 4000, (x * 7) % 3000));
        settle();
        ++x;
    }
    state.SetLabel(frameGoal);
}
BENCHMARK(MapPointerMoved)->Unit(benchmark::kMicrosecond);

// The grid arithmetic alone.
void MapCellComputed(benchmark::State& state) {
    mapview::MapZoom zoom;
    zoom.reset(QSize(600, 480));
    (void)zoom.zoom(2);
    (void)zoom.zoom(3);
    int x = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(zoom.cellAt(QPoint(x % 3600, (x * 7) % 2880)));
        ++x;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(MapCellComputed)->Unit(benchmark::kNanosecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setStyle(new WorkshopStyle);
    for (const Section& s : sections) {
        benchmark::RegisterBenchmark((std::string("DataSectionOpened/") + s.entry).c_str(),
                                     DataSectionOpened, s)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string("DataRecordSaved/") + s.entry).c_str(),
                                     DataRecordSaved, s)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
