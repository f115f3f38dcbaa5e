#include "junbendriver.h"
#include "support/testmain.h"

#include <QMouseEvent>

using namespace lcj;

namespace {

const QString S01 = QStringLiteral("S_01.eex");

void doubleClick(QWidget* w) {
    QTest::mouseDClick(w, Qt::LeftButton);
}

// Byte positions where two files differ.
QList<qint64> differences(const QByteArray& a, const QByteArray& b) {
    QList<qint64> out;
    for (qint64 i = 0; i < std::min(a.size(), b.size()); ++i)
        if (a[i] != b[i])
            out << i;
    return out;
}

} // namespace

class JunbenFramesTest : public QObject, public test::JunbenDriver {
    Q_OBJECT

    qint64 enemyAt(int k) { return headerPos(S01) + 1090 + 56 * k; }
    qint64 allyAt(int k) { return headerPos(S01) + 48 + 52 * k; }

private slots:
    void init() {
        start();
        readData();
    }
    void cleanup() { stop(); }

    void enemySlotShowsItsFields() {
        loadSample(S01);
        list("List4")->setCurrentRow(1);
        QVERIFY(enabled("Command5"));
        QCOMPARE(box("Text14")->text(), QStringLiteral("105"));
        QCOMPARE(box("Text12")->text(), QStringLiteral("3"));
        QCOMPARE(box("Text10")->text(), QStringLiteral("2"));
        QCOMPARE(box("Text13")->text(), QStringLiteral("1"));
        QCOMPARE(box("Text19")->text(), QStringLiteral("1"));
        QVERIFY(option("Option2")->isChecked());
        QCOMPARE(list("List1")->currentRow(), 105);
        QVERIFY(find<QLabel>(QStringLiteral("Label10"))->text().endsWith(QStringLiteral(":105")));
        // Options from 00 00, FF FF; level bonus 53 shows -3.
        list("List4")->setCurrentRow(0);
        QVERIFY(option("Option1")->isChecked());
        QCOMPARE(box("Text12")->text(), QStringLiteral("65535"));
        list("List4")->setCurrentRow(2);
        QVERIFY(!option("Option1")->isChecked() && !option("Option2")->isChecked());
        QCOMPARE(box("Text12")->text(), QStringLiteral("-3"));
        // An empty slot clears the person list's selection.
        list("List4")->setCurrentRow(60);
        QCOMPARE(box("Text14")->text(), QStringLiteral("65535"));
        QCOMPARE(list("List1")->currentRow(), -1);
    }

    void enemyConfirmWritesTheEntry() {
        QByteArray file = sample::scenarioFile(test::shapeOf(S01));
        for (int high : {27, 31, 39})
            setByte(file, enemyAt(2) + high, 0x07);
        const QString path = load(S01, file);
        const QByteArray before = test::readFile(path);
        list("List4")->setCurrentRow(2);
        type("Text14", QStringLiteral("6"));
        type("Text12", QStringLiteral("-3"));
        type("Text10", QStringLiteral("300"));
        type("Text11", QStringLiteral("4"));
        type("Text13", QStringLiteral("3"));
        type("Text19", QStringLiteral("3"));
        type("Text25", QStringLiteral("12"));
        type("Text26", QStringLiteral("13"));
        type("Text27", QStringLiteral("14"));
        click("Command5");
        QCOMPARE(list("List4")->item(2)->text(), sample::characterNames()[6]);
        action("ssave")->trigger();
        QVERIFY(prompts.messages.isEmpty());
        QByteArray expected = before;
        const qint64 r = enemyAt(2);
        setWord(expected, r + 2, 6);
        setWord(expected, r + 10, 0xFFFF); // neither option
        setWord(expected, r + 14, 300);
        setWord(expected, r + 20, 4);
        setWord(expected, r + 26, 3);
        setWord(expected, r + 30, 53);
        setWord(expected, r + 38, 3);
        setWord(expected, r + 42, 12);
        setWord(expected, r + 46, 13);
        setWord(expected, r + 52, 14);
        QCOMPARE(test::readFile(path), expected);
        // Bytes 27, 31 and 39 held 7 before and are 0 now (setWord above).
        list("List4")->setCurrentRow(2);
        QCOMPARE(box("Text12")->text(), QStringLiteral("-3"));
    }

