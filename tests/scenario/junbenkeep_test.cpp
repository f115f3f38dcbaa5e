// The scenario editor keeps what the user did not touch: emptied equipment
// entries drop alone, header-shaped bytes in the script are never edited as a
// battle header, and files with nothing to edit say so.
#include "junbendriver.h"
#include "support/testmain.h"

using namespace lcj;

namespace {

const QString S01 = QStringLiteral("S_01.eex");

// The entry the equipment frame writes for character 40, weapon item 5, armour item 39.
const QByteArray newEquipEntry =
    QByteArray::fromHex("48000200 2800 3b00 0700 4900ffff 3c00 0300 4900ffff 3d00 ffff");

sample::ScenarioShape fiveEquipEntries() {
    auto shape = test::shapeOf(S01);
    shape.equipEntries = 5;
    return shape;
}

void addToHeaderWords(QByteArray& bytes, int added) {
    setWord(bytes, 14, quint16(wordAt(bytes, 14) + added));
    setWord(bytes, 18, quint16(wordAt(bytes, 18) + added));
}

} // namespace

class JunbenKeepTest : public QObject, public test::JunbenDriver {
    Q_OBJECT

    qint64 groupAt() { return armyStart(S01) + 2 + 5 * 28; }
    qint64 enemyAt(int k) { return headerPos(S01) + 1090 + 56 * k; }
    qint64 allyAt(int k) { return headerPos(S01) + 48 + 52 * k; }

    void expectFramesDisabled() {
        for (const char* b :
             {"Command1", "Command3", "Command4", "Command5", "Command6", "Command9", "Option1",
              "Option2", "Option3", "Option4", "Option5", "Option6"})
            QVERIFY2(!enabled(b), b);
        for (const char* l : {"List3", "List4", "List8"})
            QVERIFY2(list(l)->count() == 0, l);
        QVERIFY(!list("List9")->isEnabled());
        for (const char* t : {"Text3", "Text4", "Text5", "Text6"})
            QVERIFY2(box(t)->text().isEmpty(), t);
    }

    // Selects a row of every frame of the scenario loaded now, which enables their buttons.
    void selectInEveryFrame() {
        for (const char* l : {"List3", "List4", "List8", "List9"})
            list(l)->setCurrentRow(0);
        for (const char* b : {"Command1", "Command4", "Command5", "Command6", "Command9"})
            QVERIFY2(enabled(b), b);
    }

private slots:
    void init() {
        start();
        readData();
    }
    void cleanup() { stop(); }

    // ---- an equipment entry set to "无" drops alone

    void anEmptiedEquipmentEntryDropsAlone_data() {
        QTest::addColumn<QList<int>>("emptied");
        QTest::addColumn<int>("filled");
        // The entries of the saved group: loaded entry numbers, -1 for the new one.
        QTest::addColumn<QList<int>>("saved");
        QTest::newRow("entry 1 of 5") << QList<int>{1} << -1 << QList<int>{0, 2, 3, 4};
        QTest::newRow("the first") << QList<int>{0} << -1 << QList<int>{1, 2, 3, 4};
        QTest::newRow("the last") << QList<int>{4} << -1 << QList<int>{0, 1, 2, 3};
        QTest::newRow("two, and one named further down")
            << QList<int>{1, 3} << 7 << QList<int>{0, 2, 4, -1};
        QTest::newRow("one emptied, one named: same length")
            << QList<int>{0} << 5 << QList<int>{1, 2, 3, 4, -1};
        QTest::newRow("all of them") << QList<int>{0, 1, 2, 3, 4} << -1 << QList<int>{};
    }

