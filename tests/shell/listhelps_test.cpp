// Number gutters, filter boxes and keys in the record editors, driven as a
// user drives them; every save is checked byte by byte on disk.
#include "common/gbk.h"
#include "common/nametables.h"
#include "common/ui/listfilter.h"
#include "common/ui/numbergutter.h"
#include "datafile/datafile.h"
#include "datafile/dformharness.h"
#include "messages/ui/imsg.h"
#include "programfile/ui/mainfile.h"
#include "samplegen/samplegame.h"
#include "savefile/ui/record.h"
#include "support/editorharness.h"
#include "support/testmain.h"

#include <QApplication>
#include <QGroupBox>
#include <QMenu>
#include <QTableView>
#include <QtTest>

using namespace lcj;

namespace {

constexpr qint64 characterTable = 396;   // data.e5: 512 records of 32 bytes
constexpr qint64 troopTypeTable = 21468; // 53 records of 27 bytes
constexpr qint64 saveCharacters = 5340;  // save game: 174 records of 32 bytes

QList<int> shownRows(const QListWidget* list) {
    QList<int> rows;
    for (int row = 0; row < list->count(); ++row)
        if (!list->isRowHidden(row))
            rows << row;
    return rows;
}

QStringList texts(const QListWidget* list) {
    QStringList out;
    for (int row = 0; row < list->count(); ++row)
        out << list->item(row)->text();
    return out;
}

// The list shows first + r before row r, and the rows' own texts are `expected`.
void checkGutter(QListWidget* list, int first, const QStringList& expected) {
    auto* gutter = qobject_cast<NumberGutter*>(list->itemDelegate());
    QVERIFY2(gutter, qPrintable(list->objectName()));
    QCOMPARE(texts(list).mid(0, expected.size()), expected);
    for (int row : {0, 1, int(expected.size()) - 1})
        QCOMPARE(gutter->numberText(list->model()->index(row, 0)), QString::number(first + row));
}

// The character names as the data file holds them.
QStringList characterNames(const QString& dataFile) {
    return *data::DataFile(dataFile).readNames(data::characters);
}

ListFilter* filterOf(QWidget* window, const QString& listName) {
    return window->findChild<ListFilter*>(listName + QStringLiteral("Filter"));
}

} // namespace

class ListHelpsTest : public QObject {
    Q_OBJECT

    DFormHarness d;

    QListWidget* sectionList(const char* frame, const char* list) {
        return d.find<QGroupBox>(frame)->findChild<QListWidget*>(QString::fromLatin1(list));
    }

private slots:
    void init() { d.start(); }
    void cleanup() { d.stop(); }

    void dataFileListsShowRecordNumbers() {
        const QByteArray file = sample::dataFile();
        d.openSection(file, QStringLiteral("renpre"));
        checkGutter(sectionList("Frame1", "List1"), 0, characterNames(d.path));
        checkGutter(sectionList("Frame1", "List2"), 0, names::troopTypes());
        d.trigger("shoppre");
        checkGutter(sectionList("Frame3", "List4"), 0, names::battles());
        // The item shop lists items from 87 on.
        QListWidget* itemShop = sectionList("Frame3", "List6");
        auto* gutter = qobject_cast<NumberGutter*>(itemShop->itemDelegate());
        QVERIFY(gutter);
        QCOMPARE(gutter->numberText(itemShop->model()->index(0, 0)), QStringLiteral("87"));
        d.trigger("chepre");
        checkGutter(sectionList("Frame7", "List9"), 0, texts(sectionList("Frame7", "List9")));
        QCOMPARE(sectionList("Frame7", "List9")->count(), 68);
    }

