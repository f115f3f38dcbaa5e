#include "junbendriver.h"
#include "support/testmain.h"

#include <QSignalSpy>

using namespace lcj;

class JunbenTest : public QObject, public test::JunbenDriver {
    Q_OBJECT

private slots:
    void init() { start(); }
    void cleanup() { stop(); }

    void startsWithOnlyDataopenAndExit() {
        QCOMPARE(form->windowTitle(), QStringLiteral("岚川记S剧本简易修改版"));
        QVERIFY(action("dataopen")->isEnabled());
        QVERIFY(action("exit")->isEnabled());
        for (const char* a : {"sopen", "ssave", "linsave"})
            QVERIFY2(!action(a)->isEnabled(), a);
        for (const char* b : {"Command1", "Command2", "Command3", "Command4", "Command5",
                              "Command6", "Command7", "Command9", "Check1", "Option1", "Option2",
                              "Option3", "Option4", "Option5", "Option6"})
            QVERIFY2(!find<QWidget>(QString::fromLatin1(b))->isEnabled(), b);
        QCOMPARE(find<QLabel>(QStringLiteral("Label10"))->text(), QStringLiteral("人物列表"));
        QCOMPARE(find<QLabel>(QStringLiteral("Label9"))->text(), QStringLiteral("物品列表"));
        QCOMPARE(find<QScrollBar>(QStringLiteral("jiacheng"))->minimum(), -10);
        QCOMPARE(find<QScrollBar>(QStringLiteral("jiacheng"))->maximum(), 14);
    }

    void readsTheDataNames() {
        readData();
        QVERIFY(prompts.messages.isEmpty());
        QCOMPARE(list("List1")->count(), 512);
        QCOMPARE(list("List2")->count(), 104);
        for (const char* c : {"Combo1", "Combo2", "Combo3"}) {
            auto* combo = find<QComboBox>(QString::fromLatin1(c));
            QCOMPARE(combo->count(), 105);
            QCOMPARE(combo->itemText(104), QStringLiteral("无"));
        }
        QCOMPARE(list("List1")->item(9)->text(), sample::characterNames()[9]);
        QVERIFY(action("sopen")->isEnabled());
        QVERIFY(form->dataLoaded());
        list("List1")->setCurrentRow(3);
        QCOMPARE(find<QLabel>(QStringLiteral("Label10"))->text(),
                 QStringLiteral("人物列表-") + sample::characterNames()[3] +
                     QStringLiteral("-武将编号:3"));
        list("List2")->setCurrentRow(5);
        QVERIFY(
            find<QLabel>(QStringLiteral("Label9"))->text().endsWith(QStringLiteral("-物品编号:5")));
    }

    void aBrokenDataFileKeepsTheNamesReadBefore() {
        readData();
        prompts.openAnswers.enqueue(dir->write(QStringLiteral("short.e5"), QByteArray(1000, 'x')));
        action("dataopen")->trigger();
        QVERIFY(prompts.lastMessage().startsWith(QStringLiteral("文件打开出错")));
        QCOMPARE(list("List1")->count(), 512);
        QVERIFY(action("sopen")->isEnabled());
    }

    void loadsASampleScenario() {
        readData();
        loadSample(QStringLiteral("S_01.eex"));
        QVERIFY(prompts.messages.isEmpty());
        QCOMPARE(list("List3")->count(), 20);
        QCOMPARE(list("List4")->count(), 80);
        QCOMPARE(texts("List8"), (QStringList{u"1"_qs, u"2"_qs, u"3"_qs, u"4"_qs, u"5"_qs}));
        QCOMPARE(list("List9")->count(), 100);
        QCOMPARE(texts("List6"), QStringList(3, QStringLiteral("战利品")));
        // Ally slot 1 holds character 5, slot 3 is empty.
        QCOMPARE(list("List3")->item(1)->text(), sample::characterNames()[5]);
        QCOMPARE(list("List3")->item(3)->text(), QStringLiteral("无"));
        QCOMPARE(list("List9")->item(0)->text(), sample::characterNames()[10]);
        QCOMPARE(list("List9")->item(3)->text(), QStringLiteral("无"));
        QCOMPARE(box("Text3")->text(), QStringLiteral("-3"));
        QCOMPARE(find<QScrollBar>(QStringLiteral("jiacheng"))->value(), -3);
        QCOMPARE(box("Text4")->text(), QStringLiteral("30"));
        QCOMPARE(box("Text5")->text(), QStringLiteral("5"));
        QCOMPARE(box("Text6")->text(), QStringLiteral("65535"));
        for (const char* a : {"ssave", "linsave"})
            QVERIFY(action(a)->isEnabled());
        QVERIFY(find<QPushButton>(QStringLiteral("Command3"))->isEnabled());
        QVERIFY(find<QPushButton>(QStringLiteral("Command6"))->isEnabled());
        QVERIFY(find<QCheckBox>(QStringLiteral("Check1"))->isEnabled());
        QCOMPARE(list("List3")->currentRow(), -1);
    }

