// 补丁 → 模组管理 driven as a user: three patches added, reordered by a drag and by the
// buttons, one switched off, applied, the apply undone, the originals restored; after each
// step every game file holds what the same patches applied one by one give. Edits made
// outside the list are asked about in the real box.
#include "changes/modlist.h"
#include "changes/patch.h"
#include "check/foldercheck.h"
#include "common/ui/editorwindow.h"
#include "common/ui/settings.h"
#include "samplegen/samplegame.h"
#include "shell/mainwindow.h"
#include "support/dialogkeys.h"
#include "support/outsideprogram.h"
#include "support/scriptedprompts.h"
#include "support/testfiles.h"
#include "support/testmain.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTableView>
#include <QtTest>

using namespace lcj;
namespace patch = changes::patch;
namespace mods = changes::mods;

namespace {

// A change of one character's field, as a patch carries it.
struct Set {
    int character;
    const char16_t* column;
    int value;
};

// The three patches: 人物 5 武力 set by all three, 人物 6 武力 by 甲 and 丙, 人物 7 武力 by
// 乙 alone.
const QList<QPair<QString, QList<Set>>> patches{
    {QStringLiteral("甲"), {{5, u"武力", 76}, {6, u"武力", 60}}},
    {QStringLiteral("乙"), {{5, u"武力", 78}, {7, u"武力", 50}}},
    {QStringLiteral("丙"), {{5, u"武力", 80}, {6, u"武力", 62}}},
};

} // namespace

class ModListWindowTest : public QObject {
    Q_OBJECT

    test::ScriptedPrompts prompts;
    std::unique_ptr<QTemporaryDir> tmp;
    std::unique_ptr<MainWindow> main;
    QString orig, game;
    QMap<QString, QString> patchFiles; // name → path

    QString at(const QString& name) const { return tmp->filePath(name); }
    // Saves `made` as the patch file `name`.
    QString savePatch(const QString& name, const patch::Patch& made) const {
        QFile out(at(name));
        return out.open(QIODevice::WriteOnly) && out.write(patch::toJson(made)) > 0 ? out.fileName()
                                                                                    : QString();
    }
    static bool setFields(const QString& folder, const QList<Set>& sets) {
        const QString data = QDir(folder).filePath(QStringLiteral("data.e5"));
        QList<patch::Cell> cells;
        for (const Set& set : sets)
            cells.append({QStringLiteral("characters"),
                          set.character,
                          QString::fromUtf16(set.column),
                          {},
                          set.value});
        const auto written = patch::writeCells(patch::FileKind::Data, QStringLiteral("data.e5"),
                                               test::readFile(data), cells);
        QFile f(data);
        return written.ok() && f.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
               f.write(*written) == written->size();
    }
    // Every game file of `folder`, by name.
    static QMap<QString, QByteArray> filesOf(const QString& folder) {
        QMap<QString, QByteArray> files;
        for (const QString& name : check::gameFilesIn(folder))
            files.insert(name, test::readFile(QDir(folder).filePath(name)));
        return files;
    }
    // The sample game with `names`' patches applied one by one, the later taking its values.
    QMap<QString, QByteArray> appliedByHand(const QStringList& names) {
        const QString scratch = at(QStringLiteral("byhand-") + names.join(u'-'));
        [&] { QVERIFY(sample::writeSampleGame(scratch).ok()); }();
        for (const QString& name : names) {
            auto read = patch::readPatchFile(patchFiles.value(name));
            [&] { QVERIFY2(read.ok(), qPrintable(read.ok() ? QString() : read.error())); }();
            const auto applied =
                patch::applyPatch(*read, scratch, false, patch::Settle::TakeTheirs, false);
            [&] {
                QVERIFY2(applied.ok(), qPrintable(applied.ok() ? QString() : applied.error()));
            }();
        }
        return filesOf(scratch);
    }
    void compareGame(const QMap<QString, QByteArray>& expected) {
        const QMap<QString, QByteArray> now = filesOf(game);
        QCOMPARE(now.keys(), expected.keys());
        for (auto it = expected.begin(); it != expected.end(); ++it)
            QVERIFY2(now.value(it.key()) == it.value(), qPrintable(it.key()));
    }

