// Every editor while another program changes the file it has open: lcjtool,
// run as a process of its own, stands for the game or another tool.
#include "common/ui/filewatch.h"
#include "editorcases.h"
#include "support/dialogkeys.h"
#include "support/outsideprogram.h"
#include "support/testmain.h"

#include <QLabel>
#include <QSignalSpy>
#include <QtTest>

using namespace lcj;
using test::Driver;
using test::EditorCase;

namespace {

// How another program changes one value of an editor's file, and where the
// editor shows that value.
struct Outside {
    const char* editor;  // the case of allEditors()
    QStringList command; // lcjtool's arguments; {file} and {rows} stand for the paths
    const char* rowsName;
    const char* rows;                  // %1: the value written
    std::function<void(Driver&)> look; // the user goes to the value
    std::function<QString(Driver&)> shown;
    QString values[2]; // the value written is the first that is not shown
};

QString boxText(Driver& d, const char* name) {
    return d.find<QLineEdit>(name)->text();
}

const QList<Outside>& outsides() {
    static const QList<Outside> all{
        {"character",
         {QStringLiteral("data"), QStringLiteral("import"), QStringLiteral("{file}"),
          QStringLiteral("characters"), QStringLiteral("{rows}")},
         "rows.csv",
         "序号,武力\n5,%1\n",
         [](Driver& d) { d.select("List1", 5); },
         [](Driver& d) { return boxText(d, "Text4"); },
         {QStringLiteral("84"), QStringLiteral("86")}},
        {"savegame",
         {QStringLiteral("save"), QStringLiteral("import"), QStringLiteral("{file}"),
          QStringLiteral("{rows}"), QStringLiteral("--part"), QStringLiteral("characters")},
         "rows.csv",
         "序号,武力\n41,%1\n",
         [](Driver& d) { d.select("List1", 41); },
         [](Driver& d) { return boxText(d, "Text8"); },
         {QStringLiteral("60"), QStringLiteral("62")}},
        {"messages",
         {QStringLiteral("imsg"), QStringLiteral("import"), QStringLiteral("{file}"),
          QStringLiteral("liezhuan"), QStringLiteral("{rows}")},
         "rows.csv",
         "序号,人物列传\n2,%1\n",
         [](Driver& d) { d.select("List1", 2); },
         [](Driver& d) { return d.find<QPlainTextEdit>("Text1")->toPlainText(); },
         {QStringLiteral("游戏里改写的列传"), QStringLiteral("另一个工具改写的列传")}},
        {"program",
         {QStringLiteral("exe"), QStringLiteral("set"), QStringLiteral("{file}"),
          QStringLiteral("{rows}"), QStringLiteral("--part"), QStringLiteral("figures")},
         "rows.csv",
         "序号,形象\n3,%1\n",
         [](Driver& d) { d.select("List1", 3); },
         [](Driver& d) { return QString::number(d.find<QComboBox>("Combo1")->currentIndex()); },
         {QStringLiteral("7"), QStringLiteral("8")}},
        {"scenario",
         {QStringLiteral("scenario"), QStringLiteral("edit"), QStringLiteral("{file}"),
          QStringLiteral("{rows}")},
         "edits.json",
         R"({"allies": {"1": {"x": %1}}})",
         [](Driver& d) { d.select("List3", 1); },
         [](Driver& d) { return boxText(d, "Text1"); },
         {QStringLiteral("9"), QStringLiteral("10")}},
        {"rfile",
         {QStringLiteral("rfile"), QStringLiteral("set"), QStringLiteral("{file}"),
          QStringLiteral("{rows}")},
         "rows.csv",
         "序号,本关出场人数\n0,%1\n",
         [](Driver&) {},
         [](Driver& d) { return boxText(d, "Text31"); },
         {QStringLiteral("5"), QStringLiteral("6")}},
    };
    return all;
}

const EditorCase& editorOf(const Outside& o) {
    for (const EditorCase& c : test::allEditors())
        if (QByteArrayView(c.name) == QByteArrayView(o.editor))
            return c;
    qFatal("no editor case %s", o.editor);
}

// Runs lcjtool over the driver's file; the value it wrote.
QString changeOutside(Driver& d, const Outside& o) {
    const QString value = o.shown(d) == o.values[0] ? o.values[1] : o.values[0];
    const QString rows =
        d.write(QString::fromLatin1(o.rowsName), QString::fromUtf8(o.rows).arg(value).toUtf8());
    QStringList args = o.command;
    for (QString& a : args)
        a.replace(QStringLiteral("{file}"), d.path).replace(QStringLiteral("{rows}"), rows);
    const test::OutsideRun run = test::runLcjtool(args);
    if (run.code != 0)
        qFatal("lcjtool %s: %s", qPrintable(args.join(u' ')), qPrintable(run.err));
    return value;
}

QString status(Driver& d) {
    auto* label = d.editor->findChild<QLabel*>(QStringLiteral("status"));
    return label ? label->text() : QString();
}

bool modifiedTitle(Driver& d) {
    return d.editor->windowTitle().endsWith(QStringLiteral(" *"));
}

void addOutsideRows() {
    QTest::addColumn<int>("outside");
    for (int o = 0; o < outsides().size(); ++o)
        QTest::addRow("%s", outsides()[o].editor) << o;
}

} // namespace

