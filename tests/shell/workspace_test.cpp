// One game, one workspace: the one question before the program ends (the list of unsaved
// files, answered with the keys), a switch to another game folder with six editors open, the
// check window after a switch, and the titles that say which game a file belongs to.
#include "changes/patch.h"
#include "check/ui/jiancha.h"
#include "common/ui/settings.h"
#include "editorcases.h"
#include "samplegen/samplegame.h"
#include "shell/mainwindow.h"
#include "shell/workspace.h"
#include "support/dialogkeys.h"
#include "support/testmain.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStyle>
#include <QTemporaryDir>
#include <algorithm>

using namespace lcj;

namespace {

const test::EditorCase& editorCase(const char* name) {
    for (const test::EditorCase& c : test::editors())
        if (qstrcmp(c.name, name) == 0)
            return c;
    qFatal("no editor case %s", name);
}

// The four region and data editors the closing list is tried with.
const char* const closingCases[] = {"character", "savegame", "messages", "program"};

// An editor of the folder switch: the file it shows, where the user left it (a list and
// its row), and for those that edit, the change and the save made after the switch.
struct SwitchCase {
    const char* entry;
    const char* window;
    const char* file;
    std::function<void(test::Driver&)> show;
    const char* list;
    int row;
    const char* edit; // the editorCase whose edit and save run after the switch, or none
};

const QList<SwitchCase>& switchCases() {
    static const QList<SwitchCase> all{
        {"dataedit", "DForm", "data.e5", [](test::Driver& d) { d.trigger("daopre"); }, "List3", 9,
         "item"},
        {"saveedit", "Record", "Sv01d.e5s", [](test::Driver&) {}, "List1", 41, "savegame"},
        {"fileedit", "MainFile", "Lcj5.exe", [](test::Driver&) {}, "List1", 3, "program"},
        {"imsgedit", "Imsg", "Imsg.e5", [](test::Driver& d) { d.trigger("liezhuan"); }, "List1", 2,
         "messages"},
        {"sedit", "Junben", "S_01.eex", [](test::Driver&) {}, "List4", 1, nullptr},
        {"map", "Form1", "map02.bmp", [](test::Driver&) {}, "File1", -1, nullptr},
    };
    return all;
}

} // namespace

class WorkspaceTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> tmp;
    QString games[3]; // the first game, the second, a copy of the second kept as it was

    QString in(int game, const QString& name) const { return QDir(games[game]).filePath(name); }
    QString in(int game, const char* name) const { return in(game, QString::fromLatin1(name)); }
    static QString secondName() { return QStringLiteral("岚川二"); }
    // Every file of a folder with its bytes.
    static QMap<QString, QByteArray> contents(const QString& folder) {
        QMap<QString, QByteArray> all;
        for (const QString& name : QDir(folder).entryList(QDir::Files))
            all[name] = test::readFile(QDir(folder).filePath(name));
        return all;
    }
    // The driver's window shows the editor of `entry` on the file `name` of its folder.
    static void openEditor(test::Driver& d, const char* entry, const char* window,
                           const char* name) {
        d.main->findChild<QAction*>(QString::fromLatin1(entry))->trigger();
        d.editor = d.main->findChild<QWidget*>(QString::fromLatin1(window));
        d.path = d.at(QString::fromLatin1(name));
        QVERIFY(d.main->openPath(d.path));
    }