    QWidget* window() { return main->findChild<QWidget*>(QStringLiteral("mozuguanli")); }
    template <class W> W* control(const char* name) {
        QWidget* w = window();
        return w ? w->findChild<W*>(QString::fromLatin1(name)) : nullptr;
    }
    void click(const char* button) {
        auto* b = control<QPushButton>(button);
        QVERIFY2(b && b->isEnabled(), button);
        b->click();
    }
    QStringList column(const char* table, int col) {
        QStringList out;
        const QAbstractItemModel* m = control<QTableView>(table)->model();
        for (int row = 0; row < m->rowCount(); ++row)
            out << m->index(row, col).data().toString();
        return out;
    }
    QStringList names() { return column("modEntries", 0); }
    void openWindow() {
        QVERIFY(main->openGameFolder(game));
        main->findChild<QAction*>(QStringLiteral("mozuguanli"))->trigger();
        QVERIFY(window());
    }
    void addAll() {
        for (const auto& p : patches) {
            prompts.openAnswers.enqueue(patchFiles.value(p.first));
            click("addPatch");
        }
        QCOMPARE(names(),
                 (QStringList{QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙")}));
    }

private slots:
    void init() {
        prompts = {};
        tmp = std::make_unique<QTemporaryDir>();
        QVERIFY(tmp->isValid());
        settings::useFile(at(QStringLiteral("settings.ini")));
        orig = at(QStringLiteral("orig"));
        game = at(QStringLiteral("game"));
        QVERIFY(sample::writeSampleGame(orig).ok());
        QVERIFY(sample::writeSampleGame(game).ok());
        for (const auto& p : patches) {
            const QString mod = at(QStringLiteral("mod-") + p.first);
            QVERIFY(sample::writeSampleGame(mod).ok());
            QVERIFY(setFields(mod, p.second));
            QStringList warnings;
            auto made = patch::makePatch(orig, mod, warnings);
            QVERIFY(made.ok());
            made->name = p.first;
            const QString path = savePatch(p.first + QStringLiteral(".lcjpatch"), *made);
            QVERIFY(!path.isEmpty());
            patchFiles.insert(p.first, path);
        }
        main = std::make_unique<MainWindow>(prompts);
        main->show();
        QVERIFY(QTest::qWaitForWindowExposed(main.get()));
    }
    void cleanup() {
        main.reset();
        tmp.reset();
        patchFiles.clear();
    }

    void theListIsOrderedSwitchedAppliedUndoneAndRestored() {
        // The entry follows 制作补丁… in the 补丁 menu.
        QStringList entries;
        for (const QAction* entry : main->findChild<QMenu*>(QStringLiteral("buding"))->actions())
            entries << entry->text();
        QCOMPARE(entries, (QStringList{QStringLiteral("打开补丁…"), QStringLiteral("制作补丁…"),
                                       QStringLiteral("模组管理")}));
        openWindow();
        addAll();
        const QMap<QString, QByteArray> original = filesOf(orig);
        // Adding the same patch again adds nothing.
        prompts.openAnswers.enqueue(patchFiles.value(QStringLiteral("乙")));
        click("addPatch");
        QCOMPARE(names().size(), 3);
        QVERIFY(qobject_cast<EditorWindow*>(window())->statusText().contains(
            QStringLiteral("已在列表中")));
        compareGame(original);

        // The grid: 人物 5 武力 set by all three, 人物 6 武力 by 甲 and 丙; 丙, last, wins.
        QCOMPARE(column("conflictGrid", 1),
                 (QStringList{QStringLiteral("人物 5 武力"), QStringLiteral("人物 6 武力")}));
        QCOMPARE(column("conflictGrid", 5),
                 (QStringList{QStringLiteral("✓ 80"), QStringLiteral("✓ 62")}));
        QCOMPARE(column("conflictGrid", 3),
                 (QStringList{QStringLiteral("76"), QStringLiteral("60")}));
        QCOMPARE(column("conflictGrid", 6),
                 (QStringList{QStringLiteral("80"), QStringLiteral("62")}));

        // 丙 dragged to the top, as a drop of its row above the first does.
        auto* view = control<QTableView>("modEntries");
        QAbstractItemModel* model = view->model();
        std::unique_ptr<QMimeData> dragged(model->mimeData({model->index(2, 0)}));
        QVERIFY(model->canDropMimeData(dragged.get(), Qt::MoveAction, 0, 0, {}));
        QVERIFY(model->dropMimeData(dragged.get(), Qt::MoveAction, 0, 0, {}));
        QCOMPARE(names(),
                 (QStringList{QStringLiteral("丙"), QStringLiteral("甲"), QStringLiteral("乙")}));
        QCOMPARE(column("conflictGrid", 5), (QStringList{QStringLiteral("✓ 78"), QString()}));
        QCOMPARE(column("conflictGrid", 4),
                 (QStringList{QStringLiteral("76"), QStringLiteral("✓ 60")}));
        // The order is the list's on disk.
        auto reread = mods::ModList::open(game);
        QVERIFY(reread.ok());
        QCOMPARE(reread->entries().first().name, QStringLiteral("丙"));

        // 乙 down and up again by the buttons.
        view->selectRow(2);
        click("moveUp");
        QCOMPARE(names(),
                 (QStringList{QStringLiteral("丙"), QStringLiteral("乙"), QStringLiteral("甲")}));
        click("moveDown");
        QCOMPARE(names(),
                 (QStringList{QStringLiteral("丙"), QStringLiteral("甲"), QStringLiteral("乙")}));

        // The filters: the rows of one entry.
        auto* entryFilter = control<QComboBox>("entryFilter");
        entryFilter->setCurrentIndex(entryFilter->findText(QStringLiteral("乙")));
        QCOMPARE(column("conflictGrid", 1), QStringList{QStringLiteral("人物 5 武力")});
        entryFilter->setCurrentIndex(0);

        // 乙 switched off with Space on its check box.
        view->setFocus();
        view->setCurrentIndex(model->index(2, 0));
        QTest::keyClick(view, Qt::Key_Space);
        QCOMPARE(model->index(2, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
        QCOMPARE(column("conflictGrid", 1),
                 (QStringList{QStringLiteral("人物 5 武力"), QStringLiteral("人物 6 武力")}));
        QCOMPARE(column("conflictGrid", 4),
                 (QStringList{QStringLiteral("✓ 76"), QStringLiteral("✓ 60")}));

        // The data editor open at the conflict's field (a double click on its row) shows
        // what the apply writes.
        auto* grid = control<QTableView>("conflictGrid");
        const QRect cell = grid->visualRect(grid->model()->index(0, 1));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        auto* dform = main->findChild<EditorWindow*>(QStringLiteral("DForm"));
        QVERIFY(dform);
        auto* force = dform->findChild<QLineEdit*>(QStringLiteral("Text4"));
        QVERIFY(force && force->isVisible());
        QTRY_VERIFY(force->hasFocus());
        QCOMPARE(force->text(), QStringLiteral("74"));

        click("applyMods");
        compareGame(appliedByHand({QStringLiteral("丙"), QStringLiteral("甲")}));
        QCOMPARE(force->text(), QStringLiteral("76"));

        click("undoApply");
        compareGame(original);
        QCOMPARE(force->text(), QStringLiteral("74"));

        // Everything on, in the order 丙 甲 乙, then the originals back.
        view->setCurrentIndex(model->index(2, 0));
        QTest::keyClick(view, Qt::Key_Space);
        click("applyMods");
        compareGame(
            appliedByHand({QStringLiteral("丙"), QStringLiteral("甲"), QStringLiteral("乙")}));
        QCOMPARE(force->text(), QStringLiteral("78"));
        click("restoreOriginals");
        compareGame(original);
        QCOMPARE(force->text(), QStringLiteral("74"));
    }

    // Edits made outside the list since the apply, asked about in the real box: Enter keeps
    // them as 我的修改, applied last; Escape writes nothing.
    void outsideEditsAreAskedAbout_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("kept");
        QTest::newRow("Enter") << int(Qt::Key_Enter) << true;
        QTest::newRow("Escape") << int(Qt::Key_Escape) << false;
    }
    void outsideEditsAreAskedAbout() {
        QFETCH(int, key);
        QFETCH(bool, kept);
        openWindow();
        prompts.openAnswers.enqueue(patchFiles.value(QStringLiteral("甲")));
        click("addPatch");
        click("applyMods");
        // Another program sets 人物 7 武力 and 人物 6 武力.
        QVERIFY(setFields(game, {{7, u"武力", 90}, {6, u"武力", 66}}));
        const QMap<QString, QByteArray> edited = filesOf(game);

        prompts.realBoxes = true;
        {
            test::DialogKeys keys({key});
            click("applyMods");
            QCOMPARE(keys.seen.size(), 1);
            QVERIFY2(keys.seen[0].text.contains(QStringLiteral("人物 7 武力")),
                     qPrintable(keys.seen[0].text));
            QCOMPARE(keys.seen[0].defaultButton, QStringLiteral("保留为我的修改"));
            for (const char16_t* button : {u"保留为我的修改", u"另存为补丁…", u"丢弃"})
                QVERIFY(keys.seen[0].buttons.contains(QString::fromUtf16(button)));
        }
        prompts.realBoxes = false;
        prompts.questions.clear();
        if (!kept) {
            compareGame(edited);
            QCOMPARE(names(), QStringList{QStringLiteral("甲")});
            return;
        }
        QCOMPARE(names(), (QStringList{QStringLiteral("甲"), mods::ownLayerName}));
        // The list now gives 甲 with the two edits on top: the files stay as edited, and an
        // apply asks no more.
        compareGame(edited);
        click("applyMods");
        QVERIFY(prompts.questions.isEmpty());
        compareGame(edited);
        // Without 甲 the edits stay: 人物 6 武力 is 66 still.
        auto* view = control<QTableView>("modEntries");
        view->setFocus();
        view->setCurrentIndex(view->model()->index(0, 0));
        QTest::keyClick(view, Qt::Key_Space);
        click("applyMods");
        QVERIFY(prompts.questions.isEmpty());
        const QString expected = at(QStringLiteral("expected"));
        QVERIFY(sample::writeSampleGame(expected).ok());
        QVERIFY(setFields(expected, {{7, u"武力", 90}, {6, u"武力", 66}}));
        compareGame(filesOf(expected));
    }
    // Each answer to the question about outside edits before 应用: kept as 我的修改, saved as
    // a patch first, dropped after the second question (whose default is no), or nothing.
    void everyAnswerToOutsideEdits_data() {
        QTest::addColumn<QList<int>>("choices");   // the buttons pressed, in turn (-1: Escape)
        QTest::addColumn<QList<bool>>("confirms"); // the answers to "确定丢弃这些修改吗？"
        QTest::addColumn<bool>("savesPatch");
        QTest::addColumn<QString>("outcome"); // kept, dropped or nothing
        QTest::newRow("keep") << QList<int>{0} << QList<bool>{} << false << "kept";
        QTest::newRow("save, then keep") << QList<int>{1, 0} << QList<bool>{} << true << "kept";
        QTest::newRow("save, then Escape")
            << QList<int>{1, -1} << QList<bool>{} << true << "nothing";
        QTest::newRow("drop, yes") << QList<int>{2} << QList<bool>{true} << false << "dropped";
        QTest::newRow("drop, no, Escape")
            << QList<int>{2, -1} << QList<bool>{false} << false << "nothing";
        QTest::newRow("Escape") << QList<int>{-1} << QList<bool>{} << false << "nothing";
    }
    void everyAnswerToOutsideEdits() {
        QFETCH(QList<int>, choices);
        QFETCH(QList<bool>, confirms);
        QFETCH(bool, savesPatch);
        QFETCH(QString, outcome);
        openWindow();
        prompts.openAnswers.enqueue(patchFiles.value(QStringLiteral("甲")));
        click("addPatch");
        click("applyMods");
        const QMap<QString, QByteArray> applied = filesOf(game);
        QVERIFY(setFields(game, {{7, u"武力", 90}}));
        const QMap<QString, QByteArray> edited = filesOf(game);
        auto outside = mods::ModList::open(game)->outsideEdits();
        QVERIFY(outside.ok());
        QCOMPARE(outside->lines.size(), 1);

        const QString saved = at(QStringLiteral("mine.lcjpatch"));
        if (savesPatch)
            prompts.saveAnswers.enqueue(saved);
        for (int choice : choices)
            prompts.chooseAnswers.enqueue(choice);
        for (bool confirm : confirms)
            prompts.askAnswers.enqueue(confirm);
        click("applyMods");
        QCOMPARE(prompts.questions.size(), choices.size() + confirms.size());
        QVERIFY(prompts.chooseAnswers.isEmpty() && prompts.askAnswers.isEmpty());
        QCOMPARE(prompts.questions.contains(QStringLiteral("确定丢弃这些修改吗？")),
                 !confirms.isEmpty());
        QCOMPARE(QFile::exists(saved), savesPatch);
        if (savesPatch)
            QCOMPARE(test::readFile(saved), patch::toJson(outside->asPatch));
        if (outcome == u"dropped") {
            compareGame(applied);
            QCOMPARE(names(), QStringList{QStringLiteral("甲")});
            return;
        }
        compareGame(edited);
        QCOMPARE(names(), outcome == u"kept"
                              ? (QStringList{QStringLiteral("甲"), mods::ownLayerName})
                              : QStringList{QStringLiteral("甲")});
    }

    // A folder that already holds a patch's new value is said to be modded maybe: "继续"
    // (Enter) keeps its files as the originals, "选择原版文件夹…" takes another folder's.
    void aModdedFolderCanTakeItsOriginalsFromAnother_data() {
        QTest::addColumn<int>("choice");
        QTest::addColumn<bool>("fromOrig");
        QTest::newRow("继续") << 1 << false;
        QTest::newRow("选择原版文件夹…") << 0 << true;
    }
    void aModdedFolderCanTakeItsOriginalsFromAnother() {
        QFETCH(int, choice);
        QFETCH(bool, fromOrig);
        QVERIFY(setFields(game, {{5, u"武力", 76}}));
        const QByteArray modded = test::readFile(QDir(game).filePath(QStringLiteral("data.e5")));
        openWindow();
        prompts.openAnswers << patchFiles.value(QStringLiteral("甲"))
                            << QDir(orig).filePath(QStringLiteral("Imsg.e5"));
        prompts.chooseAnswers.enqueue(choice);
        click("addPatch");
        QCOMPARE(prompts.questions.size(), 1);
        QVERIFY2(prompts.questions[0].contains(QStringLiteral("人物 5 武力 已是 76")),
                 qPrintable(prompts.questions[0]));
        QCOMPARE(names(), QStringList{QStringLiteral("甲")});
        const auto list = mods::ModList::open(game);
        QVERIFY(list.ok());
        const auto kept = list->original(QStringLiteral("data.e5"));
        QVERIFY(kept.ok());
        QCOMPARE(*kept, fromOrig ? test::readFile(QDir(orig).filePath(QStringLiteral("data.e5")))
                                 : modded);
    }

    // A patch of a file the game lacks is shown red with the reason, and the apply leaves it
    // out whole and names it.
    void aPatchThatDoesNotFitIsRedAndSkipped() {
        const QString mod = at(QStringLiteral("mod-丁"));
        QVERIFY(sample::writeSampleGame(mod).ok());
        const QString save = QDir(mod).filePath(QStringLiteral("Sv01d.e5s"));
        // 攻击 of the save's character 0, 80 in the sample.
        const QList<patch::Cell> changed{
            {QStringLiteral("characters"), 0, QStringLiteral("攻击"), {}, QStringLiteral("81")}};
        const auto written = patch::writeCells(patch::FileKind::Save, QStringLiteral("Sv01d.e5s"),
                                               test::readFile(save), changed);
        QVERIFY2(written.ok(), qPrintable(written.ok() ? QString() : written.error()));
        QFile out(save);
        QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate) && out.write(*written) > 0);
        out.close();
        QStringList warnings;
        auto made = patch::makePatch(orig, mod, warnings);
        QVERIFY(made.ok());
        patchFiles.insert(QStringLiteral("丁"), savePatch(QStringLiteral("丁.lcjpatch"), *made));
        QVERIFY(QFile::remove(QDir(game).filePath(QStringLiteral("Sv01d.e5s"))));

        openWindow();
        for (const char16_t* name : {u"甲", u"丁"}) {
            prompts.openAnswers.enqueue(patchFiles.value(QString::fromUtf16(name)));
            click("addPatch");
        }
        QCOMPARE(names(), (QStringList{QStringLiteral("甲"), QStringLiteral("丁")}));
        const QModelIndex note = control<QTableView>("modEntries")->model()->index(1, 2);
        QVERIFY2(note.data().toString().startsWith(QStringLiteral("无法应用：")) &&
                     note.data().toString().contains(QStringLiteral("Sv01d.e5s")),
                 qPrintable(note.data().toString()));
        QCOMPARE(note.data(Qt::ForegroundRole).value<QBrush>().color(), QColor(0xc0, 0x10, 0x10));
        click("applyMods");
        QMap<QString, QByteArray> expected = appliedByHand({QStringLiteral("甲")});
        expected.remove(QStringLiteral("Sv01d.e5s"));
        compareGame(expected);
        const QString status = qobject_cast<EditorWindow*>(window())->statusText();
        QVERIFY2(status.contains(QStringLiteral("跳过 丁")), qPrintable(status));
    }
    // 移除 asks first; no (Enter, Escape) keeps the entry, yes takes it out of the list and
    // leaves the game files alone.
    void removeAsksFirst_data() {
        QTest::addColumn<bool>("yes");
        QTest::newRow("no") << false;
        QTest::newRow("yes") << true;
    }
    void removeAsksFirst() {
        QFETCH(bool, yes);
        openWindow();
        addAll();
        click("applyMods");
        const QMap<QString, QByteArray> applied = filesOf(game);
        control<QTableView>("modEntries")->selectRow(1);
        prompts.askAnswers.enqueue(yes);
        click("removePatch");
        QCOMPARE(prompts.questions.size(), 1);
        QVERIFY(prompts.questions[0].contains(QStringLiteral("乙")));
        const QStringList left =
            yes ? QStringList{QStringLiteral("甲"), QStringLiteral("丙")}
                : QStringList{QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙")};
        QCOMPARE(names(), left);
        QCOMPARE(mods::ModList::open(game)->entries().size(), left.size());
        compareGame(applied);
    }

    // lcjtool changes the list while the window shows it: the window reads it again, and its
    // own changes after that work on the list as lcjtool left it.
    void aListChangedByLcjtoolIsShownAgain() {
        openWindow();
        prompts.openAnswers.enqueue(patchFiles.value(QStringLiteral("甲")));
        click("addPatch");
        const test::OutsideRun added =
            test::runLcjtool({QStringLiteral("mods"), QStringLiteral("add"), game,
                              patchFiles.value(QStringLiteral("乙"))});
        QCOMPARE(added.code, 0);
        QTRY_COMPARE(names(), (QStringList{QStringLiteral("甲"), QStringLiteral("乙")}));
        QVERIFY(qobject_cast<EditorWindow*>(window())->statusText().contains(
            QStringLiteral("其他程序")));
        prompts.openAnswers.enqueue(patchFiles.value(QStringLiteral("丙")));
        click("addPatch");
        QCOMPARE(mods::ModList::open(game)->entries().size(), 3);
        QCOMPARE(names(),
                 (QStringList{QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙")}));
    }
};

LCJ_TEST_MAIN(ModListWindowTest)
#include "modlistwindow_test.moc"
