#include "dformharness.h"
#include "support/testmain.h"

#include <QGroupBox>
#include <QLabel>

using namespace lcj;

namespace {

constexpr qint64 classAt(int c) {
    return 22899 + 60 * c;
}

} // namespace

class TerrainWindowTest : public QObject {
    Q_OBJECT

    DFormHarness h;

    QLineEdit* cell(int k) { return h.box(QStringLiteral("Text19_%1").arg(k)); }
    void open(const QByteArray& bytes = sample::dataFile()) {
        h.openSection(bytes, QStringLiteral("dipfe"));
    }
    void select(int c) { h.list(QStringLiteral("List7"))->setCurrentRow(c); }
    void save() { h.click(QStringLiteral("Command8")); }

private slots:
    void init() { h.start(); }
    void cleanup() { h.stop(); }

    void showsEveryBoxOfTheFirstAndLastClass() {
        open();
        QVERIFY(h.find<QGroupBox>(QStringLiteral("Frame4"))->isVisible());
        QCOMPARE(h.list(QStringLiteral("List7"))->count(), 27);
        QCOMPARE(h.list(QStringLiteral("List7"))->item(0)->text(), QStringLiteral("君主系"));
        for (int c : {0, 26}) {
            select(c);
            for (int k = 0; k < 60; ++k)
                QCOMPARE(cell(k)->text(), QString::number(quint8(h.original[classAt(c) + k])));
        }
        // Each box has its terrain's name: element 9 and 39 are 浅滩, 10 is 沼泽.
        QCOMPARE(h.find<QLabel>(QStringLiteral("Label40"))->text(), QStringLiteral("浅滩"));
        QCOMPARE(h.find<QLabel>(QStringLiteral("Label40"))->buddy(), cell(9));
        QCOMPARE(h.find<QLabel>(QStringLiteral("Label41"))->buddy(), cell(10));
        QCOMPARE(h.find<QLabel>(QStringLiteral("Label41"))->text(), QStringLiteral("沼泽"));
        QCOMPARE(h.find<QLabel>(QStringLiteral("Label70"))->buddy(), cell(39));
        QCOMPARE(h.find<QLabel>(QStringLiteral("Label90"))->text(), QStringLiteral("地下"));
    }

    void boxesStandInFiveColumnsOfSix() {
        open();
        // Elements 0..5 fill the first column, 6..11 the second.
        QCOMPARE(cell(1)->x(), cell(0)->x());
        QVERIFY(cell(1)->y() > cell(0)->y());
        QCOMPARE(cell(6)->y(), cell(0)->y());
        QVERIFY(cell(6)->x() > cell(5)->x());
        QCOMPARE(cell(30)->x(), cell(0)->x());
        QVERIFY(cell(30)->y() > cell(5)->y());
    }

    void saveRoundsHalvesToEven() {
        open();
        select(26);
        cell(0)->setText(QStringLiteral("2.5"));
        cell(1)->setText(QStringLiteral("3.5"));
        cell(9)->setText(QStringLiteral("100.49"));
        cell(39)->setText(QStringLiteral("255"));
        cell(59)->setText(QStringLiteral("0.51"));
        save();
        QVERIFY2(h.prompts.messages.isEmpty(), qPrintable(h.prompts.lastMessage()));
        QByteArray expected = h.original.mid(classAt(26), 60);
        expected[0] = 2;
        expected[1] = 4;
        expected[9] = 100;
        expected[39] = char(255);
        expected[59] = 1;
        QCOMPARE(h.written(), h.originalWith(classAt(26), expected));
        QCOMPARE(h.written().size(), h.original.size());
    }

    void badInputIsRefusedWithNothingWritten_data() {
        QTest::addColumn<int>("box");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("field");
        QTest::newRow("empty") << 9 << ""
                               << "浅滩（地形效果）";
        QTest::newRow("negative") << 10 << "-2"
                                  << "沼泽（地形效果）";
        QTest::newRow("over 255") << 39 << "255.5"
                                  << "浅滩（消耗移动力）";
        QTest::newRow("letters") << 59 << "abc"
                                 << "地下（消耗移动力）";
    }
    void badInputIsRefusedWithNothingWritten() {
        QFETCH(int, box);
        QFETCH(QString, text);
        QFETCH(QString, field);
        open();
        select(4);
        cell(0)->setText(QStringLiteral("1"));
        cell(box)->setText(text);
        save();
        QCOMPARE(h.prompts.messages.size(), 1);
        QVERIFY2(h.prompts.lastMessage().startsWith(field + u'：'),
                 qPrintable(h.prompts.lastMessage()));
        QCOMPARE(h.written(), h.original);
        QCOMPARE(cell(box)->text(), text);
    }

    void restoreReadsTheFileAgain() {
        open();
        select(13);
        cell(33)->setText(QStringLiteral("9"));
        h.click(QStringLiteral("Command9"));
        QCOMPARE(cell(33)->text(), QString::number(quint8(h.original[classAt(13) + 33])));
        QCOMPARE(h.written(), h.original);
    }
};

LCJ_TEST_MAIN(TerrainWindowTest)
#include "terrainwindow_test.moc"
