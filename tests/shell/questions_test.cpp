// Every question the program asks, put to the real message box and answered
// with Enter (its default button) and with Escape. Neither may write over
// another program's file or drop an edit: Enter saves the edits (保存) or
// keeps the file changed on disk (否), Escape keeps everything as it is
// (取消, 否). Each case compares the whole file before and after.
//
// | Question                                   | Enter                      | Escape              |
// |--------------------------------------------|----------------------------|---------------------|
// | file changed on disk, every editor's save  | 否: nothing written, said  | 否: the same        |
// | data editor: another record, section,      | 保存: the record saved,    | 取消: nothing       |
// |   file, closing                            |   then goes on             |   written, stays    |
// | Imsg editor: another entry, category,      | 保存, then goes on         | 取消                |
// |   file, closing                            |                            |                     |
// | save editor: another character (unconfirm- | 保存: 确定, then goes on   | 取消                |
// |   ed), another item (its count), another   | 保存: 确定 and saved       |                     |
// |   file, closing                            |                            |                     |
// | program file editor: another character,    | 保存: 确定 / 确定 and saved| 取消                |
// |   another file, closing                    |                            |                     |
// | scenario editor: closing, reading another  | 保存: 确定 every frame and | 取消                |
// |   scenario, R file boxes not saved         |   save                     |                     |
// | main window closed (title bar, Alt+F4):    | 保存所选: every checked    | 取消: nothing ends  |
// |   one list of every unsaved file           |   file saved, ends         |                     |
#include "editorcases.h"
#include "support/dialogkeys.h"
#include "support/testmain.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QtTest>

using namespace lcj;
using test::allEditors;
using test::DialogKeys;
using test::Driver;
using test::EditorCase;

