#include "common/gbk.h"
#include "datafile/datalayout.h"
#include "messages/ui/imsg.h"
#include "samplegen/samplegame.h"
#include "support/editorharness.h"
#include "support/scriptedprompts.h"
#include "support/testfiles.h"
#include "support/testmain.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QtTest>

using namespace lcj;

namespace {

QByteArray padded(QByteArray bytes) {
    bytes.append(200 - bytes.size(), '\0');
    return bytes;
}

const char* const entryNames[] = {"liezhuan", "wuping", "binzhong", "chetui",
                                  "zhiming",  "chelue", "zandou"};

} // namespace

class ImsgWindowTest : public QObject, public test::EditorHarness<imsg::Imsg> {
    Q_OBJECT

    QPlainTextEdit* text() { return find<QPlainTextEdit>("Text1"); }
    QLabel* label(const char* name) { return find<QLabel>(name); }
    using EditorHarness::open;
    void open(const QByteArray& bytes) { open(QStringLiteral("Imsg.e5"), bytes, "fileopen"); }
    // Types as a person would, one key at a time, any character.
    void typeKeys(const QString& typed) {
        for (QChar ch : typed)
            QTest::sendKeyEvent(QTest::Click, text(), Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
    void retype(const QString& typed) {
        text()->clear();
        typeKeys(typed);
    }
    void save() { QTest::mouseClick(find<QPushButton>("Command1"), Qt::LeftButton); }
    QByteArray slotOnDisk(qint64 offset) { return test::readFile(path).mid(offset, 200); }
    // Every byte outside [offset, offset + 200) is as it was.
    void onlySlotChanged(qint64 offset) {
        const QByteArray written = test::readFile(path);
        QCOMPARE(written.size(), original.size());
        QCOMPARE(written.left(offset), original.left(offset));
        QCOMPARE(written.mid(offset + 200), original.mid(offset + 200));
    }

private slots:
    void init() { start(); }
    void cleanup() { stop(); }

    void startsWithCategoriesDisabledAndNothingShown() {
        QCOMPARE(form->windowTitle(), QStringLiteral("Imsg文件修改"));
        for (const char* entry : entryNames)
            QVERIFY(!find<QAction>(entry)->isEnabled());
        for (const char* name : {"List1", "List2", "List3", "List4", "List5", "List6", "List7"})
            QVERIFY(!list(name)->isVisible());
        QCOMPARE(label("Label1")->text(), QStringLiteral("Imsg文件说明"));
        QVERIFY(!label("Label2")->isVisible());
        QVERIFY(!label("Label4")->isVisible());
        QCOMPARE(list("List1")->count(), 174);
        QCOMPARE(list("List2")->count(), 53);
        QCOMPARE(list("List3")->count(), 104);
        QCOMPARE(list("List6")->count(), 68);
        QCOMPARE(list("List6")->item(67)->text(), QStringLiteral("白虎"));
        save();
        noMessages();
    }

    // The text box takes keys only while a category shows a text: typed
    // before, it would be saved nowhere.
    void textBoxWaitsForACategory_data() {
        QTest::addColumn<bool>("opened");
        QTest::addColumn<QString>("category"); // the menu entry chosen, or none
        QTest::addColumn<bool>("otherFile");   // another file opened after it
        QTest::addColumn<bool>("typable");
        QTest::newRow("no file") << false << QString() << false << false;
        QTest::newRow("file, no category") << true << QString() << false << false;
        QTest::newRow("category") << true << QStringLiteral("chetui") << false << true;
        QTest::newRow("another file") << true << QStringLiteral("wuping") << true << false;
    }
    void textBoxWaitsForACategory() {
        QFETCH(bool, opened);
        QFETCH(QString, category);
        QFETCH(bool, otherFile);
        QFETCH(bool, typable);
        if (opened)
            open(sample::messageFile());
        if (!category.isEmpty())
            trigger(category);
        if (otherFile) {
            prompts.openAnswers.enqueue(
                dir->write(QStringLiteral("other.e5"), sample::messageFile()));
            trigger("fileopen");
        }
        QCOMPARE(text()->isEnabled(), typable);
        const QString before = text()->toPlainText();
        QTest::keyClicks(text(), QStringLiteral("abc"));
        QCOMPARE(text()->toPlainText() != before, typable);
        save();
        noMessages();
        // What was typed is saved; with nothing typable, nothing is written.
        if (opened)
            QCOMPARE(test::readFile(path) != original, typable);
    }

    void openEnablesTheCategoriesAndCancelSaysNothing() {
        trigger("fileopen");
        QVERIFY(prompts.messages.isEmpty());
        QCOMPARE(prompts.openFolders, QStringList{QCoreApplication::applicationDirPath()});
        QVERIFY(!find<QAction>("liezhuan")->isEnabled());
        open(sample::messageFile());
        for (const char* entry : entryNames)
            QVERIFY(find<QAction>(entry)->isEnabled());
        QCOMPARE(form->messageFilePath(), path);
    }

    void namedCategoryShowsRowZeroAndSavesOneSlot() {
        open(sample::messageFile());
        trigger("liezhuan");
        QVERIFY(list("List1")->isVisible());
        QVERIFY(!list("List3")->isVisible());
        QCOMPARE(label("Label1")->text(), QStringLiteral("人物列传"));
        QCOMPARE(list("List1")->currentRow(), 0);
        QVERIFY(text()->toPlainText().startsWith(list("List1")->item(0)->text()));
        list("List1")->setCurrentRow(5);
        retype(QStringLiteral("新的列传"));
        save();
        noMessages();
        QCOMPARE(slotOnDisk(91000), padded(*gbk::encode(QStringLiteral("新的列传"))));
        onlySlotChanged(91000);
    }

    void slotRules_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("three letters") << "abc" << padded("abc");
        QTest::newRow("empty") << "" << QByteArray(200, '\0');
        // Typing stops where the slot is full: what is stored is what the box shows.
        QTest::newRow("150 chinese")
            << QString(150, QChar(u'岚')) << QByteArray("\xE1\xB0").repeated(100);
        QTest::newRow("full at a character") << QStringLiteral("a") + QString(150, QChar(u'岚'))
                                             << padded("a" + QByteArray("\xE1\xB0").repeated(99));
    }
    void slotRules() {
        QFETCH(QString, typed);
        QFETCH(QByteArray, stored);
        open(sample::messageFile());
        trigger("wuping");
        list("List3")->setCurrentRow(7);
        retype(typed);
        QCOMPARE(text()->toPlainText(), imsg::decodeSlot(stored));
        save();
        noMessages();
        QCOMPARE(slotOnDisk(1400), stored);
        onlySlotChanged(1400);
    }

    void threeLettersShowAndSaveUnchanged() {
        QByteArray bytes = sample::messageFile();
        bytes.replace(70000 + 200 * 3, 200, padded("abc"));
        open(bytes);
        trigger("binzhong");
        list("List2")->setCurrentRow(3);
        QCOMPARE(text()->toPlainText(), QStringLiteral("abc"));
        save();
        QCOMPARE(test::readFile(path), bytes);
    }

    void typedLineBreakIsStoredAsCrLf() {
        open(sample::messageFile());
        trigger("chelue");
        list("List6")->setCurrentRow(2);
        text()->clear();
        QTest::keyClicks(text(), QStringLiteral("ab"));
        QTest::keyClick(text(), Qt::Key_Return);
        QTest::keyClicks(text(), QStringLiteral("cd"));
        save();
        QCOMPARE(slotOnDisk(30400), padded("ab\r\ncd"));
        list("List6")->setCurrentRow(3);
        list("List6")->setCurrentRow(2);
        QCOMPARE(text()->toPlainText(), QStringLiteral("ab\ncd"));
    }

    void criticalHitTypeValues_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("shown");
        QTest::newRow("20") << 20 << "特定人物台词";
        QTest::newRow("21") << 21 << "0";
        QTest::newRow("98") << 98 << "25";
    }
    void criticalHitTypeValues() {
        QFETCH(int, row);
        QFETCH(QString, shown);
        open(sample::messageFile());
        trigger("zhiming");
        QVERIFY(label("Label2")->isVisible());
        QVERIFY(label("Label3")->isVisible());
        QVERIFY(!label("Label4")->isVisible());
        QCOMPARE(list("List5")->count(), 99);
        QCOMPARE(label("Label3")->text(), QStringLiteral("特定人物台词"));
        list("List5")->setCurrentRow(row);
        QCOMPARE(label("Label3")->text(), shown);
        QCOMPARE(text()->toPlainText(), imsg::decodeSlot(original.mid(140000 + 200 * row, 200)));
    }

