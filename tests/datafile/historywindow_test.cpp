#include "common/ui/document.h"
#include "dformharness.h"
#include "fields/ui/fieldtableview.h"
#include "support/testmain.h"

#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QTableView>
#include <QUndoStack>
#include <QUndoView>

using namespace lcj;

// The data file editor's history: each step named in the change list's words in 编辑 and in
// 查看 → 历史, undo and redo giving back the exact bytes, a save marking the state on disk, and a
// click in the history going to the bytes of that step.
class HistoryWindowTest : public QObject, public DFormHarness {
    Q_OBJECT

    // The bytes the editor holds now, as the workspace reads them.
    QByteArray held() { return form->documents().front().mine(); }
    QString title() const { return form->windowTitle(); }

    QTableView* showTable() {
        list("List1")->setFocus();
        QTest::keyClick(list("List1"), Qt::Key_T, Qt::ControlModifier);
        auto* table = find<fields::FieldTableView>("Frame1Table");
        [&] { QVERIFY(table->isVisible()); }();
        return table->view();
    }
    static QModelIndex cell(QTableView* view, int record, const QString& caption) {
        const QAbstractItemModel* model = view->model();
        for (int c = 0; c < model->columnCount(); ++c)
            if (model->headerData(c, Qt::Horizontal).toString() == caption)
                return model->index(record, c);
        qFatal("no column %s", qPrintable(caption));
    }
    static void clickCell(QTableView* view, const QModelIndex& at) {
        view->scrollTo(at);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(at).center());
    }
    // Types `text` over a cell as a user does: F2, select all, the keys, Enter.
    static void typeIntoCell(QTableView* view, int record, const QString& caption,
                             const QString& text) {
        clickCell(view, cell(view, record, caption));
        QTest::keyClick(view, Qt::Key_F2);
        QWidget* editor = QApplication::focusWidget();
        QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents();
    }
    // A key pressed where the keyboard is: in the editor, or in the history window beside it.
    void key(Qt::Key k) {
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : form.get(), k, Qt::ControlModifier);
    }
    QUndoView* historyView() {
        trigger("history");
        auto* view = find<QUndoView>("historyView");
        [&] { QVERIFY(QTest::qWaitForWindowExposed(view)); }();
        return view;
    }

