// The data file editor's table of all 512 characters, timed through the window
// from the key or click to the repainted table, beside the form view measured
// in the same run: the table shown (Ctrl+T from the form), a sort by a header
// click, a spreadsheet block of 512 x 10 cells pasted (checked whole and
// shown), and that paste undone and made again. The memory the history keeps for such a
// paste is held against twice the bytes it changed plus 1 KiB.
#include "common/ui/undohistory.h"
#include "datafile/ui/dform.h"
#include "fields/fieldfiles.h"
#include "samplegen/samplegame.h"
#include "windowbench.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QTableView>

using namespace lcj;
using namespace lcj::bench;

namespace {

// The ten number columns from 武力 on, as a spreadsheet copies them; `turn`
// picks one of two sets of values, so that every paste changes bytes.
QString characterBlock(int turn) {
    QString text;
    for (int row = 0; row < 512; ++row) {
        const int base = 2 * ((row + turn) % 100);
        QStringList cells;
        for (int c = 0; c < 5; ++c)
            cells << QString::number(base + 2 * c + 2 * turn); // 武力 .. 运气, even
        cells << QString::number(300 + row + turn)             // 初始HP值
              << QString::number((row + turn) % 200)           // 初始MP值
              << QString::number(1 + (row + turn) % 50)        // 等级
              << QString::number((row * 3 + turn) % 100)       // 经验
              << QString::number((row + turn) % 8);            // 人物致命一击台词类型
        text += cells.join(u'\t') + QStringLiteral("\r\n");
    }
    return text;
}

struct CharacterTable : Editor<data::DForm> {
    CharacterTable() {
        openFile("data.e5", sample::dataFile(), "fileop");
        trigger("renpre");
        settle();
    }
    // The table of the section shown.
    QTableView* table() {
        for (auto* view : form->findChildren<QTableView*>(QStringLiteral("table")))
            if (view->isVisible())
                return view;
        return nullptr;
    }
    void showTable(bool on) {
        QAction* entry = action("tableview");
        if (entry->isChecked() != on)
            entry->trigger();
    }
    int column(const QString& caption) {
        QAbstractItemModel* model = table()->model();
        for (int c = 0; c < model->columnCount(); ++c)
            if (model->headerData(c, Qt::Horizontal).toString() == caption)
                return c;
        return -1;
    }
    void key(QKeySequence::StandardKey which) {
        const QKeySequence keys(which);
        QTest::keyClick(table(), Qt::Key(keys[0].key()), keys[0].keyboardModifiers());
    }
};

template <class Prepare, class Act>
void timeInTable(benchmark::State& state, CharacterTable& editor, Prepare prepare, Act act) {
    PaintCounter paints(editor.form.get());
    for (auto _ : state) {
        state.PauseTiming();
        prepare();
        settle();
        const int before = paints.count();
        state.ResumeTiming();
        act();
        settle();
        if (!editor.quiet(state) || !repainted(state, paints, before))
            break;
    }
}

// The peer: the character form shown again from the table.
void CharacterFormShown(benchmark::State& state) {
    CharacterTable editor;
    timeInTable(
        state, editor, [&] { editor.showTable(true); }, [&] { editor.showTable(false); });
    state.SetLabel("peer");
}
BENCHMARK(CharacterFormShown)->Unit(benchmark::kMillisecond);

void CharacterTableShown(benchmark::State& state) {
    CharacterTable editor;
    timeInTable(
        state, editor, [&] { editor.showTable(false); }, [&] { editor.showTable(true); });
    state.SetLabel("goal<16ms");
}
BENCHMARK(CharacterTableShown)->Unit(benchmark::kMillisecond);

// A click on the header of 武力, which sorts the other way each time.
void CharacterTableSorted(benchmark::State& state) {
    CharacterTable editor;
    editor.showTable(true);
    settle();
    QHeaderView* header = editor.table()->horizontalHeader();
    const int column = editor.column(QStringLiteral("武力"));
    if (column < 0) {
        state.SkipWithError("no column 武力");
        return;
    }
    const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                    header->height() / 2);
    timeInTable(
        state, editor, [] {},
        [&] { QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at); });
    state.SetLabel("goal<10ms");
}
BENCHMARK(CharacterTableSorted)->Unit(benchmark::kMillisecond);

