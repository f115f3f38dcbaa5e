#include "dformharness.h"
#include "fields/ui/fieldtableview.h"
#include "support/dialogkeys.h"
#include "support/testmain.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QTableView>

using namespace lcj;

namespace {

// A field of one section, as its form box and its table column show it.
struct Field {
    const char* entry;   // the 修改 menu entry
    const char* frame;   // the section
    const char* list;    // its record list
    const char* box;     // the form's box
    const char* caption; // the table's column
    const char* save;    // the form's 保存
};

Field field(const QString& name) {
    if (name == u"character")
        return {"renpre", "Frame1", "List1", "Text4", "武力", "Command1"};
    if (name == u"name")
        return {"renpre", "Frame1", "List1", "Text1", "姓名", "Command1"};
    if (name == u"item")
        return {"daopre", "Frame2", "List3", "Text14", "价值/100", "Command4"};
    if (name == u"trooptype")
        return {"binpre", "Frame5", "List8", "Text21", "攻击力", "Command10"};
    if (name == u"terrain")
        return {"dipfe", "Frame4", "List7", "Text19_3", "荒地（地形效果）", "Command8"};
    return {"chepre", "Frame7", "List9", "Text30", "消耗MP", "Command12"};
}

} // namespace

// The data file editor holds its file as a document: the form and the table
// change it, undo and redo walk it back and forth, and a save writes every
// record that differs from the file in one replace.
class DocumentWindowTest : public QObject, public DFormHarness {
    Q_OBJECT

    void activate() {
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
    }
    QString title() const { return form->windowTitle(); }
    QString status() { return find<QLabel>("status")->text(); }

    fields::FieldTableView* tableView(const char* frame) {
        return find<fields::FieldTableView>(QString::fromLatin1(frame) + QStringLiteral("Table"));
    }
    // Switches the section shown to its table with Ctrl+T.
    QTableView* showTable(const char* frame) {
        // The keys go where the keyboard is: somewhere in the section.
        if (!form->isAncestorOf(QApplication::focusWidget()))
            find<QGroupBox>(QString::fromLatin1(frame))->findChild<QListWidget*>()->setFocus();
        keyOnWindow(Qt::Key_T);
        fields::FieldTableView* table = tableView(frame);
        [&] { QVERIFY(table->isVisible()); }();
        return table->view();
    }
    static int columnOf(const QTableView* view, const QString& caption) {
        const QAbstractItemModel* model = view->model();
        for (int c = 0; c < model->columnCount(); ++c)
            if (model->headerData(c, Qt::Horizontal).toString() == caption)
                return c;
        qFatal("no column %s", qPrintable(caption));
    }
    // Clicks the cell of record `record` under `caption`.
    static void clickCell(QTableView* view, int record, const QString& caption) {
        const QModelIndex cell = view->model()->index(record, columnOf(view, caption));
        view->scrollTo(cell);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(cell).center());
        QCOMPARE(view->currentIndex(), cell);
    }
    // Types `text` over the cell as a user does: F2, select all, the keys, Enter.
    static void typeIntoCell(QTableView* view, int record, const QString& caption,
                             const QString& text) {
        clickCell(view, record, caption);
        QTest::keyClick(view, Qt::Key_F2);
        QWidget* editor = QApplication::focusWidget();
        QVERIFY(editor && editor != view);
        QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
        typeText(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        // The editor commits once the key is handled, as the event loop runs on.
        QCoreApplication::processEvents();
    }
    // Keys with their text, Chinese characters too (as an input method gives them).
    static void typeText(QWidget* widget, const QString& text) {
        for (const QChar c : text) {
            if (c.unicode() < 128)
                QTest::keyClick(widget, char(c.unicode()));
            else
                QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c),
                                    Qt::NoModifier);
        }
    }
    void typeIntoBox(const char* name, const QString& text) {
        QTest::mouseClick(box(name), Qt::LeftButton);
        box(name)->clear();
        typeText(box(name), text);
    }
    static void paste(QTableView* view, int record, const QString& caption, const QString& text) {
        QApplication::clipboard()->setText(text);
        clickCell(view, record, caption);
        QTest::keyClick(view, Qt::Key_V, Qt::ControlModifier);
    }
    void keyOnWindow(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier) {
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : form.get(), key, modifiers);
    }
    void undo() { keyOnWindow(Qt::Key_Z); }
    void redo() { keyOnWindow(Qt::Key_Y); }
    void saveKey() { keyOnWindow(Qt::Key_S); }

    static void fields() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("record");
        QTest::addColumn<QString>("value");
        QTest::newRow("character force") << "character" << 5 << "502";
        QTest::newRow("character name") << "name" << 7 << "新名字";
        QTest::newRow("item price") << "item" << 3 << "213";
        QTest::newRow("troop type attack") << "trooptype" << 52 << "201";
        QTest::newRow("terrain") << "terrain" << 26 << "199";
        QTest::newRow("strategy mp") << "strategy" << 67 << "211";
    }