    void aLevelBonusTheScrollBarCannotTakeStillLoads() {
        readData();
        auto shape = test::shapeOf(QStringLiteral("S_01.eex"));
        shape.levelBonus = 15;
        load(QStringLiteral("S_09.eex"), sample::scenarioFile(shape));
        QCOMPARE(box("Text3")->text(), QStringLiteral("15"));
        QCOMPARE(list("List4")->count(), 80);
        QCOMPARE(list("List8")->count(), 5);
    }

    void fifteenEntriesDisableAppending() {
        readData();
        loadSample(QStringLiteral("S_02.eex"));
        QCOMPARE(list("List8")->count(), 15);
        QVERIFY(!find<QPushButton>(QStringLiteral("Command3"))->isEnabled());
    }

    void cancelledOrFailedOpenKeepsTheScenario() {
        readData();
        const QString path = loadSample(QStringLiteral("S_01.eex"));
        action("sopen")->trigger();                                         // cancelled
        prompts.openAnswers.enqueue(dir->path(QStringLiteral("S_77.eex"))); // missing
        action("sopen")->trigger();
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(form->scenarioPath(), path);
        QCOMPARE(list("List8")->count(), 5);
        QCOMPARE(list("List4")->count(), 80);
    }

    void confirmedArmyEntryReachesTheFile() {
        readData();
        const QString path = loadSample(QStringLiteral("S_01.eex"));
        const QByteArray before = test::readFile(path);
        list("List8")->setCurrentRow(1);
        QVERIFY(find<QPushButton>(QStringLiteral("Command1"))->isEnabled());
        QCOMPARE(box("Text28")->text(), QStringLiteral("5"));                // 3 + 2k
        QVERIFY(find<QRadioButton>(QStringLiteral("Option3"))->isChecked()); // mode 1
        box("Text28")->setText(QStringLiteral("21"));
        box("Text29")->setText(QStringLiteral("22"));
        box("Text30")->setText(QStringLiteral("2"));
        find<QRadioButton>(QStringLiteral("Option4"))->setChecked(true);
        click("Command1");
        action("ssave")->trigger();
        QVERIFY(prompts.messages.isEmpty());
        QByteArray expected = before;
        const qint64 e = armyStart(QStringLiteral("S_01.eex")) + 2 + 28;
        setByte(expected, e + 10, 21);
        setByte(expected, e + 16, 22);
        setByte(expected, e + 22, 2);
        setWord(expected, e + 26, 0);
        QCOMPARE(test::readFile(path), expected);
    }

    void invalidNumbersAreRefused() {
        readData();
        const QString path = loadSample(QStringLiteral("S_01.eex"));
        const QByteArray before = test::readFile(path);
        list("List8")->setCurrentRow(0);
        box("Text28")->setText(QStringLiteral("300"));
        click("Command1");
        QVERIFY(prompts.lastMessage().startsWith(QStringLiteral("横坐标")));
        box("Text28")->setText(QStringLiteral("1"));
        box("Text30")->setText(QStringLiteral("up"));
        click("Command1");
        QVERIFY(prompts.lastMessage().startsWith(QStringLiteral("朝向")));
        action("ssave")->trigger();
        QCOMPARE(test::readFile(path), before);
    }

    void appendedEntriesAreSavedAndShownFromDisk() {
        readData();
        const QString path = loadSample(QStringLiteral("S_01.eex"));
        const QByteArray before = test::readFile(path);
        click("Command3");
        click("Command3");
        QCOMPARE(list("List8")->count(), 7);
        list("List8")->setCurrentRow(6);
        QCOMPARE(box("Text28")->text(), QStringLiteral("0"));
        box("Text29")->setText(QStringLiteral("9"));
        click("Command1");
        action("ssave")->trigger();
        const QByteArray after = test::readFile(path);
        QCOMPARE(after.size(), before.size() + 56);
        const qint64 start = armyStart(QStringLiteral("S_01.eex"));
        QCOMPARE(wordAt(after, start), quint16(2 + 7 * 28));
        QCOMPARE(wordAt(after, 14), quint16(wordAt(before, 14) + 56));
        QCOMPARE(wordAt(after, 18), quint16(wordAt(before, 18) + 56));
        QCOMPARE(after.mid(start + 2 + 6 * 28, 28),
                 QByteArray::fromHex("4b000400060000000400000000000400090000002b00000026000000"));
        QCOMPARE(after.mid(start + 2 + 7 * 28), before.mid(start + 2 + 5 * 28));
        QCOMPARE(texts("List8").last(), QStringLiteral("7"));
        QCOMPARE(form->document().scan().armySlotCount, 7);
    }

