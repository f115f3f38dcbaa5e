// The game folder as the workspace, driven as a user drives it: 打开游戏目录 through the
// folder dialog, files opened from the dock "游戏目录" by double click and Enter, the unsaved
// mark, the names of the folder's data.e5, what the next run finds again (the folder, the
// recent folders, the window), drops and the command line.
#include "changes/patch.h"
#include "common/nametables.h"
#include "common/ui/editorwindow.h"
#include "common/ui/settings.h"
#include "mapview/ui/form1.h"
#include "samplegen/samplegame.h"
#include "scenario/ui/battlemap.h"
#include "scenario/ui/junben.h"
#include "shell/gamedock.h"
#include "shell/mainwindow.h"
#include "shell/startup.h"
#include "support/dialogkeys.h"
#include "support/scriptedprompts.h"
#include "support/testfiles.h"
#include "support/testmain.h"

#include <QAction>
#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLoggingCategory>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

using namespace lcj;
namespace patch = changes::patch;

class GameFolderTest : public QObject {
    Q_OBJECT

    test::ScriptedPrompts prompts;
    std::unique_ptr<QTemporaryDir> tmp;
    std::unique_ptr<MainWindow> main;
    QString game; // the sample game folder

    QString in(const QString& folder, const QString& name) const {
        return QDir(folder).filePath(name);
    }
    QString settingsFile() const { return tmp->filePath(QStringLiteral("settings.ini")); }
    void startMain() {
        main = std::make_unique<MainWindow>(prompts);
        main->show();
        QVERIFY(QTest::qWaitForWindowExposed(main.get()));
    }
    // The program ends as the user ends it, and starts again with the same settings.
    void restart() {
        QVERIFY(main->close());
        main.reset();
        startMain();
    }
    void trigger(QObject* root, const QString& name) {
        auto* action = root->findChild<QAction*>(name);
        QVERIFY2(action, qPrintable(name));
        action->trigger();
    }
    void openFolderByMenu(const QString& folder) {
        prompts.folderAnswers.enqueue(folder);
        trigger(main.get(), QStringLiteral("gamefolder"));
        QCOMPARE(main->gameFolder(), QDir::cleanPath(folder));
    }
    QTreeWidget* tree() { return main->findChild<QTreeWidget*>(QStringLiteral("gamefiles")); }
    QTreeWidgetItem* item(const QString& name) { return main->gameDock()->itemOf(in(game, name)); }
    template <class W> W* editor(const char* name) {
        return main->findChild<W*>(QString::fromLatin1(name));
    }
    // A double click on the file's row, or the row chosen and Enter pressed.
    void activate(const QString& name, bool byKey) {
        QTreeWidgetItem* row = item(name);
        QVERIFY2(row, qPrintable(name));
        QTreeWidget* t = tree();
        t->scrollToItem(row);
        t->setCurrentItem(row);
        if (byKey) {
            t->setFocus();
            QTest::keyClick(t, Qt::Key_Return);
        } else {
            const QPoint at = t->visualItemRect(row).center();
            QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(t->viewport(), Qt::LeftButton, {}, at);
        }
    }
    QStringList topRows() {
        QStringList rows;
        for (int i = 0; i < tree()->topLevelItemCount(); ++i)
            rows << tree()->topLevelItem(i)->text(0);
        return rows;
    }
    void drop(const QList<QUrl>& urls, bool* accepted = nullptr) {
        QMimeData data;
        data.setUrls(urls);
        const QPoint at(main->width() / 2, main->height() / 2);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(main.get(), &enter);
        if (accepted)
            *accepted = enter.isAccepted();
        if (!enter.isAccepted())
            return;
        QDropEvent dropped(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(main.get(), &dropped);
    }
    // Types `value` into `column` of character `row` of the folder's data.e5 and saves it.
    static bool setCharacter(const QString& folder, int row, const QString& column,
                             const QJsonValue& value) {
        const QString data = QDir(folder).filePath(QStringLiteral("data.e5"));
        const auto written = patch::writeCells(
            patch::FileKind::Data, QStringLiteral("data.e5"), test::readFile(data),
            {{QStringLiteral("characters"), row, column, {}, value}});
        QFile f(data);
        return written.ok() && f.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
               f.write(*written) == written->size();
    }
    // The name the sample game's data.e5 gives character 0, unlike the fixed tables.
    static QString folderName() { return QStringLiteral("岚川测"); }
    // A patch that sets 人物 5 武力 to 76, made from the sample game and a copy of it.
    QString writePatch() {
        const QString mod = tmp->filePath(QStringLiteral("mod"));
        [&] { QVERIFY(sample::writeSampleGame(mod).ok()); }();
        if (!setCharacter(mod, 5, QStringLiteral("武力"), 76))
            return {};
        QStringList warnings;
        const auto made = patch::makePatch(game, mod, warnings);
        if (!made.ok())
            return {};
        const QString path = tmp->filePath(QStringLiteral("strength.lcjpatch"));
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly) || out.write(patch::toJson(*made)) < 0)
            return {};
        return path;
    }