namespace {

const EditorCase& editorCase(const char* name) {
    for (const EditorCase& c : allEditors())
        if (qstrcmp(c.name, name) == 0)
            return c;
    qFatal("no editor case %s", name);
}

using Step = std::function<void(Driver&)>;

// One question: the edit the user made, what raised the question, and what
// the user does to write the edit when no question writes it.
struct Question {
    const char* name;
    const char* editor; // the editor case whose file is opened
    Step edit;          // null: the case's own edit
    Step ask;           // raises the question
    const char* text;   // how the question starts
    Step afterSave;     // after "保存" of a question that only confirms: the save
    Step write;         // null: the case's save
    Step kept;          // after "取消": checks that nothing moved on
    bool list = false;  // the list of unsaved files (保存所选 / 不保存 / 取消), not a box
};

void saveOf(Driver& d, const EditorCase& c) {
    d.save(c.save);
}

QListWidget* listOf(Driver& d, const char* name) {
    return d.find<QListWidget>(name);
}

Step rowStays(const char* list, int row) {
    return [list, row](Driver& d) { QCOMPARE(listOf(d, list)->currentRow(), row); };
}

Step editorStaysOpen() {
    return [](Driver& d) { QVERIFY(d.editor->isVisible()); };
}

void closeEditor(Driver& d) {
    d.main->mdiArea()->activeSubWindow()->close();
}

const QString recordQuestion = QStringLiteral("当前记录的修改还没有保存。要保存吗？");
const QString unconfirmed = QStringLiteral("当前的修改还没有确定。要保存（确定）这些修改吗？");

const QList<Question>& questions() {
    static const QList<Question> all{
        // The data file editor.
        {"data, another record", "character", nullptr, [](Driver& d) { d.select("List1", 6); },
         "当前记录的修改还没有保存", nullptr, nullptr, rowStays("List1", 5)},
        {"data, another section", "item", nullptr, [](Driver& d) { d.trigger("renpre"); },
         "当前记录的修改还没有保存", nullptr, nullptr, rowStays("List3", 9)},
        {"data, another file", "trooptype", nullptr, [](Driver& d) { d.trigger("fileop"); },
         "当前记录的修改还没有保存", nullptr, nullptr, rowStays("List8", 4)},
        {"data, closing", "strategy", nullptr, closeEditor, "当前记录的修改还没有保存", nullptr,
         nullptr, editorStaysOpen()},
        // The message file editor.
        {"imsg, another entry", "messages", nullptr, [](Driver& d) { d.select("List1", 3); },
         "当前文本的修改还没有保存", nullptr, nullptr, rowStays("List1", 2)},
        {"imsg, another category", "messages", nullptr, [](Driver& d) { d.trigger("wuping"); },
         "当前文本的修改还没有保存", nullptr, nullptr, rowStays("List1", 2)},
        {"imsg, another file", "messages", nullptr, [](Driver& d) { d.trigger("fileopen"); },
         "当前文本的修改还没有保存", nullptr, nullptr, rowStays("List1", 2)},
        {"imsg, closing", "messages", nullptr, closeEditor, "当前文本的修改还没有保存", nullptr,
         nullptr, editorStaysOpen()},
        // The save game editor: typing not confirmed, and confirmed edits not saved.
        {"save, another character", "savegame",
         [](Driver& d) {
             d.select("List1", 41);
             d.type("Text8", QStringLiteral("71"));
         },
         [](Driver& d) { d.select("List1", 42); }, "当前的修改还没有确定",
         [](Driver& d) { d.click("Command2"); },
         [](Driver& d) {
             d.click("Command1");
             d.click("Command2");
         },
         rowStays("List1", 41)},
        {"save, another item", "savegame", [](Driver& d) { d.type("Text23", QStringLiteral("7")); },
         [](Driver& d) { d.select("List3", 4); }, "当前的修改还没有确定",
         [](Driver& d) { d.click("Command2"); },
         [](Driver& d) {
             d.click("Command1");
             d.click("Command2");
         },
         rowStays("List3", 0)},
        {"save, another file", "savegame", nullptr, [](Driver& d) { d.trigger("fileopen"); },
         "存档的修改还没有保存到文件", nullptr, nullptr, editorStaysOpen()},
        {"save, closing", "savegame", nullptr, closeEditor, "存档的修改还没有保存到文件", nullptr,
         nullptr, editorStaysOpen()},
        // The program file editor.
        {"program, another character", "program",
         [](Driver& d) {
             d.select("List1", 3);
             d.find<QComboBox>("Combo1")->setCurrentIndex(5);
         },
         [](Driver& d) { d.select("List1", 4); }, "当前的修改还没有确定",
         [](Driver& d) { d.click("Command2"); },
         [](Driver& d) {
             d.click("Command1");
             d.click("Command2");
         },
         rowStays("List1", 3)},
        {"program, another file", "program", nullptr, [](Driver& d) { d.trigger("mainopen"); },
         "程序文件的修改还没有保存到文件", nullptr, nullptr, editorStaysOpen()},
        {"program, closing", "program", nullptr, closeEditor, "程序文件的修改还没有保存到文件",
         nullptr, nullptr, editorStaysOpen()},
        // The scenario editor: an edit confirmed, a value typed without "确定",
        // R file boxes not saved.
        {"scenario, closing", "scenario", nullptr, closeEditor, "剧本的修改还没有保存到文件",
         nullptr, nullptr, editorStaysOpen()},
        {"scenario, another scenario", "scenario", nullptr, [](Driver& d) { d.trigger("sopen"); },
         "剧本的修改还没有保存到文件", nullptr, nullptr,
         [](Driver& d) { QCOMPARE(listOf(d, "List8")->count(), 6); }},
        {"scenario, closing with 回合数 typed", "scenario",
         [](Driver& d) { d.type("Text4", QStringLiteral("9")); }, closeEditor,
         "剧本的修改还没有保存到文件", nullptr,
         [](Driver& d) {
             d.click("Command6");
             d.trigger("ssave");
         },
         [](Driver& d) { QCOMPARE(d.find<QLineEdit>("Text4")->text(), QStringLiteral("9")); }},
        {"scenario, reading another with an army entry typed", "scenario",
         [](Driver& d) {
             d.select("List8", 1);
             d.type("Text28", QStringLiteral("7"));
         },
         [](Driver& d) { d.trigger("sopen"); }, "剧本的修改还没有保存到文件", nullptr,
         [](Driver& d) {
             d.click("Command1");
             d.trigger("ssave");
         },
         [](Driver& d) { QCOMPARE(d.find<QLineEdit>("Text28")->text(), QStringLiteral("7")); }},
        {"scenario, closing with R file boxes typed", "rfile", nullptr, closeEditor,
         "剧本的修改还没有保存到文件", nullptr, nullptr, editorStaysOpen()},
        // The main window closed by its frame, with an editor holding edits.
        {"main window closed", "character", nullptr, [](Driver& d) { d.main->close(); },
         "以下文件的修改还没有保存", nullptr, nullptr,
         [](Driver& d) {
             QVERIFY(d.main->isVisible());
             QVERIFY(d.editor->isVisible());
         },
         true},
    };
    return all;
}

// What the edit writes when the user writes it without any question.
QByteArray writtenWithoutQuestions(const Question& q) {
    const EditorCase& c = editorCase(q.editor);
    Driver d(c.entry, c.window, c.fileName, c.sample());
    test::openAndShow(d, c);
    (q.edit ? q.edit : c.edit)(d);
    if (q.write)
        q.write(d);
    else
        saveOf(d, c);
    if (!d.prompts.messages.isEmpty() || !d.prompts.questions.isEmpty())
        qFatal("%s: %s", q.name, qPrintable((d.prompts.messages + d.prompts.questions).join(u'|')));
    const QByteArray bytes = test::readFile(d.path);
    if (bytes == c.sample())
        qFatal("%s writes nothing", q.name);
    return bytes;
}

// Another program's save of the file: its last byte changed, one no editor writes.
QByteArray otherProgramsSave(QByteArray bytes) {
    bytes[bytes.size() - 1] = char(bytes[bytes.size() - 1] ^ 0x5A);
    return bytes;
}

QString keyName(int key) {
    return key == Qt::Key_Enter ? QStringLiteral("Enter") : QStringLiteral("Escape");
}

} // namespace

