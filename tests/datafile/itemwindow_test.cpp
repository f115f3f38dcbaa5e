#include "common/nametables.h"
#include "dformharness.h"
#include "support/testmain.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>

using namespace lcj;

namespace {

constexpr qint64 itemAt(int i) {
    return 16780 + 25 * i;
}

} // namespace

class ItemWindowTest : public QObject {
    Q_OBJECT

    DFormHarness h;

    QComboBox* combo(const char* name) { return h.find<QComboBox>(QString::fromLatin1(name)); }
    QLineEdit* box(const char* name) { return h.box(QString::fromLatin1(name)); }
    QString caption() { return h.find<QLabel>(QStringLiteral("Label17"))->text(); }
    void open(const QByteArray& bytes = sample::dataFile()) {
        h.openSection(bytes, QStringLiteral("daopre"));
    }
    void select(int item) { h.list(QStringLiteral("List3"))->setCurrentRow(item); }
    void save() { h.click(QStringLiteral("Command4")); }
    QByteArray record(int item) const { return h.original.mid(itemAt(item), 25); }

private slots:
    void init() { h.start(); }
    void cleanup() { h.stop(); }

    void editMenuListsTheSixSectionsInOrder() {
        QStringList entries;
        for (QAction* a : h.find<QMenu>(QStringLiteral("edit"))->actions())
            entries << a->objectName() + u' ' + a->text();
        QCOMPARE(
            entries,
            (QStringList{QStringLiteral("renpre 人物属性"), QStringLiteral("daopre 道具属性"),
                         QStringLiteral("shoppre 商店属性"), QStringLiteral("binpre 兵种属性"),
                         QStringLiteral("dipfe 地形属性"), QStringLiteral("chepre 策略属性")}));
    }