    void emptySlotAndCharacter600() {
        const QString path = loadSample(S01);
        const QByteArray before = test::readFile(path);
        list("List4")->setCurrentRow(60);
        click("Command5"); // unchanged
        QCOMPARE(list("List4")->item(60)->text(), QStringLiteral("无"));
        list("List4")->setCurrentRow(5);
        type("Text14", QStringLiteral("600"));
        click("Command5");
        // The slot is empty now, and its list entry says so at once.
        QCOMPARE(list("List4")->item(5)->text(), QStringLiteral("无"));
        action("ssave")->trigger();
        const QByteArray after = test::readFile(path);
        QCOMPARE(wordAt(after, enemyAt(60) + 2), quint16(0xFFFF));
        QCOMPARE(wordAt(after, enemyAt(5) + 2), quint16(0xFFFF));
        QCOMPARE(after.size(), before.size());
    }

    void allyConfirmStaysInsideItsEntry() {
        const QString path = loadSample(S01);
        const QByteArray before = test::readFile(path);
        list("List3")->setCurrentRow(19);
        QVERIFY(enabled("Command4") && enabled("Option5") && enabled("Option6"));
        type("Text9", QStringLiteral("9"));
        type("Text7", QStringLiteral("-1"));
        type("Text1", QStringLiteral("65535"));
        type("Text8", QStringLiteral("0"));
        option("Option6")->setChecked(true);
        click("Command4");
        action("ssave")->trigger();
        const QByteArray after = test::readFile(path);
        const qint64 r = allyAt(19);
        for (qint64 i : differences(before, after))
            QVERIFY2(i >= r && i < r + 52, qPrintable(QString::number(i)));
        QCOMPARE(after.mid(r + 26, 2), QByteArray::fromHex("3300"));
        QCOMPARE(after.mid(r + 6, 2), QByteArray::fromHex("0000"));
        QCOMPARE(after.mid(r + 10, 2), QByteArray::fromHex("ffff"));
        QCOMPARE(wordAt(after, r + 2), quint16(9));
        list("List3")->setCurrentRow(19);
        QCOMPARE(box("Text7")->text(), QStringLiteral("-1"));
        QCOMPARE(list("List3")->item(19)->text(), sample::characterNames()[9]);
    }

    void invalidSlotNumbersAreRefused() {
        const QString path = loadSample(S01);
        const QByteArray before = test::readFile(path);
        list("List4")->setCurrentRow(3);
        type("Text12", QStringLiteral("300"));
        click("Command5");
        QVERIFY(prompts.lastMessage().startsWith(QStringLiteral("敌军等级加成")));
        list("List3")->setCurrentRow(3);
        type("Text23", QStringLiteral("abc"));
        click("Command4");
        QVERIFY(prompts.lastMessage().startsWith(QStringLiteral("奔向横坐标")));
        action("ssave")->trigger();
        QCOMPARE(test::readFile(path), before);
    }

    void battleWideConfirmWritesSixBytes() {
        const QString path = loadSample(S01);
        const QByteArray before = test::readFile(path);
        auto* bar = find<QScrollBar>(QStringLiteral("jiacheng"));
        bar->setValue(-7);
        QCOMPARE(box("Text3")->text(), QStringLiteral("-7"));
        type("Text4", QStringLiteral("45"));
        type("Text5", QStringLiteral("600"));
        type("Text6", QStringLiteral("300"));
        click("Command6");
        action("ssave")->trigger();
        const QByteArray after = test::readFile(path);
        const qint64 h = headerPos(S01);
        QCOMPARE(after.mid(h + 14, 1), QByteArray(1, char(45)));
        QCOMPARE(after.mid(h + 20, 1), QByteArray(1, char(57)));
        QCOMPARE(after.mid(h + 28, 2), QByteArray::fromHex("ffff"));
        QCOMPARE(after.mid(h + 36, 2), QByteArray::fromHex("2c01"));
        for (qint64 i : differences(before, after))
            QVERIFY(i == h + 14 || i == h + 20 || i == h + 28 || i == h + 29 || i == h + 36 ||
                    i == h + 37);
        QCOMPARE(box("Text5")->text(), QStringLiteral("65535")); // read back from disk
    }