    void anEntryForAnUnlistedCodeHasNoNumber() {
        // Shop 0's first equipment slot holds 200, a code no item has.
        QByteArray file = sample::dataFile();
        file[19381 + 3] = char(200);
        d.openSection(file, QStringLiteral("shoppre"));
        QListWidget* shop = sectionList("Frame3", "List5");
        QCOMPARE(shop->item(shop->count() - 1)->text(), QStringLiteral("（未知：200）"));
        auto* gutter = qobject_cast<NumberGutter*>(shop->itemDelegate());
        QCOMPARE(gutter->numberText(shop->model()->index(shop->count() - 1, 0)), QString());
        QCOMPARE(gutter->numberText(shop->model()->index(shop->count() - 2, 0)),
                 QString::number(shop->count() - 2));
    }

    // A battle's entry names its shops' items: exactly the entries the shop
    // lists select for it, and a save updates it.
    void shopTooltipNamesItsItems() {
        d.openSection(sample::dataFile(), QStringLiteral("shoppre"));
        QListWidget* battles = sectionList("Frame3", "List4");
        const auto chosen = [this](const char* name) {
            QStringList out;
            for (QListWidgetItem* item : sectionList("Frame3", name)->selectedItems())
                out << item->text();
            return out.isEmpty() ? QStringLiteral("无") : out.join(QStringLiteral("、"));
        };
        for (int row : {0, 5, 57}) {
            battles->setCurrentRow(row);
            QCOMPARE(
                battles->item(row)->toolTip(),
                QStringLiteral("装备店：%1\n道具店：%2").arg(chosen("List5"), chosen("List6")));
        }
        QListWidget* itemShop = sectionList("Frame3", "List6");
        for (int row = 0; row < itemShop->count(); ++row)
            itemShop->item(row)->setSelected(row == 2);
        d.click("Command6");
        d.noMessages();
        QVERIFY(battles->item(57)->toolTip().endsWith(QStringLiteral("道具店：") +
                                                      itemShop->item(2)->text()));
    }

    void theGutterIsPaintedBeforeTheText() {
        d.openSection(sample::dataFile(), QStringLiteral("renpre"));
        QListWidget* list = sectionList("Frame1", "List1");
        list->setCurrentRow(-1);
        list->scrollToTop();
        const QRect first = list->visualItemRect(list->item(0));
        const QImage withGutter = list->viewport()->grab().toImage();
        auto* gutter = list->itemDelegate();
        auto plain = std::make_unique<QStyledItemDelegate>();
        list->setItemDelegate(plain.get());
        const QImage without = list->viewport()->grab().toImage();
        list->setItemDelegate(gutter);
        // The name moved right, and grey number pixels fill its old place.
        int greyPixels = 0;
        bool differs = false;
        for (int y = first.top(); y <= first.bottom(); ++y)
            for (int x = first.left(); x < first.left() + 40; ++x) {
                const QColor c = withGutter.pixelColor(x, y);
                differs = differs || c != without.pixelColor(x, y);
                if (c.red() == c.green() && c.green() == c.blue() && c.red() > 60 && c.red() < 200)
                    ++greyPixels;
            }
        QVERIFY(differs);
        QVERIFY(greyPixels > 0);
    }