    void battleIntroductionNumber() {
        open(sample::messageFile());
        trigger("zandou");
        QVERIFY(label("Label4")->isVisible());
        QVERIFY(!label("Label2")->isVisible());
        list("List7")->setCurrentRow(7);
        QCOMPARE(label("Label4")->text(), QStringLiteral("关卡对应的文件剧本号7"));
        // Choosing a named category hides the labels again.
        trigger("liezhuan");
        QVERIFY(!label("Label4")->isVisible());
        QVERIFY(!list("List7")->isVisible());
    }

    void savingAlineReplacesItsRowOnly() {
        open(sample::messageFile());
        trigger("chetui");
        QListWidget* rows = list("List4");
        QStringList before;
        for (int i = 0; i < rows->count(); ++i)
            before << rows->item(i)->text();
        rows->setCurrentRow(10);
        retype(QStringLiteral("后会有期"));
        save();
        noMessages();
        QCOMPARE(rows->count(), 49);
        QCOMPARE(rows->currentRow(), 10);
        QCOMPARE(rows->item(10)->text(), QStringLiteral("后会有期"));
        for (int i = 0; i < rows->count(); ++i)
            if (i != 10)
                QCOMPARE(rows->item(i)->text(), before[i]);
        QCOMPARE(slotOnDisk(132000), padded(*gbk::encode(QStringLiteral("后会有期"))));
        onlySlotChanged(132000);
    }

