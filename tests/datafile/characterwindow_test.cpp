#include "datafile/ui/dform.h"
#include "samplegen/samplegame.h"
#include "support/editorharness.h"
#include "support/testmain.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QtTest>

using namespace lcj;
using namespace Qt::StringLiterals;

namespace {

constexpr qint64 recordAt(int c) {
    return 396 + 32 * c;
}

} // namespace

class CharacterWindowTest : public QObject, public test::EditorHarness<data::DForm> {
    Q_OBJECT

    void openSection(const QByteArray& bytes) {
        open(QStringLiteral("data.e5"), bytes, "fileop");
        trigger("renpre");
    }
    void select(int character) { list("List1")->setCurrentRow(character); }
    void save() { click("Command1"); }

private slots:
    void init() { start(); }
    void cleanup() { stop(); }

    void opensFromTheEditorsFolder() {
        trigger("fileop");
        QCOMPARE(prompts.openFolders, QStringList{QCoreApplication::applicationDirPath()});
    }

    void cancelledOpenKeepsMenuAndPath() {
        auto* edit = find<QMenu>(QStringLiteral("edit"));
        trigger("fileop"); // cancelled: nothing chosen yet
        QVERIFY(!edit->isEnabled());
        openSection(sample::dataFile());
        trigger("fileop"); // cancelled again
        QVERIFY(edit->isEnabled());
        QCOMPARE(form->dataFilePath(), path);
        QVERIFY(prompts.messages.isEmpty());
    }

    void showsRecordAndCaption() {
        openSection(sample::dataFile());
        auto* frame = find<QGroupBox>(QStringLiteral("Frame1"));
        QVERIFY(frame->isVisible());
        QCOMPARE(list("List1")->count(), 512);
        QCOMPARE(combo("Combo1")->count(), 105);
        QCOMPARE(combo("Combo3")->itemText(104), QStringLiteral("无"));
        select(5);
        QCOMPARE(frame->title(), QStringLiteral("人物属性修改-武将序号5"));
        const QByteArray r = original.mid(recordAt(5), 32);
        QCOMPARE(box("Text4")->text(), QString::number(quint8(r[18]) * 2));
        QCOMPARE(box("Text9")->text(), QString::number(quint8(r[23]) + 256 * quint8(r[24])));
        QCOMPARE(list("List2")->currentRow(), int(quint8(r[26])));
        QCOMPARE(list("List1")->item(8)->text(), QStringLiteral("林青"));
    }

    // A game folder with Chinese characters and spaces in its name, as players
    // have on Windows: the file opens and the saved name lands in its bytes.
    void savesInAFolderWithAChineseName() {
        QVERIFY(QDir(dir->path(QString())).mkpath(QStringLiteral("岚川记 存档")));
        open(QStringLiteral("岚川记 存档/data.e5"), sample::dataFile(), "fileop");
        trigger("renpre");
        QCOMPARE(form->dataFilePath(), path);
        select(3);
        QVERIFY(box("Text1")->text() != QStringLiteral("岚川记"));
        box("Text1")->setText(QStringLiteral("岚川记"));
        save();
        QVERIFY2(prompts.messages.isEmpty(), qPrintable(prompts.lastMessage()));
        QCOMPARE(test::readFile(path),
                 QByteArray(original).replace(
                     recordAt(3), 12, QByteArray("\xE1\xB0\xB4\xA8\xBC\xC7\0\0\0\0\0\0", 12)));
    }