private slots:
    void init() {
        start();
        activate();
    }
    void cleanup() {
        QApplication::clipboard()->clear();
        stop();
    }

    void tableEditWritesWhatTheFormWrites_data() { fields(); }
    void tableEditWritesWhatTheFormWrites() {
        QFETCH(QString, name);
        QFETCH(int, record);
        QFETCH(QString, value);
        const Field f = field(name);
        // Through the form, into a file of its own.
        openSection(sample::dataFile(), QString::fromLatin1(f.entry));
        list(f.list)->setCurrentRow(record);
        typeIntoBox(f.box, value);
        click(f.save);
        noMessages();
        const QByteArray byForm = written();
        QVERIFY(byForm != original);

        // The same edit in the table of another copy.
        QVERIFY(QDir(dir->path({})).mkpath(QStringLiteral("table")));
        path = dir->write(QStringLiteral("table/data.e5"), original);
        prompts.openAnswers.enqueue(path);
        trigger("fileop");
        trigger(f.entry);
        QTableView* view = showTable(f.frame);
        typeIntoCell(view, record, QString::fromUtf8(f.caption), value);
        noMessages();
        QVERIFY(title().endsWith(QStringLiteral(" *")));
        const QModelIndex cell =
            view->model()->index(record, columnOf(view, QString::fromUtf8(f.caption)));
        QCOMPARE(cell.data().toString(), value);
        // Marked as differing from the file until it is saved.
        QVERIFY(cell.data(Qt::BackgroundRole).isValid());
        QCOMPARE(written(), original);
        saveKey();
        noMessages();
        QVERIFY(!cell.data(Qt::BackgroundRole).isValid());
        QCOMPARE(written(), byForm);
        QCOMPARE(title(), QStringLiteral("Data文件修改 - data.e5"));
    }

    void excelPasteWritesExactBytes() {
        openSection(sample::dataFile(), QStringLiteral("renpre"));
        QTableView* view = showTable("Frame1");
        // As Excel puts two rows of 武力 and 统率 on the clipboard.
        paste(view, 2, QStringLiteral("武力"), QStringLiteral("402\t404\r\n406\t408\r\n"));
        noMessages();
        QCOMPARE(written(), original);
        saveKey();
        noMessages();
        QByteArray expected = original;
        expected[data::characters.recordOffset(2) + 18] = char(201);
        expected[data::characters.recordOffset(2) + 19] = char(202);
        expected[data::characters.recordOffset(3) + 18] = char(203);
        expected[data::characters.recordOffset(3) + 19] = char(204);
        QCOMPARE(written(), expected);
        QCOMPARE(status(), QStringLiteral("已保存 data.e5：2条记录"));
    }

    void refusedPasteWritesNothing_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("letters") << "80\tabc\r\n";
        QTest::newRow("over 510 in the last row") << "80\t90\r\n100\t512\r\n";
        QTest::newRow("past the last column") << "1\t1\t1\t1\t1\t1\t1\t1\t1\t1\t1\t1\t1\t1\t1\t1\t1"
                                                 "\t1\t1\t1\t1\r\n";
    }
    void refusedPasteWritesNothing() {
        QFETCH(QString, text);
        openSection(sample::dataFile(), QStringLiteral("renpre"));
        QTableView* view = showTable("Frame1");
        paste(view, 2, QStringLiteral("武力"), text);
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(title(), QStringLiteral("Data文件修改 - data.e5"));
        QVERIFY(!action("undo")->isEnabled());
        saveKey();
        QCOMPARE(written(), original);
        // The table shows the value stored before the paste.
        QCOMPARE(view->model()->index(2, columnOf(view, QStringLiteral("武力"))).data().toString(),
                 QString::number(2 * quint8(original[data::characters.recordOffset(2) + 18])));
    }

    // A form save, an edit in the table and a paste: three steps back to the
    // file as loaded, three forward to the edited file.
    void undoAndRedoWalkEveryStep_data() {
        QTest::addColumn<bool>("redoToo");
        QTest::newRow("undo to the start") << false;
        QTest::newRow("redo to the end") << true;
    }
    void undoAndRedoWalkEveryStep() {
        QFETCH(bool, redoToo);
        openSection(sample::dataFile(), QStringLiteral("renpre"));
        list("List1")->setCurrentRow(4);
        typeIntoBox("Text1", QStringLiteral("改名"));
        click("Command1");
        QTableView* view = showTable("Frame1");
        typeIntoCell(view, 9, QStringLiteral("等级"), QStringLiteral("50"));
        paste(view, 10, QStringLiteral("头像"), QStringLiteral("7\n8\n"));
        noMessages();
        saveKey();
        const QByteArray edited = written();
        QCOMPARE(list("List1")->item(4)->text(), QStringLiteral("改名"));

        for (int step = 0; step < 3; ++step)
            undo();
        QVERIFY(!action("undo")->isEnabled());
        QCOMPARE(list("List1")->item(4)->text(), sample::characterNames()[4]);
        QVERIFY(title().endsWith(QStringLiteral(" *")));
        if (redoToo) {
            for (int step = 0; step < 3; ++step)
                redo();
            QVERIFY(!action("redo")->isEnabled());
            QCOMPARE(list("List1")->item(4)->text(), QStringLiteral("改名"));
            QCOMPARE(title(), QStringLiteral("Data文件修改 - data.e5"));
        }
        // Undo and redo change the document only; the save writes it.
        QCOMPARE(written(), edited);
        saveKey();
        noMessages();
        QCOMPARE(written(), redoToo ? edited : original);
        // Back in the form, the boxes show the stored values.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_T, Qt::ControlModifier);
        QVERIFY(find<QGroupBox>("Frame1")->isVisible());
        QCOMPARE(list("List1")->currentRow(), 10);
        const QByteArray now = written();
        QCOMPARE(box("Text2")->text(),
                 QString::number(quint8(now[data::characters.recordOffset(10) + 13])));
    }

    void undoAfterASaveShowsTheEditorModified() {
        openSection(sample::dataFile(), QStringLiteral("renpre"));
        list("List1")->setCurrentRow(5);
        const QString shown = box("Text4")->text();
        type("Text4", QStringLiteral("502"));
        click("Command1");
        QCOMPARE(title(), QStringLiteral("Data文件修改 - data.e5"));
        QCOMPARE(status(), QStringLiteral("已保存 data.e5：1条记录"));
        list("List1")->setFocus();
        undo();
        QCOMPARE(title(), QStringLiteral("Data文件修改 - data.e5 *"));
        QCOMPARE(box("Text4")->text(), shown);
        QCOMPARE(written(),
                 originalWith(data::characters.recordOffset(5) + 18, QByteArray(1, char(251))));
        redo();
        QCOMPARE(title(), QStringLiteral("Data文件修改 - data.e5"));
        QCOMPARE(box("Text4")->text(), QStringLiteral("502"));
    }

    void statusCountsTheRecordsWritten() {
        openSection(sample::dataFile(), QStringLiteral("binpre"));
        list("List8")->setCurrentRow(7);
        QTableView* view = showTable("Frame5");
        QCOMPARE(tableView("Frame5")->currentRow(), 7);
        paste(view, 0, QStringLiteral("攻击力"), QStringLiteral("171\r\n172\r\n173\r\n"));
        noMessages();
        saveKey();
        noMessages();
        QCOMPARE(status(), QStringLiteral("已保存 data.e5：3条记录"));
        QByteArray expected = original;
        for (int r = 0; r < 3; ++r)
            expected[data::troopTypes.recordOffset(r) + 2] = char(171 + r);
        QCOMPARE(written(), expected);
    }

    void filterBoxFiltersTheTableToo() {
        openSection(sample::dataFile(), QStringLiteral("renpre"));
        QTableView* view = showTable("Frame1");
        QLineEdit* filter = box("List1Filter");
        QVERIFY(filter->isVisible());
        filter->setFocus();
        typeText(filter, QStringLiteral("12"));
        QList<int> shown;
        for (int r = 0; r < list("List1")->count(); ++r)
            if (!list("List1")->isRowHidden(r))
                shown << r;
        QVERIFY(!shown.isEmpty() && shown.size() < 512);
        QList<int> rows;
        for (int r = 0; r < view->model()->rowCount(); ++r)
            rows << view->model()->index(r, 0).data().toInt();
        QCOMPARE(rows, shown);
    }

    // Typed into the form and not stored: the section asks before the table
    // shows; 取消 keeps the form and its edit.
    void unstoredFormEditsAreSettledBeforeTheTable_data() {
        QTest::addColumn<int>("choice");
        QTest::newRow("save") << int(Prompts::SaveChoice::Save);
        QTest::newRow("discard") << int(Prompts::SaveChoice::Discard);
        QTest::newRow("cancel") << int(Prompts::SaveChoice::Cancel);
    }
    void unstoredFormEditsAreSettledBeforeTheTable() {
        QFETCH(int, choice);
        openSection(sample::dataFile(), QStringLiteral("renpre"));
        list("List1")->setCurrentRow(5);
        typeIntoBox("Text4", QStringLiteral("502"));
        prompts.saveChoices.enqueue(Prompts::SaveChoice(choice));
        keyOnWindow(Qt::Key_T);
        QCOMPARE(prompts.questions.size(), 1);
        const bool cancelled = choice == int(Prompts::SaveChoice::Cancel);
        QCOMPARE(action("tableview")->isChecked(), !cancelled);
        QCOMPARE(find<QLineEdit>("Text4")->isVisible(), cancelled);
        const bool saved = choice == int(Prompts::SaveChoice::Save);
        QCOMPARE(written(), saved ? originalWith(data::characters.recordOffset(5) + 18,
                                                 QByteArray(1, char(251)))
                                  : original);
        if (cancelled) {
            QCOMPARE(box("Text4")->text(), QStringLiteral("502"));
            return;
        }
        // The table is on the record the form showed.
        QCOMPARE(tableView("Frame1")->currentRow(), 5);
        // The edit settled, moving through the list beside the table asks nothing more.
        list("List1")->setCurrentRow(6);
        QCOMPARE(prompts.questions.size(), 1);
        QCOMPARE(tableView("Frame1")->currentRow(), 6);
    }

    // Another program writes the file while the editor has it open: with no
    // edits pending, the next record selected shows the new bytes; with edits
    // pending, the document stays, and its save asks before it writes.
    void anotherProgramsChangeIsReadWhenNothingIsPending_data() {
        QTest::addColumn<bool>("pending");
        QTest::newRow("nothing pending") << false;
        QTest::newRow("edits pending") << true;
    }
    void anotherProgramsChangeIsReadWhenNothingIsPending() {
        QFETCH(bool, pending);
        openSection(sample::dataFile(), QStringLiteral("renpre"));
        list("List1")->setCurrentRow(5);
        type("Text4", QStringLiteral("502"));
        click("Command1");
        if (pending) {
            list("List1")->setFocus();
            undo();
        }
        QByteArray other = written();
        other[data::characters.recordOffset(6) + 18] = char(250);
        dir->write(QStringLiteral("data.e5"), other);
        list("List1")->setCurrentRow(6);
        const int stored =
            quint8((pending ? original : other)[data::characters.recordOffset(6) + 18]);
        QCOMPARE(box("Text4")->text(), QString::number(2 * stored));
        QCOMPARE(title().endsWith(QStringLiteral(" *")), pending);
        // A fresh read starts the history anew.
        QCOMPARE(action("undo")->isEnabled() || action("redo")->isEnabled(), pending);
        QVERIFY(prompts.questions.isEmpty());
        if (!pending)
            return;
        // The save merges: the editor's undone edit of character 5 and the other program's
        // change of character 6 are both on disk.
        prompts.chooseAnswers.enqueue(0);
        activate();
        saveKey();
        QCOMPARE(prompts.questions.size(), 1);
        noMessages();
        QByteArray merged = original;
        merged[data::characters.recordOffset(6) + 18] = char(250);
        QCOMPARE(written(), merged);
    }

    // Closing and opening another file with edits not on disk ask once,
    // through the real box: Enter saves, Escape keeps everything as it was.
    void unsavedDocumentIsAskedAbout_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("closing");
        QTest::newRow("close, Enter") << int(Qt::Key_Enter) << true;
        QTest::newRow("close, Escape") << int(Qt::Key_Escape) << true;
        QTest::newRow("another file, Enter") << int(Qt::Key_Enter) << false;
        QTest::newRow("another file, Escape") << int(Qt::Key_Escape) << false;
    }
    void unsavedDocumentIsAskedAbout() {
        QFETCH(int, key);
        QFETCH(bool, closing);
        openSection(sample::dataFile(), QStringLiteral("renpre"));
        list("List1")->setCurrentRow(5);
        type("Text4", QStringLiteral("502"));
        click("Command1");
        list("List1")->setFocus();
        undo();
        QCOMPARE(written(),
                 originalWith(data::characters.recordOffset(5) + 18, QByteArray(1, char(251))));
        QVERIFY(QDir(dir->path({})).mkpath(QStringLiteral("other")));
        const QString other = dir->write(QStringLiteral("other/data.e5"), original);
        if (!closing)
            prompts.openAnswers.enqueue(other);
        prompts.realBoxes = true;
        bool closed = false;
        {
            test::DialogKeys keys({key});
            if (closing)
                closed = form->close();
            else
                trigger("fileop");
            QCOMPARE(keys.seen.size(), 1);
            QVERIFY2(keys.seen[0].text.contains(QStringLiteral("Data文件的修改还没有保存")),
                     qPrintable(keys.seen[0].text));
            QCOMPARE(keys.seen[0].defaultButton, QStringLiteral("保存"));
        }
        prompts.realBoxes = false;
        if (key == Qt::Key_Enter) {
            QCOMPARE(written(), original);
            if (closing)
                QVERIFY(closed);
            else
                QCOMPARE(form->dataFilePath(), other);
            return;
        }
        // Escape: the window, the file and the document stay as they were.
        QVERIFY(!closed);
        QCOMPARE(form->dataFilePath(), path);
        QCOMPARE(title(), QStringLiteral("Data文件修改 - data.e5 *"));
        QCOMPARE(box("Text4")->text(),
                 QString::number(2 * quint8(original[data::characters.recordOffset(5) + 18])));
        activate();
        saveKey();
        QCOMPARE(written(), original);
    }
};

LCJ_TEST_MAIN(DocumentWindowTest)
#include "documentwindow_test.moc"