    void unencodableTextIsRefused() {
        open(sample::messageFile());
        trigger("chetui");
        list("List4")->setCurrentRow(1);
        const QString row = list("List4")->item(1)->text();
        text()->setPlainText(QStringLiteral("再见😀"));
        save();
        QCOMPARE(prompts.messages.size(), 1);
        QVERIFY(prompts.lastMessage().contains(QStringLiteral("😀")));
        QCOMPARE(list("List4")->item(1)->text(), row);
        QCOMPARE(test::readFile(path), original);
    }

    void textBoxAcceptsAtMost200Characters() {
        open(sample::messageFile());
        trigger("wuping");
        text()->clear();
        QTest::keyClicks(text(), QString(205, u'x'));
        QCOMPARE(text()->toPlainText().size(), 200);
    }

    void fullTextBoxRefusesAKeystrokeAndKeepsItsText_data() {
        QTest::addColumn<QString>("full");
        QTest::addColumn<QString>("refused");
        QTest::addColumn<int>("at"); // where the cursor stands for the refused key
        QTest::newRow("letter at the start") << QString(200, u'x') << "y" << 0;
        QTest::newRow("chinese at the end") << QString(200, u'x') << "岚" << 200;
        QTest::newRow("chinese in a 199-byte text")
            << QStringLiteral("a") + QString(99, QChar(u'岚')) << "岚" << 50;
        QTest::newRow("line break in the middle") << QString(100, QChar(u'岚')) << "\n" << 10;
    }
    void fullTextBoxRefusesAKeystrokeAndKeepsItsText() {
        QFETCH(QString, full);
        QFETCH(QString, refused);
        QFETCH(int, at);
        open(sample::messageFile());
        trigger("chetui");
        list("List4")->setCurrentRow(3);
        retype(full);
        QCOMPARE(text()->toPlainText(), full);
        const QString used = QStringLiteral("已用 %1/200 字节").arg(imsg::slotBytes(full));
        QCOMPARE(label("Text1Bytes")->text(), used);
        QTextCursor cursor = text()->textCursor();
        cursor.setPosition(at);
        text()->setTextCursor(cursor);
        if (refused == u"\n")
            QTest::keyClick(text(), Qt::Key_Return);
        else
            typeKeys(refused);
        // Nothing typed before is deleted to make room, and the cursor stays.
        QCOMPARE(text()->toPlainText(), full);
        QCOMPARE(text()->textCursor().position(), at);
        QCOMPARE(label("Text1Bytes")->text(), used);
        // Undo takes back the typing, never bringing the refused key back.
        text()->undo();
        QVERIFY(imsg::slotBytes(text()->toPlainText()) <= 200);
        text()->redo();
        QCOMPARE(text()->toPlainText(), full);
        save();
        noMessages();
        QCOMPARE(slotOnDisk(130600), *imsg::encodeSlot(full));
        QCOMPARE(list("List4")->item(3)->text(), full);
        onlySlotChanged(130600);
    }

