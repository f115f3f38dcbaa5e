#include "dformharness.h"
#include "support/testmain.h"

#include <QGroupBox>
#include <QLabel>

using namespace lcj;

namespace {

constexpr qint64 blockAt(int b) {
    return 19381 + 36 * b;
}

QList<int> selectedRows(const QListWidget* list) {
    QList<int> rows;
    for (int r = 0; r < list->count(); ++r)
        if (list->item(r)->isSelected())
            rows.append(r);
    return rows;
}

} // namespace

class ShopWindowTest : public QObject {
    Q_OBJECT

    DFormHarness h;

    QListWidget* equipment() { return h.list(QStringLiteral("List5")); }
    QListWidget* goods() { return h.list(QStringLiteral("List6")); }
    void open(const QByteArray& bytes = sample::dataFile()) {
        h.openSection(bytes, QStringLiteral("shoppre"));
    }
    void selectBattle(int b) { h.list(QStringLiteral("List4"))->setCurrentRow(b); }
    void save() { h.click(QStringLiteral("Command6")); }
    // A click on entry `row` ticks or clears it, as the user does.
    void tick(QListWidget* list, int row) {
        list->scrollToItem(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(row)).center());
    }
    void clearTicks(QListWidget* list) {
        for (int row : selectedRows(list))
            tick(list, row);
    }
    QList<int> stored(int block, int first) const {
        QList<int> items;
        for (int s = first; s < first + 16; ++s)
            if (quint8(h.original[blockAt(block) + s]) != 255)
                items.append(quint8(h.original[blockAt(block) + s]));
        return items;
    }
    static QByteArray slots16(const QList<int>& items) {
        QByteArray b(16, '\xFF');
        for (int i = 0; i < items.size(); ++i)
            b[i] = char(items[i]);
        return b;
    }