    void fourteenEntriesTakeOneMore() {
        readData();
        auto shape = test::shapeOf(QStringLiteral("S_01.eex"));
        shape.armyEntries = 14;
        load(QStringLiteral("S_14.eex"), sample::scenarioFile(shape));
        click("Command3");
        QCOMPARE(texts("List8").last(), QStringLiteral("15"));
        click("Command3");
        QCOMPARE(list("List8")->count(), 15);
        QVERIFY(!find<QPushButton>(QStringLiteral("Command3"))->isEnabled());
    }

    void confirmWithoutASelectionWritesNothing() {
        readData();
        const QString first = loadSample(QStringLiteral("S_01.eex"));
        list("List8")->setCurrentRow(0);
        const QString second = loadSample(QStringLiteral("S_03.eex"));
        const QByteArray before = test::readFile(second);
        box("Text28")->setText(QStringLiteral("1"));
        click("Command1");
        action("ssave")->trigger();
        QCOMPARE(test::readFile(second), before);
        QCOMPARE(prompts.messages.size(), 1);
        Q_UNUSED(first);
    }

    void rFileLimitsAreReadAndWritten() {
        readData();
        loadSample(QStringLiteral("S_01.eex"));
        const QString rPath = dir->path(QStringLiteral("R_01.eex"));
        const QByteArray before = test::readFile(rPath);
        auto* check = find<QCheckBox>(QStringLiteral("Check1"));
        check->click();
        QVERIFY(check->isChecked());
        QVERIFY(prompts.messages.isEmpty());
        QCOMPARE(box("Text31")->text(), QStringLiteral("7")); // the second record
        QCOMPARE(box("Text36")->text(), QStringLiteral("65535"));
        box("Text31")->setText(QStringLiteral("10"));
        box("Text41")->setText(QStringLiteral("65535"));
        box("Text33")->setText(QStringLiteral("300"));
        click("Command2");
        QVERIFY(prompts.messages.isEmpty());
        QByteArray expected = before;
        const qint64 p = before.lastIndexOf(QByteArray("\x2E\x00\x01\x00\x04", 5));
        setByte(expected, p + 6, 10);
        setWord(expected, p + 16, 300);
        setWord(expected, p + 48, 0xFFFF);
        QCOMPARE(test::readFile(rPath), expected);

        check->click(); // unchecked
        QCOMPARE(box("Text31")->text(), QString());
        QCOMPARE(box("Text41")->text(), QString());
        QVERIFY(!find<QPushButton>(QStringLiteral("Command2"))->isEnabled());
        QCOMPARE(test::readFile(rPath), expected);
    }

    void aMissingRFileIsReported() {
        readData();
        load(QStringLiteral("S_08.eex"),
             sample::scenarioFile(test::shapeOf(QStringLiteral("S_01.eex"))));
        find<QCheckBox>(QStringLiteral("Check1"))->click();
        QVERIFY(prompts.lastMessage().startsWith(
            QStringLiteral("你所访问的该路径下找不到相应的R文件")));
        QVERIFY(!find<QPushButton>(QStringLiteral("Command2"))->isEnabled());
    }

    void saveAsThenPlainSaveWritesToTheNewName() {
        readData();
        const QString path = loadSample(QStringLiteral("S_01.eex"));
        const QByteArray original = test::readFile(path);
        const QString copy = dir->path(QStringLiteral("S_51.eex"));
        prompts.saveAnswers.enqueue(copy);
        action("linsave")->trigger();
        QVERIFY(prompts.messages.isEmpty());
        QCOMPARE(test::readFile(copy), original);
        click("Command3");
        action("ssave")->trigger();
        QCOMPARE(test::readFile(path), original);
        QCOMPARE(test::readFile(copy).size(), original.size() + 28);
        QCOMPARE(form->scenarioPath(), copy);
        QCOMPARE(list("List8")->count(), 6);
    }

