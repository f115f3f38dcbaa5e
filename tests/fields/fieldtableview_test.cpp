#include "datafile/characterform.h"
#include "datafile/datalayout.h"
#include "fields/datatable.h"
#include "fields/ui/fieldtableview.h"
#include "samplegen/samplegame.h"
#include "support/dialogkeys.h"
#include "support/scriptedprompts.h"
#include "support/testmain.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTableView>
#include <QtTest>

#include <functional>
#include <memory>

using namespace lcj;
using data::CharacterForm;
using fields::FieldTable;
using fields::FieldTableView;

Q_DECLARE_METATYPE(std::function<void(CharacterForm&)>)

namespace {

using Change = std::function<void(CharacterForm&)>;

// The file as the character form gives it after `change` on record `record`.
QByteArray throughForm(QByteArray bytes, int record, const Change& change) {
    const qint64 at = data::characters.recordOffset(record);
    QByteArray r = bytes.mid(at, data::characters.recordSize);
    CharacterForm form = CharacterForm::show(r);
    change(form);
    const Failure failure = form.apply(r);
    if (!failure.ok())
        qWarning() << failure.error();
    bytes.replace(at, r.size(), r);
    return bytes;
}

// The message the form gives for `change` on record `record`.
QString formRefusal(const QByteArray& bytes, int record, const Change& change) {
    QByteArray r = bytes.mid(data::characters.recordOffset(record), data::characters.recordSize);
    CharacterForm form = CharacterForm::show(r);
    change(form);
    return form.apply(r).error();
}

} // namespace

class FieldTableViewTest : public QObject {
    Q_OBJECT

    QByteArray bytes;
    QByteArray original;
    std::vector<std::unique_ptr<FieldTable>> tables;
    FieldTable* table = nullptr;
    std::unique_ptr<test::ScriptedPrompts> prompts;
    std::unique_ptr<FieldTableView> view;
    QTableView* grid = nullptr;
    int runs = 0;
    QString lastStep; // the name of the last change that succeeded

    // The owner's runner: one snapshot per change, restored on a refusal.
    Failure run(const std::function<Failure()>& change, const std::function<QString()>& step) {
        ++runs;
        const QByteArray before = bytes;
        const Failure failure = change();
        if (!failure.ok())
            bytes = before;
        else
            lastStep = step();
        return failure;
    }