    void saveWritesTheRecordAndNothingElse() {
        openSection(sample::dataFile());
        select(5);
        box("Text1")->setText(QStringLiteral("岚川记"));
        box("Text4")->clear();
        QTest::keyClicks(box("Text4"), QStringLiteral("75"));
        box("Text9")->setText(QStringLiteral("300"));
        box("Text33")->setText(QStringLiteral("9"));
        combo("Combo1")->setCurrentIndex(104);
        combo("Combo2")->setCurrentIndex(40);
        list("List2")->setCurrentRow(52);
        find<QCheckBox>(QStringLiteral("Check1"))->setChecked(true);
        save();
        QVERIFY2(prompts.messages.isEmpty(), qPrintable(prompts.lastMessage()));

        QByteArray expected = original;
        const qint64 at = recordAt(5);
        expected.replace(at, 12, QByteArray("\xE1\xB0\xB4\xA8\xBC\xC7\0\0\0\0\0\0", 12));
        expected[at + 16] = 9;
        expected[at + 17] = 0;
        expected[at + 18] = 38;
        expected[at + 23] = 0x2C;
        expected[at + 24] = 0x01;
        expected[at + 26] = 52;
        expected[at + 29] = char(255);
        expected[at + 30] = 40;
        const QByteArray written = test::readFile(path);
        QCOMPARE(written.size(), original.size());
        QCOMPARE(written.mid(at + 12, 1), original.mid(at + 12, 1));
        QCOMPARE(written.mid(at + 14, 1), original.mid(at + 14, 1));
        QCOMPARE(written, expected);

        // The list shows the new name, and the boxes what is on disk.
        QCOMPARE(list("List1")->item(5)->text(), QStringLiteral("岚川记"));
        QCOMPARE(list("List1")->currentRow(), 5);
        QCOMPARE(box("Text4")->text(), QStringLiteral("76"));
        QCOMPARE(find<QGroupBox>(QStringLiteral("Frame1"))->title(),
                 QStringLiteral("人物属性修改-武将序号5"));
    }

    // An odd value in a halved box is stored even, as always, and the status
    // line says so for each box, in one line.
    void roundedValuesAreSaid_data() {
        QTest::addColumn<QStringList>("typed"); // box, text, box, text …
        QTest::addColumn<QList<int>>("stored"); // offset in the record, byte …
        QTest::addColumn<QString>("status");
        QTest::newRow("85 to 84") << QStringList{u"Text4"_s, u"85"_s} << QList<int>{18, 42}
                                  << QStringLiteral("武力按2的倍数保存：85 → 84");
        QTest::newRow("75 to 76") << QStringList{u"Text4"_s, u"75"_s} << QList<int>{18, 38}
                                  << QStringLiteral("武力按2的倍数保存：75 → 76");
        QTest::newRow("two boxes")
            << QStringList{u"Text6"_s, u"77"_s, u"Text8"_s, u"509"_s} << QList<int>{20, 38, 22, 254}
            << QStringLiteral("智力按2的倍数保存：77 → 76；"
                              "运气按2的倍数保存：509 → 508");
        QTest::newRow("even") << QStringList{u"Text4"_s, u"84"_s} << QList<int>{18, 42}
                              << QStringLiteral("已保存 data.e5：1条记录");
    }
    void roundedValuesAreSaid() {
        QFETCH(QStringList, typed);
        QFETCH(QList<int>, stored);
        QFETCH(QString, status);
        openSection(sample::dataFile());
        select(5);
        for (qsizetype i = 0; i < typed.size(); i += 2)
            type(typed[i], typed[i + 1]);
        save();
        noMessages();
        QByteArray expected = original;
        for (qsizetype i = 0; i < stored.size(); i += 2)
            expected[recordAt(5) + stored[i]] = char(stored[i + 1]);
        QCOMPARE(written(), expected);
        QCOMPARE(form->statusText(), status);
        QCOMPARE(box("Text4")->text(), QString::number(quint8(expected[recordAt(5) + 18]) * 2));
    }

    void restoreReadsTheFileAgain() {
        openSection(sample::dataFile());
        select(3);
        const QString shown = box("Text5")->text();
        box("Text5")->setText(QStringLiteral("2"));
        click("Command2");
        QCOMPARE(box("Text5")->text(), shown);
        QCOMPARE(test::readFile(path), original);
    }

