#include "common/gbk.h"
#include "datafile/datalayout.h"
#include "programfile/ui/mainfile.h"
#include "samplegen/samplegame.h"
#include "support/editorharness.h"
#include "support/scriptedprompts.h"
#include "support/testfiles.h"
#include "support/testmain.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

using namespace lcj;

namespace {

constexpr qint64 figureAt = 24793;
constexpr qint64 switchAt = 269801;

} // namespace

class MainFileWindowTest : public QObject, public test::EditorHarness<exe::MainFile> {
    Q_OBJECT

    QListWidget* list() { return find<QListWidget>("List1"); }
    QComboBox* combo() { return find<QComboBox>("Combo1"); }
    QCheckBox* check() { return find<QCheckBox>("Check1"); }
    QLabel* picture() { return find<QLabel>("Picture1"); }
    using EditorHarness::open;
    void open(const QByteArray& bytes) { open(QStringLiteral("Lcj5.exe"), bytes, "mainopen"); }
    QByteArray withSwitch(quint8 first, quint8 fifth) {
        QByteArray bytes = sample::programFile();
        bytes[switchAt] = char(first);
        bytes[switchAt + 4] = char(fifth);
        return bytes;
    }
    bool hasPicture() { return !picture()->pixmap().isNull(); }
    void onlyRegionsChanged() {
        const QByteArray written = test::readFile(path);
        QCOMPARE(written.size(), original.size());
        for (qsizetype i = 0; i < written.size(); ++i) {
            const bool owned =
                (i >= figureAt && i < figureAt + 174) || i == switchAt || i == switchAt + 4;
            if (!owned && written[i] != original[i])
                QFAIL(qPrintable(QStringLiteral("byte %1 changed").arg(i)));
        }
    }

private slots:
    void init() { start(); }
    void cleanup() { stop(); }

    void startsUnloadedWithItsLists() {
        QCOMPARE(form->windowTitle(), QStringLiteral("程序文件修改"));
        QCOMPARE(list()->count(), 174);
        QCOMPARE(combo()->count(), 31);
        QCOMPARE(combo()->itemText(30), QStringLiteral("普通人物形象"));
        QCOMPARE(combo()->itemText(3), list()->item(3)->text() + QStringLiteral("形象"));
        QCOMPARE(check()->text(), QStringLiteral("敌军小兵自动升级兵种"));
        QVERIFY(!hasPicture());
        list()->setCurrentRow(4);
        click("Command1");
        click("Command2");
        QVERIFY(prompts.messages.isEmpty());
    }

    void switchReading_data() {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("fifth");
        QTest::addColumn<int>("state");
        QTest::newRow("EE EE") << 0xEE << 0xEE << int(Qt::Checked);
        // Neither the on nor the off pattern: the third state, not "off".
        QTest::newRow("EE E8") << 0xEE << 0xE8 << int(Qt::PartiallyChecked);
        QTest::newRow("E2 EE") << 0xE2 << 0xEE << int(Qt::PartiallyChecked);
        QTest::newRow("00 00") << 0x00 << 0x00 << int(Qt::PartiallyChecked);
        QTest::newRow("E2 E8") << 0xE2 << 0xE8 << int(Qt::Unchecked);
    }
    void switchReading() {
        QFETCH(int, first);
        QFETCH(int, fifth);
        QFETCH(int, state);
        open(withSwitch(quint8(first), quint8(fifth)));
        QVERIFY(prompts.messages.isEmpty());
        QCOMPARE(int(check()->checkState()), state);
    }

    // Over bytes that are neither pattern: left partly checked they stay as
    // read; turned on or off they take that pattern.
    void switchOfNeitherPatternIsKeptOrReplaced_data() {
        QTest::addColumn<int>("state");
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("kept") << int(Qt::PartiallyChecked) << QByteArray("\xEE\x12\x34\x56\xE8", 5);
        QTest::newRow("on") << int(Qt::Checked) << QByteArray("\xEE\x12\x34\x56\xEE", 5);
        QTest::newRow("off") << int(Qt::Unchecked) << QByteArray("\xE2\x12\x34\x56\xE8", 5);
    }
    void switchOfNeitherPatternIsKeptOrReplaced() {
        QFETCH(int, state);
        QFETCH(QByteArray, stored);
        QByteArray bytes = withSwitch(0xEE, 0xE8);
        bytes.replace(switchAt + 1, 3, QByteArray("\x12\x34\x56", 3));
        open(bytes);
        // As a user clicks: partly checked, then on, then off.
        while (int(check()->checkState()) != state)
            QTest::mouseClick(check(), Qt::LeftButton);
        click("Command1");
        click("Command2");
        QVERIFY(prompts.messages.isEmpty());
        QCOMPARE(test::readFile(path).mid(switchAt, 5), stored);
        onlyRegionsChanged();
        // After the confirm the box shows what is stored.
        QCOMPARE(int(check()->checkState()), state);
    }