class QuestionsTest : public QObject {
    Q_OBJECT

private slots:
    void unsavedEditsAreKept_data() {
        QTest::addColumn<int>("question");
        QTest::addColumn<int>("key");
        for (int q = 0; q < questions().size(); ++q)
            for (int key : {int(Qt::Key_Enter), int(Qt::Key_Escape)})
                QTest::addRow("%s, %s", questions()[q].name, qPrintable(keyName(key))) << q << key;
    }
    // Enter is "保存": the edit is written as the user would write it;
    // Escape is "取消": nothing is written, nothing moves on, and the edit is
    // still there to be written.
    void unsavedEditsAreKept() {
        QFETCH(int, question);
        QFETCH(int, key);
        const Question& q = questions()[question];
        const EditorCase& c = editorCase(q.editor);
        const QByteArray original = c.sample();
        const QByteArray expected = writtenWithoutQuestions(q);

        Driver d(c.entry, c.window, c.fileName, original);
        test::openAndShow(d, c);
        (q.edit ? q.edit : c.edit)(d);
        QCOMPARE(test::readFile(d.path), original);
        d.prompts.realBoxes = true;
        {
            DialogKeys keys({key});
            q.ask(d);
            QCOMPARE(keys.seen.size(), 1);
            const DialogKeys::Seen& seen = keys.seen[0];
            QVERIFY2(seen.text.startsWith(QString::fromUtf8(q.text)), qPrintable(seen.text));
            QStringList buttons = seen.buttons;
            buttons.sort();
            const QString save = q.list ? QStringLiteral("保存所选") : QStringLiteral("保存");
            QStringList wanted{save, q.list ? QStringLiteral("不保存") : QStringLiteral("放弃"),
                               QStringLiteral("取消")};
            wanted.sort();
            QCOMPARE(buttons, wanted);
            QCOMPARE(seen.defaultButton, save);
            QCOMPARE(seen.pressedButton, key == Qt::Key_Enter ? save : QStringLiteral("取消"));
        }
        d.prompts.realBoxes = false;
        QVERIFY2(d.prompts.messages.isEmpty(), qPrintable(d.prompts.lastMessage()));
        if (key == Qt::Key_Enter) {
            if (q.afterSave)
                q.afterSave(d);
            QCOMPARE(test::readFile(d.path), expected);
            return;
        }
        QCOMPARE(test::readFile(d.path), original);
        q.kept(d);
        if (q.write)
            q.write(d);
        else
            saveOf(d, c);
        QVERIFY2(d.prompts.messages.isEmpty(), qPrintable(d.prompts.lastMessage()));
        QCOMPARE(test::readFile(d.path), expected);
    }

    void fileChangedOnDiskIsKept_data() {
        QTest::addColumn<int>("editor");
        QTest::addColumn<int>("key");
        for (int e = 0; e < allEditors().size(); ++e)
            for (int key : {int(Qt::Key_Enter), int(Qt::Key_Escape)})
                QTest::addRow("%s, %s", allEditors()[e].name, qPrintable(keyName(key))) << e << key;
    }
    // The game saves over the file the editor has open; the user presses the editor's save.
    // The question names both sides' changes. Enter (合并保存) writes the editor's edit onto
    // the game's file, the game's byte kept; Escape keeps the game's file to the byte, and
    // the editor says that it wrote nothing.
    void fileChangedOnDiskIsKept() {
        QFETCH(int, editor);
        QFETCH(int, key);
        const EditorCase& c = allEditors()[editor];
        Driver d(c.entry, c.window, c.fileName, c.sample());
        test::openAndShow(d, c);
        c.edit(d);
        const QByteArray other = otherProgramsSave(c.sample());
        d.write(QString::fromLatin1(c.fileName), other);
        const QStringList files = d.files();
        d.prompts.realBoxes = true;
        DialogKeys keys({key, key});
        d.save(c.save);
        const bool merge = key == Qt::Key_Enter;
        QCOMPARE(keys.seen.size(), merge ? 1 : 2);
        QVERIFY2(keys.seen[0].text.contains(QStringLiteral("在读入之后已被其他程序改动")),
                 qPrintable(keys.seen[0].text));
        QCOMPARE(keys.seen[0].buttons,
                 (QStringList{QStringLiteral("合并保存"), QStringLiteral("不写入")}));
        QCOMPARE(keys.seen[0].defaultButton, QStringLiteral("合并保存"));
        QCOMPARE(keys.seen[0].pressedButton,
                 merge ? QStringLiteral("合并保存") : QStringLiteral("不写入"));
        if (merge) {
            const QByteArray written = test::readFile(d.path);
            QCOMPARE(written.back(), other.back());
            QVERIFY(written != other && written != c.sample());
            return;
        }
        QVERIFY2(keys.seen[1].text.startsWith(QStringLiteral("没有写入任何内容")),
                 qPrintable(keys.seen[1].text));
        QCOMPARE(test::readFile(d.path), other);
        QCOMPARE(d.files(), files);
    }
};

LCJ_TEST_MAIN(QuestionsTest)
#include "questions_test.moc"
