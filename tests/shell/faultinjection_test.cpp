// Every editor meets a failing disk: the open refused, a short read, a write
// error, a failed commit, the file gone or shrunk between open and save, a
// read-only file. Each time there is a clear message, the program goes on,
// the file on disk is untouched (never half-written), and a save after the
// trouble has passed writes exactly what a clean save writes.
#include "common/fileaccess.h"
#include "samplegen/samplegame.h"
#include "shell/mainwindow.h"
#include "support/scriptedprompts.h"
#include "support/testfiles.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>
#include <functional>
#include <memory>

using namespace lcj;

namespace {

// One editor as the main window shows it, on a test copy of its file.
struct Driver {
    test::ScriptedPrompts prompts;
    test::TestFolder dir;
    std::unique_ptr<MainWindow> main;
    QWidget* editor = nullptr;
    QString path;

    Driver(const char* entry, const char* window, const char* fileName, const QByteArray& bytes) {
        path = dir.write(QString::fromLatin1(fileName), bytes);
        main = std::make_unique<MainWindow>(prompts);
        main->show();
        main->findChild<QAction*>(QString::fromLatin1(entry))->trigger();
        editor = main->findChild<QWidget*>(QString::fromLatin1(window));
        if (!editor)
            qFatal("no editor %s", window);
    }
    template <class T> T* find(const char* name) {
        T* w = editor->findChild<T*>(QString::fromLatin1(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }
    void trigger(const char* name) { find<QAction>(name)->trigger(); }
    void click(const char* name) { QTest::mouseClick(find<QPushButton>(name), Qt::LeftButton); }
    void type(const char* name, const QString& text) {
        find<QLineEdit>(name)->clear();
        QTest::keyClicks(find<QLineEdit>(name), text);
    }
    void select(const char* list, int row) { find<QListWidget>(list)->setCurrentRow(row); }
    void open(const char* action) {
        prompts.openAnswers.enqueue(path);
        trigger(action);
    }
    // The save button, pressed only when the user could press it.
    void clickIfUsable(const char* name) {
        auto* button = find<QPushButton>(name);
        if (button->isVisible() && button->isEnabled())
            QTest::mouseClick(button, Qt::LeftButton);
    }
    // Every file in the folder: no temporary file may be left behind.
    QStringList files() const {
        return QDir(QFileInfo(path).path()).entryList(QDir::Files | QDir::Hidden);
    }
};

struct EditorCase {
    const char* name;
    const char* entry;  // the main window's menu entry
    const char* window; // the editor's objectName
    const char* fileName;
    QByteArray (*sample)();
    const char* open;                  // its open command
    std::function<void(Driver&)> show; // what the user does after opening
    std::function<void(Driver&)> edit; // a change, confirmed where the editor confirms
    const char* save;                  // its save button
};

const QList<EditorCase>& editors() {
    const auto data = [] { return sample::dataFile(); };
    static const QList<EditorCase> all{
        {"character", "dataedit", "DForm", "data.e5", data, "fileop",
         [](Driver& d) { d.trigger("renpre"); },
         [](Driver& d) {
             d.select("List1", 5);
             d.type("Text4", QStringLiteral("80"));
         },
         "Command1"},
        {"item", "dataedit", "DForm", "data.e5", data, "fileop",
         [](Driver& d) { d.trigger("daopre"); },
         [](Driver& d) {
             d.select("List3", 9);
             d.type("Text14", QStringLiteral("123"));
         },
         "Command4"},
        {"shop", "dataedit", "DForm", "data.e5", data, "fileop",
         [](Driver& d) { d.trigger("shoppre"); },
         [](Driver& d) {
             d.select("List4", 3);
             QListWidgetItem* item = d.find<QListWidget>("List5")->item(0);
             item->setSelected(!item->isSelected());
         },
         "Command6"},
        {"trooptype", "dataedit", "DForm", "data.e5", data, "fileop",
         [](Driver& d) { d.trigger("binpre"); },
         [](Driver& d) {
             d.select("List8", 4);
             d.type("Text21", QStringLiteral("77"));
         },
         "Command10"},
        {"terrain", "dataedit", "DForm", "data.e5", data, "fileop",
         [](Driver& d) { d.trigger("dipfe"); },
         [](Driver& d) {
             d.select("List7", 2);
             d.type("Text19_3", QStringLiteral("111"));
         },
         "Command8"},
        {"strategy", "dataedit", "DForm", "data.e5", data, "fileop",
         [](Driver& d) { d.trigger("chepre"); },
         [](Driver& d) {
             d.select("List9", 6);
             d.type("Text30", QStringLiteral("33"));
         },
         "Command12"},
        {"savegame", "saveedit", "Record", "Sv01d.e5s", [] { return sample::saveGame(); },
         "fileopen", [](Driver&) {},
         [](Driver& d) {
             d.select("List1", 41);
             d.type("Text8", QStringLiteral("71"));
             d.type("Text24", QStringLiteral("99"));
             d.click("Command1");
         },
         "Command2"},
        {"messages", "imsgedit", "Imsg", "Imsg.e5", [] { return sample::messageFile(); },
         "fileopen", [](Driver& d) { d.trigger("liezhuan"); },
         [](Driver& d) {
             d.select("List1", 2);
             d.find<QPlainTextEdit>("Text1")->setPlainText(QStringLiteral("新写的列传"));
         },
         "Command1"},
        {"program", "fileedit", "MainFile", "Lcj5.exe", [] { return sample::programFile(); },
         "mainopen", [](Driver&) {},
         [](Driver& d) {
             d.select("List1", 3);
             d.find<QComboBox>("Combo1")->setCurrentIndex(5);
             d.click("Command1");
         },
         "Command2"},
    };
    return all;
}

enum class Trouble {
    OpenRefusedOnOpen,
    ShortReadOnOpen,
    OpenRefused,
    ShortRead,
    WriteError,
    CommitFailure,
    Vanished,
    Shrunk,
    ReadOnly,
};

struct TroubleCase {
    const char* name;
    Trouble trouble;
    QStringList words; // the message names the trouble with one of these
};

const QList<TroubleCase>& troubles() {
    static const QList<TroubleCase> all{
        {"open refused on open", Trouble::OpenRefusedOnOpen, {QStringLiteral("无法打开")}},
        {"short read on open", Trouble::ShortReadOnOpen, {QStringLiteral("读取")}},
        {"open refused on save", Trouble::OpenRefused, {QStringLiteral("无法打开")}},
        {"short read on save", Trouble::ShortRead, {QStringLiteral("读取")}},
        {"write error", Trouble::WriteError, {QStringLiteral("文件保持原样")}},
        {"commit failure", Trouble::CommitFailure, {QStringLiteral("文件保持原样")}},
        {"file vanished", Trouble::Vanished, {QStringLiteral("找不到")}},
        {"file shrunk", Trouble::Shrunk, {QStringLiteral("太短"), QStringLiteral("不是完整")}},
        {"read-only file", Trouble::ReadOnly, {QStringLiteral("只读")}},
    };
    return all;
}

bool onOpen(Trouble t) {
    return t == Trouble::OpenRefusedOnOpen || t == Trouble::ShortReadOnOpen;
}

// What a clean open, edit and save writes.
QByteArray cleanSave(const EditorCase& c) {
    Driver d(c.entry, c.window, c.fileName, c.sample());
    d.open(c.open);
    c.show(d);
    c.edit(d);
    d.click(c.save);
    if (!d.prompts.messages.isEmpty())
        qFatal("clean save of %s: %s", c.name, qPrintable(d.prompts.lastMessage()));
    return test::readFile(d.path);
}

bool names(const QString& message, const QStringList& words) {
    for (const QString& w : words)
        if (message.contains(w))
            return true;
    return false;
}

} // namespace

class FaultInjectionTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { files::clearFaults(); }