// Puts the cursor on 武力 of record 0 with the block of `turn` on the clipboard.
void preparePaste(CharacterTable& editor, int turn) {
    QTableView* table = editor.table();
    const QModelIndex cell = table->model()->index(0, editor.column(QStringLiteral("武力")));
    table->scrollTo(cell);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(cell).center());
    QGuiApplication::clipboard()->setText(characterBlock(turn));
}

void CharacterBlockPasted(benchmark::State& state) {
    CharacterTable editor;
    editor.showTable(true);
    settle();
    int turn = 0;
    timeInTable(
        state, editor, [&] { preparePaste(editor, turn++ % 2); },
        [&] { editor.key(QKeySequence::Paste); });
    state.SetLabel("goal<50ms");
}
BENCHMARK(CharacterBlockPasted)->Unit(benchmark::kMillisecond);

void CharacterPasteUndone(benchmark::State& state) {
    CharacterTable editor;
    editor.showTable(true);
    settle();
    int turn = 0;
    timeInTable(
        state, editor,
        [&] {
            preparePaste(editor, turn++ % 2);
            editor.key(QKeySequence::Paste);
        },
        [&] { editor.key(QKeySequence::Undo); });
    state.SetLabel("goal<16ms");
}
BENCHMARK(CharacterPasteUndone)->Unit(benchmark::kMillisecond);

// The same paste made again from the history (Ctrl+Y) after it was undone.
void CharacterPasteRedone(benchmark::State& state) {
    CharacterTable editor;
    editor.showTable(true);
    settle();
    int turn = 0;
    timeInTable(
        state, editor,
        [&] {
            preparePaste(editor, turn++ % 2);
            editor.key(QKeySequence::Paste);
            settle();
            editor.key(QKeySequence::Undo);
        },
        [&] { QTest::keyClick(editor.table(), Qt::Key_Y, Qt::ControlModifier); });
    state.SetLabel("goal<16ms");
}
BENCHMARK(CharacterPasteRedone)->Unit(benchmark::kMillisecond);

// What one step of that paste keeps in the history, as the "bytes" counter,
// held against twice the bytes it changed plus 1 KiB.
void CharacterPasteHistoryMemory(benchmark::State& state) {
    const QByteArray before = sample::dataFile();
    auto file = fields::openData(before);
    if (!file.ok()) {
        state.SkipWithError(qPrintable(file.error()));
        return;
    }
    fields::FieldTable* characters = (*file)->table(QStringLiteral("characters"));
    const QStringList keys{QStringLiteral("武力"),     QStringLiteral("统率"),
                           QStringLiteral("智力"),     QStringLiteral("敏捷"),
                           QStringLiteral("运气"),     QStringLiteral("初始HP值"),
                           QStringLiteral("初始MP值"), QStringLiteral("等级"),
                           QStringLiteral("经验"),     QStringLiteral("人物致命一击台词类型")};
    const auto rows = characterBlock(1).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    for (int row = 0; row < rows.size(); ++row) {
        const QStringList cells = rows[row].split(u'\t');
        fields::Cells typed;
        for (int c = 0; c < keys.size(); ++c)
            typed.insert(keys[c], cells[c]);
        if (auto failure = characters->write(row, typed); !failure.ok()) {
            state.SkipWithError(qPrintable(failure.error()));
            return;
        }
    }
    const QByteArray after = (*file)->bytes();
    qint64 changed = 0;
    for (qsizetype i = 0; i < before.size(); ++i)
        changed += before[i] != after[i];
    qint64 held = 0;
    for (auto _ : state) {
        ByteUndo history([] { return ByteUndo::Buffers{}; }, [](ByteUndo::Buffers&&) {});
        history.record(before, after, QStringLiteral("粘贴 512 行 10 列"));
        held = history.heldBytes();
        benchmark::DoNotOptimize(held);
    }
    state.counters["bytes"] = double(held);
    state.counters["changed"] = double(changed);
    state.SetLabel(QStringLiteral("goal<%1B").arg(2 * changed + 1024).toStdString());
}
BENCHMARK(CharacterPasteHistoryMemory)->Unit(benchmark::kMicrosecond);

} // namespace