    void generalsAreLookedUpInThePersonList() {
        loadSample(S01);
        type("Text6", QStringLiteral("12"));
        doubleClick(find<QLabel>(QStringLiteral("Label6")));
        QCOMPARE(list("List1")->currentRow(), 12);
        type("Text5", QStringLiteral("65535"));
        doubleClick(find<QLabel>(QStringLiteral("Label5")));
        QCOMPARE(list("List1")->currentRow(), -1);
        type("Text5", QStringLiteral("512"));
        doubleClick(find<QLabel>(QStringLiteral("Label5")));
        QCOMPARE(list("List1")->currentRow(), -1);
        QVERIFY(prompts.messages.isEmpty());
    }

    void lookingUpBeforeTheDataFileIsRead() {
        stop();
        start(); // a fresh window, no data file read
        doubleClick(find<QLabel>(QStringLiteral("Label5")));
        QCOMPARE(prompts.lastMessage(), QStringLiteral("你还没有读入Data文件数据"));
    }

    void spoilsShowAndStore() {
        const QString path = loadSample(S01);
        QVERIFY(!enabled("Command7"));
        list("List6")->setCurrentRow(1); // items 8, FF FF, 61
        QVERIFY(enabled("Command7"));
        QCOMPARE(texts("List5").size(), 3);
        QCOMPARE(texts("List5")[1], QStringLiteral("无"));
        QCOMPARE(box("Text15")->text(), QStringLiteral("8"));
        QCOMPARE(box("Text16")->text(), QStringLiteral("255"));
        QCOMPARE(box("Text17")->text(), QStringLiteral("61"));
        QCOMPARE(texts("List5")[0], list("List2")->item(8)->text());
        type("Text15", QStringLiteral("105"));
        type("Text16", QStringLiteral("104"));
        type("Text17", QStringLiteral("7"));
        click("Command7");
        QCOMPARE(texts("List5")[0], QStringLiteral("无"));
        QCOMPARE(texts("List5")[2], list("List2")->item(7)->text());
        const qint64 s = form->document().scan().spoilsPositions[1];
        action("ssave")->trigger();
        const QByteArray after = test::readFile(path);
        QCOMPARE(after.mid(s + 10, 2), QByteArray::fromHex("ffff"));
        QCOMPARE(after.mid(s + 18, 2), QByteArray::fromHex("6800"));
        QCOMPARE(after.mid(s + 26, 2), QByteArray::fromHex("0700"));
    }

    void noSpoilsLeaveTheFrameDisabled() {
        loadSample(QStringLiteral("S_04.eex"));
        QCOMPARE(list("List6")->count(), 0);
        QVERIFY(!enabled("Command7"));
    }

    void equipmentShowsCodesAsItems() {
        loadSample(S01);
        list("List9")->setCurrentRow(0); // character 10, codes 2, 0, 0
        QVERIFY(enabled("Command9"));
        QCOMPARE(box("Text21")->text(), QStringLiteral("10"));
        QCOMPARE(combo("Combo1")->currentIndex(), 0);
        QCOMPARE(combo("Combo2")->currentIndex(), 36);
        QCOMPARE(combo("Combo3")->currentIndex(), 51);
        list("List9")->setCurrentRow(2); // weapon none
        QCOMPARE(combo("Combo1")->currentIndex(), 104);
        list("List9")->setCurrentRow(50); // an empty slot
        QCOMPARE(box("Text21")->text(), QStringLiteral("65535"));
        QCOMPARE(combo("Combo3")->currentIndex(), 104);
    }