    // The character list shows its widest name whole: a name stored wider than
    // the rest, after a file with other names was shown and again after it,
    // and a name typed and saved.
    void theCharacterListFitsItsWidestName_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("wider"); // than the sample's widest name
        QTest::addRow("six Chinese characters") << QStringLiteral("龘龘龘龘龘龘") << false;
        QTest::addRow("twelve wide Latin letters") << QStringLiteral("WWWWWWWWWWWW") << true;
        QTest::addRow("Chinese and Latin") << QStringLiteral("W龘W龘W龘W龘") << true;
    }
    void theCharacterListFitsItsWidestName() {
        QFETCH(QString, name);
        QFETCH(bool, wider);
        const auto field = gbk::encodeField(name, data::characters.nameWidth);
        QVERIFY(field.ok());
        const QByteArray plain = sample::dataFile();
        QByteArray wide = plain;
        wide.replace(characterTable + 7 * data::characters.recordSize, field->size(), *field);
        const auto fits = [this](const char* when) {
            QListWidget* list = sectionList("Frame1", "List1");
            QApplication::processEvents();
            QVERIFY2(list->sizeHintForColumn(0) <= list->viewport()->width(),
                     qPrintable(QStringLiteral("%1: needs %2, shows %3")
                                    .arg(QString::fromLatin1(when))
                                    .arg(list->sizeHintForColumn(0))
                                    .arg(list->viewport()->width())));
        };
        d.openSection(plain, QStringLiteral("renpre"));
        fits("the sample's names");
        const int plainWidth = sectionList("Frame1", "List1")->minimumWidth();
        d.openSection(wide, QStringLiteral("renpre"));
        QCOMPARE(sectionList("Frame1", "List1")->item(7)->text(), name);
        fits("the wide name stored");
        QCOMPARE(sectionList("Frame1", "List1")->minimumWidth() > plainWidth, wider);
        d.openSection(plain, QStringLiteral("renpre"));
        fits("the sample's names again");
        sectionList("Frame1", "List1")->setCurrentRow(3);
        // Typed as an input method gives Chinese text: one committed string,
        // within the six characters the box takes.
        const QString typed = name.left(6);
        auto* box = d.find<QLineEdit>("Text1");
        box->clear();
        QInputMethodEvent commit;
        commit.setCommitString(typed);
        QApplication::sendEvent(box, &commit);
        d.click("Command1");
        d.noMessages();
        QCOMPARE(sectionList("Frame1", "List1")->item(3)->text(), typed);
        fits("the name typed and saved");
        QCOMPARE(d.written(), d.originalWith(characterTable + 3 * data::characters.recordSize,
                                             *gbk::encodeField(typed, data::characters.nameWidth)));
    }

    // The characters' table shown with a cell selected loads no bold face of
    // the CJK font (a font file of its own, megabytes of memory): no caption
    // is shown bold. A process's mapped font files are in /proc/self/maps.
    void theTableLoadsNoBoldChineseFace() {
        QFile maps(QStringLiteral("/proc/self/maps"));
        if (!maps.exists())
            QSKIP("no /proc/self/maps here");
        d.openSection(sample::dataFile(), QStringLiteral("renpre"));
        d.trigger("tableview");
        auto* table = d.form->findChild<QTableView*>(QStringLiteral("table"));
        QVERIFY(table);
        table->setCurrentIndex(table->model()->index(2, 3));
        d.form->grab();
        QVERIFY(maps.open(QIODevice::ReadOnly));
        QByteArrayList bold;
        for (const QByteArray& line : maps.readAll().split('\n'))
            if (line.contains("CJK-Bold") || line.contains("msyhbd"))
                bold << line;
        QVERIFY2(bold.isEmpty(), bold.join('\n').constData());
    }

    // Typing keeps the entries whose number or name holds the text; the rows
    // keep their records, the selection stays, and a save writes the record
    // the selected entry stands for.
    void filterKeepsRecordsAndSelection() {
        const QByteArray file = sample::dataFile();
        d.openSection(file, QStringLiteral("renpre"));
        QListWidget* list = sectionList("Frame1", "List1");
        ListFilter* filter = filterOf(d.form.get(), QStringLiteral("List1"));
        QVERIFY(filter);
        QVERIFY(filter->isVisible());
        QVERIFY(filter->mapTo(d.form.get(), QPoint()).y() <
                list->mapTo(d.form.get(), QPoint()).y());
        list->setCurrentRow(5);
        QTest::keyClicks(filter, QStringLiteral("137"));
        const QStringList names = characterNames(d.path);
        const QList<int> shown = shownRows(list);
        QVERIFY(shown.contains(137));
        QVERIFY(!shown.contains(5));
        for (int row : shown)
            QVERIFY(QString::number(row).contains(u"137") || names[row].contains(u"137"));
        QCOMPARE(list->currentRow(), 5); // hidden, still selected

        // By name: the name of character 300 keeps it in view.
        filter->clear();
        filter->insert(names[300]); // as an input method types it
        QVERIFY(shownRows(list).contains(300));
        QVERIFY(shownRows(list).size() < 512);
        filter->clear();
        QTest::keyClicks(filter, QStringLiteral("137"));

        list->setCurrentRow(137);
        QVERIFY(d.find<QGroupBox>("Frame1")->title().endsWith(u"137"));
        d.type("Text4", QStringLiteral("80"));
        d.click("Command1");
        d.noMessages();
        QByteArray expected = file;
        expected[characterTable + 137 * 32 + 18] = char(40); // halved
        QCOMPARE(d.written(), expected);
        // The saved entry is put back in its row: the filter still holds.
        QCOMPARE(shownRows(list), shown);
        QCOMPARE(list->currentRow(), 137);

        filter->clear();
        QCOMPARE(shownRows(list).size(), 512);
        QCOMPARE(list->currentRow(), 137);
        QCOMPARE(list->item(137)->text(), names[137]);
    }

    void ctrlFGoesToTheFilterOfTheList() {
        d.openSection(sample::dataFile(), QStringLiteral("daopre"));
        QApplication::setActiveWindow(d.form.get());
        QListWidget* items = sectionList("Frame2", "List3");
        items->setFocus();
        QTest::keyClick(items, Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(QApplication::focusWidget(), filterOf(d.form.get(), QStringLiteral("List3")));
        filterOf(d.form.get(), QStringLiteral("List3"))->insert(QStringLiteral("剑"));
        const QList<int> shown = shownRows(items);
        QVERIFY(!shown.isEmpty() && shown.size() < 104);
        for (int row : shown)
            QVERIFY(items->item(row)->text().contains(u"剑") ||
                    QString::number(row).contains(u"剑"));
    }

    // Tab goes from the filter box into its list and on into the record's boxes.
    void tabGoesFromTheFilterToItsListAndOn() {
        d.openSection(sample::dataFile(), QStringLiteral("renpre"));
        QApplication::setActiveWindow(d.form.get());
        ListFilter* filter = filterOf(d.form.get(), QStringLiteral("List1"));
        filter->setFocus();
        QTest::keyClick(filter, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), sectionList("Frame1", "List1"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), d.box("Text1"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), filter);
    }

    void enterInABoxSaves() {
        const QByteArray file = sample::dataFile();
        d.openSection(file, QStringLiteral("renpre"));
        sectionList("Frame1", "List1")->setCurrentRow(3);
        d.type("Text4", QStringLiteral("90"));
        QTest::keyClick(d.box("Text4"), Qt::Key_Return);
        d.noMessages();
        QByteArray expected = file;
        expected[characterTable + 3 * 32 + 18] = char(45);
        QCOMPARE(d.written(), expected);
    }

    // Ctrl+S saves the section shown; the boxes then show what was stored.
    void ctrlSSavesAndTheBoxShowsTheStoredValue() {
        const QByteArray file = sample::dataFile();
        d.openSection(file, QStringLiteral("binpre"));
        QApplication::setActiveWindow(d.form.get());
        sectionList("Frame5", "List8")->setCurrentRow(2);
        d.type("Text21", QStringLiteral("254.5"));
        QTest::keyClick(d.box("Text21"), Qt::Key_S, Qt::ControlModifier);
        d.noMessages();
        QByteArray expected = file;
        expected[troopTypeTable + 2 * 27 + 2] = char(254);
        QCOMPARE(d.written(), expected);
        QCOMPARE(d.box("Text21")->text(), QStringLiteral("254"));
    }

    void aRefusedValueWithEnterWritesNothing() {
        const QByteArray file = sample::dataFile();
        d.openSection(file, QStringLiteral("binpre"));
        d.type("Text21", QStringLiteral("256"));
        QTest::keyClick(d.box("Text21"), Qt::Key_Enter);
        QCOMPARE(d.prompts.messages.size(), 1);
        QCOMPARE(d.written(), file);
    }
};

