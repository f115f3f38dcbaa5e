// The scenario editor for a day of modding: names beside number boxes,
// numbered and filtered reference lists, double-clicked numbers, keys.
#include "common/bytes.h"
#include "common/nametables.h"
#include "common/ui/listfilter.h"
#include "common/ui/numbergutter.h"
#include "junbendriver.h"
#include "support/testmain.h"

#include <QApplication>

using namespace lcj;

namespace {

const QString S01 = QStringLiteral("S_01.eex");

} // namespace

class JunbenHelpsTest : public QObject, public test::JunbenDriver {
    Q_OBJECT

    qint64 enemyAt(int k) { return headerPos(S01) + 1090 + 56 * k; }
    QString nameBeside(const char* box) {
        return find<QLabel>(QString::fromLatin1(box) + QStringLiteral("Name"))->text();
    }

private slots:
    void init() { start(); }
    void cleanup() { stop(); }

    // Each character box names its number as the user types: from the fixed
    // table before a data file is read, from the data file after.
    void characterBoxesNameTheirNumber_data() {
        QTest::addColumn<QString>("box");
        for (const char* box : {"Text9", "Text14", "Text22", "Text25", "Text5", "Text6", "Text21",
                                "Text32", "Text36", "Text37", "Text41"})
            QTest::newRow(box) << QString::fromLatin1(box);
    }
    void characterBoxesNameTheirNumber() {
        QFETCH(QString, box);
        form->resize(form->minimumSizeHint().expandedTo(form->sizeHint()));
        QCoreApplication::processEvents();
        QLineEdit* edit = this->box(box);
        auto* label = find<QLabel>(box + QStringLiteral("Name"));
        QTest::keyClicks(edit, QStringLiteral("13"));
        QCOMPARE(label->text(), names::characters()[13]);
        readData();
        QCOMPARE(label->text(), sample::characterNames()[13].trimmed());
        QTest::keyClicks(edit, QStringLiteral("7"));
        QCOMPARE(label->text(), sample::characterNames()[137].trimmed());
        edit->setText(QStringLiteral("65535"));
        QCOMPARE(label->text(), QStringLiteral("无"));
        edit->setText(QStringLiteral("600"));
        QCOMPARE(label->text(), QStringLiteral("（未知）"));
        edit->setText(QStringLiteral("abc"));
        QCOMPARE(label->text(), QString());
        // The label stands right of its box, on its row.
        const QPoint boxAt = edit->mapTo(form.get(), QPoint());
        const QPoint labelAt = label->mapTo(form.get(), QPoint());
        QVERIFY(labelAt.x() >= boxAt.x() + edit->width());
        QVERIFY(qAbs(labelAt.y() + label->height() / 2 - boxAt.y() - edit->height() / 2) < 8);
    }

    void spoilBoxesNameTheirItem() {
        readData();
        loadSample(S01);
        list("List6")->setCurrentRow(1); // items 8, FF FF, 61
        QCOMPARE(nameBeside("Text15"), list("List2")->item(8)->text());
        QCOMPARE(nameBeside("Text16"), QStringLiteral("无")); // 255
        type("Text17", QStringLiteral("104"));
        QCOMPARE(nameBeside("Text17"), QStringLiteral("（未知）"));
        type("Text17", QStringLiteral("105"));
        QCOMPARE(nameBeside("Text17"), QStringLiteral("无"));
    }

    // An item number stored but past the item list is named by its number in
    // the spoils list, not shown as none.
    void spoilsListNamesAnUnknownItem() {
        readData();
        const QString path = loadSample(S01);
        list("List6")->setCurrentRow(1);
        type("Text16", QStringLiteral("104"));
        click("Command7");
        QCOMPARE(texts("List5")[1], QStringLiteral("（未知：104）"));
        list("List6")->setCurrentRow(0);
        list("List6")->setCurrentRow(1);
        QCOMPARE(texts("List5")[1], QStringLiteral("（未知：104）"));
        QCOMPARE(box("Text16")->text(), QStringLiteral("104"));
        action("ssave")->trigger();
        noMessages();
        const qint64 s = form->document().scan().spoilsPositions[1];
        QCOMPARE(test::readFile(path).mid(s + 18, 2), QByteArray::fromHex("6800"));
    }