    void badInputIsRefusedWithNothingWritten_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("field");
        QTest::newRow("letters") << "Text4"
                                 << "abc"
                                 << "武力";
        QTest::newRow("empty") << "Text2"
                               << ""
                               << "头像";
        QTest::newRow("negative") << "Text11"
                                  << "-1"
                                  << "等级";
        QTest::newRow("byte over 255") << "Text10"
                                       << "256"
                                       << "初始MP值";
        QTest::newRow("halved over 510") << "Text8"
                                         << "512"
                                         << "运气";
        QTest::newRow("hp over 65535") << "Text9"
                                       << "70000"
                                       << "初始HP值";
    }
    void badInputIsRefusedWithNothingWritten() {
        QFETCH(QString, control);
        QFETCH(QString, text);
        QFETCH(QString, field);
        openSection(sample::dataFile());
        select(5);
        box("Text1")->setText(QStringLiteral("改名"));
        find<QLineEdit>(control)->setText(text);
        save();
        QCOMPARE(prompts.messages.size(), 1);
        QVERIFY2(prompts.lastMessage().startsWith(field + u'：'),
                 qPrintable(prompts.lastMessage()));
        QCOMPARE(test::readFile(path), original);
        QCOMPARE(list("List1")->item(5)->text(), sample::characterNames()[5]);
    }

    void unchangedOddNamesKeepTheirBytes() {
        QByteArray bytes = sample::dataFile();
        // Not GBK, and bytes after the first zero; then a 12-letter name, longer than the box.
        bytes.replace(recordAt(20), 12,
                      QByteArray("\xFF\x80z\0\x11\x22\x33\x44\x55\x66\x77\x88", 12));
        bytes.replace(recordAt(21), 12, QByteArray("abcdefghijkl", 12));
        openSection(bytes);
        select(20);
        save();
        select(21);
        QCOMPARE(box("Text1")->text(), QStringLiteral("abcdefghijkl"));
        save();
        QVERIFY(prompts.messages.isEmpty());
        QCOMPARE(test::readFile(path).mid(recordAt(20), 64), bytes.mid(recordAt(20), 64));
    }

    void longNameIsRefusedNotCut() {
        openSection(sample::dataFile());
        select(2);
        // Set past the box's limits: the save refuses it rather than store a cut name.
        box("Text1")->setText(QStringLiteral("a岚川记数据工坊"));
        save();
        QCOMPARE(prompts.messages.size(), 1);
        QVERIFY2(prompts.lastMessage().startsWith(QStringLiteral("姓名：")),
                 qPrintable(prompts.lastMessage()));
        QCOMPARE(test::readFile(path), original);
    }

    void shortFileIsReportedAndNotShown() {
        openSection(sample::dataFile().left(20000));
        QCOMPARE(prompts.messages.size(), 1);
        QVERIFY(prompts.lastMessage().contains(QStringLiteral("29279")));
        QVERIFY(!find<QGroupBox>(QStringLiteral("Frame1"))->isVisible());
        QCOMPARE(list("List1")->count(), 0);
        QCOMPARE(test::readFile(path), original);
    }

    void fileShrunkAfterOpeningIsNotWritten() {
        openSection(sample::dataFile());
        select(5);
        dir->write(QStringLiteral("data.e5"), original.left(1000));
        box("Text4")->setText(QStringLiteral("80"));
        // Another program's change: the user chooses to write over it.
        prompts.askAnswers.enqueue(true);
        save();
        QCOMPARE(prompts.questions.size(), 1);
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(test::readFile(path), original.left(1000));
    }

    void choosingAnotherFileHidesTheSections() {
        openSection(sample::dataFile());
        prompts.openAnswers.enqueue(path);
        trigger("fileop");
        QVERIFY(!find<QGroupBox>(QStringLiteral("Frame1"))->isVisible());
    }
};

LCJ_TEST_MAIN(CharacterWindowTest)
#include "characterwindow_test.moc"