    void equipmentConfirmAndGrowth() {
        const QString path = loadSample(S01);
        const QByteArray before = test::readFile(path);
        const qint64 q = form->document().scan().armyBlockEnd;
        list("List9")->setCurrentRow(3);
        type("Text21", QStringLiteral("40"));
        combo("Combo1")->setCurrentIndex(5);
        combo("Combo2")->setCurrentIndex(39);
        combo("Combo3")->setCurrentIndex(104);
        click("Command9");
        QCOMPARE(list("List9")->item(3)->text(), sample::characterNames()[40]);
        action("ssave")->trigger();
        QVERIFY(prompts.messages.isEmpty());
        const QByteArray after = test::readFile(path);
        QCOMPARE(after.size(), before.size() + 26);
        QCOMPARE(wordAt(after, q + 21), quint16(2 + 4 * 26));
        QCOMPARE(
            after.mid(q + 23 + 78, 26),
            QByteArray::fromHex("48000200 2800 3b00 0700 4900ffff 3c00 0300 4900ffff 3d00 ffff"));
        QCOMPARE(list("List9")->item(3)->text(), sample::characterNames()[40]);
        QCOMPARE(form->document().scan().equipEntryCount, 4);
    }

    void equipmentRefusalsAndNoCharacter() {
        const QString path = loadSample(S01);
        const QByteArray before = test::readFile(path);
        list("List9")->setCurrentRow(1);
        combo("Combo2")->setCurrentIndex(35);
        click("Command9");
        QVERIFY(prompts.lastMessage().startsWith(QStringLiteral("防具")));
        list("List9")->setCurrentRow(2);
        type("Text21", QStringLiteral("513"));
        click("Command9");
        QCOMPARE(list("List9")->item(2)->text(), QStringLiteral("无"));
        QCOMPARE(prompts.messages.size(), 1);
        action("ssave")->trigger();
        // The third entry is "无" now: the group keeps the first two.
        const QByteArray after = test::readFile(path);
        QCOMPARE(after.size(), before.size() - 26);
    }

    void confirmsWithoutASelectionWriteNothing() {
        loadSample(S01);
        list("List3")->setCurrentRow(0);
        list("List4")->setCurrentRow(0);
        list("List6")->setCurrentRow(0);
        list("List9")->setCurrentRow(0);
        const QString path = loadSample(QStringLiteral("S_03.eex"));
        const QByteArray before = test::readFile(path);
        for (const char* b : {"Command4", "Command5", "Command7", "Command9"})
            click(b);
        QCOMPARE(prompts.messages.size(), 4);
        QVERIFY(!form->isModified());
        action("ssave")->trigger();
        QCOMPARE(test::readFile(path), before);
    }

    void storedCodesPastTheListAreKept() {
        QByteArray file = sample::scenarioFile(test::shapeOf(S01));
        const qint64 q = sample::scenarioHeaderPos(test::shapeOf(S01)) + 5588 + 2 + 5 * 28;
        setByte(file, q + 23 + 16, 70); // armour code 70: item 106
        const QString path = load(S01, file);
        list("List9")->setCurrentRow(0);
        QVERIFY(combo("Combo2")->currentText().contains(QStringLiteral("106")));
        click("Command9");
        action("ssave")->trigger();
        QCOMPARE(test::readFile(path), file);
        list("List9")->setCurrentRow(0);
        combo("Combo2")->setCurrentIndex(104); // "无"
        click("Command9");
        action("ssave")->trigger();
        QCOMPARE(test::readFile(path).mid(q + 23 + 16, 2), QByteArray::fromHex("ffff"));
    }

