#include "common/gbk.h"
#include "datafile/datalayout.h"
#include "patcher/ui/mainfile.h"
#include "samplegen/samplegame.h"
#include "support/editorharness.h"
#include "support/scriptedprompts.h"
#include "support/testfiles.h"

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
        QTest::addColumn<bool>("checked");
        QTest::newRow("EE EE") << 0xEE << 0xEE << true;
        QTest::newRow("EE E8") << 0xEE << 0xE8 << false;
        QTest::newRow("E2 EE") << 0xE2 << 0xEE << false;
        QTest::newRow("E2 E8") << 0xE2 << 0xE8 << false;
    }
    void switchReading() {
        QFETCH(int, first);
        QFETCH(int, fifth);
        QFETCH(bool, checked);
        open(withSwitch(quint8(first), quint8(fifth)));
        QVERIFY(prompts.messages.isEmpty());
        QCOMPARE(check()->isChecked(), checked);
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
        QCOMPARE(prompts.lastMessage(), QStringLiteral("文件打开出错"));
        prompts.messages.clear();
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
        list()->setCurrentRow(10);
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

    void failedOpenKeepsTheFileItHeld() {
        open(sample::programFile());
        list()->setCurrentRow(3);
        combo()->setCurrentIndex(29);
        click("Command1");
        const QByteArray shortBytes = sample::programFile().left(200000);
        const QString shortFile = dir->write(QStringLiteral("short.exe"), shortBytes);
        prompts.openAnswers.enqueue(shortFile);
        trigger("mainopen");
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

QTEST_MAIN(MainFileWindowTest)
#include "mainfilewindow_test.moc"