private slots:
    void init() {
        prompts = {};
        tmp = std::make_unique<QTemporaryDir>();
        QVERIFY(tmp->isValid());
        settings::useFile(settingsFile());
        game = tmp->filePath(QStringLiteral("game"));
        QVERIFY(sample::writeSampleGame(game).ok());
        QVERIFY(setCharacter(game, 0, QStringLiteral("姓名"), folderName()));
        startMain();
    }
    void cleanup() {
        main.reset();
        settings::forget();
        tmp.reset();
    }

    void theFolderIsListedByKind() {
        QVERIFY(!main->gameDock()->isVisible());
        // Ctrl+O asks for the folder, wherever the keyboard is.
        prompts.folderAnswers.enqueue(game);
        QApplication::setActiveWindow(main.get());
        QTest::keyClick(main.get(), Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(prompts.openFolders.size(), 1);
        QCOMPARE(main->gameFolder(), QDir::cleanPath(game));
        QVERIFY(main->gameDock()->isVisible());
        QCOMPARE(main->gameDock()->windowTitle(), QStringLiteral("游戏目录"));
        QCOMPARE(topRows(), (QStringList{QStringLiteral("数据"), QStringLiteral("剧本"),
                                         QStringLiteral("存档"), QStringLiteral("文字"),
                                         QStringLiteral("程序"), QStringLiteral("地图")}));
        QCOMPARE(item(QStringLiteral("data.e5"))->parent()->text(0), QStringLiteral("数据"));
        // Each R file beneath its scenario.
        QTreeWidgetItem* s1 = item(QStringLiteral("S_01.eex"));
        QCOMPARE(s1->parent()->text(0), QStringLiteral("剧本"));
        QCOMPARE(s1->childCount(), 1);
        QCOMPARE(s1->child(0), item(QStringLiteral("R_01.eex")));
        QCOMPARE(item(QStringLiteral("Sv01d.e5s"))->parent()->text(0), QStringLiteral("存档"));
        QCOMPARE(item(QStringLiteral("Imsg.e5"))->parent()->text(0), QStringLiteral("文字"));
        QCOMPARE(item(QStringLiteral("map01.bmp"))->parent()->text(0), QStringLiteral("地图"));
        QCOMPARE(main->gameDataPath(), in(game, QStringLiteral("data.e5")));
    }

    // A file that comes, one that goes, a name in capitals: the list follows the folder.
    void theListFollowsTheFolder() {
        openFolderByMenu(game);
        QVERIFY(QFile::rename(in(game, QStringLiteral("Imsg.e5")),
                              in(game, QStringLiteral("IMSG.E5"))));
        QFile::copy(in(game, QStringLiteral("Sv01d.e5s")), in(game, QStringLiteral("Sv07d.e5s")));
        QFile::remove(in(game, QStringLiteral("map01.bmp")));
        QTRY_VERIFY(item(QStringLiteral("Sv07d.e5s")));
        QTRY_VERIFY(!item(QStringLiteral("map01.bmp")));
        QTRY_VERIFY(item(QStringLiteral("IMSG.E5")));
        QCOMPARE(item(QStringLiteral("IMSG.E5"))->parent()->text(0), QStringLiteral("文字"));
        QCOMPARE(item(QStringLiteral("Sv07d.e5s"))->parent()->text(0), QStringLiteral("存档"));
    }

    void eachFileOpensItsEditor_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("shown"); // the file the editor then shows
        QTest::addColumn<bool>("byKey");
        const struct {
            const char* file;
            const char* window;
            const char* shown;
        } cases[] = {
            {"data.e5", "DForm", "data.e5"},    {"Sv01d.e5s", "Record", "Sv01d.e5s"},
            {"Imsg.e5", "Imsg", "Imsg.e5"},     {"Lcj5.exe", "MainFile", "Lcj5.exe"},
            {"S_01.eex", "Junben", "S_01.eex"}, {"R_02.eex", "Junben", "S_02.eex"},
            {"S_02.eex", "Junben", "S_02.eex"}, {"map02.bmp", "Form1", "map02.bmp"},
        };
        for (const auto& c : cases)
            for (bool byKey : {false, true})
                QTest::addRow("%s %s", c.file, byKey ? "Enter" : "double click")
                    << QString::fromLatin1(c.file) << QString::fromLatin1(c.window)
                    << QString::fromLatin1(c.shown) << byKey;
    }
    void eachFileOpensItsEditor() {
        QFETCH(QString, file);
        QFETCH(QString, window);
        QFETCH(QString, shown);
        QFETCH(bool, byKey);
        openFolderByMenu(game);
        activate(file, byKey);
        // Opening a scenario leaves its branch (its R file) open.
        if (QTreeWidgetItem* row = item(file); row && row->childCount() > 0)
            QVERIFY(row->isExpanded());
        QVERIFY2(prompts.messages.isEmpty(), qPrintable(prompts.lastMessage()));
        QVERIFY2(prompts.openFolders.size() == 1, "no open dialog but the folder's");
        auto* opened = main->findChild<EditorWindow*>(window);
        QVERIFY2(opened, qPrintable(window));
        QCOMPARE(main->mdiArea()->activeSubWindow()->widget(), opened);
        const QString path = in(game, shown);
        if (window == QStringLiteral("Form1")) {
            // The viewer shows the picture: its size in pixels beside 横 and 纵.
            const auto maps = sample::sampleMaps();
            QCOMPARE(opened->findChild<QLabel*>(QStringLiteral("Label2"))->text(),
                     QString::number(maps.last().columns * sample::mapCellPixels));
            QCOMPARE(
                opened->findChild<QListWidget*>(QStringLiteral("File1"))->currentItem()->text(),
                shown);
            return;
        }
        QCOMPARE(QFileInfo(opened->filePath()), QFileInfo(path));
        // The title names the game's folder and the file (with room for it in any font: a
        // narrow frame elides it).
        main->mdiArea()->activeSubWindow()->resize(1400, opened->height());
        QVERIFY2(opened->windowTitle().endsWith(
                     QStringLiteral(" - ") +
                     QDir::toNativeSeparators(QFileInfo(game).fileName() + u'/' + shown)),
                 qPrintable(opened->windowTitle()));
        if (auto* junben = qobject_cast<scenario::Junben*>(opened)) {
            QCOMPARE(junben->document().bytes(), test::readFile(path));
            // The names come from the folder's data.e5.
            QCOMPARE(junben->personNames().first(), folderName());
        }
        if (window == QStringLiteral("Record"))
            QCOMPARE(opened->findChild<QLineEdit*>(QStringLiteral("Text24"))->text(),
                     QString::number(quint8(test::readFile(path)[86])));
    }

    // The mark of unsaved edits comes with "确定" and goes with "保存"; the save wrote the
    // one byte it should.
    void theUnsavedMarkFollowsTheEditor() {
        openFolderByMenu(game);
        const QString save = in(game, QStringLiteral("Sv01d.e5s"));
        const QByteArray original = test::readFile(save);
        activate(QStringLiteral("Sv01d.e5s"), true);
        auto* record = editor<EditorWindow>("Record");
        QVERIFY(record);
        QCOMPARE(item(QStringLiteral("Sv01d.e5s"))->text(0), QStringLiteral("Sv01d.e5s"));
        auto* loyalty = record->findChild<QLineEdit*>(QStringLiteral("Text24"));
        loyalty->clear();
        QTest::keyClicks(loyalty, QStringLiteral("100"));
        QTest::mouseClick(record->findChild<QPushButton*>(QStringLiteral("Command1")),
                          Qt::LeftButton);
        QCOMPARE(item(QStringLiteral("Sv01d.e5s"))->text(0), QStringLiteral("Sv01d.e5s *"));
        QVERIFY(item(QStringLiteral("Sv01d.e5s"))->font(0).italic());
        QVERIFY(!item(QStringLiteral("Sv01d.e5s"))->font(0).bold());
        QCOMPARE(item(QStringLiteral("data.e5"))->text(0), QStringLiteral("data.e5"));
        QTest::mouseClick(record->findChild<QPushButton*>(QStringLiteral("Command2")),
                          Qt::LeftButton);
        QVERIFY2(prompts.messages.isEmpty(), qPrintable(prompts.lastMessage()));
        QCOMPARE(item(QStringLiteral("Sv01d.e5s"))->text(0), QStringLiteral("Sv01d.e5s"));
        QByteArray expected = original;
        expected[86] = 100;
        QCOMPARE(test::readFile(save), expected);
        // Edits dropped with the editor leave no mark behind.
        QTest::mouseClick(record->findChild<QPushButton*>(QStringLiteral("Command1")),
                          Qt::LeftButton);
        loyalty->clear();
        QTest::keyClicks(loyalty, QStringLiteral("90"));
        QTest::mouseClick(record->findChild<QPushButton*>(QStringLiteral("Command1")),
                          Qt::LeftButton);
        QCOMPARE(item(QStringLiteral("Sv01d.e5s"))->text(0), QStringLiteral("Sv01d.e5s *"));
        prompts.saveChoices.enqueue(Prompts::SaveChoice::Discard);
        main->mdiArea()->activeSubWindow()->close();
        QTRY_COMPARE(item(QStringLiteral("Sv01d.e5s"))->text(0), QStringLiteral("Sv01d.e5s"));
        QCOMPARE(test::readFile(save), expected);
    }

    // Opening a file from the dock asks the editor's own question first; keeping the edits
    // keeps the file shown.
    void anOpenFromTheDockAsksAboutUnsavedEdits() {
        openFolderByMenu(game);
        QVERIFY(QFile::copy(in(game, QStringLiteral("Sv01d.e5s")),
                            in(game, QStringLiteral("Sv02d.e5s"))));
        QTRY_VERIFY(item(QStringLiteral("Sv02d.e5s")));
        activate(QStringLiteral("Sv01d.e5s"), true);
        auto* record = editor<EditorWindow>("Record");
        auto* loyalty = record->findChild<QLineEdit*>(QStringLiteral("Text24"));
        loyalty->clear();
        QTest::keyClicks(loyalty, QStringLiteral("100"));
        QTest::mouseClick(record->findChild<QPushButton*>(QStringLiteral("Command1")),
                          Qt::LeftButton);
        prompts.saveChoices.enqueue(Prompts::SaveChoice::Cancel);
        activate(QStringLiteral("Sv02d.e5s"), true);
        QCOMPARE(prompts.questions.size(), 1);
        QCOMPARE(QFileInfo(record->filePath()), QFileInfo(in(game, QStringLiteral("Sv01d.e5s"))));
        QVERIFY(record->modified());
        prompts.saveChoices.enqueue(Prompts::SaveChoice::Discard);
        activate(QStringLiteral("Sv02d.e5s"), true);
        QCOMPARE(QFileInfo(record->filePath()), QFileInfo(in(game, QStringLiteral("Sv02d.e5s"))));
        QVERIFY(!record->modified());
    }

    // The folder's data.e5 names the characters in the save editor, and names them anew
    // once the data editor saved a change to it.
    void theFolderDataNamesEveryEditor() {
        auto* record = [&] {
            trigger(main.get(), QStringLiteral("saveedit"));
            return editor<QWidget>("Record");
        }();
        auto* people = record->findChild<QListWidget*>(QStringLiteral("List1"));
        QCOMPARE(people->item(0)->text(), names::characters().first());
        openFolderByMenu(game);
        QCOMPARE(people->item(0)->text(), folderName());
        // So does an editor opened after.
        trigger(main.get(), QStringLiteral("fileedit"));
        QCOMPARE(editor<QWidget>("MainFile")
                     ->findChild<QListWidget*>(QStringLiteral("List1"))
                     ->item(0)
                     ->text(),
                 folderName());

        // The data editor renames character 0 and saves: the save editor follows.
        activate(QStringLiteral("data.e5"), false);
        auto* dform = editor<QWidget>("DForm");
        trigger(dform, QStringLiteral("renpre"));
        auto* name = dform->findChild<QLineEdit*>(QStringLiteral("Text1"));
        QVERIFY(name->isVisible());
        name->clear();
        name->insert(QStringLiteral("林远")); // typed through an input method
        const auto buttons = dform->findChildren<QPushButton*>(QStringLiteral("Command1"));
        QPushButton* save = nullptr;
        for (QPushButton* b : buttons)
            if (b->isVisible())
                save = b;
        QVERIFY(save);
        QTest::mouseClick(save, Qt::LeftButton);
        QVERIFY2(prompts.messages.isEmpty(), qPrintable(prompts.lastMessage()));
        QCOMPARE(people->item(0)->text(), QStringLiteral("林远"));
    }

    // The data file's name in any case gives the names; one too short to read leaves the
    // fixed tables and says why in the status line, with no box in the way.
    void theFolderDataInCapitalsOrBroken_data() {
        QTest::addColumn<bool>("broken");
        QTest::newRow("DATA.E5") << false;
        QTest::newRow("DATA.E5 cut short") << true;
    }
    void theFolderDataInCapitalsOrBroken() {
        QFETCH(bool, broken);
        const QString data = in(game, QStringLiteral("DATA.E5"));
        QVERIFY(QFile::rename(in(game, QStringLiteral("data.e5")), data));
        if (broken)
            QVERIFY(QFile::resize(data, 1000));
        const QByteArray before = test::readFile(data);
        openFolderByMenu(game);
        QCOMPARE(QFileInfo(main->gameDataPath()), QFileInfo(data));
        trigger(main.get(), QStringLiteral("saveedit"));
        auto* record = editor<EditorWindow>("Record");
        const QString first =
            record->findChild<QListWidget*>(QStringLiteral("List1"))->item(0)->text();
        QCOMPARE(first, broken ? names::characters().first() : folderName());
        QCOMPARE(record->statusText().startsWith(QStringLiteral("读取名称出错")), broken);
        QVERIFY2(prompts.messages.isEmpty(), qPrintable(prompts.lastMessage()));
        QCOMPARE(test::readFile(data), before);
    }

    void theNextRunFindsFolderRecentAndWindow() {
        const QString other = tmp->filePath(QStringLiteral("other"));
        QVERIFY(sample::writeSampleGame(other).ok());
        openFolderByMenu(other);
        openFolderByMenu(game);
        main->showNormal();
        main->resize(700, 520);
        main->move(40, 30);
        main->removeDockWidget(main->gameDock());
        main->addDockWidget(Qt::RightDockWidgetArea, main->gameDock());
        main->gameDock()->show();
        const QSize size = main->size();
        restart();
        QCOMPARE(main->gameFolder(), QDir::cleanPath(game));
        QVERIFY(main->gameDock()->isVisible());
        QCOMPARE(main->dockWidgetArea(main->gameDock()), Qt::RightDockWidgetArea);
        QVERIFY(item(QStringLiteral("data.e5")));
        QCOMPARE(main->size(), size);
        auto* recent = main->findChild<QMenu*>(QStringLiteral("recentfolders"));
        QVERIFY(recent->isEnabled());
        QCOMPARE(recent->title(), QStringLiteral("最近的游戏目录"));
        QCOMPARE(recent->actions().size(), 2);
        QVERIFY(
            recent->actions()[0]->text().endsWith(QDir::toNativeSeparators(QDir::cleanPath(game))));
        QVERIFY(recent->actions()[1]->text().endsWith(
            QDir::toNativeSeparators(QDir::cleanPath(other))));
        // Choosing one opens it, and puts it first.
        trigger(recent, QStringLiteral("recentfolder1"));
        QCOMPARE(main->gameFolder(), QDir::cleanPath(other));
        QTRY_COMPARE(recent->actions().size(), 2);
        QVERIFY(recent->actions()[0]->text().endsWith(
            QDir::toNativeSeparators(QDir::cleanPath(other))));
        // A folder gone by the next run is not opened.
        QVERIFY(QDir(other).removeRecursively());
        restart();
        QVERIFY(main->gameFolder().isEmpty());
        QVERIFY(!main->gameDock()->isVisible());
        QVERIFY2(prompts.messages.isEmpty(), qPrintable(prompts.lastMessage()));
    }

    void theRecentListKeepsEightFolders() {
        QStringList folders;
        for (int i = 0; i < 10; ++i) {
            folders.prepend(QDir::cleanPath(tmp->filePath(QStringLiteral("f%1").arg(i))));
            QVERIFY(QDir().mkpath(folders.first()));
            openFolderByMenu(folders.first());
        }
        openFolderByMenu(folders[3]); // again: moves up, not twice
        folders.move(3, 0);
        QCOMPARE(settings::recentFolders(), folders.mid(0, 8));
        auto* recent = main->findChild<QMenu*>(QStringLiteral("recentfolders"));
        QTRY_COMPARE(recent->actions().size(), 8);
    }

    // A recent folder that is gone is said so in the real message box, and leaves the list.
    void aMissingRecentFolderIsRemovedWithAMessage() {
        const QString gone = tmp->filePath(QStringLiteral("gone"));
        QVERIFY(QDir().mkpath(gone));
        openFolderByMenu(gone);
        openFolderByMenu(game);
        QVERIFY(QDir(gone).removeRecursively());
        auto* recent = main->findChild<QMenu*>(QStringLiteral("recentfolders"));
        QAction* entry = recent->findChild<QAction*>(QStringLiteral("recentfolder1"));
        QVERIFY(entry);
        prompts.realBoxes = true;
        {
            test::DialogKeys keys({Qt::Key_Enter});
            entry->trigger();
            QCOMPARE(keys.seen.size(), 1);
            QVERIFY2(keys.seen[0].text.contains(QStringLiteral("游戏目录已不存在")),
                     qPrintable(keys.seen[0].text));
            QVERIFY(keys.seen[0].text.contains(QDir::toNativeSeparators(QDir::cleanPath(gone))));
        }
        QCOMPARE(main->gameFolder(), QDir::cleanPath(game));
        QCOMPARE(settings::recentFolders(), QStringList{QDir::cleanPath(game)});
        QTRY_COMPARE(recent->actions().size(), 1);
    }

    void thePortableFileIsPreferred() {
        main.reset();
        const QString program = tmp->filePath(QStringLiteral("program"));
        QVERIFY(QDir().mkpath(program));
        // Without the file beside the program: the user's profile.
        settings::useProgramSettings(program);
        QVERIFY(settings::kept());
        QVERIFY(settings::file().isEmpty());
        // With it: that file, read and written.
        const QString portable = in(program, QStringLiteral("lcjworkshop.ini"));
        {
            QFile f(portable);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("[gameFolder]\nlast=" + game.toUtf8() + "\n");
        }
        settings::useProgramSettings(program);
        QCOMPARE(settings::file(), portable);
        startMain();
        QCOMPARE(main->gameFolder(), QDir::cleanPath(game));
        const QString other = tmp->filePath(QStringLiteral("other"));
        QVERIFY(QDir().mkpath(other));
        openFolderByMenu(other);
        QVERIFY(main->close());
        QSettings written(portable, QSettings::IniFormat);
        QCOMPARE(written.value(QStringLiteral("gameFolder/last")).toString(),
                 QDir::cleanPath(other));
        QVERIFY(!written.value(QStringLiteral("mainWindow/geometry")).toByteArray().isEmpty());
        QVERIFY(!QFileInfo::exists(settingsFile()));
    }

    void aDroppedFolderOrFileOpens() {
        bool accepted = false;
        drop({QUrl::fromLocalFile(game)}, &accepted);
        QVERIFY(accepted);
        QCOMPARE(main->gameFolder(), QDir::cleanPath(game));
        drop({QUrl::fromLocalFile(in(game, QStringLiteral("S_03.eex")))}, &accepted);
        QVERIFY(accepted);
        auto* junben = editor<scenario::Junben>("Junben");
        QVERIFY(junben);
        QCOMPARE(QFileInfo(junben->scenarioPath()),
                 QFileInfo(in(game, QStringLiteral("S_03.eex"))));
        // Text is no file: not taken.
        QMimeData text;
        text.setText(QStringLiteral("S_01.eex"));
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(main.get(), &enter);
        QVERIFY(!enter.isAccepted());
        QVERIFY2(prompts.messages.isEmpty(), qPrintable(prompts.lastMessage()));
    }

    // Without a folder open, a scenario dropped takes its names from the data.e5 beside it,
    // and its game folder is opened with it.
    void aScenarioDroppedAloneTakesTheDataBesideIt() {
        drop({QUrl::fromLocalFile(in(game, QStringLiteral("R_01.eex")))});
        auto* junben = editor<scenario::Junben>("Junben");
        QVERIFY(junben);
        QCOMPARE(QFileInfo(junben->scenarioPath()),
                 QFileInfo(in(game, QStringLiteral("S_01.eex"))));
        QCOMPARE(junben->personNames().first(), folderName());
        QCOMPARE(main->gameFolder(), QDir::cleanPath(game));
    }

    void aFileNoEditorOpensIsRefused() {
        const QString note = in(game, QStringLiteral("readme.txt"));
        QFile f(note);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        drop({QUrl::fromLocalFile(note)});
        QCOMPARE(prompts.messages.size(), 1);
        QVERIFY(prompts.lastMessage().startsWith(QStringLiteral("不认识这个文件：readme.txt")));
        QVERIFY(main->mdiArea()->subWindowList().isEmpty());
    }

    void theCommandLineOpensFolderAndPatch() {
        const QString patchFile = writePatch();
        QVERIFY(!patchFile.isEmpty());
        openArguments(*main,
                      {QStringLiteral("lcjworkshop"), QStringLiteral("--flag"), game, patchFile});
        QVERIFY2(prompts.messages.isEmpty(), qPrintable(prompts.lastMessage()));
        QCOMPARE(main->gameFolder(), QDir::cleanPath(game));
        auto* buding = editor<QWidget>("Buding");
        QVERIFY(buding);
        QCOMPARE(buding->findChild<QLineEdit*>(QStringLiteral("budingPath"))->text(),
                 QFileInfo(patchFile).absoluteFilePath());
        // Its game folder is the folder open.
        QCOMPARE(buding->findChild<QLineEdit*>(QStringLiteral("gameFolder"))->text(),
                 QDir::cleanPath(game));
        const auto* changes = buding->findChild<QListWidget*>(QStringLiteral("changeList"));
        QStringList lines;
        for (int i = 0; i < changes->count(); ++i)
            lines << changes->item(i)->text();
        QVERIFY2(lines.join(u'|').contains(QStringLiteral("人物 5 武力")),
                 qPrintable(lines.join(u'|')));
        QVERIFY(buding->findChild<QPushButton*>(QStringLiteral("applyPatch"))->isEnabled());
    }

    // Each path opened from the command line or a drop is logged under lcj.shell with the
    // menu entry whose window took it (a double click in Explorer is seen by this line);
    // a path refused is not logged, and nothing is without the category turned on.
    void eachPathOpenedFromOutsideIsLogged_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("dropped");
        QTest::addColumn<QString>("entry");
        QTest::newRow("patch") << QStringLiteral("strength.lcjpatch") << false
                               << QStringLiteral("budingopen");
        QTest::newRow("data") << QStringLiteral("game/data.e5") << false
                              << QStringLiteral("dataedit");
        QTest::newRow("folder") << QStringLiteral("game") << false << QStringLiteral("gamefolder");
        QTest::newRow("patch dropped")
            << QStringLiteral("strength.lcjpatch") << true << QStringLiteral("budingopen");
        QTest::newRow("scenario dropped")
            << QStringLiteral("game/S_02.eex") << true << QStringLiteral("sedit");
        QTest::newRow("refused") << QStringLiteral("game/readme.txt") << false << QString();
        QTest::newRow("missing") << QStringLiteral("game/S_99.eex") << false << QString();
    }
    void eachPathOpenedFromOutsideIsLogged() {
        QFETCH(QString, name);
        QFETCH(bool, dropped);
        QFETCH(QString, entry);
        QVERIFY(!writePatch().isEmpty());
        QFile note(in(game, QStringLiteral("readme.txt")));
        QVERIFY(note.open(QIODevice::WriteOnly));
        note.close();
        const QString path = tmp->filePath(name);
        static QStringList logged;
        logged.clear();
        const QtMessageHandler previous = qInstallMessageHandler(
            [](QtMsgType, const QMessageLogContext& context, const QString& text) {
                if (qstrcmp(context.category, "lcj.shell") == 0)
                    logged << text;
            });
        const auto open = [&] {
            if (dropped)
                drop({QUrl::fromLocalFile(path)});
            else
                openArguments(*main, {QStringLiteral("lcjworkshop"), path});
        };
        // Off by default.
        open();
        QVERIFY2(logged.isEmpty(), qPrintable(logged.join(u'|')));
        QLoggingCategory::setFilterRules(QStringLiteral("lcj.shell.info=true"));
        open();
        QLoggingCategory::setFilterRules(QString());
        qInstallMessageHandler(previous);
        const QStringList want =
            entry.isEmpty()
                ? QStringList()
                : QStringList{QStringLiteral("opened %1 in %2")
                                  .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()),
                                       entry)};
        QCOMPARE(logged, want);
        QCOMPARE(prompts.messages.size(), entry.isEmpty() ? 2 : 0);
    }

    // A patch kept in the game folder is listed under 补丁 and opens in the patch window.
    void aPatchInTheFolderOpensFromTheDock() {
        const QString made = writePatch();
        QVERIFY(!made.isEmpty());
        const QString kept = in(game, QStringLiteral("strength.lcjpatch"));
        QVERIFY(QFile::copy(made, kept));
        openFolderByMenu(game);
        QTreeWidgetItem* row = item(QStringLiteral("strength.lcjpatch"));
        QVERIFY(row);
        QCOMPARE(row->parent()->text(0), QStringLiteral("补丁"));
        activate(QStringLiteral("strength.lcjpatch"), false);
        QVERIFY2(prompts.messages.isEmpty(), qPrintable(prompts.lastMessage()));
        auto* buding = editor<QWidget>("Buding");
        QVERIFY(buding);
        QCOMPARE(buding->findChild<QLineEdit*>(QStringLiteral("budingPath"))->text(),
                 QFileInfo(kept).absoluteFilePath());
        QCOMPARE(buding->findChild<QLineEdit*>(QStringLiteral("gameFolder"))->text(),
                 QDir::cleanPath(game));
    }

    // The map viewer lists the game folder's pictures, whether it was open before the
    // folder or not.
    void theMapViewerStartsInTheGameFolder_data() {
        QTest::addColumn<bool>("viewerFirst");
        QTest::newRow("folder first") << false;
        QTest::newRow("viewer first") << true;
    }
    void theMapViewerStartsInTheGameFolder() {
        QFETCH(bool, viewerFirst);
        if (!viewerFirst)
            openFolderByMenu(game);
        trigger(main.get(), QStringLiteral("map"));
        auto* viewer = editor<mapview::Form1>("Form1");
        QVERIFY(viewer);
        QCOMPARE(QDir(viewer->filePath()),
                 viewerFirst ? QDir(Prompts::editorFolder()) : QDir(game));
        if (viewerFirst)
            openFolderByMenu(game);
        QCOMPARE(QDir(viewer->filePath()), QDir(game));
        QVERIFY(viewer->findChild<QListWidget*>(QStringLiteral("File1"))
                    ->findItems(QStringLiteral("map02.bmp"), Qt::MatchFixedString)
                    .size() == 1);
    }

    // The battle map picked for a scenario folder is there again in the next run, without
    // being asked for.
    void theBattleMapOfAFolderIsRemembered() {
        openFolderByMenu(game);
        activate(QStringLiteral("S_01.eex"), true);
        auto* junben = editor<scenario::Junben>("Junben");
        trigger(junben, QStringLiteral("battlemap"));
        scenario::BattleMap* map = junben->battleMap();
        QVERIFY(map);
        QVERIFY(map->mapPath().isEmpty());
        prompts.openAnswers.enqueue(in(game, QStringLiteral("map02.bmp")));
        QTest::mouseClick(map->findChild<QPushButton*>(QStringLiteral("mapopen")), Qt::LeftButton);
        QCOMPARE(map->mapPath(), in(game, QStringLiteral("map02.bmp")));
        // The first map is asked for in the game folder.
        QCOMPARE(QDir(prompts.openFolders.last()), QDir(game));
        restart();
        activate(QStringLiteral("S_02.eex"), true);
        junben = editor<scenario::Junben>("Junben");
        trigger(junben, QStringLiteral("battlemap"));
        QCOMPARE(junben->battleMap()->mapPath(), in(game, QStringLiteral("map02.bmp")));
        QVERIFY(prompts.openAnswers.isEmpty());
    }
};

LCJ_TEST_MAIN(GameFolderTest)
#include "gamefolder_test.moc"