    void pasteThatDoesNotFitIsRefusedWhole() {
        open(sample::messageFile());
        trigger("wuping");
        list("List3")->setCurrentRow(2);
        retype(QString(190, u'x'));
        QGuiApplication::clipboard()->setText(QStringLiteral("岚川记数据工坊"));
        text()->paste();
        QCOMPARE(text()->toPlainText(), QString(190, u'x'));
        QGuiApplication::clipboard()->setText(QStringLiteral("岚川记数据"));
        text()->paste();
        QCOMPARE(text()->toPlainText(), QString(190, u'x') + QStringLiteral("岚川记数据"));
        QCOMPARE(label("Text1Bytes")->text(), QStringLiteral("已用 200/200 字节"));
    }

    void nothingIsAskedWhenNothingChanged() {
        open(sample::messageFile());
        for (const char* entry : entryNames) {
            trigger(entry);
            QListWidget* rows = nullptr;
            for (QListWidget* l : form->findChildren<QListWidget*>())
                if (l->isVisible())
                    rows = l;
            for (int row = 1; row < 6; ++row)
                rows->setCurrentRow(row);
        }
        // Blanks at the ends are not stored: typing them is no edit either.
        text()->moveCursor(QTextCursor::End);
        typeKeys(QStringLiteral("  "));
        list("List7")->setCurrentRow(9);
        QVERIFY(form->close());
        QVERIFY2(prompts.questions.isEmpty(), qPrintable(prompts.questions.join(u'|')));
        QCOMPARE(test::readFile(path), original);
    }

