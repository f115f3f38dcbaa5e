#include "dformharness.h"
#include "support/testmain.h"

#include <QComboBox>
#include <QGroupBox>
#include <QTableWidget>

using namespace lcj;

namespace {

constexpr qint64 strategyAt(int s) {
    return 24519 + 70 * s;
}

} // namespace

class StrategyWindowTest : public QObject {
    Q_OBJECT

    DFormHarness h;

    QTableWidget* grid() { return h.find<QTableWidget>(QStringLiteral("msfgrid")); }
    QLineEdit* editor() { return h.box(QStringLiteral("Text32")); }
    QString level(int row) { return grid()->item(row, 1)->text(); }
    void open(const QByteArray& bytes = sample::dataFile()) {
        h.openSection(bytes, QStringLiteral("chepre"));
        h.form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(h.form.get()));
    }
    void select(int s) { h.list(QStringLiteral("List9"))->setCurrentRow(s); }
    void save() { h.click(QStringLiteral("Command12")); }
    // Types `text` into the grid on level cell `row`, as a user does: the
    // first key opens the editor, the rest go into it.
    void typeLevel(int row, const QString& text) {
        grid()->setFocus();
        grid()->setCurrentCell(row, 1);
        QTest::keyClicks(grid(), text.left(1));
        QTest::keyClicks(editor(), text.mid(1));
    }
    quint8 stored(int s, int offset) const {
        return static_cast<quint8>(h.original[strategyAt(s) + offset]);
    }