    // A double-clicked person goes into the character box that last had the
    // focus; an item box takes items only.
    void doubleClickPutsTheNumberIntoTheLastBox() {
        readData();
        loadSample(S01);
        list("List4")->setCurrentRow(2);
        list("List6")->setCurrentRow(1);
        QApplication::setActiveWindow(form.get());
        box("Text14")->setFocus();
        QListWidget* people = list("List1");
        // The first click selects the entry, which renames the list's caption.
        people->scrollToItem(people->item(137));
        QTest::mouseClick(people->viewport(), Qt::LeftButton, {},
                          people->visualItemRect(people->item(137)).center());
        QCOMPARE(people->currentRow(), 137);
        QTest::mouseDClick(people->viewport(), Qt::LeftButton, {},
                           people->visualItemRect(people->item(137)).center());
        QCOMPARE(box("Text14")->text(), QStringLiteral("137"));
        QCOMPARE(nameBeside("Text14"), sample::characterNames()[137].trimmed());
        // An item does not go into a character box.
        QListWidget* items = list("List2");
        QTest::mouseDClick(items->viewport(), Qt::LeftButton, {},
                           items->visualItemRect(items->item(3)).center());
        QCOMPARE(box("Text14")->text(), QStringLiteral("137"));
        box("Text17")->setFocus();
        QTest::mouseDClick(items->viewport(), Qt::LeftButton, {},
                           items->visualItemRect(items->item(3)).center());
        QCOMPARE(box("Text17")->text(), QStringLiteral("3"));
        // Nor a person into an item box.
        QTest::mouseDClick(people->viewport(), Qt::LeftButton, {},
                           people->visualItemRect(people->item(137)).center());
        QCOMPARE(box("Text17")->text(), QStringLiteral("3"));
    }

    // Enter confirms the frame, the boxes then show what is stored, Ctrl+S saves.
    void enterConfirmsAndCtrlSSaves() {
        readData();
        const QString path = loadSample(S01);
        const QByteArray before = test::readFile(path);
        QApplication::setActiveWindow(form.get());
        list("List4")->setCurrentRow(2);
        QByteArray expected = before;
        const qint64 r = enemyAt(2);
        type("Text10", QStringLiteral("30.9"));
        QTest::keyClick(box("Text10"), Qt::Key_Return);
        noMessages();
        QCOMPARE(box("Text10")->text(), QStringLiteral("30"));
        QTest::keyClick(box("Text10"), Qt::Key_S, Qt::ControlModifier);
        noMessages();
        setWord(expected, r + 14, 30);
        QCOMPARE(test::readFile(path), expected);
    }

    // What the lists leave out, in their tooltips; a confirm updates them.
    void listsTellWhatTheyLeaveOutInTooltips() {
        readData();
        loadSample(S01);
        const QString item8 = list("List2")->item(8)->text();
        const QString item61 = list("List2")->item(61)->text();
        QCOMPARE(list("List6")->item(1)->toolTip(),
                 QStringLiteral("第一战利品：8 %1\n第二战利品：无\n第三战利品：61 %2")
                     .arg(item8, item61));
        list("List6")->setCurrentRow(1);
        type("Text16", QStringLiteral("7"));
        click("Command7");
        QVERIFY(list("List6")->item(1)->toolTip().contains(QStringLiteral("第二战利品：7 ") +
                                                           list("List2")->item(7)->text()));

        list("List8")->setCurrentRow(0);
        QCOMPARE(list("List8")->item(0)->toolTip(),
                 QStringLiteral("横坐标：%1\n纵坐标：%2\n朝向：%3")
                     .arg(box("Text28")->text(), box("Text29")->text(), box("Text30")->text()));

        list("List4")->setCurrentRow(1); // character 105 at (2, y), level bonus 3
        QCOMPARE(list("List4")->item(1)->toolTip(),
                 QStringLiteral("人物：105 %1\n坐标：(2, %2)\n等级加成：3")
                     .arg(sample::characterNames()[105].trimmed(), box("Text11")->text()));
        type("Text10", QStringLiteral("9"));
        click("Command5");
        QVERIFY(list("List4")->item(1)->toolTip().contains(QStringLiteral("坐标：(9, ")));
    }

    void referenceListsAreNumberedAndFiltered() {
        readData();
        QApplication::setActiveWindow(form.get());
        for (const char* name : {"List1", "List2"}) {
            QListWidget* l = list(name);
            auto* gutter = qobject_cast<NumberGutter*>(l->itemDelegate());
            QVERIFY(gutter);
            QCOMPARE(gutter->numberText(l->model()->index(l->count() - 1, 0)),
                     QString::number(l->count() - 1));
            auto* filter =
                form->findChild<ListFilter*>(QString::fromLatin1(name) + QStringLiteral("Filter"));
            QVERIFY(filter);
            l->setFocus();
            QTest::keyClick(l, Qt::Key_F, Qt::ControlModifier);
            QCOMPARE(QApplication::focusWidget(), filter);
        }
        auto* filter = form->findChild<ListFilter*>(QStringLiteral("List1Filter"));
        list("List1")->setCurrentRow(40);
        QTest::keyClicks(filter, QStringLiteral("45"));
        QVERIFY(!list("List1")->isRowHidden(45) && !list("List1")->isRowHidden(145));
        QVERIFY(list("List1")->isRowHidden(40));
        filter->clear();
        QCOMPARE(list("List1")->currentRow(), 40);
        QVERIFY(!list("List1")->isRowHidden(40));
    }
};

LCJ_TEST_MAIN(JunbenHelpsTest)
#include "junbenhelps_test.moc"