    void anEmptiedEquipmentEntryDropsAlone() {
        QFETCH(QList<int>, emptied);
        QFETCH(int, filled);
        QFETCH(QList<int>, saved);
        const QByteArray file = sample::scenarioFile(fiveEquipEntries());
        const QString path = load(S01, file);
        noMessages();
        const qint64 q = groupAt();
        QCOMPARE(wordAt(file, q + 21), quint16(2 + 5 * 26));
        QStringList loadedNames = texts("List9").mid(0, 5);

        for (int row : emptied) {
            list("List9")->setCurrentRow(row);
            type("Text21", QStringLiteral("65535"));
            click("Command9");
            QCOMPARE(list("List9")->item(row)->text(), QStringLiteral("无"));
        }
        if (filled >= 0) {
            list("List9")->setCurrentRow(filled);
            type("Text21", QStringLiteral("40"));
            combo("Combo1")->setCurrentIndex(5);
            combo("Combo2")->setCurrentIndex(39);
            combo("Combo3")->setCurrentIndex(104);
            click("Command9");
        }
        action("ssave")->trigger();
        noMessages();

        QByteArray entries;
        QStringList names;
        for (int j : saved) {
            entries += j < 0 ? newEquipEntry : file.mid(q + 23 + 26 * j, 26);
            names << (j < 0 ? sample::characterNames()[40] : loadedNames[j]);
        }
        QByteArray expected = file.left(q + 21) + wordBytes(quint16(2 + entries.size())) + entries +
                              file.mid(q + 23 + 5 * 26);
        addToHeaderWords(expected, int(entries.size()) - 5 * 26);
        QCOMPARE(written(), expected);
        // The list shows what is on disk: the kept entries moved up.
        QCOMPARE(texts("List9").mid(0, names.size()), names);
        QCOMPARE(texts("List9").mid(names.size()), QStringList(100 - names.size(), u"无"_qs));
    }

    void aGroupNeverEditedIsWrittenBackWhole() {
        // An entry without a character between two named ones stays where it is
        // as long as no equipment entry is confirmed.
        QByteArray file = sample::scenarioFile(fiveEquipEntries());
        const qint64 q = groupAt();
        setWord(file, q + 23 + 26 + 4, 0xFFFF);
        const QString path = load(S01, file);
        QCOMPARE(list("List9")->item(1)->text(), QStringLiteral("无"));
        list("List4")->setCurrentRow(1);
        type("Text10", QStringLiteral("300"));
        click("Command5");
        action("ssave")->trigger();
        noMessages();
        QByteArray expected = file;
        setWord(expected, enemyAt(1) + 14, 300);
        QCOMPARE(written(), expected);
    }

    // ---- header-shaped bytes whose army block does not read

    void aStrayHeaderPatternIsPassedOver() {
        auto shape = test::shapeOf(S01);
        shape.scriptAfter = 12000;
        QByteArray file = sample::scenarioFile(shape);
        // In the script after the real battle, far enough from the end that
        // its tables would fit: 44 ?? 45 with an army length that does not read.
        const qint64 stray = file.size() - 5700;
        setByte(file, stray, 0x44);
        setByte(file, stray + 2, 0x45);
        setWord(file, stray + 5588, 0x0505);
        const QString path = load(S01, file);

        QCOMPARE(prompts.messages.size(), 1);
        QVERIFY2(prompts.lastMessage().contains(QString::number(stray)),
                 qPrintable(prompts.lastMessage()));
        QCOMPARE(form->document().scan().battleHeaderPos, headerPos(S01));
        // The real battle's values and lists.
        QCOMPARE(box("Text4")->text(), QStringLiteral("30"));
        QCOMPARE(box("Text5")->text(), QStringLiteral("5"));
        QCOMPARE(list("List4")->item(1)->text(), sample::characterNames()[105]);
        QCOMPARE(texts("List8").size(), 5);
        QCOMPARE(list("List9")->item(0)->text(), sample::characterNames()[10]);
        QCOMPARE(list("List6")->count(), shape.spoils);

        list("List4")->setCurrentRow(1);
        QCOMPARE(box("Text10")->text(), QStringLiteral("2"));
        type("Text10", QStringLiteral("300"));
        click("Command5");
        list("List3")->setCurrentRow(2);
        type("Text1", QStringLiteral("301"));
        click("Command4");
        type("Text4", QStringLiteral("17"));
        click("Command6");
        action("ssave")->trigger();
        QCOMPARE(prompts.messages.size(), 1);
        QByteArray expected = file;
        setWord(expected, enemyAt(1) + 14, 300);
        setWord(expected, allyAt(2) + 10, 301);
        setByte(expected, headerPos(S01) + 14, 17);
        QCOMPARE(written(), expected);
    }

    void noHeaderThatReadsLeavesTheFramesDisabled_data() {
        QTest::addColumn<int>("armyLength");
        QTest::newRow("16 entries") << 2 + 16 * 28;
        QTest::newRow("not 2 plus 28n") << 2 + 3 * 28 + 5;
        QTest::newRow("past the end") << 2 + 15 * 28;
    }