private slots:
    void init() {
        start();
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        openSection(sample::dataFile(), QStringLiteral("renpre"));
        list("List1")->setCurrentRow(5);
    }
    void cleanup() {
        QApplication::clipboard()->clear();
        stop();
    }

    // One step of each kind: the entries and the history name it, undo and redo give back
    // the bytes before and after it exactly.
    void stepsAreNamedAndTakenBackExactly_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("form, one field") << "form1";
        QTest::newRow("form, two fields") << "form2";
        QTest::newRow("table cell") << "cell";
        QTest::newRow("table paste") << "paste";
        QTest::newRow("table fill down") << "fill";
    }
    void stepsAreNamedAndTakenBackExactly() {
        QFETCH(QString, how);
        const QByteArray before = held();
        QString longText;
        QString shortText;
        if (how.startsWith(u"form")) {
            const QString force = box("Text4")->text();
            type("Text4", QStringLiteral("402"));
            if (how == u"form2")
                type("Text5", QStringLiteral("123"));
            click("Command1");
            shortText = how == u"form1" ? QStringLiteral("修改 人物 5 武力")
                                        : QStringLiteral("修改 人物 5 的 2 栏");
            longText =
                how == u"form1" ? shortText + u' ' + force + QStringLiteral(" → 402") : shortText;
        } else {
            QTableView* view = showTable();
            if (how == u"cell") {
                const QString level = cell(view, 9, QStringLiteral("等级")).data().toString();
                typeIntoCell(view, 9, QStringLiteral("等级"), QStringLiteral("50"));
                shortText = QStringLiteral("修改 人物 9 等级");
                longText = shortText + u' ' + level + QStringLiteral(" → 50");
            } else if (how == u"paste") {
                QApplication::clipboard()->setText(QStringLiteral("7\t11\r\n8\t12\r\n9\t13\r\n"));
                clickCell(view, cell(view, 10, QStringLiteral("武力")));
                QTest::keyClick(view, Qt::Key_V, Qt::ControlModifier);
                longText = shortText = QStringLiteral("粘贴 3 行 2 列");
            } else {
                const QModelIndex from = cell(view, 2, QStringLiteral("武力"));
                const QModelIndex to = cell(view, 6, QStringLiteral("统率"));
                view->selectionModel()->select(QItemSelection(from, to),
                                               QItemSelectionModel::ClearAndSelect);
                QTest::keyClick(view, Qt::Key_D, Qt::ControlModifier);
                longText = shortText = QStringLiteral("向下填充 4 行 2 列");
            }
        }
        noMessages();
        const QByteArray after = held();
        QVERIFY(after != before);
        QCOMPARE(action("undo")->text(), QStringLiteral("撤销 ") + shortText);
        QCOMPARE(action("redo")->text(), QStringLiteral("重做"));
        QCOMPARE(historyView()->model()->index(1, 0).data().toString(), longText);

        key(Qt::Key_Z);
        QCOMPARE(held(), before);
        QCOMPARE(action("undo")->text(), QStringLiteral("撤销"));
        QVERIFY(!action("undo")->isEnabled());
        QCOMPARE(action("redo")->text(), QStringLiteral("重做 ") + shortText);
        key(Qt::Key_Y);
        QCOMPARE(held(), after);
        QCOMPARE(action("undo")->text(), QStringLiteral("撤销 ") + shortText);
    }

    // A save marks the state on disk and keeps the steps to redo: undone past it the editor
    // is modified, redone back to it clean; the history marks the saved step.
    void aSaveKeepsTheStepsAndMarksTheStateOnDisk() {
        QTableView* view = showTable();
        for (int step = 0; step < 3; ++step)
            typeIntoCell(view, step, QStringLiteral("等级"), QString::number(40 + step));
        key(Qt::Key_Z);
        const QByteArray saved = held();
        key(Qt::Key_S);
        noMessages();
        QCOMPARE(written(), saved);
        QCOMPARE(title(), QStringLiteral("Data文件修改 - data.e5"));
        QVERIFY(action("redo")->isEnabled());
        const Document document(form.get(), form->documents().front());
        QVERIFY(document.undoStack());
        QCOMPARE(document.undoStack()->cleanIndex(), 2);
        QUndoView* history = historyView();
        QCOMPARE(history->stack(), document.undoStack());
        for (int row = 0; row <= 3; ++row)
            QCOMPARE(history->model()->index(row, 0).data(Qt::DecorationRole).isNull(), row != 2);

        key(Qt::Key_Y);
        QCOMPARE(title(), QStringLiteral("Data文件修改 - data.e5 *"));
        key(Qt::Key_Z);
        QCOMPARE(title(), QStringLiteral("Data文件修改 - data.e5"));
        QCOMPARE(held(), saved);
        key(Qt::Key_Z);
        QCOMPARE(title(), QStringLiteral("Data文件修改 - data.e5 *"));
        QCOMPARE(written(), saved);

        // Opening the file afresh starts a history of its own.
        prompts.openAnswers.enqueue(path);
        prompts.saveChoices.enqueue(Prompts::SaveChoice::Discard);
        trigger("fileop");
        trigger("renpre");
        QVERIFY(!action("undo")->isEnabled() && !action("redo")->isEnabled());
        QCOMPARE(document.undoStack()->count(), 0);
        QCOMPARE(held(), saved);
    }

    // A click on a step of the history goes back or forward to it: the document holds the bytes
    // of that step and the table shows them.
    void aClickInTheHistoryGoesToThatStep() {
        QTableView* view = showTable();
        const QString level = cell(view, 7, QStringLiteral("等级")).data().toString();
        QList<QByteArray> states{held()};
        for (int step = 0; step < 3; ++step) {
            typeIntoCell(view, 7, QStringLiteral("等级"), QString::number(30 + step));
            states.append(held());
        }
        QUndoView* history = historyView();
        for (int row : {1, 3, 0, 2}) {
            const QModelIndex at = history->model()->index(row, 0);
            QTest::mouseClick(history->viewport(), Qt::LeftButton, {},
                              history->visualRect(at).center());
            QCOMPARE(held(), states[row]);
            QCOMPARE(cell(view, 7, QStringLiteral("等级")).data().toString(),
                     row ? QString::number(30 + row - 1) : level);
            QCOMPARE(title().endsWith(QStringLiteral(" *")), row != 0);
        }
    }
};

LCJ_TEST_MAIN(HistoryWindowTest)
#include "historywindow_test.moc"