private slots:
    void init() { h.start(); }
    void cleanup() { h.stop(); }

    void showsStrategyZeroAndTheGrid() {
        open();
        QVERIFY(h.find<QGroupBox>(QStringLiteral("Frame7"))->isVisible());
        QCOMPARE(h.list(QStringLiteral("List9"))->count(), 68);
        QCOMPARE(h.list(QStringLiteral("List9"))->item(0)->text(), QStringLiteral("灼热"));
        QCOMPARE(grid()->rowCount(), 54);
        QCOMPARE(grid()->columnCount(), 2);
        QCOMPARE(grid()->columnWidth(1), 140);
        QCOMPARE(grid()->item(0, 0)->text(), QStringLiteral("兵种名称"));
        QCOMPARE(grid()->item(0, 1)->text(), QStringLiteral("该兵种学会此计策的等级"));
        QCOMPARE(grid()->item(1, 0)->text(), QStringLiteral("群雄"));
        QCOMPARE(grid()->item(53, 0)->text(), QStringLiteral("百姓"));
        QVERIFY(!editor()->isVisible());
        for (int s : {0, 67}) {
            select(s);
            QCOMPARE(h.box(QStringLiteral("Text29"))->text(), QString::number(stored(s, 11)));
            QCOMPARE(h.find<QComboBox>(QStringLiteral("Combo9"))->currentIndex(),
                     int(stored(s, 12)));
            QCOMPARE(h.find<QComboBox>(QStringLiteral("Combo10"))->currentIndex(),
                     int(stored(s, 13)));
            QCOMPARE(h.find<QComboBox>(QStringLiteral("Combo11"))->currentIndex(),
                     int(stored(s, 14)));
            QCOMPARE(h.box(QStringLiteral("Text30"))->text(), QString::number(stored(s, 15)));
            QCOMPARE(h.box(QStringLiteral("Text31"))->text(), QString::number(stored(s, 16)));
            for (int r = 1; r <= 53; ++r)
                QCOMPARE(level(r), QString::number(stored(s, 16 + r)));
        }
        QCOMPARE(h.find<QComboBox>(QStringLiteral("Combo10"))->itemText(11),
                 QStringLiteral("自己"));
    }

    void aKeyOpensTheEditorOverTheCellWithThatKeyTyped() {
        open();
        grid()->setFocus();
        grid()->setCurrentCell(5, 1);
        QTest::keyClick(grid(), Qt::Key_7);
        QVERIFY(editor()->isVisible());
        QVERIFY(editor()->hasFocus());
        QCOMPARE(editor()->text(), QStringLiteral("7"));
        const QRect cell = grid()->visualRect(grid()->model()->index(5, 1));
        QCOMPARE(editor()->geometry(),
                 QRect(cell.x(), cell.y(), cell.width() - 2, cell.height() - 2));
        QTest::keyClick(editor(), Qt::Key_Return);
        QVERIFY(!editor()->isVisible());
        QVERIFY(grid()->hasFocus());
        QCOMPARE(level(5), QStringLiteral("7"));
        QCOMPARE(h.written(), h.original); // nothing written before 保存
    }

    void enterOpensTheEditorWithTheCellsText() {
        open();
        grid()->setFocus();
        grid()->setCurrentCell(9, 1);
        const QString before = level(9);
        QTest::keyClick(grid(), Qt::Key_Return);
        QVERIFY(editor()->isVisible());
        QCOMPARE(editor()->text(), before);
        QTest::keyClick(editor(), Qt::Key_End);
        QTest::keyClicks(editor(), QStringLiteral("1"));
        QTest::keyClick(editor(), Qt::Key_Enter);
        QCOMPARE(level(9), QString::number((before + u'1').toInt()));
    }

    void commitRoundsDown_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("fraction") << "12.9"
                                  << "12";
        QTest::newRow("zero") << "0"
                              << "0";
        QTest::newRow("largest") << "255.5"
                                 << "255";
    }
    void commitRoundsDown() {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        open();
        typeLevel(3, typed);
        QTest::keyClick(editor(), Qt::Key_Return);
        QCOMPARE(level(3), shown);
    }

    void losingTheFocusCommits() {
        open();
        typeLevel(20, QStringLiteral("33"));
        h.box(QStringLiteral("Text29"))->setFocus();
        QVERIFY(!editor()->isVisible());
        QCOMPARE(level(20), QStringLiteral("33"));
        QCOMPARE(grid()->currentRow(), 20);
    }

    void badLevelIsRefusedAndTheCellKeepsItsValue_data() {
        QTest::addColumn<QString>("typed");
        QTest::newRow("letters") << "x7";
        QTest::newRow("negative") << "-1";
        QTest::newRow("over 255") << "256";
    }
    void badLevelIsRefusedAndTheCellKeepsItsValue() {
        QFETCH(QString, typed);
        open();
        const QString before = level(4);
        typeLevel(4, typed);
        QTest::keyClick(editor(), Qt::Key_Return);
        QCOMPARE(h.prompts.messages.size(), 1);
        QVERIFY2(h.prompts.lastMessage().startsWith(QStringLiteral("轻步兵学会此计策的等级：")),
                 qPrintable(h.prompts.lastMessage()));
        QCOMPARE(level(4), before);
        QVERIFY(!editor()->isVisible());
    }

    void saveWithARefusedLevelStillOpenWritesNothing() {
        open();
        h.box(QStringLiteral("Text30"))->setText(QStringLiteral("3"));
        typeLevel(2, QStringLiteral("abc"));
        save();
        QCOMPARE(h.prompts.messages.size(), 1);
        QVERIFY(h.prompts.lastMessage().startsWith(QStringLiteral("英雄学会此计策的等级：")));
        QCOMPARE(h.written(), h.original);
        QCOMPARE(h.box(QStringLiteral("Text30"))->text(), QStringLiteral("3"));
    }

    void fixedCellsAreNotEdited() {
        open();
        grid()->setCurrentCell(3, 0);
        QTest::keyClick(grid(), Qt::Key_5);
        QVERIFY(!editor()->isVisible());
        QCOMPARE(grid()->item(3, 0)->text(), QStringLiteral("霸王"));
    }

    void saveWritesTheRecordAndRenamesTheEntry() {
        open();
        select(67);
        h.box(QStringLiteral("Text28"))->setText(QStringLiteral("岚风"));
        h.box(QStringLiteral("Text29"))->setText(QStringLiteral("9"));
        h.find<QComboBox>(QStringLiteral("Combo9"))->setCurrentIndex(2);
        h.find<QComboBox>(QStringLiteral("Combo10"))->setCurrentIndex(11);
        h.find<QComboBox>(QStringLiteral("Combo11"))->setCurrentIndex(6);
        h.box(QStringLiteral("Text30"))->setText(QStringLiteral("25.9"));
        h.box(QStringLiteral("Text31"))->setText(QStringLiteral("200"));
        typeLevel(1, QStringLiteral("7"));
        QTest::keyClick(editor(), Qt::Key_Return);
        typeLevel(53, QStringLiteral("0")); // still open when 保存 is pressed
        save();
        QVERIFY2(h.prompts.messages.isEmpty(), qPrintable(h.prompts.lastMessage()));
        QByteArray expected = h.original.mid(strategyAt(67), 70);
        expected.replace(0, 10, QByteArray("\xE1\xB0\xB7\xE7\0\0\0\0\0\0", 10));
        expected[11] = 9;
        expected[12] = 2;
        expected[13] = 11;
        expected[14] = 6;
        expected[15] = 25;
        expected[16] = char(200);
        expected[17] = 7;
        expected[69] = 0;
        QCOMPARE(h.written(), h.originalWith(strategyAt(67), expected));
        QCOMPARE(h.list(QStringLiteral("List9"))->item(67)->text(), QStringLiteral("岚风"));
        QCOMPARE(h.list(QStringLiteral("List9"))->currentRow(), 67);
        QCOMPARE(level(1), QStringLiteral("7"));
        QCOMPARE(h.box(QStringLiteral("Text30"))->text(), QStringLiteral("25"));
    }

    void badFieldIsRefusedWithNothingWritten_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("field");
        QTest::newRow("type over 255") << "Text29"
                                       << "256"
                                       << "策略类型";
        QTest::newRow("empty mp") << "Text30"
                                  << ""
                                  << "消耗MP";
        QTest::newRow("icon letters") << "Text31"
                                      << "ab"
                                      << "图标";
    }
    void badFieldIsRefusedWithNothingWritten() {
        QFETCH(QString, control);
        QFETCH(QString, text);
        QFETCH(QString, field);
        open();
        select(8);
        h.box(QStringLiteral("Text28"))->setText(QStringLiteral("改名"));
        h.box(control)->setText(text);
        save();
        QCOMPARE(h.prompts.messages.size(), 1);
        QVERIFY2(h.prompts.lastMessage().startsWith(field + u'：'),
                 qPrintable(h.prompts.lastMessage()));
        QCOMPARE(h.written(), h.original);
        QCOMPARE(h.list(QStringLiteral("List9"))->item(8)->text(), QStringLiteral("水龙"));
    }

    void unlistedValuesAreShownAndKept() {
        QByteArray bytes = sample::dataFile();
        bytes[strategyAt(2) + 12] = char(7);
        bytes[strategyAt(2) + 13] = char(16);
        bytes[strategyAt(2) + 14] = char(255);
        open(bytes);
        select(2);
        QCOMPARE(h.find<QComboBox>(QStringLiteral("Combo9"))->currentText(),
                 QStringLiteral("（未知：7）"));
        QCOMPARE(h.find<QComboBox>(QStringLiteral("Combo11"))->currentText(),
                 QStringLiteral("（未知：255）"));
        save();
        QVERIFY(h.prompts.messages.isEmpty());
        QCOMPARE(h.written(), bytes);
    }

    void restoreDiscardsEditedLevels() {
        open();
        select(30);
        typeLevel(6, QStringLiteral("99"));
        QTest::keyClick(editor(), Qt::Key_Return);
        h.click(QStringLiteral("Command13"));
        QCOMPARE(level(6), QString::number(stored(30, 22)));
        QCOMPARE(h.written(), h.original);
    }
};

LCJ_TEST_MAIN(StrategyWindowTest)
#include "strategywindow_test.moc"