    void eachEntryShowsItsFrameAlone_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("frame");
        QTest::addColumn<QString>("caption");
        QTest::newRow("items") << "daopre"
                               << "Frame2"
                               << "道具属性修改";
        QTest::newRow("shops") << "shoppre"
                               << "Frame3"
                               << "商店属性修改";
        QTest::newRow("terrain") << "dipfe"
                                 << "Frame4"
                                 << "地形属性修改";
        QTest::newRow("troop types") << "binpre"
                                     << "Frame5"
                                     << "兵种属性修改";
        QTest::newRow("strategies") << "chepre"
                                    << "Frame7"
                                    << "策略属性修改";
    }
    void eachEntryShowsItsFrameAlone() {
        QFETCH(QString, entry);
        QFETCH(QString, frame);
        QFETCH(QString, caption);
        h.openSection(sample::dataFile(), QStringLiteral("renpre"));
        h.trigger(entry);
        QVERIFY(h.prompts.messages.isEmpty());
        QStringList visible;
        for (const char* f : {"Frame1", "Frame2", "Frame3", "Frame4", "Frame5", "Frame7"})
            if (h.find<QGroupBox>(QString::fromLatin1(f))->isVisible())
                visible << QString::fromLatin1(f);
        QCOMPARE(visible, QStringList{frame});
        QCOMPARE(h.find<QGroupBox>(frame)->title(), caption);
        // Choosing the file again hides every section.
        h.prompts.openAnswers.enqueue(h.path);
        h.trigger(QStringLiteral("fileop"));
        QVERIFY(!h.find<QGroupBox>(frame)->isVisible());
    }

    void shortFileIsReportedAndNoSectionShown_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("frame");
        QTest::newRow("items") << "daopre"
                               << "Frame2";
        QTest::newRow("shops") << "shoppre"
                               << "Frame3";
        QTest::newRow("terrain") << "dipfe"
                                 << "Frame4";
        QTest::newRow("troop types") << "binpre"
                                     << "Frame5";
        QTest::newRow("strategies") << "chepre"
                                    << "Frame7";
    }
    void shortFileIsReportedAndNoSectionShown() {
        QFETCH(QString, entry);
        QFETCH(QString, frame);
        const QByteArray shortFile = sample::dataFile().left(29278);
        h.openSection(shortFile, entry);
        QCOMPARE(h.prompts.messages.size(), 1);
        QVERIFY(h.prompts.lastMessage().contains(QStringLiteral("29279")));
        QVERIFY(!h.find<QGroupBox>(frame)->isVisible());
        QCOMPARE(h.written(), shortFile);
    }

    void fileShrunkAfterOpeningIsNotWritten() {
        open();
        select(3);
        h.dir->write(QStringLiteral("data.e5"), h.original.left(1000));
        box("Text14")->setText(QStringLiteral("1"));
        // Another program's change: the user chooses to write over it.
        h.prompts.askAnswers.enqueue(true);
        save();
        QCOMPARE(h.prompts.questions.size(), 1);
        QCOMPARE(h.prompts.messages.size(), 1);
        QCOMPARE(h.written(), h.original.left(1000));
        QCOMPARE(h.list(QStringLiteral("List3"))->item(3)->text(), names::items()[3]);
    }

    void captionBeforeAnyItem() { QCOMPARE(caption(), QStringLiteral("道具类型")); }

    void opensOnItemZero() {
        open();
        QVERIFY(h.find<QGroupBox>(QStringLiteral("Frame2"))->isVisible());
        QVERIFY(!h.find<QGroupBox>(QStringLiteral("Frame1"))->isVisible());
        QCOMPARE(h.list(QStringLiteral("List3"))->count(), 104);
        QCOMPARE(h.list(QStringLiteral("List3"))->currentRow(), 0);
        QCOMPARE(h.list(QStringLiteral("List3"))->item(87)->text(), QStringLiteral("恢复用豆"));
        QCOMPARE(box("Text13")->text(), QStringLiteral("短剑"));
        QCOMPARE(caption(), QStringLiteral("道具类型: 武具或防具"));
    }

    void categoryDecidesTheControlsInUse() {
        open();
        select(4); // a weapon of kind 1
        QCOMPARE(combo("Combo4")->currentText(), QStringLiteral("特殊剑"));
        QVERIFY(combo("Combo4")->isEnabled() && combo("Combo5")->isEnabled());
        QVERIFY(box("Text16")->isEnabled() && box("Text18")->isEnabled());
        QVERIFY(!combo("Combo6")->isEnabled() && !combo("Combo7")->isEnabled());
        QCOMPARE(box("Text16")->text(), QString::number(quint8(record(4)[21])));
        QCOMPARE(box("Text18")->text(), QString::number(quint8(record(4)[23])));

        select(81); // auxiliary, effect 30
        QCOMPARE(caption(), QStringLiteral("道具类型: 辅助装备"));
        QCOMPARE(combo("Combo5")->currentIndex(), 30);
        QVERIFY(combo("Combo5")->isEnabled() && combo("Combo7")->isEnabled());
        QVERIFY(!combo("Combo4")->isEnabled() && !box("Text16")->isEnabled());
        QVERIFY(!box("Text18")->isEnabled() && !combo("Combo6")->isEnabled());
        QCOMPARE(box("Text17")->text(), QString::number(quint8(record(81)[21])));
        // Disabled controls keep what they showed.
        QCOMPARE(combo("Combo4")->currentText(), QStringLiteral("特殊剑"));
        QCOMPARE(box("Text16")->text(), QString::number(quint8(record(4)[21])));

        select(88); // consumable of kind 64
        QCOMPARE(caption(), QStringLiteral("道具类型: 消耗类道具"));
        QCOMPARE(combo("Combo6")->currentText(), QStringLiteral("恢复MP"));
        QVERIFY(combo("Combo6")->isEnabled() && !combo("Combo5")->isEnabled());
        QCOMPARE(combo("Combo5")->currentIndex(), 30);
    }

    void weaponSaveWritesItsBytes() {
        open();
        select(3); // kind 1, byte 18 an effect code
        QVERIFY(quint8(record(3)[18]) < 63);
        box("Text13")->setText(QStringLiteral("岚川剑"));
        combo("Combo4")->setCurrentIndex(5);
        combo("Combo5")->setCurrentIndex(45); // "无"
        box("Text14")->setText(QStringLiteral("255"));
        box("Text15")->setText(QStringLiteral("9"));
        box("Text16")->setText(QStringLiteral("120.7"));
        box("Text17")->setText(QStringLiteral("0"));
        box("Text18")->setText(QStringLiteral("3"));
        save();
        QVERIFY2(h.prompts.messages.isEmpty(), qPrintable(h.prompts.lastMessage()));
        QByteArray expected = record(3);
        expected.replace(0, 16, QByteArray("\xE1\xB0\xB4\xA8\xBD\xA3\0\0\0\0\0\0\0\0\0\0", 16));
        const quint8 tail[] = {5, 255, 255, 9, 120, 0, 3};
        for (int i = 0; i < 7; ++i)
            expected[17 + i] = char(tail[i]);
        QCOMPARE(h.written(), h.originalWith(itemAt(3), expected));
        QCOMPARE(h.list(QStringLiteral("List3"))->item(3)->text(), QStringLiteral("岚川剑"));
        QCOMPARE(h.list(QStringLiteral("List3"))->currentRow(), 3);
        QCOMPARE(combo("Combo4")->currentText(), QStringLiteral("特殊弓"));
    }

    void effectChosenOverNoEffectIsNotStored() {
        open();
        select(4); // byte 18 is 255
        QCOMPARE(quint8(record(4)[18]), 255);
        QCOMPARE(combo("Combo5")->currentText(), QStringLiteral("无"));
        combo("Combo5")->setCurrentIndex(6);
        save();
        QCOMPARE(h.written(), h.original);
        QCOMPARE(combo("Combo5")->currentText(), QStringLiteral("无"));
    }

    void auxiliarySaveStaysAuxiliary() {
        open();
        select(60);
        combo("Combo5")->setCurrentIndex(44);
        combo("Combo7")->setCurrentIndex(27); // 所有兵种
        combo("Combo4")->setCurrentIndex(3);  // disabled: not read
        box("Text17")->setText(QStringLiteral("77"));
        save();
        QByteArray expected = record(60);
        expected[17] = 62;
        expected[21] = 77;
        expected[23] = char(255);
        QCOMPARE(h.written(), h.originalWith(itemAt(60), expected));
    }

    void auxiliaryRefusesNoEffect() {
        open();
        select(60);
        combo("Combo5")->setCurrentIndex(45);
        save();
        QCOMPARE(h.prompts.messages.size(), 1);
        QVERIFY(h.prompts.lastMessage().startsWith(QStringLiteral("特殊效果：")));
        QCOMPARE(h.written(), h.original);
    }

    void consumableKeepsTheBytesItDoesNotUse() {
        open();
        select(95);
        combo("Combo6")->setCurrentIndex(13);
        box("Text17")->setText(QStringLiteral("250"));
        box("Text16")->setText(QStringLiteral("not read"));
        save();
        QVERIFY2(h.prompts.messages.isEmpty(), qPrintable(h.prompts.lastMessage()));
        QByteArray expected = record(95);
        expected[17] = 76;
        expected[21] = char(250);
        QCOMPARE(h.written(), h.originalWith(itemAt(95), expected));
    }

    void unlistedCodesShowAsThemselvesAndStay() {
        open();
        select(33); // weapon whose byte 18 is 70
        QCOMPARE(combo("Combo5")->currentText(), QStringLiteral("（未知：70）"));
        save();
        select(103); // consumable of kind 80
        QCOMPARE(combo("Combo6")->currentText(), QStringLiteral("（未知：80）"));
        save();
        QVERIFY(h.prompts.messages.isEmpty());
        QCOMPARE(h.written(), h.original);
        // The extra entry goes when a listed code is shown.
        select(88);
        QCOMPARE(combo("Combo6")->count(), 14);
    }

    void badInputIsRefusedWithNothingWritten_data() {
        QTest::addColumn<int>("item");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("field");
        QTest::newRow("price over 255") << 3 << "Text14"
                                        << "256"
                                        << "价值/100";
        QTest::newRow("empty icon") << 60 << "Text15"
                                    << ""
                                    << "道具图标";
        QTest::newRow("ability letters") << 3 << "Text16"
                                         << "abc"
                                         << "武具/防具初始能力";
        QTest::newRow("negative effect value") << 90 << "Text17"
                                               << "-1"
                                               << "特殊效果值";
        QTest::newRow("growth too big") << 40 << "Text18"
                                        << "1000"
                                        << "升级成长值";
    }
    void badInputIsRefusedWithNothingWritten() {
        QFETCH(int, item);
        QFETCH(QString, control);
        QFETCH(QString, text);
        QFETCH(QString, field);
        open();
        select(item);
        box("Text13")->setText(QStringLiteral("改名"));
        h.box(control)->setText(text);
        save();
        QCOMPARE(h.prompts.messages.size(), 1);
        QVERIFY2(h.prompts.lastMessage().startsWith(field + u'：'),
                 qPrintable(h.prompts.lastMessage()));
        QCOMPARE(h.written(), h.original);
        QCOMPARE(h.list(QStringLiteral("List3"))->item(item)->text(), names::items()[item]);
    }

    void restoreReadsTheFileAgain() {
        open();
        select(10);
        const QString shown = box("Text14")->text();
        box("Text14")->setText(QStringLiteral("1"));
        h.click(QStringLiteral("Command5"));
        QCOMPARE(box("Text14")->text(), shown);
        QCOMPARE(h.written(), h.original);
    }
};

LCJ_TEST_MAIN(ItemWindowTest)
#include "itemwindow_test.moc"
