// One user action at a time in every editor: a data-file section opened and
// one record saved, a save game and a program file opened and saved, a
// message category of 174 slots shown and one slot saved, the map viewer's
// grid cell under the pointer. Each should take less than one frame (16 ms).
#include "datafile/ui/dform.h"
#include "mapview/mapzoom.h"
#include "mapview/ui/form1.h"
#include "mapview/ui/mapimage.h"
#include "messages/ui/imsg.h"
#include "patcher/ui/mainfile.h"
#include "samplegen/samplegame.h"
#include "savefile/ui/record.h"
#include "support/scriptedprompts.h"
#include "support/testfiles.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <benchmark/benchmark.h>

using namespace lcj;

namespace {

constexpr const char* frameGoal = "goal<16ms";

template <class Window> struct Open {
    test::ScriptedPrompts prompts;
    test::TestFolder dir;
    Window window{prompts};
    QString path;
    Open(const char* fileName, const QByteArray& bytes, const char* openAction) {
        path = dir.write(QString::fromLatin1(fileName), bytes);
        window.show();
        open(openAction);
    }
    void open(const char* action) {
        prompts.openAnswers.enqueue(path);
        find<QAction>(action)->trigger();
    }
    template <class T> T* find(const char* name) {
        T* w = window.template findChild<T*>(QString::fromLatin1(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }
    void checkQuiet(benchmark::State& state) {
        if (!prompts.messages.isEmpty())
            state.SkipWithError(qPrintable(prompts.lastMessage()));
    }
};

struct Section {
    const char* entry;
    const char* list;
    int row;
    const char* box;
    const char* save;
};

// Each section of the data file editor: its menu entry, its list, a box and its save button.
const Section sections[] = {
    {"renpre", "List1", 5, "Text4", "Command1"},   {"daopre", "List3", 9, "Text14", "Command4"},
    {"shoppre", "List4", 3, nullptr, "Command6"},  {"binpre", "List8", 4, "Text21", "Command10"},
    {"dipfe", "List7", 2, "Text19_3", "Command8"}, {"chepre", "List9", 6, "Text30", "Command12"},
};

void DataSectionOpened(benchmark::State& state, const Section& s) {
    Open<data::DForm> editor("data.e5", sample::dataFile(), "fileop");
    auto* entry = editor.find<QAction>(s.entry);
    for (auto _ : state) {
        entry->trigger();
        QApplication::processEvents();
    }
    editor.checkQuiet(state);
    state.SetLabel(frameGoal);
}

void DataRecordSaved(benchmark::State& state, const Section& s) {
    Open<data::DForm> editor("data.e5", sample::dataFile(), "fileop");
    editor.find<QAction>(s.entry)->trigger();
    editor.find<QListWidget>(s.list)->setCurrentRow(s.row);
    auto* save = editor.find<QPushButton>(s.save);
    QLineEdit* box = s.box ? editor.find<QLineEdit>(s.box) : nullptr;
    int value = 0;
    for (auto _ : state) {
        if (box)
            box->setText(QString::number(10 + value++ % 80));
        save->click();
    }
    editor.checkQuiet(state);
    state.SetLabel(frameGoal);
}

void SaveGameOpened(benchmark::State& state) {
    Open<save::Record> editor("Sv01d.e5s", sample::saveGame(), "fileopen");
    for (auto _ : state)
        editor.open("fileopen");
    editor.checkQuiet(state);
    state.SetLabel(frameGoal);
}
BENCHMARK(SaveGameOpened)->Unit(benchmark::kMillisecond);

void SaveGameConfirmedAndSaved(benchmark::State& state) {
    Open<save::Record> editor("Sv01d.e5s", sample::saveGame(), "fileopen");
    editor.find<QListWidget>("List1")->setCurrentRow(41);
    auto* box = editor.find<QLineEdit>("Text8");
    auto* confirm = editor.find<QPushButton>("Command1");
    auto* save = editor.find<QPushButton>("Command2");
    int value = 0;
    for (auto _ : state) {
        box->setText(QString::number(10 + value++ % 80));
        confirm->click();
        save->click();
    }
    editor.checkQuiet(state);
    state.SetLabel(frameGoal);
}
BENCHMARK(SaveGameConfirmedAndSaved)->Unit(benchmark::kMillisecond);

void ProgramFileOpened(benchmark::State& state) {
    Open<exe::MainFile> editor("Lcj5.exe", sample::programFile(), "mainopen");
    for (auto _ : state)
        editor.open("mainopen");
    editor.checkQuiet(state);
    state.SetLabel(frameGoal);
}
BENCHMARK(ProgramFileOpened)->Unit(benchmark::kMillisecond);

void ProgramFileConfirmedAndSaved(benchmark::State& state) {
    Open<exe::MainFile> editor("Lcj5.exe", sample::programFile(), "mainopen");
    editor.find<QListWidget>("List1")->setCurrentRow(3);
    auto* combo = editor.find<QComboBox>("Combo1");
    auto* confirm = editor.find<QPushButton>("Command1");
    auto* save = editor.find<QPushButton>("Command2");
    int value = 0;
    for (auto _ : state) {
        combo->setCurrentIndex(value++ % 30);
        confirm->click();
        save->click();
    }
    editor.checkQuiet(state);
    state.SetLabel(frameGoal);
}
BENCHMARK(ProgramFileConfirmedAndSaved)->Unit(benchmark::kMillisecond);

// The 174 character biographies: the list of names shown and slot 0 read.
void MessageCategoryShown(benchmark::State& state) {
    Open<imsg::Imsg> editor("Imsg.e5", sample::messageFile(), "fileopen");
    auto* entry = editor.find<QAction>("liezhuan");
    for (auto _ : state) {
        entry->trigger();
        QApplication::processEvents();
    }
    editor.checkQuiet(state);
    state.SetLabel(frameGoal);
}
BENCHMARK(MessageCategoryShown)->Unit(benchmark::kMillisecond);

// The 99 critical-hit lines: every slot read and listed.
void MessageTextCategoryShown(benchmark::State& state) {
    Open<imsg::Imsg> editor("Imsg.e5", sample::messageFile(), "fileopen");
    auto* entry = editor.find<QAction>("zhiming");
    for (auto _ : state) {
        entry->trigger();
        QApplication::processEvents();
    }
    editor.checkQuiet(state);
    state.SetLabel(frameGoal);
}
BENCHMARK(MessageTextCategoryShown)->Unit(benchmark::kMillisecond);

void MessageSlotSaved(benchmark::State& state) {
    Open<imsg::Imsg> editor("Imsg.e5", sample::messageFile(), "fileopen");
    editor.find<QAction>("liezhuan")->trigger();
    editor.find<QListWidget>("List1")->setCurrentRow(2);
    auto* text = editor.find<QPlainTextEdit>("Text1");
    auto* save = editor.find<QPushButton>("Command1");
    int value = 0;
    for (auto _ : state) {
        text->setPlainText(QStringLiteral("第%1次改写的列传").arg(value++));
        save->click();
    }
    editor.checkQuiet(state);
    state.SetLabel(frameGoal);
}
BENCHMARK(MessageSlotSaved)->Unit(benchmark::kMillisecond);

// The viewer's handler for a pointer move: the cell
// computed and both boxes filled.
void MapPointerMoved(benchmark::State& state) {
    test::ScriptedPrompts prompts;
    mapview::Form1 form(prompts);
    form.show();
    auto* image = form.findChild<mapview::MapImage*>(QStringLiteral("Image1"));
    int x = 0;
    for (auto _ : state) {
        emit image->pointerMoved(QPoint(x % 4000, (x * 7) % 3000));
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
