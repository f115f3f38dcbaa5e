#include "dformharness.h"
#include "support/testmain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPixmap>

using namespace lcj;

namespace {

constexpr qint64 troopAt(int t) {
    return 21468 + 27 * t;
}

QImage pictureFile(int shape) {
    return QImage(QCoreApplication::applicationDirPath() +
                  QStringLiteral("/lcjpic/攻击范围%1.jpg").arg(shape));
}

} // namespace

class TroopTypeWindowTest : public QObject {
    Q_OBJECT

    DFormHarness h;

    QComboBox* shapes() { return h.find<QComboBox>(QStringLiteral("Combo8")); }
    QCheckBox* flag(int k) { return h.find<QCheckBox>(QStringLiteral("Check2_%1").arg(k)); }
    QLabel* gj() { return h.find<QLabel>(QStringLiteral("gj")); }
    QLineEdit* box(int n) { return h.box(QStringLiteral("Text%1").arg(n)); }
    void open(const QByteArray& bytes = sample::dataFile()) {
        h.openSection(bytes, QStringLiteral("binpre"));
    }
    void select(int t) { h.list(QStringLiteral("List8"))->setCurrentRow(t); }
    void save() { h.click(QStringLiteral("Command10")); }
    QImage shown() { return gj()->pixmap().toImage(); }

private slots:
    void init() { h.start(); }
    void cleanup() { h.stop(); }

    void showsTroopTypeZeroWithItsPicture() {
        QVERIFY2(!pictureFile(0).isNull(), "the picture folder is built beside the tests");
        open();
        QVERIFY(h.find<QGroupBox>(QStringLiteral("Frame5"))->isVisible());
        QCOMPARE(h.list(QStringLiteral("List8"))->count(), 53);
        QCOMPARE(h.list(QStringLiteral("List8"))->currentRow(), 0);
        const QByteArray r = h.original.mid(troopAt(0), 27);
        QCOMPARE(box(20)->text(), QString::number(quint8(r[0])));
        QCOMPARE(box(27)->text(), QString::number(quint8(r[8])));
        for (int k = 0; k < 18; ++k)
            QCOMPARE(flag(k)->isChecked(), r[9 + k] == 1);
        QCOMPARE(flag(17)->text(), QStringLiteral("特殊衣服"));
        QCOMPARE(shapes()->currentIndex(), 0);
        QCOMPARE(shown(), pictureFile(0).convertToFormat(shown().format()));
    }

    void shapeTenShowsTheWholeScreenPicture() {
        open();
        select(10);
        QCOMPARE(shapes()->currentText(), QStringLiteral("全屏幕"));
        QCOMPARE(shown(), pictureFile(10).convertToFormat(shown().format()));
        // The picture follows the list when the user picks a shape.
        shapes()->setCurrentIndex(6);
        QCOMPARE(shown(), pictureFile(6).convertToFormat(shown().format()));
        QVERIFY(shown() != pictureFile(10).convertToFormat(shown().format()));
    }

    void switchingSectionsClearsThePicture() {
        open();
        QVERIFY(!gj()->pixmap().isNull());
        h.trigger(QStringLiteral("dipfe"));
        QVERIFY(gj()->pixmap().isNull());
    }

    void saveWritesEveryField() {
        open();
        select(7);
        box(20)->setText(QStringLiteral("20"));
        shapes()->setCurrentIndex(15);
        for (int n = 21; n <= 27; ++n)
            box(n)->setText(QString::number(n * 9));
        for (int k = 0; k < 18; ++k)
            flag(k)->setChecked(false);
        QTest::mouseClick(flag(17), Qt::LeftButton, {}, QPoint(5, flag(17)->height() / 2));
        QVERIFY(flag(17)->isChecked());
        save();
        QVERIFY2(h.prompts.messages.isEmpty(), qPrintable(h.prompts.lastMessage()));
        QByteArray expected(27, '\0');
        expected[0] = 20;
        expected[1] = 15;
        for (int n = 21; n <= 27; ++n)
            expected[n - 19] = char(n * 9);
        expected[26] = 1;
        QCOMPARE(h.written(), h.originalWith(troopAt(7), expected));
    }

    void movementOverTwentyIsRefused() {
        open();
        select(3);
        box(20)->setText(QStringLiteral("21"));
        box(21)->setText(QStringLiteral("99"));
        flag(4)->setChecked(!flag(4)->isChecked());
        const bool ticked = flag(4)->isChecked();
        save();
        QCOMPARE(h.prompts.messages, QStringList{QStringLiteral("移动力介于0到20之间")});
        QCOMPARE(h.written(), h.original);
        // The other controls keep what was typed.
        QCOMPARE(box(20)->text(), QStringLiteral("21"));
        QCOMPARE(box(21)->text(), QStringLiteral("99"));
        QCOMPARE(flag(4)->isChecked(), ticked);
    }

    void badInputIsRefusedWithNothingWritten_data() {
        QTest::addColumn<int>("box");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("field");
        QTest::newRow("empty movement") << 20 << ""
                                        << "移动力";
        QTest::newRow("negative movement") << 20 << "-1"
                                           << "移动力";
        QTest::newRow("attack over 255") << 21 << "256"
                                         << "攻击力";
        QTest::newRow("morale letters") << 25 << "abc"
                                        << "士气";
        QTest::newRow("mp growth empty") << 27 << ""
                                         << "MP增长率";
    }
    void badInputIsRefusedWithNothingWritten() {
        QFETCH(int, box);
        QFETCH(QString, text);
        QFETCH(QString, field);
        open();
        select(2);
        this->box(box)->setText(text);
        save();
        QCOMPARE(h.prompts.messages.size(), 1);
        QVERIFY2(h.prompts.lastMessage().startsWith(field + u'：'),
                 qPrintable(h.prompts.lastMessage()));
        QCOMPARE(h.written(), h.original);
    }

    void unlistedShapeAndOddFlagAreShownAndKept() {
        QByteArray bytes = sample::dataFile();
        bytes[troopAt(4) + 1] = char(20);
        bytes[troopAt(4) + 9 + 5] = char(2);
        open(bytes);
        select(4);
        QCOMPARE(shapes()->currentText(), QStringLiteral("（未知：20）"));
        QVERIFY(gj()->pixmap().isNull());
        QCOMPARE(flag(5)->checkState(), Qt::PartiallyChecked);
        save();
        QVERIFY(h.prompts.messages.isEmpty());
        QCOMPARE(h.written(), bytes);
        // A cleared flag is stored as 0 once the user decides.
        flag(5)->setCheckState(Qt::Unchecked);
        save();
        QCOMPARE(quint8(h.written()[troopAt(4) + 14]), 0);
        select(5);
        QCOMPARE(shapes()->count(), 16);
        QVERIFY(!flag(5)->isTristate());
    }

    void restoreReadsTheFileAgain() {
        open();
        select(9);
        const QString shown = box(24)->text();
        box(24)->setText(QStringLiteral("1"));
        h.click(QStringLiteral("Command11"));
        QCOMPARE(box(24)->text(), shown);
        QCOMPARE(h.written(), h.original);
    }
};

LCJ_TEST_MAIN(TroopTypeWindowTest)
#include "trooptypewindow_test.moc"