    int columnOf(const QString& caption) const {
        for (int c = 0; c < grid->model()->columnCount(); ++c)
            if (grid->model()->headerData(c, Qt::Horizontal).toString() == caption)
                return c;
        return -1;
    }
    int rowOf(int record) const {
        for (int r = 0; r < grid->model()->rowCount(); ++r)
            if (grid->model()->index(r, 0).data().toInt() == record)
                return r;
        return -1;
    }
    QModelIndex cell(int record, const QString& caption) const {
        return grid->model()->index(rowOf(record), columnOf(caption));
    }
    void goTo(int record, const QString& caption) {
        // A click on the cell, as a person picks it.
        const QModelIndex i = cell(record, caption);
        QVERIFY(i.isValid());
        grid->scrollTo(i);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(i).center());
        QCOMPARE(grid->currentIndex(), i);
    }
    // A block picked as a person does: a click on one corner, a Shift+click
    // on the other.
    void selectBlock(int fromRecord, const QString& fromCaption, int toRecord,
                     const QString& toCaption) {
        goTo(fromRecord, fromCaption);
        const QModelIndex to = cell(toRecord, toCaption);
        grid->scrollTo(to);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::ShiftModifier,
                          grid->visualRect(to).center());
    }
    // Types `text` into the current cell as a person does: the first key opens
    // the cell's editor, the others go to it, Enter commits.
    void typeIntoCell(const QString& text) {
        typeText(grid, text.left(1));
        QWidget* editor = QApplication::focusWidget();
        QVERIFY(editor && editor != grid);
        typeText(editor, text.mid(1));
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
    QLineEdit* openBox() const {
        auto* box = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        return box && box->isVisible() && grid->isAncestorOf(box) ? box : nullptr;
    }
    void pressOnGrid(int key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier) {
        QTest::keyClick(grid, Qt::Key(key), modifiers);
    }
    int columnOfField(const QString& caption) const {
        for (qsizetype c = 0; c < table->columns().size(); ++c)
            if (table->columns()[c].caption == caption)
                return int(c);
        return -1;
    }
    // An item whose name no other item of the file shares.
    int uniqueItem() const {
        const auto entries = table->entries(columnOfField(QStringLiteral("武具")));
        for (int i = 0; i < 104; ++i) {
            int same = 0;
            for (const auto& e : entries)
                same += e.text == entries[i].text;
            if (same == 1 && !entries[i].text.isEmpty())
                return i;
        }
        return -1;
    }

private slots:
    void init() {
        bytes = sample::dataFile();
        original = bytes;
        tables = fields::dataFieldTables(bytes);
        QVERIFY(!tables.empty());
        table = tables.front().get();
        QCOMPARE(table->part(), QStringLiteral("characters"));
        prompts = std::make_unique<test::ScriptedPrompts>();
        runs = 0;
        view = std::make_unique<FieldTableView>(
            *table,
            [this](const std::function<Failure()>& change, const std::function<QString()>& step) {
                return run(change, step);
            },
            *prompts);
        view->resize(900, 500);
        view->show();
        QVERIFY(QTest::qWaitForWindowActive(view.get()));
        grid = view->findChild<QTableView*>(QStringLiteral("table"));
        QVERIFY(grid);
        grid->setFocus();
        QApplication::clipboard()->clear();
    }
    void cleanup() {
        view.reset();
        tables.clear();
        prompts.reset();
    }

    void showsEveryRecordWithItsNumberAndCaptions() {
        QCOMPARE(grid->model()->rowCount(), data::characters.count);
        QCOMPARE(grid->model()->columnCount(), 1 + int(table->columns().size()));
        QCOMPARE(grid->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("序号"));
        QCOMPARE(cell(7, QStringLiteral("序号")).data().toString(), QStringLiteral("7"));
        QCOMPARE(cell(7, QStringLiteral("姓名")).data().toString(),
                 table->read(7, columnOfField(QStringLiteral("姓名"))));
        // A list cell shows the window's entry, not the stored code.
        const QByteArray r = original.mid(data::characters.recordOffset(7), 32);
        QCOMPARE(cell(7, QStringLiteral("兵种")).data().toString(),
                 table->entries(columnOfField(QStringLiteral("兵种"))).at(quint8(r[26])).text);
        QCOMPARE(cell(7, QStringLiteral("强行加入我军")).data(Qt::CheckStateRole).toInt(),
                 int(quint8(r[17]) == 0 ? Qt::Checked : Qt::Unchecked));
    }

    void typedCellIsStoredAsTheFormStoresIt_data() {
        QTest::addColumn<int>("record");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<Change>("change");
        QTest::newRow("武力") << 5 << QStringLiteral("武力") << QStringLiteral("76")
                              << Change([](CharacterForm& f) { f.force = QStringLiteral("76"); });
        QTest::newRow("初始HP值") << 300 << QStringLiteral("初始HP值") << QStringLiteral("1234")
                                  << Change(
                                         [](CharacterForm& f) { f.hp = QStringLiteral("1234"); });
        QTest::newRow("姓名 in Chinese")
            << 9 << QStringLiteral("姓名") << QStringLiteral("赵子龙")
            << Change([](CharacterForm& f) { f.name = QStringLiteral("赵子龙"); });
    }
    void typedCellIsStoredAsTheFormStoresIt() {
        QFETCH(int, record);
        QFETCH(QString, caption);
        QFETCH(QString, typed);
        QFETCH(Change, change);
        const QByteArray expected = throughForm(original, record, change);
        QVERIFY(expected != original);
        QSignalSpy changed(view.get(), &FieldTableView::changed);
        goTo(record, caption);
        typeIntoCell(typed);
        QCOMPARE(bytes, expected);
        QCOMPARE(runs, 1);
        QCOMPARE(changed.count(), 1);
        QVERIFY(prompts->messages.isEmpty());
        QCOMPARE(cell(record, caption).data().toString(), typed);
    }

    // A halved cell given an odd number is stored even, as the form stores
    // it, and the view tells its owner in one line: a typed cell by its
    // caption, a pasted block by each cell's place.
    void roundedCellsAreSaid_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("paste");
        QTest::addColumn<QList<int>>("stored"); // record, offset, byte …
        QTest::addColumn<QString>("said");
        QTest::newRow("typed 85") << QStringLiteral("85") << false << QList<int>{5, 18, 42}
                                  << QStringLiteral("武力按2的倍数保存：85 → 84");
        QTest::newRow("pasted block") << QStringLiteral("85\t76\r\n80\t75\r\n") << true
                                      << QList<int>{5, 18, 42, 5, 19, 38, 6, 18, 40, 6, 19, 38}
                                      << QStringLiteral("人物 5 武力按2的倍数保存：85 → 84；"
                                                        "人物 6 统率按2的倍数保存：75 → 76");
    }
    void roundedCellsAreSaid() {
        QFETCH(QString, text);
        QFETCH(bool, paste);
        QFETCH(QList<int>, stored);
        QFETCH(QString, said);
        QSignalSpy rounded(view.get(), &FieldTableView::rounded);
        goTo(5, QStringLiteral("武力"));
        if (paste) {
            QApplication::clipboard()->setText(text);
            pressOnGrid(Qt::Key_V);
        } else {
            typeIntoCell(text);
        }
        QVERIFY2(prompts->messages.isEmpty(), qPrintable(prompts->messages.join(u'\n')));
        QByteArray expected = original;
        for (qsizetype i = 0; i < stored.size(); i += 3)
            expected[data::characters.recordOffset(stored[i]) + stored[i + 1]] =
                char(stored[i + 2]);
        QCOMPARE(bytes, expected);
        QCOMPARE(runs, 1);
        QCOMPARE(rounded.count(), 1);
        QCOMPARE(rounded.first().first().toString(), said);
        QCOMPARE(cell(5, QStringLiteral("武力")).data().toString(), QStringLiteral("84"));
    }

    void refusedCellChangesNothingAndStaysInEditing_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<Change>("change");
        QTest::newRow("武力 past 510")
            << QStringLiteral("武力") << QStringLiteral("600")
            << Change([](CharacterForm& f) { f.force = QStringLiteral("600"); });
        QTest::newRow("等级 not a number")
            << QStringLiteral("等级") << QStringLiteral("abc")
            << Change([](CharacterForm& f) { f.level = QStringLiteral("abc"); });
        QTest::newRow("姓名 not GBK")
            << QStringLiteral("姓名") << QStringLiteral("한국")
            << Change([](CharacterForm& f) { f.name = QStringLiteral("한국"); });
    }
    void refusedCellChangesNothingAndStaysInEditing() {
        QFETCH(QString, caption);
        QFETCH(QString, typed);
        QFETCH(Change, change);
        const QString expected = formRefusal(original, 4, change);
        QVERIFY(!expected.isEmpty());
        goTo(4, caption);
        typeIntoCell(typed);
        QCOMPARE(bytes, original);
        QCOMPARE(prompts->messages, QStringList{expected});
        QLineEdit* box = openBox();
        QVERIFY(box);
        QCOMPARE(box->text(), typed);
        // Escape gives the edit up; the cell shows the stored value.
        QTest::keyClick(box, Qt::Key_Escape);
        QVERIFY(!openBox());
        QCOMPARE(cell(4, caption).data().toString(), table->read(4, columnOfField(caption)));
    }

    // The refusal through the real message box: Enter closes it and the
    // editor is still there with the typed text; nothing was written.
    void refusalInTheRealMessageBoxKeepsTheEditor() {
        prompts->realBoxes = true;
        test::DialogKeys keys({Qt::Key_Enter});
        goTo(4, QStringLiteral("武力"));
        typeIntoCell(QStringLiteral("999"));
        QCOMPARE(keys.seen.size(), 1);
        QCOMPARE(keys.seen[0].text, QStringLiteral("武力：请输入0到510之间的整数"));
        QCOMPARE(bytes, original);
        QTRY_VERIFY(openBox());
        QCOMPARE(openBox()->text(), QStringLiteral("999"));
        // Typed again correctly, the same editor commits.
        QLineEdit* box = openBox();
        box->selectAll();
        QTest::keyClicks(box, QStringLiteral("100"));
        QTest::keyClick(box, Qt::Key_Return);
        QCoreApplication::processEvents();
        QCOMPARE(bytes, throughForm(original, 4,
                                    [](CharacterForm& f) { f.force = QStringLiteral("100"); }));
        QVERIFY(!openBox());
    }

    void nameEditorCountsBytesAndRefusesPastTheField() {
        goTo(2, QStringLiteral("姓名"));
        QTest::keyClick(grid, Qt::Key_F2);
        QLineEdit* box = openBox();
        QVERIFY(box);
        box->selectAll();
        typeText(box, QStringLiteral("一二三四五六七"));
        // Six characters fill the 12 bytes; the seventh is refused.
        QCOMPARE(box->text(), QStringLiteral("一二三四五六"));
        auto* counter = grid->findChild<QLabel*>(QStringLiteral("cellBoxBytes"));
        QVERIFY(counter);
        QVERIFY(counter->text().contains(QStringLiteral("12/12")));
        QTest::keyClick(box, Qt::Key_Return);
        QCoreApplication::processEvents();
        QCOMPARE(bytes, throughForm(original, 2, [](CharacterForm& f) {
                     f.name = QStringLiteral("一二三四五六");
                 }));
    }

    // The list's own entries; a key that moves the choice commits it.
    void listCellPicksFromTheWindowsEntries() {
        const QByteArray r = original.mid(data::characters.recordOffset(15), 32);
        const int troop = quint8(r[26]);
        QVERIFY(troop < 52);
        goTo(15, QStringLiteral("兵种"));
        QTest::keyClick(grid, Qt::Key_F2);
        auto* combo = qobject_cast<QComboBox*>(QApplication::focusWidget());
        QVERIFY(combo);
        const auto entries = table->entries(columnOfField(QStringLiteral("兵种")));
        QCOMPARE(combo->count(), int(entries.size()));
        QCOMPARE(combo->itemText(5), entries[5].text);
        QCOMPARE(combo->currentIndex(), troop);
        QTest::keyClick(combo, Qt::Key_Down);
        QCoreApplication::processEvents();
        QCOMPARE(bytes,
                 throughForm(original, 15, [troop](CharacterForm& f) { f.troopType = troop + 1; }));
        QCOMPARE(cell(15, QStringLiteral("兵种")).data().toString(), entries[troop + 1].text);
        QCOMPARE(runs, 1);
    }

    // A stored code that no entry stands for shows as itself, in the cell and
    // in the list, and stays when the list is left alone.
    void unlistedCodeShowsAsItself() {
        bytes[int(data::characters.recordOffset(16) + 29)] = char(200);
        original = bytes;
        view->refresh();
        QCOMPARE(cell(16, QStringLiteral("武具")).data().toString(), QStringLiteral("200"));
        goTo(16, QStringLiteral("武具"));
        QTest::keyClick(grid, Qt::Key_F2);
        auto* combo = qobject_cast<QComboBox*>(QApplication::focusWidget());
        QVERIFY(combo);
        QCOMPARE(combo->currentText(), QStringLiteral("200"));
        QCOMPARE(combo->count(), 106);
        QTest::keyClick(combo, Qt::Key_Escape);
        QCOMPARE(bytes, original);
        QCOMPARE(runs, 0);
    }

    void flagCellTogglesWithSpace() {
        goTo(6, QStringLiteral("强行加入我军"));
        const bool ticked =
            cell(6, QStringLiteral("强行加入我军")).data(Qt::CheckStateRole) == int(Qt::Checked);
        QTest::keyClick(grid, Qt::Key_Space);
        QCOMPARE(bytes, throughForm(original, 6, [ticked](CharacterForm& f) {
                     f.forcedJoin = ticked ? Qt::Unchecked : Qt::Checked;
                 }));
        QCOMPARE(runs, 1);
    }

    void pastedBlockIsStoredAsTheFormStoresIt_data() {
        QTest::addColumn<QString>("lineEnd");
        QTest::addColumn<bool>("trailingEmptyLine");
        QTest::newRow("CRLF, trailing line end") << QStringLiteral("\r\n") << true;
        QTest::newRow("LF, trailing line end") << QStringLiteral("\n") << true;
        QTest::newRow("CRLF, none") << QStringLiteral("\r\n") << false;
    }
    void pastedBlockIsStoredAsTheFormStoresIt() {
        QFETCH(QString, lineEnd);
        QFETCH(bool, trailingEmptyLine);
        // 姓名 … 战场外形象 of records 10 and 11, then 兵种 … 辅助 of them:
        // a list entry by its text, by its code, an item by its name, "无".
        const int item = uniqueItem();
        QVERIFY(item >= 0);
        const QString itemText = table->entries(columnOfField(QStringLiteral("武具")))[item].text;
        QString text =
            QStringLiteral("关云长\t12\t34") + lineEnd + QStringLiteral("\"张 翼德\"\t56\t78");
        if (trailingEmptyLine)
            text += lineEnd;
        QApplication::clipboard()->setText(text);
        goTo(10, QStringLiteral("姓名"));
        pressOnGrid(Qt::Key_V);
        QVERIFY2(prompts->messages.isEmpty(), qPrintable(prompts->messages.join(u'\n')));
        QByteArray expected = throughForm(original, 10, [](CharacterForm& f) {
            f.name = QStringLiteral("关云长");
            f.portrait = QStringLiteral("12");
            f.figure = QStringLiteral("34");
        });
        expected = throughForm(expected, 11, [](CharacterForm& f) {
            f.name = QStringLiteral("张 翼德");
            f.portrait = QStringLiteral("56");
            f.figure = QStringLiteral("78");
        });
        QCOMPARE(bytes, expected);
        QCOMPARE(runs, 1);

        const QString troop = table->entries(columnOfField(QStringLiteral("兵种")))[6].text;
        text = troop + u'\t' + itemText + QStringLiteral("\t无\t无\t1") + lineEnd +
               QStringLiteral("3\t255\t") + QString::number(item) + QStringLiteral("\t255\t0");
        if (trailingEmptyLine)
            text += lineEnd;
        QApplication::clipboard()->setText(text);
        goTo(10, QStringLiteral("兵种"));
        pressOnGrid(Qt::Key_V);
        QVERIFY2(prompts->messages.isEmpty(), qPrintable(prompts->messages.join(u'\n')));
        expected = throughForm(expected, 10, [item](CharacterForm& f) {
            f.troopType = 6;
            f.weapon = item;
            f.armour = CharacterForm::noneEntry;
            f.auxiliary = CharacterForm::noneEntry;
            f.forcedJoin = Qt::Checked;
        });
        expected = throughForm(expected, 11, [item](CharacterForm& f) {
            f.troopType = 3;
            f.weapon = CharacterForm::noneEntry;
            f.armour = item;
            f.auxiliary = CharacterForm::noneEntry;
            f.forcedJoin = Qt::Unchecked;
        });
        QCOMPARE(bytes, expected);
        QCOMPARE(runs, 2);
        QCOMPARE(cell(10, QStringLiteral("武具")).data().toString(), itemText);
    }

    void singleValueFillsTheSelection() {
        QApplication::clipboard()->setText(QStringLiteral("88\r\n"));
        selectBlock(20, QStringLiteral("武力"), 22, QStringLiteral("统率"));
        pressOnGrid(Qt::Key_V);
        QByteArray expected = original;
        for (int r = 20; r <= 22; ++r)
            expected = throughForm(expected, r, [](CharacterForm& f) {
                f.force = QStringLiteral("88");
                f.command = QStringLiteral("88");
            });
        QCOMPARE(bytes, expected);
        QCOMPARE(runs, 1);
    }

    void pasteWithABadCellChangesNothing_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("record");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("message");
        QTest::newRow("a number out of range in the last row")
            << QStringLiteral("80\t80\r\n80\t80\r\n80\t999\r\n") << 30 << QStringLiteral("武力")
            << QStringLiteral("粘贴没有执行：人物 32 统率：请输入0到510之间的整数");
        QTest::newRow("a name too long")
            << QStringLiteral("甲\r\n一二三四五六七八\r\n") << 40 << QStringLiteral("姓名")
            << QStringLiteral("粘贴没有执行：人物 41 姓名：最多12字节（一个汉字占2字节），"
                              "现在是16字节，没有保存");
        QTest::newRow("an unknown list entry")
            << QStringLiteral("弓兵\r\n不存在的兵种\r\n") << 50 << QStringLiteral("兵种")
            << QStringLiteral("粘贴没有执行：人物 51 兵种：“不存在的兵种”不是数字，"
                              "请输入0到255之间的整数");
        // 经验 is refused alone too, but the form refuses the row for its 兵种 first.
        QTest::newRow("two bad cells in a row, the one the form names")
            << QStringLiteral("999\t0\t不存在的兵种\r\n") << 60 << QStringLiteral("经验")
            << QStringLiteral("粘贴没有执行：人物 60 兵种：“不存在的兵种”不是数字，"
                              "请输入0到255之间的整数");
        QTest::newRow("past the last row")
            << QStringLiteral("1\r\n2\r\n3\r\n") << 510 << QStringLiteral("等级")
            << QStringLiteral("粘贴没有执行：要粘贴的有3行1列，从人物 510 等级起只容得下2行8列");
        QTest::newRow("past the last column")
            << QStringLiteral("0\t1\r\n") << 3 << QStringLiteral("强行加入我军")
            << QStringLiteral("粘贴没有执行：要粘贴的有1行2列，从人物 3 强行加入我军起只容得下"
                              "509行1列");
    }
    void pasteWithABadCellChangesNothing() {
        QFETCH(QString, text);
        QFETCH(int, record);
        QFETCH(QString, caption);
        QFETCH(QString, message);
        QApplication::clipboard()->setText(text);
        goTo(record, caption);
        pressOnGrid(Qt::Key_V);
        QCOMPARE(bytes, original);
        QCOMPARE(prompts->messages, QStringList{message});
        QVERIFY(runs <= 1);
    }

    void copyOfWholeColumnsHasTheirCaptions() {
        const int first = columnOf(QStringLiteral("姓名"));
        const int last = columnOf(QStringLiteral("头像"));
        // What a press on the first column's header and a Shift+press on the
        // last one select (a click would also sort).
        grid->selectColumn(first);
        grid->selectionModel()->select(
            QItemSelection(grid->model()->index(0, first), grid->model()->index(0, last)),
            QItemSelectionModel::Select | QItemSelectionModel::Columns);
        pressOnGrid(Qt::Key_C);
        const QString copied = QApplication::clipboard()->text();
        QStringList lines = copied.split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), data::characters.count + 2); // the header, the rows, the last end
        QCOMPARE(lines.first(), QStringLiteral("姓名\t头像"));
        QCOMPARE(lines.last(), QString());
        for (int r : {0, 7, 511})
            QCOMPARE(lines[r + 1], table->read(r, 0) + u'\t' + table->read(r, 1));
        QVERIFY(!copied.contains(QStringLiteral("\n\n")));
    }

    void copyOfABlockHasNoCaptionsAndListTexts() {
        selectBlock(3, QStringLiteral("兵种"), 4, QStringLiteral("武具"));
        pressOnGrid(Qt::Key_C);
        QString expected;
        for (int r : {3, 4})
            expected += cell(r, QStringLiteral("兵种")).data().toString() + u'\t' +
                        cell(r, QStringLiteral("武具")).data().toString() + QStringLiteral("\r\n");
        QCOMPARE(QApplication::clipboard()->text(), expected);
        // Pasted back where it came from, it changes no byte.
        goTo(3, QStringLiteral("兵种"));
        pressOnGrid(Qt::Key_V);
        QVERIFY(prompts->messages.isEmpty());
        QCOMPARE(bytes, original);
    }

    void fillDownCopiesTheFirstRow() {
        selectBlock(60, QStringLiteral("武力"), 63, QStringLiteral("统率"));
        pressOnGrid(Qt::Key_D);
        const CharacterForm top =
            CharacterForm::show(original.mid(data::characters.recordOffset(60), 32));
        QByteArray expected = original;
        for (int r = 61; r <= 63; ++r)
            expected = throughForm(expected, r, [&top](CharacterForm& f) {
                f.force = top.force;
                f.command = top.command;
            });
        QVERIFY(expected != original);
        QCOMPARE(bytes, expected);
        QCOMPARE(runs, 1);
    }

    // A fill that one row refuses (an item of another category has no such
    // field) changes nothing and names that row.
    void refusedFillChangesNothing() {
        FieldTable& items = *tables[1];
        QCOMPARE(items.part(), QStringLiteral("items"));
        const int kind = items.columnOf(QStringLiteral("武具/防具类型"));
        int first = -1;
        for (int r = 0; r + 1 < items.rowCount() && first < 0; ++r)
            if (!items.read(r, kind).isEmpty() && items.read(r + 1, kind).isEmpty())
                first = r;
        QVERIFY(first >= 0);
        FieldTableView other(
            items,
            [this](const std::function<Failure()>& change, const std::function<QString()>& step) {
                return run(change, step);
            },
            *prompts);
        other.show();
        auto* g = other.findChild<QTableView*>(QStringLiteral("table"));
        g->setFocus();
        g->setCurrentIndex(g->model()->index(first, 1 + kind));
        g->selectionModel()->select(QItemSelection(g->model()->index(first, 1 + kind),
                                                   g->model()->index(first + 1, 1 + kind)),
                                    QItemSelectionModel::ClearAndSelect);
        QTest::keyClick(g, Qt::Key_D, Qt::ControlModifier);
        QCOMPARE(bytes, original);
        QCOMPARE(runs, 1);
        QCOMPARE(prompts->messages,
                 QStringList{
                     QStringLiteral("向下填充没有执行：道具 %1 武具/防具类型：这一类道具不用这一栏")
                         .arg(first + 1)});
    }

    void sortsNumbersAsNumbersAndNumberRestoresFileOrder() {
        QVERIFY(table->write(0, {{QStringLiteral("等级"), QStringLiteral("10")}}).ok());
        QVERIFY(table->write(1, {{QStringLiteral("等级"), QStringLiteral("9")}}).ok());
        view->refresh();
        QHeaderView* header = grid->horizontalHeader();
        const int column = columnOf(QStringLiteral("等级"));
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 5, 5));
        QVERIFY(rowOf(1) < rowOf(0));
        for (int r = 1; r < grid->model()->rowCount(); ++r) {
            const int a = grid->model()->index(r - 1, column).data().toInt();
            const int b = grid->model()->index(r, column).data().toInt();
            QVERIFY2(a <= b, qPrintable(QStringLiteral("row %1: %2 > %3").arg(r).arg(a).arg(b)));
        }
        // A cell typed while sorted lands in its own record.
        goTo(1, QStringLiteral("经验"));
        const QByteArray before = bytes;
        typeIntoCell(QStringLiteral("77"));
        QCOMPARE(bytes, throughForm(before, 1,
                                    [](CharacterForm& f) { f.experience = QStringLiteral("77"); }));
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(0) + 5, 5));
        for (int r = 0; r < grid->model()->rowCount(); ++r)
            QCOMPARE(grid->model()->index(r, 0).data().toInt(), r);
    }

    void sortsTextsAsTexts() {
        const int column = columnOf(QStringLiteral("姓名"));
        grid->sortByColumn(column, Qt::AscendingOrder);
        for (int r = 1; r < grid->model()->rowCount(); ++r)
            QVERIFY(grid->model()
                        ->index(r - 1, column)
                        .data()
                        .toString()
                        .compare(grid->model()->index(r, column).data().toString()) <= 0);
    }

    void filterShowsRowsByNumberOrName() {
        const QString name = table->read(8, columnOfField(QStringLiteral("姓名")));
        QVERIFY(!name.isEmpty());
        view->setFilter(name);
        QVERIFY(rowOf(8) >= 0);
        for (int r = 0; r < grid->model()->rowCount(); ++r)
            QVERIFY(grid->model()
                        ->index(r, columnOf(QStringLiteral("姓名")))
                        .data()
                        .toString()
                        .contains(name) ||
                    grid->model()->index(r, 0).data().toString().contains(name));
        view->setFilter(QStringLiteral("51"));
        int expected = 0;
        for (int r = 0; r < table->rowCount(); ++r)
            expected += QString::number(r).contains(QStringLiteral("51")) ||
                        table->read(r, 0).contains(QStringLiteral("51"));
        QCOMPARE(grid->model()->rowCount(), expected);
        QVERIFY(rowOf(510) >= 0 && rowOf(151) >= 0 && rowOf(52) < 0);
        view->setFilter(QString());
        QCOMPARE(grid->model()->rowCount(), data::characters.count);
    }

    void cellsDifferingFromTheSavedFileAreMarked() {
        QByteArray saved = original;
        auto savedTables = fields::dataFieldTables(saved);
        view->setSaved(savedTables.front().get());
        goTo(12, QStringLiteral("经验"));
        typeIntoCell(QStringLiteral("42"));
        QVERIFY(bytes != original);
        QVERIFY(cell(12, QStringLiteral("经验")).data(Qt::BackgroundRole).isValid());
        QVERIFY(!cell(12, QStringLiteral("等级")).data(Qt::BackgroundRole).isValid());
        QVERIFY(!cell(13, QStringLiteral("经验")).data(Qt::BackgroundRole).isValid());
        // Saved: the table on disk now holds the bytes.
        saved = bytes;
        view->setSaved(savedTables.front().get());
        QVERIFY(!cell(12, QStringLiteral("经验")).data(Qt::BackgroundRole).isValid());
        view->setSaved(nullptr);
    }

    void refreshShowsBytesChangedUnderTheTable() {
        QCOMPARE(cell(14, QStringLiteral("姓名")).data().toString(), table->read(14, 0));
        bytes = throughForm(bytes, 14, [](CharacterForm& f) { f.name = QStringLiteral("新名"); });
        view->refresh();
        QCOMPARE(cell(14, QStringLiteral("姓名")).data().toString(), QStringLiteral("新名"));
    }

    void currentRowFollowsTheCell() {
        QSignalSpy rows(view.get(), &FieldTableView::currentRowChanged);
        view->setCurrentRow(33);
        QCOMPARE(view->currentRow(), 33);
        QCOMPARE(rows.count(), 1);
        QCOMPARE(rows.at(0).at(0).toInt(), 33);
    }

    // A table with a label column: whole rows copied and pasted back change
    // nothing; a label pasted over another is refused, nothing changed.
    void labelledRowsCopyAndPasteBack() {
        FieldTable& troops = *tables[3];
        QCOMPARE(troops.part(), QStringLiteral("troops"));
        FieldTableView other(
            troops,
            [this](const std::function<Failure()>& change, const std::function<QString()>& step) {
                return run(change, step);
            },
            *prompts);
        other.show();
        auto* g = other.findChild<QTableView*>(QStringLiteral("table"));
        QCOMPARE(g->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("兵种名称"));
        QCOMPARE(g->model()->index(4, 1).data().toString(), troops.label(4));
        g->setFocus();
        g->selectRow(4);
        g->selectionModel()->select(
            QItemSelection(g->model()->index(4, 0), g->model()->index(6, 0)),
            QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QTest::keyClick(g, Qt::Key_C, Qt::ControlModifier);
        const QString copied = QApplication::clipboard()->text();
        QVERIFY(copied.startsWith(QStringLiteral("4\t") + troops.label(4) + u'\t'));
        g->setCurrentIndex(g->model()->index(4, 0));
        QTest::keyClick(g, Qt::Key_V, Qt::ControlModifier);
        QVERIFY2(prompts->messages.isEmpty(), qPrintable(prompts->messages.join(u'\n')));
        QCOMPARE(bytes, original);
        // The same rows one lower: their numbers and names are not those rows'.
        g->setCurrentIndex(g->model()->index(5, 0));
        g->selectionModel()->clearSelection();
        QTest::keyClick(g, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(bytes, original);
        QCOMPARE(prompts->messages,
                 QStringList{QStringLiteral("粘贴没有执行：兵种 5 序号：这一栏不能修改")});
    }
};

LCJ_TEST_MAIN(FieldTableViewTest)
#include "fieldtableview_test.moc"