private slots:
    void init() { h.start(); }
    void cleanup() { h.stop(); }

    void opensOnTheFirstBattle() {
        open();
        QVERIFY(h.find<QGroupBox>(QStringLiteral("Frame3"))->isVisible());
        QCOMPARE(h.list(QStringLiteral("List4"))->count(), 58);
        QCOMPARE(h.list(QStringLiteral("List4"))->item(7)->text(), QStringLiteral("濮阳之战  贰"));
        QCOMPARE(equipment()->count(), 87);
        QCOMPARE(goods()->count(), 17);
        QCOMPARE(goods()->item(0)->text(), QStringLiteral("恢复用豆"));
        QCOMPARE(h.find<QLabel>(QStringLiteral("Label112"))->text(),
                 QStringLiteral("关卡对应的文件剧本号0"));
        QCOMPARE(selectedRows(equipment()), stored(0, 3));
        QList<int> itemRows;
        for (int item : stored(0, 19))
            itemRows.append(item - 87);
        QCOMPARE(selectedRows(goods()), itemRows);
        QCOMPARE(equipment()->currentRow(), -1);
        QCOMPARE(goods()->currentRow(), -1);
    }

    void ticksAreStoredSortedAndPadded() {
        open();
        selectBattle(12);
        QCOMPARE(h.find<QLabel>(QStringLiteral("Label112"))->text(),
                 QStringLiteral("关卡对应的文件剧本号12"));
        clearTicks(equipment());
        tick(equipment(), 40);
        tick(equipment(), 3);
        tick(equipment(), 12);
        clearTicks(goods());
        tick(goods(), 16);
        tick(goods(), 0);
        save();
        QVERIFY2(h.prompts.messages.isEmpty(), qPrintable(h.prompts.lastMessage()));
        const QByteArray expected = slots16({3, 12, 40}) + slots16({87, 103});
        QCOMPARE(h.written(), h.originalWith(blockAt(12) + 3, expected));
    }

    void nothingTickedEmptiesEverySlot() {
        open();
        selectBattle(3);
        clearTicks(equipment());
        clearTicks(goods());
        save();
        QCOMPARE(h.written(), h.originalWith(blockAt(3) + 3, QByteArray(32, '\xFF')));
    }

    void sixteenFitSeventeenAreRefused_data() {
        QTest::addColumn<int>("equipmentCount");
        QTest::addColumn<int>("goodsCount");
        QTest::addColumn<bool>("saved");
        QTest::newRow("16 and 16") << 16 << 16 << true;
        QTest::newRow("17 equipment") << 17 << 2 << false;
        QTest::newRow("17 goods") << 0 << 17 << false;
    }
    void sixteenFitSeventeenAreRefused() {
        QFETCH(int, equipmentCount);
        QFETCH(int, goodsCount);
        QFETCH(bool, saved);
        open();
        selectBattle(5);
        clearTicks(equipment());
        clearTicks(goods());
        QList<int> equipmentItems, goodsItems;
        for (int i = 0; i < equipmentCount; ++i) {
            tick(equipment(), 86 - 5 * i);
            equipmentItems.prepend(86 - 5 * i);
        }
        for (int i = 0; i < goodsCount; ++i) {
            tick(goods(), i);
            goodsItems.append(87 + i);
        }
        save();
        if (saved) {
            QVERIFY(h.prompts.messages.isEmpty());
            QCOMPARE(h.written(),
                     h.originalWith(blockAt(5) + 3, slots16(equipmentItems) + slots16(goodsItems)));
        } else {
            QCOMPARE(h.prompts.messages,
                     QStringList{QStringLiteral("每关商店所卖物品的最大数为16！")});
            QCOMPARE(h.written(), h.original);
            // The ticks stay as they were.
            QCOMPARE(selectedRows(equipment()).size(), equipmentCount);
            QCOMPARE(selectedRows(goods()).size(), goodsCount);
        }
    }

    void lastBlockWritesTroopTypeZerosFirstByteBackAsRead() {
        open();
        selectBattle(57);
        clearTicks(equipment());
        tick(equipment(), 0);
        save();
        QVERIFY(h.prompts.messages.isEmpty());
        const QByteArray written = h.written();
        QCOMPARE(written.mid(blockAt(57) + 3, 16), slots16({0}));
        QCOMPARE(written.mid(21468, 27), h.original.mid(21468, 27));
        QCOMPARE(written.mid(blockAt(57) + 19), h.original.mid(blockAt(57) + 19));
        QCOMPARE(written.left(blockAt(57) + 3), h.original.left(blockAt(57) + 3));
    }

    void slotOfTheOtherShopIsShownAndKept() {
        QByteArray bytes = sample::dataFile();
        // Block 2: item 95 in the last equipment slot, item 4 in the last item slot.
        bytes[blockAt(2) + 18] = char(95);
        bytes[blockAt(2) + 34] = char(4);
        open(bytes);
        selectBattle(2);
        QCOMPARE(equipment()->count(), 88);
        QCOMPARE(equipment()->item(87)->text(), QStringLiteral("（未知：95）"));
        QVERIFY(equipment()->item(87)->isSelected());
        QCOMPARE(goods()->item(17)->text(), QStringLiteral("（未知：4）"));
        save();
        QVERIFY(h.prompts.messages.isEmpty());
        // The ticks show what was stored, each unlisted item once.
        QCOMPARE(equipment()->count(), 88);
        QVERIFY(equipment()->item(87)->isSelected());
        QCOMPARE(goods()->count(), 18);
        QList<int> goodsItems = stored(2, 19);
        goodsItems.removeLast();
        goodsItems.prepend(4);
        // Packed to the front like every other slot, the value kept.
        QCOMPARE(h.written().mid(blockAt(2) + 3, 16), slots16(stored(2, 3)));
        QCOMPARE(stored(2, 3).last(), 95);
        QCOMPARE(h.written().mid(blockAt(2) + 19, 16), slots16(goodsItems));
        // Another battle drops the extra entries.
        selectBattle(1);
        QCOMPARE(equipment()->count(), 87);
        QCOMPARE(goods()->count(), 17);
    }

    void restoreBringsBackTheStoredTicks() {
        open();
        selectBattle(9);
        const QList<int> before = selectedRows(equipment());
        clearTicks(equipment());
        tick(equipment(), 80);
        h.click(QStringLiteral("Command7"));
        QCOMPARE(selectedRows(equipment()), before);
        QCOMPARE(h.find<QLabel>(QStringLiteral("Label112"))->text(),
                 QStringLiteral("关卡对应的文件剧本号9"));
        QCOMPARE(h.written(), h.original);
    }

    void reopeningTheSectionReadsBlockZeroAgain() {
        open();
        clearTicks(equipment());
        // Leaving the section with the ticks changed asks; the edits are dropped.
        h.prompts.saveChoices.enqueue(Prompts::SaveChoice::Discard);
        h.trigger(QStringLiteral("daopre"));
        QCOMPARE(h.prompts.questions.size(), 1);
        h.trigger(QStringLiteral("shoppre"));
        QCOMPARE(selectedRows(equipment()), stored(0, 3));
        QCOMPARE(h.prompts.questions.size(), 1);
        QCOMPARE(h.written(), h.original);
    }
};

LCJ_TEST_MAIN(ShopWindowTest)
#include "shopwindow_test.moc"