    void anotherSlotAsksAboutAnEditedText_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("list");
        QTest::addColumn<qint64>("table");
        QTest::newRow("named") << "liezhuan"
                               << "List1" << qint64(90000);
        QTest::newRow("text") << "chetui"
                              << "List4" << qint64(130000);
    }
    void anotherSlotAsksAboutAnEditedText() {
        QFETCH(QString, entry);
        QFETCH(QString, list);
        QFETCH(qint64, table);
        open(sample::messageFile());
        trigger(entry);
        QListWidget* rows = this->list(list);
        rows->setCurrentRow(4);
        retype(QStringLiteral("改过的文本"));
        // 取消: the row and the text stay.
        rows->setCurrentRow(8);
        QCOMPARE(prompts.questions.size(), 1);
        QCOMPARE(rows->currentRow(), 4);
        QCOMPARE(text()->toPlainText(), QStringLiteral("改过的文本"));
        QCOMPARE(test::readFile(path), original);
        // 放弃: the next row shows, nothing is written.
        prompts.saveChoices.enqueue(Prompts::SaveChoice::Discard);
        rows->setCurrentRow(8);
        QCOMPARE(rows->currentRow(), 8);
        QCOMPARE(text()->toPlainText(), imsg::decodeSlot(original.mid(table + 1600, 200)));
        QCOMPARE(test::readFile(path), original);
        // 保存: the edited slot is written, then the next row shows.
        retype(QStringLiteral("又改了"));
        prompts.saveChoices.enqueue(Prompts::SaveChoice::Save);
        rows->setCurrentRow(2);
        QCOMPARE(prompts.questions.size(), 3);
        QCOMPARE(rows->currentRow(), 2);
        QCOMPARE(slotOnDisk(table + 1600), padded(*gbk::encode(QStringLiteral("又改了"))));
        onlySlotChanged(table + 1600);
        QCOMPARE(text()->toPlainText(), imsg::decodeSlot(original.mid(table + 400, 200)));
        noMessages();
    }

    void clickOnAnotherSlotCancelledKeepsTheHighlight_data() {
        anotherSlotAsksAboutAnEditedText_data();
    }
    // A mouse click on another entry, answered "取消": the highlight stays on
    // the entry the text box shows, and "保存" writes that entry's slot.
    void clickOnAnotherSlotCancelledKeepsTheHighlight() {
        QFETCH(QString, entry);
        QFETCH(QString, list);
        QFETCH(qint64, table);
        open(sample::messageFile());
        trigger(entry);
        QListWidget* rows = this->list(list);
        rows->setCurrentRow(4);
        retype(QStringLiteral("改过的文本"));
        rows->scrollToItem(rows->item(5));
        const QRect other = rows->visualItemRect(rows->item(5));
        QVERIFY(rows->viewport()->rect().contains(other.center()));
        QTest::mouseClick(rows->viewport(), Qt::LeftButton, {}, other.center());
        QCOMPARE(prompts.questions.size(), 1);
        QCoreApplication::processEvents();
        QCOMPARE(rows->currentRow(), 4);
        QCOMPARE(rows->selectedItems(), QList<QListWidgetItem*>({rows->item(4)}));
        QCOMPARE(text()->toPlainText(), QStringLiteral("改过的文本"));
        QCOMPARE(test::readFile(path), original);
        save();
        QCOMPARE(slotOnDisk(table + 800), padded(*gbk::encode(QStringLiteral("改过的文本"))));
        onlySlotChanged(table + 800);
        noMessages();
    }

    void anotherCategoryOrClosingAsks() {
        open(sample::messageFile());
        trigger("zandou");
        list("List7")->setCurrentRow(3);
        retype(QStringLiteral("新的简介"));
        trigger("wuping");
        QVERIFY(list("List7")->isVisible());
        QCOMPARE(text()->toPlainText(), QStringLiteral("新的简介"));
        trigger("zandou"); // read again, it would drop the edit too
        QCOMPARE(text()->toPlainText(), QStringLiteral("新的简介"));
        QVERIFY(!form->close());
        QCOMPARE(prompts.questions.size(), 3);
        QCOMPARE(test::readFile(path), original);
        // A save that fails keeps the window open.
        text()->setPlainText(QStringLiteral("表情😀"));
        prompts.saveChoices.enqueue(Prompts::SaveChoice::Save);
        QVERIFY(!form->close());
        QCOMPARE(prompts.messages.size(), 1);
        retype(QStringLiteral("新的简介"));
        prompts.saveChoices.enqueue(Prompts::SaveChoice::Save);
        QVERIFY(form->close());
        QCOMPARE(slotOnDisk(50600), padded(*gbk::encode(QStringLiteral("新的简介"))));
        onlySlotChanged(50600);
    }

    void fileTooShortOrMissingIsNotOpened() {
        open(sample::messageFile());
        const QString first = path;
        for (const QString& bad :
             {dir->write(QStringLiteral("short.e5"), sample::messageFile().left(159799)),
              dir->path(QStringLiteral("missing.e5"))}) {
            prompts.messages.clear();
            prompts.openAnswers.enqueue(bad);
            trigger("fileopen");
            QCOMPARE(prompts.messages.size(), 1);
            QVERIFY(prompts.lastMessage().startsWith(QStringLiteral("文件打开出错\n")));
            QCOMPARE(form->messageFilePath(), first);
        }
    }

    void fileThatShrankIsReportedAndNeverWritten() {
        open(sample::messageFile());
        const QByteArray shortened = sample::messageFile().left(80000);
        dir->write(QStringLiteral("Imsg.e5"), shortened);
        trigger("chetui");
        QCOMPARE(prompts.messages.size(), 1);
        QVERIFY(!list("List4")->isVisible());
        QCOMPARE(form->mode(), imsg::Mode::None);
        trigger("liezhuan"); // row 0 lies beyond the end too
        QCOMPARE(prompts.messages.size(), 2);
        text()->setPlainText(QStringLiteral("x"));
        save();
        QCOMPARE(test::readFile(path), shortened);
        // The item descriptions lie within the file and still read.
        trigger("wuping");
        QCOMPARE(prompts.messages.size(), 2);
    }

    void anotherFileStartsFromNothing() {
        open(sample::messageFile());
        trigger("wuping");
        list("List3")->setCurrentRow(4);
        const QString other = dir->write(QStringLiteral("other.e5"), sample::messageFile());
        prompts.openAnswers.enqueue(other);
        trigger("fileopen");
        QCOMPARE(label("Label1")->text(), QStringLiteral("Imsg文件说明"));
        QVERIFY(text()->toPlainText().isEmpty());
        save();
        QCOMPARE(test::readFile(other), sample::messageFile());
        QVERIFY(find<QAction>("wuping")->isEnabled());
    }

    void namesCanBeTakenFromADataFile() {
        QByteArray data = sample::dataFile();
        data.replace(data::characters.recordOffset(0), 12,
                     *gbk::encodeField(QStringLiteral("甲乙"), 12));
        data.replace(data::items.recordOffset(2), 16,
                     *gbk::encodeField(QStringLiteral("丙刀"), 16));
        prompts.openAnswers.enqueue(dir->write(QStringLiteral("data.e5"), data));
        trigger("datanames");
        noMessages();
        QCOMPARE(list("List1")->item(0)->text(), QStringLiteral("甲乙"));
        QCOMPARE(list("List1")->count(), 174);
        QCOMPARE(list("List3")->item(2)->text(), QStringLiteral("丙刀"));
        QCOMPARE(list("List3")->count(), 104);
    }

    void ctrlSKeepsTheCaretWhereItStood_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("list");
        QTest::addColumn<qint64>("slot");
        QTest::newRow("named") << "liezhuan"
                               << "List1" << qint64(91000);
        QTest::newRow("text") << "chetui"
                              << "List4" << qint64(131000);
    }
    void ctrlSKeepsTheCaretWhereItStood() {
        QFETCH(QString, entry);
        QFETCH(QString, list);
        QFETCH(qint64, slot);
        open(sample::messageFile());
        QApplication::setActiveWindow(form.get());
        trigger(entry);
        this->list(list)->setCurrentRow(5);
        text()->setFocus();
        retype(QStringLiteral("第一行"));
        QTest::keyClick(text(), Qt::Key_Return);
        typeKeys(QStringLiteral("第二行"));
        // The caret goes back to the start, then three characters to the right.
        QTest::keyClick(text(), Qt::Key_Home, Qt::ControlModifier);
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(text(), Qt::Key_Right);
        QCOMPARE(text()->textCursor().position(), 3);
        QTest::keyClick(text(), Qt::Key_S, Qt::ControlModifier);
        noMessages();
        QCOMPARE(slotOnDisk(slot), padded(*gbk::encode(QStringLiteral("第一行\r\n第二行"))));
        onlySlotChanged(slot);
        QCOMPARE(text()->toPlainText(), QStringLiteral("第一行\n第二行"));
        QCOMPARE(text()->textCursor().position(), 3);
        // Typing goes on where the caret stands.
        typeKeys(QStringLiteral("x"));
        QCOMPARE(text()->toPlainText(), QStringLiteral("第一行x\n第二行"));
        // 编辑 → 撤销 takes the save back: the box shows the text as loaded,
        // the caret where it stood.
        text()->setPlainText(QStringLiteral("第一行\n第二行"));
        QTextCursor caret = text()->textCursor();
        caret.setPosition(2);
        text()->setTextCursor(caret);
        trigger("undo");
        const QString loaded = imsg::decodeSlot(original.mid(slot, 200));
        QVERIFY(loaded.size() >= 2);
        QCOMPARE(text()->toPlainText(), loaded);
        QCOMPARE(text()->textCursor().position(), 2);
        save();
        QCOMPARE(test::readFile(path), original);
    }

    void exitCommandClosesAndSignals() {
        QSignalSpy spy(form.get(), &EditorWindow::exitCommand);
        trigger("exit");
        QCOMPARE(spy.count(), 1);
    }
};

LCJ_TEST_MAIN(ImsgWindowTest)
#include "imsgwindow_test.moc"