    void noHeaderThatReadsLeavesTheFramesDisabled() {
        QFETCH(int, armyLength);
        loadSample(S01);
        selectInEveryFrame();

        auto shape = test::shapeOf(S01);
        shape.scriptAfter = 0; // the last bytes: the group's 13 script bytes and the spoils
        shape.spoils = 0;
        QByteArray file = sample::scenarioFile(shape);
        QVERIFY(armyStart(S01) + 2 + 15 * 28 > file.size());
        setWord(file, armyStart(S01), quint16(armyLength));
        const QString path = load(QStringLiteral("S_16.eex"), file);

        QCOMPARE(prompts.messages.size(), 1);
        QVERIFY2(prompts.lastMessage().contains(QString::number(headerPos(S01))),
                 qPrintable(prompts.lastMessage()));
        QVERIFY(!form->document().scan().hasBattleHeader);
        expectFramesDisabled();
        QVERIFY(action("ssave")->isEnabled());
        action("ssave")->trigger();
        QCOMPARE(written(), file);
    }

    // ---- a cleared slot shows "无" at once

    void aClearedSlotShowsNoneAtOnce_data() {
        QTest::addColumn<QString>("listName");
        QTest::addColumn<QString>("characterBox");
        QTest::addColumn<QString>("confirm");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("typed");
        QTest::newRow("enemy, 600")
            << u"List4"_qs << u"Text14"_qs << u"Command5"_qs << 5 << u"600"_qs;
        QTest::newRow("enemy, 513")
            << u"List4"_qs << u"Text14"_qs << u"Command5"_qs << 7 << u"513"_qs;
        QTest::newRow("ally, 65535")
            << u"List3"_qs << u"Text9"_qs << u"Command4"_qs << 1 << u"65535"_qs;
    }

    void aClearedSlotShowsNoneAtOnce() {
        QFETCH(QString, listName);
        QFETCH(QString, characterBox);
        QFETCH(QString, confirm);
        QFETCH(int, row);
        QFETCH(QString, typed);
        const QString path = loadSample(S01);
        const QByteArray before = test::readFile(path);
        QVERIFY(list(listName)->item(row)->text() != QStringLiteral("无"));
        list(listName)->setCurrentRow(row);
        type(qPrintable(characterBox), typed);
        click(qPrintable(confirm));
        noMessages();
        QCOMPARE(list(listName)->item(row)->text(), QStringLiteral("无"));
        action("ssave")->trigger();
        QByteArray expected = before;
        setWord(expected, (listName == u"List4"_qs ? enemyAt(row) : allyAt(row)) + 2, 0xFFFF);
        QCOMPARE(written(), expected);
        QCOMPARE(list(listName)->item(row)->text(), QStringLiteral("无"));
    }

    // ---- files with nothing to edit

    void aFileWithNothingToEditSaysSo_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("says");
        QTest::newRow("empty") << QByteArray() << u"只有0个字节"_qs;
        QTest::newRow("8 bytes with a header's signature")
            << QByteArray("\x44\x00\x45\x00\x00\x00\x00\x00", 8) << u"只有8个字节"_qs;
        QTest::newRow("script without structures")
            << QByteArray(3000, '\x11') << u"没有找到战役数据或战利品"_qs;
    }

    void aFileWithNothingToEditSaysSo() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, says);
        loadSample(S01);
        selectInEveryFrame();
        const QString path = load(QStringLiteral("S_30.eex"), bytes);
        QCOMPARE(prompts.messages.size(), 1);
        QVERIFY2(prompts.lastMessage().contains(says), qPrintable(prompts.lastMessage()));
        QCOMPARE(form->scenarioPath(), path);
        expectFramesDisabled();
        QCOMPARE(list("List6")->count(), 0);
        action("ssave")->trigger();
        QCOMPARE(written(), bytes);
        QCOMPARE(prompts.messages.size(), 1);
    }

    void aFileWithOnlySpoilsSaysNothing() {
        auto shape = test::shapeOf(S01);
        QByteArray file = sample::scenarioFile(shape);
        // No battle header at all: the signature's first byte is gone.
        setByte(file, headerPos(S01), 0x43);
        load(QStringLiteral("S_31.eex"), file);
        noMessages();
        QCOMPARE(list("List6")->count(), shape.spoils);
        QVERIFY(!enabled("Command6"));
    }
};

LCJ_TEST_MAIN(JunbenKeepTest)
#include "junbenkeep_test.moc"