class DiskWatchTest : public QObject {
    Q_OBJECT

private slots:
    void withoutEditsTheNewValueIsShown_data() { addOutsideRows(); }

    // Nothing typed, nothing unsaved: the editor reads the file again by
    // itself, stays where the user was and says so in its status line.
    void withoutEditsTheNewValueIsShown() {
        QFETCH(int, outside);
        const Outside& o = outsides()[outside];
        const EditorCase& c = editorOf(o);
        Driver d(c.entry, c.window, c.fileName, c.sample());
        test::openAndShow(d, c);
        o.look(d);
        const QString value = changeOutside(d, o);
        const QByteArray onDisk = test::readFile(d.path);
        QTRY_COMPARE(o.shown(d), value);
        QCOMPARE(status(d),
                 QString::fromLatin1(c.fileName) + QStringLiteral(" 已被其他程序改动，已重新载入"));
        QVERIFY(test::diskBarOf(d.editor)->isHidden());
        QVERIFY(!modifiedTitle(d));
        QVERIFY2(d.prompts.messages.isEmpty(), qPrintable(d.prompts.lastMessage()));
        QVERIFY(d.prompts.questions.isEmpty());
        QCOMPARE(test::readFile(d.path), onDisk);
    }

    void keptEditsAreSavedOnlyWhenTheUserSaysSo_data() {
        QTest::addColumn<int>("outside");
        QTest::addColumn<bool>("realBox");
        for (int o = 0; o < outsides().size(); ++o)
            QTest::addRow("%s", outsides()[o].editor) << o << false;
        QTest::addRow("savegame, the real question") << 1 << true;
    }