    void fullRoundTrip() {
        const QString path = loadSample(S01);
        list("List8")->setCurrentRow(4);
        type("Text28", QStringLiteral("31"));
        click("Command1");
        click("Command3");
        list("List3")->setCurrentRow(4);
        type("Text22", QStringLiteral("77"));
        click("Command4");
        list("List4")->setCurrentRow(70);
        type("Text14", QStringLiteral("88"));
        type("Text27", QStringLiteral("99"));
        click("Command5");
        type("Text4", QStringLiteral("17"));
        click("Command6");
        list("List6")->setCurrentRow(2);
        type("Text17", QStringLiteral("11"));
        click("Command7");
        list("List9")->setCurrentRow(3);
        type("Text21", QStringLiteral("123"));
        click("Command9");
        action("ssave")->trigger();
        QVERIFY(prompts.messages.isEmpty());

        // A fresh window reads it all back.
        const QByteArray written = test::readFile(path);
        stop();
        start();
        readData();
        load(S01, written);
        QCOMPARE(list("List8")->count(), 6);
        list("List8")->setCurrentRow(4);
        QCOMPARE(box("Text28")->text(), QStringLiteral("31"));
        list("List3")->setCurrentRow(4);
        QCOMPARE(box("Text22")->text(), QStringLiteral("77"));
        list("List4")->setCurrentRow(70);
        QCOMPARE(box("Text14")->text(), QStringLiteral("88"));
        QCOMPARE(box("Text27")->text(), QStringLiteral("99"));
        QCOMPARE(list("List4")->item(70)->text(), sample::characterNames()[88]);
        QCOMPARE(box("Text4")->text(), QStringLiteral("17"));
        list("List6")->setCurrentRow(2);
        QCOMPARE(box("Text17")->text(), QStringLiteral("11"));
        list("List9")->setCurrentRow(3);
        QCOMPARE(box("Text21")->text(), QStringLiteral("123"));
        QCOMPARE(list("List9")->item(3)->text(), sample::characterNames()[123]);
    }