    void aLoadResetsTheSaveAsTarget() {
        readData();
        loadSample(QStringLiteral("S_01.eex"));
        prompts.saveAnswers.enqueue(dir->path(QStringLiteral("S_51.eex")));
        action("linsave")->trigger();
        const QString second = loadSample(QStringLiteral("S_03.eex"));
        QVERIFY(form->saveAsPath().isEmpty());
        click("Command3");
        action("ssave")->trigger();
        QCOMPARE(test::readFile(second).size(),
                 sample::scenarioFile(test::shapeOf(QStringLiteral("S_03.eex"))).size() + 28);
        QCOMPARE(test::readFile(dir->path(QStringLiteral("S_51.eex"))),
                 sample::scenarioFile(test::shapeOf(QStringLiteral("S_01.eex"))));
    }

    void failedSaveAsKeepsEverything() {
        readData();
        const QString path = loadSample(QStringLiteral("S_01.eex"));
        click("Command3");
        action("linsave")->trigger(); // cancelled
        QCOMPARE(prompts.lastMessage(), QStringLiteral("文件另存为出错"));
        prompts.saveAnswers.enqueue(dir->path(QStringLiteral("no/such/folder/S_52.eex")));
        action("linsave")->trigger();
        QVERIFY(prompts.lastMessage().startsWith(QStringLiteral("文件另存为出错")));
        QCOMPARE(prompts.messages.size(), 2);
        QVERIFY(form->saveAsPath().isEmpty());
        // The appended entry is still waiting in memory.
        QCOMPARE(form->document().armyEntryCount(), 6);
        QCOMPARE(form->document().scan().armySlotCount, 5);
        action("ssave")->trigger();
        QCOMPARE(test::readFile(path).size(),
                 sample::scenarioFile(test::shapeOf(QStringLiteral("S_01.eex"))).size() + 28);
    }

    void unreadableDataIsReportedAndTheRestLoads() {
        readData();
        auto shape = test::shapeOf(QStringLiteral("S_01.eex"));
        QByteArray bytes = sample::scenarioFile(shape);
        setWord(bytes, armyStart(QStringLiteral("S_01.eex")), 2 + 16 * 28);
        const QString path = load(QStringLiteral("S_16.eex"), bytes);
        QCOMPARE(prompts.messages.size(), 1);
        QVERIFY(prompts.lastMessage().contains(QStringLiteral("我军出场")));
        // Without an army block that reads, the bytes are not taken as a battle header.
        QCOMPARE(list("List4")->count(), 0);
        QVERIFY(!find<QPushButton>(QStringLiteral("Command6"))->isEnabled());
        QCOMPARE(list("List8")->count(), 0);
        QVERIFY(!find<QPushButton>(QStringLiteral("Command3"))->isEnabled());
        QVERIFY(!list("List9")->isEnabled());
        QCOMPARE(list("List6")->count(), 3);
        action("ssave")->trigger();
        QCOMPARE(test::readFile(path), bytes);
    }

    void severalBattleHeadersListTheLastOnly() {
        readData();
        const QByteArray one = sample::scenarioFile(test::shapeOf(QStringLiteral("S_01.eex")));
        const QByteArray two = sample::scenarioFile(test::shapeOf(QStringLiteral("S_03.eex")));
        load(QStringLiteral("S_20.eex"), one + two);
        QCOMPARE(list("List3")->count(), 20);
        QCOMPARE(list("List4")->count(), 80);
        QCOMPARE(list("List8")->count(), 4); // the second battle's army
        QCOMPARE(form->document().scan().battleHeaderPos,
                 one.size() + sample::scenarioHeaderPos(test::shapeOf(QStringLiteral("S_03.eex"))));
        QCOMPARE(list("List6")->count(), 5); // spoils of the whole file
    }

    void readingTheDataAgainKeepsTheScenario() {
        readData();
        const QString path = loadSample(QStringLiteral("S_01.eex"));
        click("Command3");
        readData();
        QCOMPARE(list("List8")->count(), 6);
        QCOMPARE(list("List4")->count(), 80);
        QCOMPARE(form->scenarioPath(), path);
        QVERIFY(prompts.messages.isEmpty());
    }

    void exitClosesOnlyThisWindow() {
        QSignalSpy banner(form.get(), &EditorWindow::exitCommand);
        action("exit")->trigger();
        QVERIFY(!form->isVisible());
        QCOMPARE(banner.count(), 0);
    }

    void unchangedSamplesSaveByteForByte() {
        readData();
        for (const auto& [name, shape] : sample::sampleScenarios()) {
            const QString path = loadSample(name);
            action("ssave")->trigger();
            QCOMPARE(test::readFile(path), sample::scenarioFile(shape));
        }
        QVERIFY(prompts.messages.isEmpty());
    }
};

LCJ_TEST_MAIN(JunbenTest)
#include "junben_test.moc"