// The region editors: a gutter and a filter over their long lists, Enter on
// 确定, Ctrl+S on 保存.
class RegionListHelpsTest : public QObject {
    Q_OBJECT

private slots:
    void saveFileEditor() {
        test::EditorHarness<save::Record> r;
        r.start();
        checkGutter(r.list("List1"), 0, names::characters());
        checkGutter(r.list("List2"), 0, names::troopTypes());
        checkGutter(r.list("List3"), 87, names::consumables());
        r.open(QStringLiteral("Sv01d.e5s"), sample::saveGame(), "fileopen");
        QApplication::setActiveWindow(r.form.get());
        ListFilter* filter = filterOf(r.form.get(), QStringLiteral("List1"));
        QVERIFY(filter);
        QTest::keyClicks(filter, QStringLiteral("12"));
        QVERIFY(r.list("List1")->isRowHidden(5));
        r.list("List1")->setCurrentRow(112);
        r.type("Text3", QStringLiteral("99.7"));
        QTest::keyClick(r.box("Text3"), Qt::Key_Return); // 确定
        QCOMPARE(r.box("Text3")->text(), QStringLiteral("99"));
        QCOMPARE(r.written(), r.original); // nothing on disk before 保存
        QTest::keyClick(r.box("Text3"), Qt::Key_S, Qt::ControlModifier);
        r.noMessages();
        QByteArray expected = r.original;
        expected[saveCharacters + 112 * 32 + 4] = char(99);
        QCOMPARE(r.written(), expected);
        r.stop();
    }