    void undoAndRedoTheEditsInMemory() {
        const QString path = loadSample(S01);
        const QString caption = QStringLiteral("岚川记S剧本简易修改版 - S_01.eex");
        QCOMPARE(form->windowTitle(), caption);
        QVERIFY(!action("undo")->isEnabled());
        list("List8")->setCurrentRow(0);
        const QString x = box("Text28")->text();
        type("Text28", QStringLiteral("21"));
        click("Command1");
        QCOMPARE(form->windowTitle(), caption + QStringLiteral(" *"));
        click("Command3");
        QCOMPARE(list("List8")->count(), 6);
        QApplication::setActiveWindow(form.get());
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        list("List8")->setFocus();
        QTest::keyClick(list("List8"), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(list("List8")->count(), 5);
        action("undo")->trigger();
        QVERIFY(!action("undo")->isEnabled());
        QCOMPARE(form->windowTitle(), caption);
        list("List8")->setCurrentRow(0);
        QCOMPARE(box("Text28")->text(), x);
        QTest::keyClick(list("List8"), Qt::Key_Y, Qt::ControlModifier);
        action("redo")->trigger();
        QVERIFY(!action("redo")->isEnabled());
        QCOMPARE(list("List8")->count(), 6);
        list("List8")->setCurrentRow(0);
        QCOMPARE(box("Text28")->text(), QStringLiteral("21"));
        action("ssave")->trigger();
        QCOMPARE(form->windowTitle(), caption);
        // A save keeps the steps.
        QVERIFY(action("undo")->isEnabled());
        const QByteArray after = test::readFile(path);
        QCOMPARE(after.size(), sample::scenarioFile(test::shapeOf(S01)).size() + 28);
        QCOMPARE(quint8(after[armyStart(S01) + 2 + 10]), quint8(21));
    }

    void unsavedEditsAreNotDroppedWithoutAsking() {
        loadSample(S01);
        click("Command3");
        // Loading another scenario: "取消" keeps everything, nothing is opened.
        prompts.saveChoices.enqueue(Prompts::SaveChoice::Cancel);
        prompts.openAnswers.enqueue(
            dir->write(QStringLiteral("S_03.eex"),
                       sample::scenarioFile(test::shapeOf(QStringLiteral("S_03.eex")))));
        action("sopen")->trigger();
        QCOMPARE(prompts.questions.size(), 1);
        QCOMPARE(list("List8")->count(), 6);
        QCOMPARE(prompts.openAnswers.size(), 1);
        // Closing: "取消" keeps the window.
        prompts.saveChoices.enqueue(Prompts::SaveChoice::Cancel);
        QVERIFY(!form->close());
        QVERIFY(form->isVisible());
        // "放弃" drops the edit and reads the other scenario.
        prompts.saveChoices.enqueue(Prompts::SaveChoice::Discard);
        action("sopen")->trigger();
        QCOMPARE(list("List8")->count(), 4);
        QVERIFY(!form->isModified());
        QVERIFY(form->close()); // nothing to ask now
        QCOMPARE(prompts.questions.size(), 3);
    }

    // Showing entries in every frame is no edit: closing asks nothing.
    void entriesShownAreNoEdit() {
        loadSample(S01);
        for (const char* name : {"List8", "List3", "List4", "List6", "List9"})
            for (int row : {1, 0, 2})
                list(name)->setCurrentRow(row);
        QVERIFY(form->close());
        QVERIFY2(prompts.questions.isEmpty(), qPrintable(prompts.questions.join(u'|')));
    }

    void valuesTypedWithoutConfirmingAreAskedAbout_data() {
        QTest::addColumn<QString>("list"); // the frame's list, none for the battle frame
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("confirm");
        QTest::newRow("battle, 回合数") << ""
                                        << "Text4"
                                        << "Command6";
        QTest::newRow("army") << "List8"
                              << "Text28"
                              << "Command1";
        QTest::newRow("ally") << "List3"
                              << "Text1"
                              << "Command4";
        QTest::newRow("enemy") << "List4"
                               << "Text10"
                               << "Command5";
        QTest::newRow("spoils") << "List6"
                                << "Text15"
                                << "Command7";
        QTest::newRow("equipment") << "List9"
                                   << "Text21"
                                   << "Command9";
    }
    // A value typed into a frame and not confirmed: closing or reading
    // another scenario asks; 取消 keeps it, 保存 confirms and saves what
    // 确定 and 保存剧本文件 would have written.
    void valuesTypedWithoutConfirmingAreAskedAbout() {
        QFETCH(QString, list);
        const QString listName = list;
        QFETCH(QString, box);
        const QByteArray boxName = box.toLatin1();
        QFETCH(QString, confirm);
        const QByteArray confirmName = confirm.toLatin1();
        const auto typeIn = [&] {
            if (!listName.isEmpty())
                this->list(listName)->setCurrentRow(1);
            type(boxName.constData(), QStringLiteral("7"));
        };
        // What the user writes by hand.
        const QString first = loadSample(S01);
        const QByteArray original = test::readFile(first);
        typeIn();
        click(confirmName.constData());
        action("ssave")->trigger();
        noMessages();
        const QByteArray expected = test::readFile(first);
        QVERIFY(expected != original);
        stop();
        start();
        readData();
        const QString path = loadSample(S01);
        typeIn();
        action("sopen")->trigger(); // 取消
        QVERIFY(!form->close());    // 取消
        QCOMPARE(prompts.questions.size(), 2);
        QCOMPARE(this->box(boxName.constData())->text(), QStringLiteral("7"));
        QCOMPARE(test::readFile(path), original);
        prompts.saveChoices.enqueue(Prompts::SaveChoice::Save);
        QVERIFY(form->close());
        noMessages();
        QCOMPARE(test::readFile(path), expected);
    }

    void aFileChangedOnDiskIsNotOverwrittenUnasked() {
        const QString path = loadSample(S01);
        click("Command3");
        QByteArray other = sample::scenarioFile(test::shapeOf(S01));
        setByte(other, 100, 0x3F); // someone else's change, same size
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadWrite));
        f.seek(100);
        f.write(other.mid(100, 1));
        f.close();
        action("ssave")->trigger(); // answered no
        QCOMPARE(prompts.questions.size(), 1);
        QCOMPARE(test::readFile(path), other);
        QVERIFY(form->isModified());
        prompts.chooseAnswers.enqueue(0); // 合并保存
        action("ssave")->trigger();
        QCOMPARE(test::readFile(path).size(), other.size() + 28);
        QCOMPARE(test::readFile(path).at(100), char(0x3F)); // the other program's byte stays
        QVERIFY(!form->isModified());
        // After the save the file on disk is the one the editor knows.
        action("ssave")->trigger();
        QCOMPARE(prompts.questions.size(), 2);
    }
};

LCJ_TEST_MAIN(JunbenFramesTest)
#include "junbenframes_test.moc"