    void switchWriting_data() {
        QTest::addColumn<bool>("checked");
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("off") << false << QByteArray("\xE2\x12\x34\x56\xE8", 5);
        QTest::newRow("on") << true << QByteArray("\xEE\x12\x34\x56\xEE", 5);
    }
    void switchWriting() {
        QFETCH(bool, checked);
        QFETCH(QByteArray, stored);
        open(withSwitch(checked ? 0xE2 : 0xEE, checked ? 0xE8 : 0xEE));
        check()->setChecked(checked);
        click("Command1");
        click("Command2");
        QVERIFY(prompts.messages.isEmpty());
        QCOMPARE(test::readFile(path).mid(switchAt, 5), stored);
        onlyRegionsChanged();
    }

    void openShowsCharacterZeroWithPreview() {
        trigger("mainopen");
        QCOMPARE(prompts.openFolders, QStringList{QCoreApplication::applicationDirPath()});
        // A cancelled dialog is no error.
        QVERIFY(prompts.messages.isEmpty());
        open(sample::programFile());
        QCOMPARE(list()->currentRow(), 0);
        QCOMPARE(combo()->currentIndex(), 0);
        QVERIFY(hasPicture());
        list()->setCurrentRow(12);
        QCOMPARE(combo()->currentIndex(), 12);
        QVERIFY(hasPicture());
    }

    void ordinaryFigureHasNoPreview() {
        open(sample::programFile());
        list()->setCurrentRow(5);
        combo()->setCurrentIndex(30);
        QCOMPARE(combo()->currentText(), QStringLiteral("普通人物形象"));
        QVERIFY(!hasPicture());
        list()->setCurrentRow(100); // figure byte 30 in the sample
        QCOMPARE(combo()->currentIndex(), 30);
        QVERIFY(!hasPicture());
    }

    void confirmedFigureIsSaved() {
        open(sample::programFile());
        list()->setCurrentRow(140);
        combo()->setCurrentIndex(12);
        QVERIFY(hasPicture());
        click("Command1");
        QCOMPARE(test::readFile(path), original);
        click("Command2");
        QVERIFY(prompts.messages.isEmpty());
        QByteArray expected = original;
        expected[figureAt + 140] = 12;
        QCOMPARE(test::readFile(path), expected);
    }

    void figureChosenWithoutConfirmIsNotSaved() {
        open(sample::programFile());
        list()->setCurrentRow(9);
        combo()->setCurrentIndex(20);
        click("Command2");
        QCOMPARE(test::readFile(path), original);
        // Another character asks first; the choice is dropped on "放弃".
        prompts.saveChoices.enqueue(Prompts::SaveChoice::Discard);
        list()->setCurrentRow(10);
        QCOMPARE(prompts.questions.size(), 1);
        list()->setCurrentRow(9);
        QCOMPARE(combo()->currentIndex(), 9);
    }

    void figureBeyondTheListIsShownAndKept() {
        QByteArray bytes = sample::programFile();
        bytes[figureAt + 7] = char(77);
        open(bytes);
        list()->setCurrentRow(7);
        QVERIFY(combo()->currentText().contains(QStringLiteral("77")));
        QVERIFY(!hasPicture());
        click("Command1");
        click("Command2");
        QCOMPARE(test::readFile(path), bytes);
    }

    void anotherCharacterOrClosingAsksAboutUnsavedFigures() {
        open(sample::programFile());
        for (int row = 1; row < 8; ++row)
            list()->setCurrentRow(row);
        QVERIFY(prompts.questions.isEmpty());
        list()->setCurrentRow(3);
        const int stored = combo()->currentIndex();
        combo()->setCurrentIndex(stored == 12 ? 13 : 12);
        const int chosen = combo()->currentIndex();
        list()->setCurrentRow(4); // 取消
        QCOMPARE(list()->currentRow(), 3);
        QCOMPARE(combo()->currentIndex(), chosen);
        prompts.saveChoices.enqueue(Prompts::SaveChoice::Save); // confirms it
        list()->setCurrentRow(4);
        QCOMPARE(list()->currentRow(), 4);
        QCOMPARE(test::readFile(path), original);
        // The switch ticked differently and not confirmed counts too.
        check()->setChecked(!check()->isChecked());
        QVERIFY(!form->close());
        QCOMPARE(prompts.questions.size(), 3);
        prompts.saveChoices.enqueue(Prompts::SaveChoice::Save);
        QSignalSpy exits(form.get(), &EditorWindow::exitCommand);
        trigger("exit");
        QCOMPARE(exits.count(), 1);
        onlyRegionsChanged();
        const QByteArray written = test::readFile(path);
        QCOMPARE(quint8(written[figureAt + 3]), quint8(chosen));
        QVERIFY(written.mid(switchAt, 5) != original.mid(switchAt, 5));
        noMessages();
    }

