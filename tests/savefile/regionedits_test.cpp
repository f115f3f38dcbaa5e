// The three region editors (save game, message file, program file) alike:
// undo and redo over their edits, the title and the status line, and the
// table of their records beside the form. Every case reads the file back
// whole.
#include "common/gbk.h"
#include "fields/ui/fieldtableview.h"
#include "messages/ui/imsg.h"
#include "programfile/programfile.h"
#include "programfile/ui/mainfile.h"
#include "samplegen/samplegame.h"
#include "savefile/ui/record.h"
#include "support/scriptedprompts.h"
#include "support/testfiles.h"
#include "support/testmain.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QUndoView>
#include <QtTest>
#include <algorithm>
#include <memory>

using namespace lcj;

namespace {

class Driver;

// Types as a person would, one key at a time, any character.
void typeKeys(QWidget* into, const QString& typed) {
    for (QChar ch : typed) {
        if (ch.unicode() < 128)
            QTest::keyClick(into, char(ch.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, into, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
}

// Scripted answers that also keep each message's title.
class TitledPrompts : public test::ScriptedPrompts {
public:
    QStringList messageTitles;
    void showMessage(QWidget* parent, const QString& text, const QString& title,
                     Icon icon) override {
        messageTitles << title;
        ScriptedPrompts::showMessage(parent, text, title, icon);
    }
};

// One editor, and one field of its records that every case edits.
struct EditorCase {
    QString caption;
    QString fileName;
    QByteArray (*sample)();
    const char* openCommand;
    std::unique_ptr<EditorWindow> (*make)(Prompts&);
    // Shows the records whose field the cases edit (the Imsg category).
    void (*prepare)(Driver&);
    // Selects record `row` in the form, enters `value` and confirms it
    // ("确定"; the message editor has "保存" only, which writes at once).
    void (*formEdit)(Driver&, int row, const QString& value);
    bool formEditSaves;
    // What the form shows of the field for the record selected.
    QString (*formValue)(Driver&);
    QString table;  // the table view's objectName
    QString column; // the field's column caption
    qint64 (*offset)(int row);
    QByteArray (*stored)(const QString& value);
    QString first, second, refused; // two values the field takes, one it refuses
    QString unit;                   // what the status line counts
};

class Driver {
public:
    const EditorCase& c;
    TitledPrompts prompts;
    test::TestFolder dir;
    std::unique_ptr<EditorWindow> form;
    QString path;
    QByteArray original;

    explicit Driver(const EditorCase& editorCase, bool openTheFile = true) : c(editorCase) {
        form = c.make(prompts);
        // Room for the whole title in every platform's title font (a narrow window elides it).
        form->resize(std::max(form->width(), 900), form->height());
        form->show();
        QApplication::setActiveWindow(form.get());
        original = c.sample();
        path = dir.write(c.fileName, original);
        if (openTheFile)
            open();
    }
    void open() {
        prompts.openAnswers.enqueue(path);
        find<QAction>(QString::fromLatin1(c.openCommand))->trigger();
        c.prepare(*this);
    }

    template <class T> T* find(const QString& name) {
        T* w = form->findChild<T*>(name);
        if (!w)
            qFatal("no control %s", qPrintable(name));
        return w;
    }
    QListWidget* list() { return find<QListWidget>(QStringLiteral("List1")); }
    QByteArray written() const { return test::readFile(path); }
    // The file with `value` stored for record `row`.
    QByteArray with(QByteArray bytes, int row, const QString& value) const {
        const QByteArray stored = c.stored(value);
        return bytes.replace(c.offset(row), stored.size(), stored);
    }
    QString title() const { return form->windowTitle(); }
    QString fileTitle() const { return c.caption + QStringLiteral(" - ") + c.fileName; }

    // Keys as the user presses them, where the keyboard is: the list, or the
    // table while it is shown.
    QWidget* keyboard() {
        auto* view = form->findChild<fields::FieldTableView*>(c.table);
        return view && view->isVisible() ? static_cast<QWidget*>(view->view()) : list();
    }
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier) {
        QTest::keyClick(keyboard(), key, modifiers);
    }
    void save() { key(Qt::Key_S); }
    void undo() { key(Qt::Key_Z); }
    void redo() { key(Qt::Key_Y); }

    fields::FieldTableView* tableView() { return find<fields::FieldTableView>(c.table); }
    QTableView* table() { return tableView()->view(); }
    // Ctrl+T: the table in place of the form, or the form back.
    void switchView(bool toTable) {
        key(Qt::Key_T);
        QCOMPARE(tableView()->isVisible(), toTable);
        QCOMPARE(list()->isVisible(), !toTable);
    }
    void showTable() { switchView(true); }
    QModelIndex cell(int row) {
        QAbstractItemModel* model = table()->model();
        for (int column = 0; column < model->columnCount(); ++column)
            if (model->headerData(column, Qt::Horizontal).toString() == c.column)
                return model->index(row, column);
        qFatal("no column %s", qPrintable(c.column));
        return {};
    }
    // A click on the cell, as the user picks it.
    void selectCell(int row) {
        const QModelIndex at = cell(row);
        table()->scrollTo(at);
        QTest::mouseClick(table()->viewport(), Qt::LeftButton, {},
                          table()->visualRect(at).center());
        QCOMPARE(table()->currentIndex(), at);
    }
    // Types `value` into a cell as the user does: F2, the text, Enter.
    void typeIntoCell(int row, const QString& value) {
        selectCell(row);
        QTest::keyClick(table(), Qt::Key_F2);
        QWidget* editor = QApplication::focusWidget();
        QVERIFY(editor && editor != table());
        QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
        typeKeys(editor, value);
        QTest::keyClick(editor, Qt::Key_Return);
        // The editor commits once the key is handled, as the event loop runs on.
        QCoreApplication::processEvents();
    }
    // Cells `from` to `to` of the column: a click on one, a Shift+click on the other.
    void selectCells(int from, int to) {
        selectCell(from);
        const QModelIndex at = cell(to);
        QTest::mouseClick(table()->viewport(), Qt::LeftButton, Qt::ShiftModifier,
                          table()->visualRect(at).center());
    }
    // Text on the clipboard as a spreadsheet puts it there, pasted at `row`.
    void paste(int row, const QString& text) {
        QApplication::clipboard()->setText(text);
        selectCell(row);
        key(Qt::Key_V);
    }
};

const EditorCase cases[] = {
    {QStringLiteral("存档文件修改"), QStringLiteral("Sv01d.e5s"), [] { return sample::saveGame(); },
     "fileopen",
     [](Prompts& p) -> std::unique_ptr<EditorWindow> { return std::make_unique<save::Record>(p); },
     [](Driver&) {},
     [](Driver& d, int row, const QString& value) {
         d.list()->setCurrentRow(row);
         auto* box = d.find<QLineEdit>(QStringLiteral("Text3"));
         box->clear();
         QTest::keyClicks(box, value);
         QTest::mouseClick(d.find<QPushButton>(QStringLiteral("Command1")), Qt::LeftButton);
     },
     false, [](Driver& d) { return d.find<QLineEdit>(QStringLiteral("Text3"))->text(); },
     QStringLiteral("characterTable"), QStringLiteral("攻击"),
     [](int row) { return qint64(5340 + 32 * row + 4); },
     [](const QString& v) { return QByteArray(1, char(v.toInt())); }, QStringLiteral("77"),
     QStringLiteral("12"), QStringLiteral("300"), QStringLiteral("条记录")},
    {QStringLiteral("Imsg文件修改"), QStringLiteral("Imsg.e5"),
     [] { return sample::messageFile(); }, "fileopen",
     [](Prompts& p) -> std::unique_ptr<EditorWindow> { return std::make_unique<imsg::Imsg>(p); },
     [](Driver& d) { d.find<QAction>(QStringLiteral("liezhuan"))->trigger(); },
     [](Driver& d, int row, const QString& value) {
         d.list()->setCurrentRow(row);
         auto* box = d.find<QPlainTextEdit>(QStringLiteral("Text1"));
         box->clear();
         typeKeys(box, value);
         QTest::mouseClick(d.find<QPushButton>(QStringLiteral("Command1")), Qt::LeftButton);
     },
     true, [](Driver& d) { return d.find<QPlainTextEdit>(QStringLiteral("Text1"))->toPlainText(); },
     QStringLiteral("table_liezhuan"), QStringLiteral("人物列传"),
     [](int row) { return qint64(90000 + 200 * row); },
     [](const QString& v) { return *gbk::encodeField(v, 200); }, QStringLiteral("新的列传"),
     QStringLiteral("又一条列传"), QString(101, QChar(u'岚')), QStringLiteral("条文本")},
    {QStringLiteral("程序文件修改"), QStringLiteral("Lcj5.exe"),
     [] { return sample::programFile(); }, "mainopen",
     [](Prompts& p) -> std::unique_ptr<EditorWindow> { return std::make_unique<exe::MainFile>(p); },
     [](Driver&) {},
     [](Driver& d, int row, const QString& value) {
         d.list()->setCurrentRow(row);
         d.find<QComboBox>(QStringLiteral("Combo1"))->setCurrentIndex(value.toInt());
         QTest::mouseClick(d.find<QPushButton>(QStringLiteral("Command1")), Qt::LeftButton);
     },
     false,
     [](Driver& d) {
         return QString::number(d.find<QComboBox>(QStringLiteral("Combo1"))->currentIndex());
     },
     QStringLiteral("figureTable"), exe::figureCaption(),
     [](int row) { return qint64(24793 + row); },
     [](const QString& v) { return QByteArray(1, char(v.toInt())); }, QStringLiteral("12"),
     QStringLiteral("3"), QStringLiteral("31"), QStringLiteral("处修改")},
};

} // namespace

class RegionEditsTest : public QObject {
    Q_OBJECT

    void editors() {
        QTest::addColumn<int>("editor");
        for (int i = 0; i < int(std::size(cases)); ++i)
            QTest::newRow(qPrintable(cases[i].fileName)) << i;
    }

private slots:
    void undoGoesBackToTheFileAsLoaded_data() { editors(); }
    void undoGoesBackToTheFileAsLoaded() {
        QFETCH(int, editor);
        Driver d(cases[editor]);
        const QString shownAt9 = (d.list()->setCurrentRow(9), d.c.formValue(d));
        d.c.formEdit(d, 5, d.c.first);
        d.c.formEdit(d, 9, d.c.second);
        d.save();
        QCOMPARE(d.written(), d.with(d.with(d.original, 5, d.c.first), 9, d.c.second));
        QCOMPARE(d.title(), d.fileTitle());
        d.undo();
        // The form shows the stored value of the record shown.
        QCOMPARE(d.list()->currentRow(), 9);
        QCOMPARE(d.c.formValue(d), shownAt9);
        QCOMPARE(d.title(), d.fileTitle() + QStringLiteral(" *"));
        d.undo();
        d.undo(); // nothing more to take back
        d.save();
        QVERIFY2(d.prompts.messages.isEmpty(), qPrintable(d.prompts.lastMessage()));
        QCOMPARE(d.written(), d.original);
        QCOMPARE(d.title(), d.fileTitle());
    }

    void redoThenSaveWritesTheEdits_data() { editors(); }
    void redoThenSaveWritesTheEdits() {
        QFETCH(int, editor);
        Driver d(cases[editor]);
        d.c.formEdit(d, 5, d.c.first);
        d.c.formEdit(d, 9, d.c.second);
        d.undo();
        d.undo();
        d.redo();
        d.key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier); // redo too
        d.save();
        QVERIFY2(d.prompts.messages.isEmpty(), qPrintable(d.prompts.lastMessage()));
        QCOMPARE(d.written(), d.with(d.with(d.original, 5, d.c.first), 9, d.c.second));
        QCOMPARE(d.c.formValue(d), d.c.second);
        QCOMPARE(d.title(), d.fileTitle());
    }

    void titleNamesTheFileAndSaveSaysWhatItWrote_data() { editors(); }
    void titleNamesTheFileAndSaveSaysWhatItWrote() {
        QFETCH(int, editor);
        Driver d(cases[editor]);
        QCOMPARE(d.title(), d.fileTitle());
        d.c.formEdit(d, 5, d.c.first);
        if (!d.c.formEditSaves) {
            QCOMPARE(d.title(), d.fileTitle() + QStringLiteral(" *"));
            d.save();
        }
        QCOMPARE(d.title(), d.fileTitle());
        QCOMPARE(d.find<QLabel>(QStringLiteral("status"))->text(),
                 QStringLiteral("已保存 %1：1%2").arg(d.c.fileName, d.c.unit));
        // A save keeps the history: undo makes the editor hold edits again.
        d.undo();
        QCOMPARE(d.title(), d.fileTitle() + QStringLiteral(" *"));
        QCOMPARE(d.written(), d.with(d.original, 5, d.c.first));
        // Messages keep the caption alone as their title.
        d.prompts.openAnswers.enqueue(d.dir.path(QStringLiteral("missing")));
        d.prompts.saveChoices.enqueue(Prompts::SaveChoice::Discard);
        d.find<QAction>(QString::fromLatin1(d.c.openCommand))->trigger();
        QCOMPARE(d.prompts.messageTitles.size(), 1);
        QCOMPARE(d.prompts.messageTitles.last(), d.c.caption);
    }

    void tableEditWritesWhatTheFormWrites_data() { editors(); }
    void tableEditWritesWhatTheFormWrites() {
        QFETCH(int, editor);
        // The same value through the form and its save, in a window of its own.
        QByteArray throughForm;
        {
            Driver f(cases[editor]);
            f.c.formEdit(f, 5, f.c.first);
            f.save();
            throughForm = f.written();
        }
        Driver d(cases[editor]);
        d.showTable();
        const QString loaded9 = d.table()->model()->data(d.cell(9)).toString();
        d.typeIntoCell(5, d.c.first);
        QVERIFY2(d.prompts.messages.isEmpty(), qPrintable(d.prompts.lastMessage()));
        QCOMPARE(d.title(), d.fileTitle() + QStringLiteral(" *"));
        d.save();
        QCOMPARE(d.written(), throughForm);
        QCOMPARE(d.written(), d.with(d.original, 5, d.c.first));
        // The form shows what the table changed, and the table what the form changed.
        d.switchView(false);
        d.list()->setCurrentRow(5);
        QCOMPARE(d.c.formValue(d), d.c.first);
        d.c.formEdit(d, 9, d.c.second);
        d.showTable();
        QCOMPARE(d.table()->model()->data(d.cell(9)).toString(), d.c.second);
        // Undo takes the form's edit back, then the cell; the save gives the file as loaded.
        d.undo();
        QCOMPARE(d.table()->model()->data(d.cell(9)).toString(), loaded9);
        d.undo();
        d.save();
        QCOMPARE(d.written(), d.original);
    }

    // The form's steps are named in the change list's words, in 编辑 and in 查看 → 历史; a click
    // in the history goes to the bytes of that step.
    void historyNamesTheStepsAndAClickGoesToOne_data() { editors(); }
    void historyNamesTheStepsAndAClickGoesToOne() {
        QFETCH(int, editor);
        Driver d(cases[editor]);
        d.c.formEdit(d, 5, d.c.first);
        d.c.formEdit(d, 9, d.c.second);
        const QString undoText = d.find<QAction>(QStringLiteral("undo"))->text();
        QVERIFY2(undoText.startsWith(QStringLiteral("撤销 修改 ")), qPrintable(undoText));
        d.find<QAction>(QStringLiteral("history"))->trigger();
        auto* history = d.find<QUndoView>(QStringLiteral("historyView"));
        QVERIFY(QTest::qWaitForWindowExposed(history));
        QCOMPARE(history->model()->rowCount(), 3);
        const QString longText = history->model()->index(2, 0).data().toString();
        QVERIFY2(longText.startsWith(undoText.mid(3) + u' ') && longText.contains(u'→'),
                 qPrintable(longText));

        for (int row : {1, 0, 2}) {
            const QModelIndex at = history->model()->index(row, 0);
            QTest::mouseClick(history->viewport(), Qt::LeftButton, {},
                              history->visualRect(at).center());
            QCOMPARE(d.find<QAction>(QStringLiteral("redo"))->isEnabled(), row < 2);
            // Back in the editor, its save.
            QApplication::setActiveWindow(d.form.get());
            d.save();
            QVERIFY2(d.prompts.messages.isEmpty(), qPrintable(d.prompts.lastMessage()));
            QByteArray expected = d.original;
            if (row >= 1)
                expected = d.with(expected, 5, d.c.first);
            if (row == 2)
                expected = d.with(expected, 9, d.c.second);
            QCOMPARE(d.written(), expected);
        }
    }

    void pastedCellsAreOneStep_data() { editors(); }
    void pastedCellsAreOneStep() {
        QFETCH(int, editor);
        Driver d(cases[editor]);
        d.showTable();
        const QString before = d.table()->model()->data(d.cell(5)).toString();
        d.paste(5, d.c.first + QStringLiteral("\r\n") + d.c.second + QStringLiteral("\r\n"));
        QVERIFY2(d.prompts.messages.isEmpty(), qPrintable(d.prompts.lastMessage()));
        d.save();
        QCOMPARE(d.written(), d.with(d.with(d.original, 5, d.c.first), 6, d.c.second));
        QCOMPARE(d.table()->model()->data(d.cell(6)).toString(), d.c.second);
        d.undo();
        QCOMPARE(d.table()->model()->data(d.cell(5)).toString(), before);
        d.save();
        QCOMPARE(d.written(), d.original);
        d.redo();
        d.save();
        QCOMPARE(d.written(), d.with(d.with(d.original, 5, d.c.first), 6, d.c.second));
    }

    void fillDownIsOneStep_data() { editors(); }
    void fillDownIsOneStep() {
        QFETCH(int, editor);
        Driver d(cases[editor]);
        d.showTable();
        d.typeIntoCell(5, d.c.first);
        d.selectCells(5, 7);
        d.key(Qt::Key_D);
        QVERIFY2(d.prompts.messages.isEmpty(), qPrintable(d.prompts.lastMessage()));
        d.save();
        const QByteArray typed = d.with(d.original, 5, d.c.first);
        QCOMPARE(d.written(), d.with(d.with(typed, 6, d.c.first), 7, d.c.first));
        // One undo takes the whole fill back, the typed cell stays.
        d.undo();
        d.save();
        QCOMPARE(d.written(), typed);
    }

    void tableWaitsForAFile_data() {
        QTest::addColumn<int>("editor");
        QTest::newRow("Sv01d.e5s") << 0;
        QTest::newRow("Lcj5.exe") << 2;
    }
    void tableWaitsForAFile() {
        QFETCH(int, editor);
        Driver d(cases[editor], false);
        d.showTable();
        QVERIFY(!d.table()->isEnabled());
        d.open();
        QVERIFY(d.table()->isEnabled());
        d.typeIntoCell(5, d.c.first);
        d.save();
        QCOMPARE(d.written(), d.with(d.original, 5, d.c.first));
    }

    void refusedPasteWritesNothing_data() { editors(); }
    void refusedPasteWritesNothing() {
        QFETCH(int, editor);
        Driver d(cases[editor]);
        d.showTable();
        d.paste(5, d.c.first + QStringLiteral("\n") + d.c.refused + QStringLiteral("\n"));
        QCOMPARE(d.prompts.messages.size(), 1);
        QCOMPARE(d.title(), d.fileTitle());
        d.undo(); // nothing to take back
        d.save();
        QCOMPARE(d.written(), d.original);
        QCOMPARE(d.find<QLabel>(QStringLiteral("status"))->text(),
                 QStringLiteral("已保存 %1：没有修改").arg(d.c.fileName));
    }

    // The message editor holds its texts in memory but still reads an entry
    // from the file when it is chosen: a text another program changed shows,
    // and a save keeps that program's text beside the editor's own.
    void messageFileChangedByAnotherProgramKeepsBothEdits() {
        Driver d(cases[1]);
        d.showTable();
        d.typeIntoCell(5, d.c.first);
        d.switchView(false);
        QByteArray theirs = d.original;
        theirs.replace(d.c.offset(7), 200, d.c.stored(QStringLiteral("别的程序写的")));
        d.dir.write(d.c.fileName, theirs);
        d.list()->setCurrentRow(7);
        QCOMPARE(d.c.formValue(d), QStringLiteral("别的程序写的"));
        QCOMPARE(d.title(), d.fileTitle() + QStringLiteral(" *"));
        // The save merges the other program's change with the editor's.
        d.prompts.chooseAnswers.enqueue(0);
        d.save();
        QCOMPARE(d.prompts.questions.size(), 1);
        QVERIFY2(d.prompts.messages.isEmpty(), qPrintable(d.prompts.lastMessage()));
        QCOMPARE(d.written(), d.with(theirs, 5, d.c.first));
        QCOMPARE(d.title(), d.fileTitle());
    }
};

LCJ_TEST_MAIN(RegionEditsTest)
#include "regionedits_test.moc"