    // Edits not on disk bring up the bar instead; 保留我的修改 keeps every
    // edit, and the save asks before it writes over the other program's file:
    // No (the default, Enter in the real box) writes nothing.
    void keptEditsAreSavedOnlyWhenTheUserSaysSo() {
        QFETCH(int, outside);
        QFETCH(bool, realBox);
        const Outside& o = outsides()[outside];
        const EditorCase& c = editorOf(o);
        Driver d(c.entry, c.window, c.fileName, c.sample());
        test::openAndShow(d, c);
        o.look(d);
        c.edit(d);
        const QString edited = o.shown(d);
        const bool modified = modifiedTitle(d);
        changeOutside(d, o);
        const QByteArray onDisk = test::readFile(d.path);
        DiskBar* bar = test::diskBarOf(d.editor);
        QTRY_VERIFY(bar->isVisible());
        QCOMPARE(bar->message(), QStringLiteral("文件已被其他程序改动"));
        QCOMPARE(o.shown(d), edited);

        d.click("keepmine");
        QVERIFY(bar->isHidden());
        QCOMPARE(o.shown(d), edited);
        QCOMPARE(modifiedTitle(d), modified);
        QVERIFY(d.prompts.questions.isEmpty());
        if (realBox) {
            d.prompts.realBoxes = true;
            test::DialogKeys keys({Qt::Key_Enter});
            d.save(c.save);
            QVERIFY(!keys.seen.isEmpty());
            QVERIFY2(keys.seen[0].text.contains(QStringLiteral("已被其他程序改动")),
                     qPrintable(keys.seen[0].text));
            QCOMPARE(keys.seen[0].pressedButton, keys.seen[0].defaultButton);
        } else {
            d.prompts.askAnswers.enqueue(false);
            d.save(c.save);
        }
        QCOMPARE(d.prompts.questions.size(), 1);
        QVERIFY2(d.prompts.lastMessage().startsWith(QStringLiteral("没有写入任何内容")),
                 qPrintable(d.prompts.lastMessage()));
        QCOMPARE(test::readFile(d.path), onDisk);
        QCOMPARE(o.shown(d), edited);
    }

    void reloadShowsTheFile_data() { addOutsideRows(); }

    // 重新载入 drops the edits: the editor shows the file, the title loses
    // its mark, and there is nothing to undo.
    void reloadShowsTheFile() {
        QFETCH(int, outside);
        const Outside& o = outsides()[outside];
        const EditorCase& c = editorOf(o);
        Driver d(c.entry, c.window, c.fileName, c.sample());
        test::openAndShow(d, c);
        o.look(d);
        c.edit(d);
        const QString value = changeOutside(d, o);
        const QByteArray onDisk = test::readFile(d.path);
        DiskBar* bar = test::diskBarOf(d.editor);
        QTRY_VERIFY(bar->isVisible());
        d.click("reloadfile");
        QVERIFY(bar->isHidden());
        QCOMPARE(o.shown(d), value);
        QVERIFY(!modifiedTitle(d));
        QVERIFY(!d.find<QAction>("undo")->isEnabled());
        QCOMPARE(status(d), QString::fromLatin1(c.fileName) + QStringLiteral(" 已重新载入"));
        QVERIFY2(d.prompts.messages.isEmpty(), qPrintable(d.prompts.lastMessage()));
        QVERIFY(d.prompts.questions.isEmpty());
        QCOMPARE(test::readFile(d.path), onDisk);
    }

    void ownSaveIsNoOutsideChange_data() {
        QTest::addColumn<int>("editor");
        for (int e = 0; e < test::allEditors().size(); ++e)
            QTest::addRow("%s", test::allEditors()[e].name) << e;
    }

    // The editor's own save changes the file, the folder and the time: no bar,
    // no reload, and the save's own status line stays.
    void ownSaveIsNoOutsideChange() {
        QFETCH(int, editor);
        const EditorCase& c = test::allEditors()[editor];
        Driver d(c.entry, c.window, c.fileName, c.sample());
        test::openAndShow(d, c);
        c.edit(d);
        QSignalSpy checked(test::fileWatchOf(d.editor), &FileWatch::checked);
        d.save(c.save);
        QVERIFY2(d.prompts.messages.isEmpty(), qPrintable(d.prompts.lastMessage()));
        QVERIFY(test::readFile(d.path) != c.sample());
        const QString saved = status(d);
        QTRY_VERIFY(checked.count() > 0);
        QVERIFY(test::diskBarOf(d.editor)->isHidden());
        QCOMPARE(status(d), saved);
        QVERIFY(!saved.contains(QStringLiteral("其他程序")));
        QVERIFY(d.prompts.questions.isEmpty());
    }
};

LCJ_TEST_MAIN(DiskWatchTest)
#include "diskwatch_test.moc"