    // Another character replaces only the figure: the switch set and not
    // confirmed is not asked about then, and still counts when closing.
    void anotherCharacterAsksOnlyAboutTheFigure() {
        open(withSwitch(0xE2, 0xE8));
        QVERIFY(!check()->isChecked());
        check()->setChecked(true);
        for (int row = 1; row < 5; ++row)
            list()->setCurrentRow(row);
        QVERIFY2(prompts.questions.isEmpty(), qPrintable(prompts.questions.join(u'|')));
        QVERIFY(check()->isChecked());
        // Even after a figure's question answered 放弃, the switch still counts.
        combo()->setCurrentIndex(combo()->currentIndex() == 12 ? 13 : 12);
        prompts.saveChoices.enqueue(Prompts::SaveChoice::Discard);
        list()->setCurrentRow(6);
        QCOMPARE(prompts.questions.size(), 1);
        QVERIFY(!form->close()); // 取消
        QCOMPARE(prompts.questions.size(), 2);
        QCOMPARE(test::readFile(path), original);
        prompts.saveChoices.enqueue(Prompts::SaveChoice::Save);
        QVERIFY(form->close());
        QByteArray expected = original;
        expected[switchAt] = char(0xEE);
        expected[switchAt + 4] = char(0xEE);
        QCOMPARE(test::readFile(path), expected);
        noMessages();
    }

    void failedOpenKeepsTheFileItHeld() {
        open(sample::programFile());
        list()->setCurrentRow(3);
        combo()->setCurrentIndex(29);
        click("Command1");
        const QByteArray shortBytes = sample::programFile().left(200000);
        const QString shortFile = dir->write(QStringLiteral("short.exe"), shortBytes);
        prompts.openAnswers.enqueue(shortFile);
        // The confirmed figure is not saved yet: opening asks; "放弃" goes on.
        prompts.saveChoices.enqueue(Prompts::SaveChoice::Discard);
        trigger("mainopen");
        QCOMPARE(prompts.questions.size(), 1);
        QVERIFY(prompts.lastMessage().startsWith(QStringLiteral("文件打开出错")));
        QCOMPARE(form->programFilePath(), path);
        click("Command2");
        QCOMPARE(test::readFile(shortFile), shortBytes);
        QCOMPARE(quint8(test::readFile(path)[figureAt + 3]), quint8(29));
    }

    void failedSaveKeepsTheCopies() {
        open(sample::programFile());
        check()->setChecked(false);
        click("Command1");
        dir->write(QStringLiteral("Lcj5.exe"), original.left(269803));
        // Another program's change: the user chooses to write over it.
        prompts.askAnswers.enqueue(true);
        click("Command2");
        QCOMPARE(prompts.questions.size(), 1);
        QVERIFY(prompts.lastMessage().startsWith(QStringLiteral("保存出错")));
        QCOMPARE(test::readFile(path), original.left(269803));
        dir->write(QStringLiteral("Lcj5.exe"), original);
        click("Command2");
        QCOMPARE(test::readFile(path).mid(switchAt, 5), QByteArray("\xE2\x12\x34\x56\xE8", 5));
    }

    void namesCanBeTakenFromADataFile() {
        QByteArray data = sample::dataFile();
        data.replace(data::characters.recordOffset(2), 12,
                     *gbk::encodeField(QStringLiteral("新人"), 12));
        prompts.openAnswers.enqueue(dir->write(QStringLiteral("data.e5"), data));
        trigger("datanames");
        QVERIFY(prompts.messages.isEmpty());
        QCOMPARE(list()->item(2)->text(), QStringLiteral("新人"));
        QCOMPARE(combo()->itemText(2), QStringLiteral("新人形象"));
        QCOMPARE(combo()->itemText(30), QStringLiteral("普通人物形象"));
        QCOMPARE(combo()->count(), 31);
    }

    void exitCommandClosesAndSignals() {
        QSignalSpy spy(form.get(), &EditorWindow::exitCommand);
        trigger("exit");
        QCOMPARE(spy.count(), 1);
    }
};

LCJ_TEST_MAIN(MainFileWindowTest)
#include "mainfilewindow_test.moc"
