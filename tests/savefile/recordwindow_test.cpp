#include "common/gbk.h"
#include "datafile/datalayout.h"
#include "samplegen/samplegame.h"
#include "savefile/ui/record.h"
#include "support/editorharness.h"
#include "support/scriptedprompts.h"
#include "support/testfiles.h"
#include "support/testmain.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

using namespace lcj;

namespace {

constexpr qint64 recordAt(int c) {
    return 5340 + 32 * c;
}

} // namespace

class RecordWindowTest : public QObject, public test::EditorHarness<save::Record> {
    Q_OBJECT

    using EditorHarness::open;
    void open(const QByteArray& bytes, const QString& name = QStringLiteral("Sv01d.e5s")) {
        open(name, bytes, "fileopen");
    }
    void confirm() { click("Command1"); }
    void save() { click("Command2"); }

private slots:
    void init() { start(); }
    void cleanup() { stop(); }

    void startsWithFixedListsAndReloadDisabled() {
        QCOMPARE(form->windowTitle(), QStringLiteral("存档文件修改"));
        QCOMPARE(list("List1")->count(), 174);
        QCOMPARE(list("List2")->count(), 53);
        QCOMPARE(list("List2")->item(52)->text(), QStringLiteral("百姓"));
        QCOMPARE(list("List3")->count(), 17);
        QCOMPARE(list("List3")->item(16)->text(), QStringLiteral("经验果"));
        for (const char* name : {"Combo1", "Combo2", "Combo3"}) {
            QCOMPARE(combo(name)->count(), 105);
            QCOMPARE(combo(name)->itemText(0), QStringLiteral("短剑"));
            QCOMPARE(combo(name)->itemText(104), QStringLiteral("无"));
        }
        QVERIFY(!find<QAction>(QStringLiteral("reload"))->isEnabled());
        QCOMPARE(box("Text1")->maxLength(), 6);
        QCOMPARE(box("Text13")->maxLength(), 6);
        QCOMPARE(box("Text15")->maxLength(), 6);
    }

    void notLoadedButtonsDoNothing() {
        list("List1")->setCurrentRow(3);
        confirm();
        save();
        noMessages();
        QVERIFY(box("Text1")->text().isEmpty());
    }

    void openShowsCharacterZeroAndConsumableZero() {
        open(sample::saveGame());
        trigger("fileopen"); // nothing queued: only to see the start folder
        QCOMPARE(prompts.openFolders.first(), QCoreApplication::applicationDirPath());
        prompts.messages.clear();
        QVERIFY(find<QAction>(QStringLiteral("reload"))->isEnabled());
        QCOMPARE(box("Text24")->text(), QStringLiteral("37"));
        QCOMPARE(list("List1")->currentRow(), 0);
        QCOMPARE(box("Text1")->text(), QString::number(quint8(original[recordAt(0)])));
        QCOMPARE(box("Text23")->text(), QString::number(quint8(original[687])));
        QCOMPARE(combo("Combo1")->currentIndex(), 104); // record 0 has no weapon
        QVERIFY(find<QCheckBox>(QStringLiteral("Check1"))->isChecked());
    }

    void confirmedEditsAreSavedAtExactBytes() {
        open(sample::saveGame());
        list("List1")->setCurrentRow(41);
        list("List3")->setCurrentRow(16);
        type("Text24", QStringLiteral("100"));
        type("Text1", QStringLiteral("12"));
        type("Text8", QStringLiteral("71"));
        type("Text12", QStringLiteral("73"));
        type("Text13", QStringLiteral("300"));
        type("Text17", QStringLiteral("8"));
        type("Text22", QStringLiteral("250"));
        type("Text23", QStringLiteral("99"));
        list("List2")->setCurrentRow(52);
        combo("Combo1")->setCurrentIndex(104);
        combo("Combo2")->setCurrentIndex(38);
        find<QCheckBox>(QStringLiteral("Check1"))->setChecked(true);
        confirm();
        noMessages();
        QCOMPARE(test::readFile(path), original); // "确定" writes nothing
        save();
        noMessages();

        QByteArray expected = original;
        const qint64 at = recordAt(41);
        expected[86] = 100;
        expected[687 + 16] = 99;
        expected[at + 0] = 12;
        expected[at + 3] = 0;
        expected[at + 9] = 36;
        expected[at + 13] = 36;
        expected[at + 14] = 44;
        expected[at + 15] = 1;
        expected[at + 17] = 52;
        expected[at + 20] = char(255);
        expected[at + 23] = 38;
        expected[at + 25] = char(250);
        expected[at + 30] = 8;
        if (quint8(original[at + 26]) >= 104)
            expected[at + 26] = char(255);
        QCOMPARE(test::readFile(path), expected);
    }