private slots:
    void init() {
        tmp = std::make_unique<QTemporaryDir>();
        QVERIFY(tmp->isValid());
        settings::useFile(tmp->filePath(QStringLiteral("settings.ini")));
        for (int g = 0; g < 3; ++g) {
            games[g] = tmp->filePath(QStringLiteral("game%1").arg(g + 1));
            QVERIFY(sample::writeSampleGame(games[g]).ok());
        }
        // The second game: another data file with a name of its own, another save.
        for (int g = 1; g < 3; ++g) {
            const auto data = changes::patch::writeCells(
                changes::patch::FileKind::Data, QStringLiteral("data.e5"), sample::dataFile(11),
                {{QStringLiteral("characters"), 0, QStringLiteral("姓名"), {}, secondName()}});
            QVERIFY(data.ok());
            test::TestFolder scratch;
            QVERIFY(QFile::remove(in(g, QStringLiteral("data.e5"))));
            QVERIFY(QFile::copy(scratch.write(QStringLiteral("data.e5"), *data),
                                in(g, QStringLiteral("data.e5"))));
            QVERIFY(QFile::remove(in(g, QStringLiteral("Sv01d.e5s"))));
            QVERIFY(QFile::copy(scratch.write(QStringLiteral("Sv01d.e5s"), sample::saveGame(23)),
                                in(g, QStringLiteral("Sv01d.e5s"))));
        }
        QVERIFY(contents(games[0]) != contents(games[1]));
    }
    void cleanup() {
        settings::forget();
        tmp.reset();
    }

    // ×, Alt+F4, 退出 and the session's end all come to closeEvent: one list of every file
    // with unsaved edits (typed values included), Enter saving the checked ones, Escape
    // keeping every editor as it was.
    void closingAsksOnceForEveryFile_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("unchecked"); // the file whose box the user clears
        QTest::addColumn<bool>("closes");
        QTest::newRow("Enter saves every file") << int(Qt::Key_Enter) << QString() << true;
        QTest::newRow("Enter saves the checked")
            << int(Qt::Key_Enter) << QStringLiteral("Sv01d.e5s") << true;
        QTest::newRow("Escape keeps everything") << int(Qt::Key_Escape) << QString() << false;
    }
    void closingAsksOnceForEveryFile() {
        QFETCH(int, key);
        QFETCH(QString, unchecked);
        QFETCH(bool, closes);
        test::Driver d("dataedit", "DForm", "data.e5", sample::dataFile(), games[0]);
        d.main->openGameFolder(games[0]);
        QMap<QString, QByteArray> saved; // what each editor's own save writes
        for (const char* name : closingCases) {
            const test::EditorCase& c = editorCase(name);
            saved[QString::fromLatin1(c.fileName)] = test::cleanSave(c);
            d.main->findChild<QAction*>(QString::fromLatin1(c.entry))->trigger();
            d.editor = d.main->findChild<QWidget*>(QString::fromLatin1(c.window));
            d.path = d.write(QString::fromLatin1(c.fileName), c.sample());
            test::openAndShow(d, c);
            c.edit(d);
            // The region editors confirm their edit: the data form and the message box hold
            // only typed values.
            QVERIFY(qobject_cast<EditorWindow*>(d.editor)->documents().first().holdsEdits());
        }
        const auto before = contents(games[0]);
        // Each document gives the editor's real bytes: base what is on disk, mine what the
        // editor holds (the confirmed edits of the region editors; the data form and the
        // message box hold theirs only typed).
        QMap<QString, QByteArray> mine;
        for (const Document* document : d.main->workspace()->documents()) {
            const QString file = QFileInfo(document->path()).fileName();
            QCOMPARE(document->base(), before[file]);
            QCOMPARE(document->stamp().path, QFileInfo(d.at(file)).absoluteFilePath());
            QVERIFY2(document->modified(), qPrintable(file));
            mine[file] = document->mine();
        }
        QCOMPARE(mine.keys(), saved.keys());
        for (const char* confirmed : {"Sv01d.e5s", "Lcj5.exe"})
            QCOMPARE(mine[QString::fromLatin1(confirmed)], saved[QString::fromLatin1(confirmed)]);
        for (const char* typed : {"data.e5", "Imsg.e5"})
            QCOMPARE(mine[QString::fromLatin1(typed)], before[QString::fromLatin1(typed)]);
        QStringList titles;
        for (QMdiSubWindow* frame : d.main->mdiArea()->subWindowList())
            titles << frame->windowTitle();
        const QString typed = d.main->findChild<QLineEdit*>(QStringLiteral("Text4"))->text();
        d.prompts.realBoxes = true;
        test::DialogKeys keys({key});
        QStringList listed; // the files of the list, each with its box checked
        keys.beforeKey = [&unchecked, &listed](QWidget* dialog) {
            QCOMPARE(dialog->objectName(), QStringLiteral("unsavedlist"));
            for (QCheckBox* box : dialog->findChildren<QCheckBox*>()) {
                if (box->isChecked())
                    listed << QFileInfo(box->text()).fileName();
                if (!unchecked.isEmpty() && box->text().endsWith(unchecked))
                    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
            }
        };
        QCOMPARE(d.main->close(), closes);

        QCOMPARE(keys.seen.size(), 1);
        QCOMPARE(keys.seen[0].buttons,
                 (QStringList{QStringLiteral("保存所选"), QStringLiteral("不保存"),
                              QStringLiteral("取消")}));
        QCOMPARE(keys.seen[0].defaultButton, QStringLiteral("保存所选"));
        QCOMPARE(d.prompts.questions.size(), 1);
        listed.sort();
        QCOMPARE(listed, saved.keys());
        for (const QString& file : saved.keys()) {
            const QByteArray now = test::readFile(d.at(file));
            if (!closes || file == unchecked)
                QVERIFY2(now == before[file], qPrintable(file));
            else
                QVERIFY2(now == saved[file], qPrintable(file));
        }
        if (closes)
            return;
        // 取消: every editor open as it was, its edits and typed values with it.
        QVERIFY(d.main->isVisible());
        QStringList after;
        for (QMdiSubWindow* frame : d.main->mdiArea()->subWindowList()) {
            QVERIFY(frame->isVisible());
            after << frame->windowTitle();
        }
        QCOMPARE(after, titles);
        QCOMPARE(d.main->findChild<QLineEdit*>(QStringLiteral("Text4"))->text(), typed);
        d.prompts.realBoxes = false;
        d.prompts.saveChoices.enqueue(Prompts::SaveChoice::Discard);
        QVERIFY(d.main->close());
        QCOMPARE(contents(games[0]), before);
    }

    // Six editors open in one game; another game opened: each shows the file of the same
    // name there, where the user was, with the new game's names; an edit saved there changes
    // that file exactly as in a window opened on it afresh, and nothing of the first game.
    void aSwitchMovesEveryEditor() {
        const auto firstGame = contents(games[0]);
        test::Driver d("dataedit", "DForm", "data.e5", test::readFile(in(0, "data.e5")), games[0]);
        d.main->openGameFolder(games[0]);
        QMap<QString, QWidget*> windows;
        for (const SwitchCase& c : switchCases()) {
            openEditor(d, c.entry, c.window, c.file);
            c.show(d);
            if (c.row >= 0)
                d.select(c.list, c.row);
            windows[QString::fromLatin1(c.window)] = d.editor;
        }
        QCOMPARE(d.main->mdiArea()->subWindowList().size(), 6);
        d.prompts.folderAnswers.enqueue(games[1]);
        d.main->findChild<QAction*>(QStringLiteral("gamefolder"))->trigger();
        QCOMPARE(d.main->gameFolder(), QDir::cleanPath(games[1]));
        QVERIFY2(d.prompts.messages.isEmpty(), qPrintable(d.prompts.lastMessage()));
        QCOMPARE(d.main->mdiArea()->subWindowList().size(), 6);

        for (const SwitchCase& c : switchCases()) {
            auto* window = qobject_cast<EditorWindow*>(windows[QString::fromLatin1(c.window)]);
            QCOMPARE(QFileInfo(window->filePath()), QFileInfo(in(1, QString::fromLatin1(c.file))));
            // Room for the whole title in any font (a narrow frame elides it).
            window->parentWidget()->resize(1400, window->parentWidget()->height());
            QVERIFY2(window->windowTitle().contains(QStringLiteral("game2") + QDir::separator() +
                                                    QString::fromLatin1(c.file)),
                     qPrintable(window->windowTitle()));
            auto* list = window->findChild<QListWidget*>(QString::fromLatin1(c.list));
            if (c.row >= 0)
                QCOMPARE(list->currentRow(), c.row);
            else
                QCOMPARE(list->currentItem()->text(), QString::fromLatin1(c.file));
        }
        // The names are the second game's own.
        for (const char* window : {"Record", "Junben"}) {
            auto* names = windows[QString::fromLatin1(window)]->findChild<QListWidget*>(
                QStringLiteral("List1"));
            QVERIFY2(names->item(0)->text().contains(secondName()), window);
        }

        QMap<QString, QByteArray> expected = contents(games[2]);
        for (const SwitchCase& c : switchCases()) {
            if (!c.edit)
                continue;
            const test::EditorCase& e = editorCase(c.edit);
            d.editor = windows[QString::fromLatin1(c.window)];
            e.edit(d);
            d.save(e.save);
            // The same edit in a window opened on the untouched copy of the second game.
            test::Driver fresh(c.entry, c.window, c.file, test::readFile(in(2, c.file)));
            fresh.main->openPath(fresh.path);
            c.show(fresh);
            if (c.row >= 0)
                fresh.select(c.list, c.row);
            e.edit(fresh);
            fresh.save(e.save);
            QVERIFY2(fresh.prompts.messages.isEmpty(), qPrintable(fresh.prompts.lastMessage()));
            expected[QString::fromLatin1(c.file)] = test::readFile(fresh.path);
            // The first write keeps the file as it was beside it.
            expected[QString::fromLatin1(c.file) + QStringLiteral(".bak")] =
                test::readFile(in(2, c.file));
            QVERIFY(expected[QString::fromLatin1(c.file)] !=
                    test::readFile(in(2, QString::fromLatin1(c.file))));
        }
        QVERIFY2(d.prompts.messages.isEmpty(), qPrintable(d.prompts.lastMessage()));
        const auto now = contents(games[1]);
        for (const QString& name : expected.keys()) {
            const QByteArray a = now.value(name), b = expected[name];
            qsizetype at = 0;
            while (at < a.size() && at < b.size() && a[at] == b[at])
                ++at;
            QVERIFY2(a == b, qPrintable(QStringLiteral("%1 differs at %2 (%3 / %4 bytes)")
                                            .arg(name)
                                            .arg(at)
                                            .arg(a.size())
                                            .arg(b.size())));
        }
        QCOMPARE(now.keys(), expected.keys());
        QCOMPARE(contents(games[0]), firstGame);
    }

    // A file the new game lacks closes its editor; 取消 in the question keeps the first game.
    void aSwitchAsksAboutTheEditsItWouldDrop_data() {
        QTest::addColumn<int>("choice");
        QTest::addColumn<bool>("switched");
        QTest::newRow("取消") << int(Prompts::SaveChoice::Cancel) << false;
        QTest::newRow("不保存") << int(Prompts::SaveChoice::Discard) << true;
    }
    void aSwitchAsksAboutTheEditsItWouldDrop() {
        QFETCH(int, choice);
        QFETCH(bool, switched);
        QVERIFY(QFile::remove(in(1, QStringLiteral("Imsg.e5"))));
        test::Driver d("dataedit", "DForm", "data.e5", test::readFile(in(0, "data.e5")), games[0]);
        d.main->openGameFolder(games[0]);
        const test::EditorCase& c = editorCase("savegame");
        openEditor(d, "saveedit", "Record", "Sv01d.e5s");
        c.edit(d);
        openEditor(d, "imsgedit", "Imsg", "Imsg.e5");
        const auto first = contents(games[0]);
        d.prompts.saveChoices.enqueue(Prompts::SaveChoice(choice));
        QCOMPARE(d.main->openGameFolder(games[1]), switched);
        QCOMPARE(d.prompts.questions.size(), 1);
        QVERIFY(d.prompts.questions[0].contains(QStringLiteral("Sv01d.e5s")));
        QCOMPARE(contents(games[0]), first);
        QCOMPARE(d.main->gameFolder(), QDir::cleanPath(games[switched ? 1 : 0]));
        // The message editor has no Imsg.e5 to go to in the second game.
        QTRY_COMPARE(d.main->mdiArea()->subWindowList().size(), switched ? 2 : 3);
        auto* record = d.main->findChild<EditorWindow*>(QStringLiteral("Record"));
        QCOMPARE(record->modified(), !switched);
    }

    // Another program changes the game's data.e5: the open editors show its names at once.
    void theNamesFollowTheDataFileOnDisk() {
        test::Driver d("saveedit", "Record", "Sv01d.e5s", test::readFile(in(1, "Sv01d.e5s")),
                       games[1]);
        d.main->openGameFolder(games[1]);
        QVERIFY(d.main->openPath(d.path));
        auto* names = d.find<QListWidget>("List1");
        QVERIFY(names->item(0)->text().contains(secondName()));
        const auto renamed =
            changes::patch::writeCells(changes::patch::FileKind::Data, QStringLiteral("data.e5"),
                                       test::readFile(in(1, "data.e5")),
                                       {{QStringLiteral("characters"),
                                         0,
                                         QStringLiteral("姓名"),
                                         {},
                                         QStringLiteral("改名者")}});
        QVERIFY(renamed.ok());
        d.write(QStringLiteral("data.e5"), *renamed);
        QTRY_VERIFY(names->item(0)->text().contains(QStringLiteral("改名者")));
        QCOMPARE(d.main->findChild<EditorWindow*>(QStringLiteral("Record"))->modified(), false);
    }

    // 重新检查 after a switch checks the folder open now.
    void theCheckFollowsTheFolder() {
        // The second game's message file is cut short: only it has a problem.
        QFile imsg(in(1, QStringLiteral("Imsg.e5")));
        QVERIFY(imsg.resize(100));
        test::Driver d("dataedit", "DForm", "data.e5", test::readFile(in(0, "data.e5")), games[0]);
        d.main->openGameFolder(games[0]);
        d.main->jiancha_Click();
        auto* check = d.main->findChild<check::Jiancha*>(QStringLiteral("Jiancha"));
        QVERIFY(check);
        QCOMPARE(check->folder(), QDir::cleanPath(games[0]));
        d.main->openGameFolder(games[1]);
        QTest::mouseClick(check->findChild<QPushButton*>(QStringLiteral("recheck")),
                          Qt::LeftButton);
        QCOMPARE(check->folder(), QDir::cleanPath(games[1]));
        bool cutShort = false;
        for (const check::Problem& p : check->found()) {
            QCOMPARE(QFileInfo(QFileInfo(p.path).absolutePath()), QFileInfo(games[1]));
            cutShort = cutShort || QFileInfo(p.path) == QFileInfo(in(1, "Imsg.e5"));
        }
        QVERIFY(cutShort);
        QVERIFY(check->statusText().contains(QDir::toNativeSeparators(games[1])));
    }

    // The title names the game's folder, or the whole path of a file from elsewhere; a game
    // file of another game given from outside brings its game with it.
    void theTitleSaysWhichGame_data() {
        QTest::addColumn<QString>("opened"); // how: "dock", "other", "outside"
        QTest::addColumn<int>("folder");     // the workspace after, by game
        QTest::addColumn<QString>("where");  // what the title shows before the file name
        QTest::newRow("in the folder") << QStringLiteral("dock") << 0 << QStringLiteral("game1");
        QTest::newRow("from elsewhere") << QStringLiteral("other") << 0 << QStringLiteral("*");
        QTest::newRow("another game from outside")
            << QStringLiteral("outside") << 1 << QStringLiteral("game2");
        QTest::newRow("a narrow frame") << QStringLiteral("narrow") << 0 << QStringLiteral("…");
    }
    void theTitleSaysWhichGame() {
        QFETCH(QString, opened);
        QFETCH(int, folder);
        QFETCH(QString, where);
        test::TestFolder elsewhere;
        test::Driver d("dataedit", "DForm", "data.e5", test::readFile(in(0, "data.e5")), games[0]);
        d.main->openGameFolder(games[0]);
        QString path = in(0, QStringLiteral("data.e5"));
        if (opened == QStringLiteral("other"))
            path = elsewhere.write(QStringLiteral("Imsg.e5"), sample::messageFile());
        else if (opened == QStringLiteral("outside"))
            path = in(1, QStringLiteral("data.e5"));
        QVERIFY(opened == QStringLiteral("dock") ? d.main->openPath(path)
                                                 : d.main->openFromOutside(path));
        QCOMPARE(d.main->gameFolder(), QDir::cleanPath(games[folder]));
        const QFileInfo file(path);
        if (where == QStringLiteral("*"))
            where = file.absolutePath();
        QMdiSubWindow* frame = d.main->mdiArea()->activeSubWindow();
        if (opened == QStringLiteral("narrow")) {
            // The folder gives way; the caption and the file's whole name stay.
            // Room for the caption and the file's name, not for its folder.
            const QFontMetrics metrics(frame->font());
            const int buttons = 4 * frame->style()->pixelMetric(QStyle::PM_TitleBarHeight);
            frame->setMinimumWidth(0);
            frame->widget()->setMinimumWidth(0);
            frame->resize(buttons +
                              metrics.horizontalAdvance(QStringLiteral("Data文件修改 - …") +
                                                        QDir::separator() + file.fileName()) +
                              4,
                          frame->height());
            QVERIFY2(frame->windowTitle().startsWith(QStringLiteral("Data文件修改 - ")) &&
                         frame->windowTitle().contains(where) &&
                         frame->windowTitle().endsWith(QDir::separator() + file.fileName()),
                     qPrintable(frame->windowTitle()));
            return;
        }
        // A frame as wide as the area shows the path whole (a long one in any font in this
        // wide area).
        d.main->resize(std::max(d.main->width(), 1800), d.main->height());
        frame->showMaximized();
        const QString title = frame->windowTitle();
        QVERIFY2(title.endsWith(QStringLiteral(" - ") + QDir::toNativeSeparators(where) +
                                QDir::separator() + file.fileName()),
                 qPrintable(title));
    }
};

LCJ_TEST_MAIN(WorkspaceTest)
#include "workspace_test.moc"