    void messageFileEditor() {
        test::EditorHarness<imsg::Imsg> m;
        m.start();
        m.open(QStringLiteral("Imsg.e5"), sample::messageFile(), "fileopen");
        m.trigger("liezhuan");
        checkGutter(m.list("List1"), 0, names::characters());
        // Only the shown category's filter is shown.
        QVERIFY(filterOf(m.form.get(), QStringLiteral("List1")));
        QVERIFY(filterOf(m.form.get(), QStringLiteral("List3")));
        QVERIFY(filterOf(m.form.get(), QStringLiteral("List5")));
        QVERIFY(filterOf(m.form.get(), QStringLiteral("List1"))->isVisible());
        QVERIFY(!filterOf(m.form.get(), QStringLiteral("List3"))->isVisible());
        m.trigger("zhiming");
        QVERIFY(!filterOf(m.form.get(), QStringLiteral("List1"))->isVisible());
        QVERIFY(filterOf(m.form.get(), QStringLiteral("List5"))->isVisible());
        auto* gutter = qobject_cast<NumberGutter*>(m.list("List5")->itemDelegate());
        QVERIFY(gutter);
        QCOMPARE(gutter->numberText(m.list("List5")->model()->index(98, 0)), QStringLiteral("98"));
        m.stop();
    }

    void programFileEditor() {
        test::EditorHarness<exe::MainFile> p;
        p.start();
        checkGutter(p.list("List1"), 0, names::characters());
        p.open(QStringLiteral("Lcj5.exe"), sample::programFile(), "mainopen");
        QApplication::setActiveWindow(p.form.get());
        p.list("List1")->setCurrentRow(7);
        p.combo("Combo1")->setCurrentIndex(30);
        p.click("Command1");
        QTest::keyClick(p.list("List1"), Qt::Key_S, Qt::ControlModifier);
        p.noMessages();
        QByteArray expected = p.original;
        expected[24793 + 7] = char(30);
        QCOMPARE(p.written(), expected);
        p.stop();
    }
};

LCJ_TEST_MAIN(ListHelpsTest)
LCJ_TEST_MAIN(RegionListHelpsTest)

#include "listhelps_test.moc"