    void editorSurvivesAndKeepsTheFileWhole_data() {
        QTest::addColumn<int>("editor");
        QTest::addColumn<int>("trouble");
        for (int e = 0; e < editors().size(); ++e)
            for (int t = 0; t < troubles().size(); ++t)
                QTest::addRow("%s, %s", editors()[e].name, troubles()[t].name) << e << t;
    }

    void editorSurvivesAndKeepsTheFileWhole() {
        QFETCH(int, editor);
        QFETCH(int, trouble);
        const EditorCase& c = editors()[editor];
        const TroubleCase& t = troubles()[trouble];
        const QByteArray original = c.sample();
        static QHash<int, QByteArray> clean;
        if (!clean.contains(editor))
            clean.insert(editor, cleanSave(c));
        const QByteArray saved = clean.value(editor);
        QVERIFY(saved != original);
        QCOMPARE(saved.size(), original.size());

        Driver d(c.entry, c.window, c.fileName, original);
        const QString bak = files::backupPath(d.path);
        if (onOpen(t.trouble)) {
            files::injectFault(t.trouble == Trouble::OpenRefusedOnOpen ? files::Fault::OpenRefused
                                                                       : files::Fault::ShortRead);
            d.open(c.open);
            c.show(d);
            QVERIFY(!d.prompts.messages.isEmpty());
            QVERIFY2(names(d.prompts.lastMessage(), t.words), qPrintable(d.prompts.lastMessage()));
            files::clearFaults();
            // Nothing was loaded, so there is nothing to save over the file.
            d.clickIfUsable(c.save);
            QCOMPARE(test::readFile(d.path), original);
        } else {
            d.open(c.open);
            c.show(d);
            c.edit(d);
            QVERIFY2(d.prompts.messages.isEmpty(), qPrintable(d.prompts.lastMessage()));
            QByteArray expectedOnDisk = original;
            switch (t.trouble) {
            case Trouble::OpenRefused:
                files::injectFault(files::Fault::OpenRefused);
                break;
            case Trouble::ShortRead:
                files::injectFault(files::Fault::ShortRead);
                break;
            case Trouble::WriteError:
                files::injectFault(files::Fault::WriteError);
                break;
            case Trouble::CommitFailure:
                files::injectFault(files::Fault::CommitFailure);
                break;
            case Trouble::Vanished:
                QVERIFY(QFile::remove(d.path));
                expectedOnDisk.clear();
                break;
            case Trouble::Shrunk:
                expectedOnDisk = original.left(original.size() / 3);
                d.dir.write(QString::fromLatin1(c.fileName), expectedOnDisk);
                break;
            case Trouble::ReadOnly:
                QVERIFY(QFile::setPermissions(d.path, QFile::ReadOwner | QFile::ReadUser));
                break;
            default:
                break;
            }
            d.click(c.save);
            QCOMPARE(d.prompts.messages.size(), 1);
            QVERIFY2(names(d.prompts.lastMessage(), t.words), qPrintable(d.prompts.lastMessage()));
            if (t.trouble == Trouble::Vanished) {
                QVERIFY(!QFile::exists(d.path)); // never made up from nothing
            } else {
                QCOMPARE(test::readFile(d.path), expectedOnDisk);
            }
            for (const QString& f : d.files())
                QVERIFY2(f == QString::fromLatin1(c.fileName) || d.dir.path(f) == bak,
                         qPrintable(f));
            // The trouble passes.
            files::clearFaults();
            QFile::setPermissions(d.path, QFile::ReadOwner | QFile::WriteOwner);
            d.dir.write(QString::fromLatin1(c.fileName), original);
        }
        // The program goes on, and the editor with it.
        QVERIFY(d.main->isVisible());
        QCOMPARE(d.main->findChild<QWidget*>(QString::fromLatin1(c.window)), d.editor);
        // What the window holds is what the user saw: saving it now writes
        // exactly what a clean save writes.
        const int before = int(d.prompts.messages.size());
        if (onOpen(t.trouble)) {
            d.open(c.open);
            c.show(d);
            c.edit(d);
        }
        d.click(c.save);
        QVERIFY2(d.prompts.messages.size() == before, qPrintable(d.prompts.lastMessage()));
        QCOMPARE(test::readFile(d.path), saved);
        // The backup holds the file as it was before the first write.
        if (QFile::exists(bak))
            QCOMPARE(test::readFile(bak), original);
    }
};

QTEST_MAIN(FaultInjectionTest)
#include "faultinjection_test.moc"