    void onlyTheOwnedRegionsEverChange() {
        QByteArray bytes = sample::saveGame();
        bytes[704] = char(0x3C);
        bytes[10908] = char(0xC3);
        open(bytes);
        for (int c : {0, 173}) {
            list("List1")->setCurrentRow(c);
            for (const char* name : {"Text1", "Text2", "Text3", "Text14", "Text16", "Text18",
                                     "Text19", "Text20", "Text21"})
                type(name, QStringLiteral("201"));
            confirm();
        }
        save();
        noMessages();
        const QByteArray written = test::readFile(path);
        QCOMPARE(written.size(), bytes.size());
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            const bool owned = i == 86 || (i >= 687 && i < 704) || (i >= 5340 && i < 10908);
            if (!owned && written[i] != bytes[i])
                QFAIL(qPrintable(QStringLiteral("byte %1 changed").arg(i)));
        }
        QCOMPARE(quint8(written[recordAt(173) + 21]), quint8(201));
    }

    void typingWithoutConfirmIsLost() {
        open(sample::saveGame());
        list("List1")->setCurrentRow(5);
        const QString shown = box("Text3")->text();
        type("Text3", QStringLiteral("1"));
        // Another character asks first; the typing is dropped on "放弃".
        prompts.saveChoices.enqueue(Prompts::SaveChoice::Discard);
        list("List1")->setCurrentRow(6);
        QCOMPARE(prompts.questions.size(), 1);
        list("List1")->setCurrentRow(5);
        QCOMPARE(box("Text3")->text(), shown);
        type("Text3", QStringLiteral("1"));
        save(); // without "确定"
        QCOMPARE(test::readFile(path), original);
    }

    void reloadDiscardsConfirmedEdits() {
        open(sample::saveGame());
        list("List1")->setCurrentRow(7);
        type("Text24", QStringLiteral("3"));
        type("Text4", QStringLiteral("9"));
        confirm();
        trigger("reload");
        noMessages();
        QCOMPARE(box("Text24")->text(), QStringLiteral("37"));
        QCOMPARE(list("List1")->currentRow(), 0);
        list("List1")->setCurrentRow(7);
        QCOMPARE(box("Text4")->text(), QString::number(quint8(original[recordAt(7) + 5])));
        save();
        QCOMPARE(test::readFile(path), original);
    }

    void attributesShowDoubledAndHalveToEven_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("stored");
        QTest::newRow("71") << "71" << 36;
        QTest::newRow("73") << "73" << 36;
        QTest::newRow("70") << "70" << 35;
        QTest::newRow("510") << "510" << 255;
    }
    void attributesShowDoubledAndHalveToEven() {
        QFETCH(QString, typed);
        QFETCH(int, stored);
        QByteArray bytes = sample::saveGame();
        bytes[recordAt(0) + 10] = 35;
        open(bytes);
        QCOMPARE(box("Text9")->text(), QStringLiteral("70"));
        type("Text9", typed);
        confirm();
        save();
        QCOMPARE(quint8(test::readFile(path)[recordAt(0) + 10]), quint8(stored));
    }

    void badInputIsRefusedNamingTheField_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("field");
        QTest::newRow("empty") << "Text2"
                               << ""
                               << "头像";
        QTest::newRow("letters") << "Text5"
                                 << "abc"
                                 << "精神";
        QTest::newRow("negative") << "Text7"
                                  << "-3"
                                  << "士气";
        QTest::newRow("byte over 255") << "Text16"
                                       << "256"
                                       << "经验";
        QTest::newRow("hp over 65535") << "Text13"
                                       << "65536"
                                       << "HP值";
        QTest::newRow("attribute over 255") << "Text11"
                                            << "511"
                                            << "敏捷";
        QTest::newRow("loyalty") << "Text24"
                                 << "300"
                                 << "忠奸度";
        QTest::newRow("count") << "Text23"
                               << "x"
                               << "数量";
    }
    void badInputIsRefusedNamingTheField() {
        QFETCH(QString, control);
        QFETCH(QString, text);
        QFETCH(QString, field);
        open(sample::saveGame());
        list("List1")->setCurrentRow(3);
        type("Text3", QStringLiteral("1")); // a valid change that must not get through
        find<QLineEdit>(control)->setText(text);
        confirm();
        QCOMPARE(prompts.messages.size(), 1);
        QVERIFY2(prompts.lastMessage().startsWith(field + u'：'),
                 qPrintable(prompts.lastMessage()));
        save();
        QCOMPARE(test::readFile(path), original);
    }

    void oddStoredValuesAreShownAndKept() {
        QByteArray bytes = sample::saveGame();
        const qint64 at = recordAt(2);
        bytes[at + 17] = char(60);  // troop type beyond the list
        bytes[at + 20] = char(150); // weapon beyond the list
        bytes[at + 14] = char(0xFF);
        bytes[at + 15] = char(0xFF);
        open(bytes);
        list("List1")->setCurrentRow(2);
        QVERIFY(list("List2")->currentItem()->text().contains(QStringLiteral("60")));
        QCOMPARE(combo("Combo1")->currentText(), QStringLiteral("无"));
        QCOMPARE(box("Text13")->text(), QStringLiteral("65535"));
        confirm();
        save();
        noMessages();
        const QByteArray written = test::readFile(path);
        QCOMPARE(quint8(written[at + 17]), quint8(60));
        QCOMPARE(quint8(written[at + 20]), quint8(255));
        QCOMPARE(written.mid(at + 14, 2), QByteArray("\xFF\xFF", 2));
    }

    void nothingIsAskedWhenNothingChanged() {
        open(sample::saveGame());
        for (int row = 1; row < 10; ++row) {
            list("List1")->setCurrentRow(row);
            list("List3")->setCurrentRow(row);
        }
        confirm(); // confirming what is shown changes nothing
        QVERIFY(form->close());
        QVERIFY2(prompts.questions.isEmpty(), qPrintable(prompts.questions.join(u'|')));
        QCOMPARE(test::readFile(path), original);
    }

    void anotherCharacterAsksAboutUnconfirmedEdits() {
        open(sample::saveGame());
        list("List1")->setCurrentRow(5);
        type("Text3", QStringLiteral("99"));
        list("List1")->setCurrentRow(6); // 取消
        QCOMPARE(prompts.questions.size(), 1);
        QCOMPARE(list("List1")->currentRow(), 5);
        QCOMPARE(box("Text3")->text(), QStringLiteral("99"));
        // "保存" confirms the edits of character 5, then shows character 6.
        prompts.saveChoices.enqueue(Prompts::SaveChoice::Save);
        list("List1")->setCurrentRow(6);
        QCOMPARE(list("List1")->currentRow(), 6);
        QCOMPARE(box("Text3")->text(), QString::number(quint8(original[recordAt(6) + 4])));
        QCOMPARE(test::readFile(path), original); // confirmed only
        // A consumable's count typed and not confirmed asks as well; a refused
        // value keeps the selection.
        type("Text23", QStringLiteral("300"));
        prompts.saveChoices.enqueue(Prompts::SaveChoice::Save);
        list("List3")->setCurrentRow(4);
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(list("List3")->currentRow(), 0);
        type("Text23", QString::number(quint8(original[687])));
        // Closing asks about the confirmed edit not saved: 取消 keeps the window.
        QVERIFY(!form->close());
        prompts.saveChoices.enqueue(Prompts::SaveChoice::Save);
        QVERIFY(form->close());
        QByteArray expected = original;
        expected[recordAt(5) + 4] = char(99);
        QCOMPARE(test::readFile(path), expected);
    }

    // Another item replaces only the count box, another character only the
    // character's boxes: typing in the other boxes is not asked about then,
    // stays in its box, and is asked about when the window would drop it.
    void switchesAskOnlyAboutTheBoxesTheyReplace() {
        open(sample::saveGame());
        type("Text24", QStringLiteral("9"));
        for (int row = 1; row < 5; ++row)
            list("List3")->setCurrentRow(row);
        list("List1")->setCurrentRow(3);
        type("Text4", QStringLiteral("12"));
        list("List3")->setCurrentRow(6);
        QVERIFY2(prompts.questions.isEmpty(), qPrintable(prompts.questions.join(u'|')));
        QCOMPARE(list("List3")->currentRow(), 6);
        QCOMPARE(box("Text24")->text(), QStringLiteral("9"));
        QCOMPARE(box("Text4")->text(), QStringLiteral("12"));
        // Closing would drop them: asked; 取消 keeps them.
        QVERIFY(!form->close());
        QCOMPARE(prompts.questions.size(), 1);
        QCOMPARE(test::readFile(path), original);
        // The count typed is asked about when another item replaces it.
        type("Text23", QStringLiteral("5"));
        list("List3")->setCurrentRow(7);
        QCOMPARE(prompts.questions.size(), 2);
        QCOMPARE(list("List3")->currentRow(), 6);
        confirm();
        save();
        noMessages();
        QByteArray expected = original;
        expected[86] = char(9);
        expected[recordAt(3) + 5] = char(12);
        expected[687 + 6] = char(5);
        QCOMPARE(test::readFile(path), expected);
    }

    void closingDropsConfirmedEditsOnlyWhenTold() {
        open(sample::saveGame());
        type("Text24", QStringLiteral("7"));
        confirm();
        prompts.saveChoices.enqueue(Prompts::SaveChoice::Discard);
        QSignalSpy exits(form.get(), &EditorWindow::exitCommand);
        trigger("exit");
        QCOMPARE(exits.count(), 1);
        QCOMPARE(prompts.questions.size(), 1);
        QCOMPARE(test::readFile(path), original);
    }

    void failedOpenKeepsTheFileItHeld() {
        open(sample::saveGame());
        list("List1")->setCurrentRow(4);
        type("Text24", QStringLiteral("1"));
        confirm();
        const QString shortFile = dir->write(QStringLiteral("Sv02d.e5s"), original.left(10000));
        for (const QString& answer : {shortFile, QString()}) {
            prompts.messages.clear();
            prompts.openAnswers.enqueue(answer);
            // The confirmed loyalty is not saved yet: opening asks; "放弃" goes on.
            prompts.saveChoices.enqueue(Prompts::SaveChoice::Discard);
            trigger("fileopen");
            QVERIFY(prompts.saveChoices.isEmpty());
            // A cancelled dialog is no error and says nothing.
            QCOMPARE(prompts.messages.size(), answer.isEmpty() ? 0 : 1);
            if (!answer.isEmpty())
                QVERIFY(prompts.lastMessage().startsWith(QStringLiteral("文件打开出错")));
            QCOMPARE(form->saveFilePath(), path);
        }
        save();
        QCOMPARE(test::readFile(shortFile), original.left(10000));
        QCOMPARE(quint8(test::readFile(path)[86]), quint8(1));
    }

    void failedOpenBeforeAnyFileLeavesNothingToSave() {
        const QString shortFile =
            dir->write(QStringLiteral("Sv01d.e5s"), sample::saveGame().left(704));
        prompts.openAnswers.enqueue(shortFile);
        trigger("fileopen");
        QVERIFY(prompts.lastMessage().startsWith(QStringLiteral("文件打开出错")));
        QVERIFY(!find<QAction>(QStringLiteral("reload"))->isEnabled());
        confirm();
        save();
        QCOMPARE(test::readFile(shortFile), sample::saveGame().left(704));
    }

    void failedSaveAndReloadKeepTheCopies() {
        open(sample::saveGame());
        type("Text24", QStringLiteral("9"));
        confirm();
        QFile::remove(path);
        save();
        QVERIFY(prompts.lastMessage().startsWith(QStringLiteral("保存出错")));
        QVERIFY(!QFile::exists(path));
        trigger("reload");
        QVERIFY(prompts.lastMessage().startsWith(QStringLiteral("重新载入出错")));
        QCOMPARE(box("Text24")->text(), QStringLiteral("9"));
        dir->write(QStringLiteral("Sv01d.e5s"), original);
        save();
        QCOMPARE(quint8(test::readFile(path)[86]), quint8(9));
    }

    void namesCanBeTakenFromADataFile() {
        QByteArray data = sample::dataFile();
        data.replace(data::characters.recordOffset(3), 12,
                     *gbk::encodeField(QStringLiteral("新名字"), 12));
        data.replace(data::items.recordOffset(1), 16,
                     *gbk::encodeField(QStringLiteral("新剑"), 16));
        prompts.openAnswers.enqueue(dir->write(QStringLiteral("data.e5"), data));
        trigger("datanames");
        noMessages();
        QCOMPARE(list("List1")->count(), 174);
        QCOMPARE(list("List1")->item(3)->text(), QStringLiteral("新名字"));
        QCOMPARE(combo("Combo3")->itemText(1), QStringLiteral("新剑"));
        QCOMPARE(combo("Combo3")->itemText(104), QStringLiteral("无"));

        prompts.openAnswers.enqueue(dir->write(QStringLiteral("bad.e5"), data.left(100)));
        trigger("datanames");
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(list("List1")->item(3)->text(), QStringLiteral("新名字"));
    }

    void exitCommandClosesAndSignals() {
        QSignalSpy spy(form.get(), &EditorWindow::exitCommand);
        trigger("exit");
        QCOMPARE(spy.count(), 1);
        QVERIFY(!form->isVisible());
    }
};

LCJ_TEST_MAIN(RecordWindowTest)
#include "recordwindow_test.moc"
