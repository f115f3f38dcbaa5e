// 检查游戏目录 from the main window, as a user goes: open the game folder,
// 功能 → 检查游戏目录, a double click (or Enter) on a problem, and the problem's
// editor shows its file at the record the problem names.
#include "check/ui/jiancha.h"
#include "common/ui/settings.h"
#include "samplegen/samplegame.h"
#include "scenario/scenariodocument.h"
#include "shell/mainwindow.h"
#include "support/scriptedprompts.h"
#include "support/testfiles.h"
#include "support/testmain.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollArea>
#include <QTreeWidget>
#include <QtTest>
#include <memory>

using namespace lcj;

class CheckShellTest : public QObject {
    Q_OBJECT

    test::ScriptedPrompts prompts;
    std::unique_ptr<QTemporaryDir> tmp;
    std::unique_ptr<MainWindow> main;
    QString game;

    void trigger(const QString& name) {
        auto* action = main->findChild<QAction*>(name);
        QVERIFY2(action && action->isEnabled(), qPrintable(name));
        action->trigger();
    }
    check::Jiancha* window() const {
        return main->findChild<check::Jiancha*>(QStringLiteral("Jiancha"));
    }
    QTreeWidget* problems() const {
        return window()->findChild<QTreeWidget*>(QStringLiteral("problems"));
    }
    // The row of the problem at `place` in `file`.
    QTreeWidgetItem* problemAt(const QString& file, const QString& place) const {
        for (int i = 0; i < problems()->topLevelItemCount(); ++i) {
            QTreeWidgetItem* item = problems()->topLevelItem(i);
            if (item->text(0) == file && item->text(1) == place)
                return item;
        }
        return nullptr;
    }
    void activate(QTreeWidgetItem* item, bool byKey) {
        QTreeWidget* tree = problems();
        tree->scrollToItem(item);
        tree->setCurrentItem(item);
        if (byKey) {
            tree->setFocus();
            QTest::keyClick(tree, Qt::Key_Return);
        } else {
            const QPoint at = tree->visualItemRect(item).center();
            QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
        }
    }
    EditorWindow* activeEditor() const {
        QMdiSubWindow* frame = main->mdiArea()->activeSubWindow();
        return frame ? qobject_cast<EditorWindow*>(frame->widget()) : nullptr;
    }
    void change(const QString& name, const std::function<void(QByteArray&)>& edit) {
        const QString path = QDir(game).filePath(name);
        QByteArray bytes = test::readFile(path);
        edit(bytes);
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(f.write(bytes), bytes.size());
    }

private slots:
    void init() {
        prompts = {};
        tmp = std::make_unique<QTemporaryDir>();
        QVERIFY(tmp->isValid());
        settings::useFile(tmp->filePath(QStringLiteral("settings.ini")));
        game = tmp->filePath(QStringLiteral("game"));
        QVERIFY(sample::writeSampleGame(game).ok());
        // An enemy past the characters, a troop type whose movement the form refuses.
        change(QStringLiteral("S_01.eex"), [](QByteArray& b) {
            const auto scan = scenario::ScenarioDocument::scan(b).scan();
            const qint64 at = scan.enemyBase + 2 * 56 + 2;
            b[at] = char(600 & 0xFF);
            b[at + 1] = char(600 >> 8);
        });
        change(QStringLiteral("data.e5"),
               [](QByteArray& b) { b[data::troopTypes.recordOffset(6)] = char(40); });
        main = std::make_unique<MainWindow>(prompts);
        main->show();
        QVERIFY(QTest::qWaitForWindowExposed(main.get()));
    }
    void cleanup() {
        main.reset();
        settings::forget();
        tmp.reset();
    }

    void aProblemOpensItsEditorAtItsRecord_data() {
        QTest::addColumn<bool>("byKey");
        QTest::newRow("double click") << false;
        QTest::newRow("Enter") << true;
    }
    void aProblemOpensItsEditorAtItsRecord() {
        QFETCH(bool, byKey);
        prompts.folderAnswers.enqueue(game);
        trigger(QStringLiteral("gamefolder"));
        trigger(QStringLiteral("jiancha"));
        QVERIFY(window());
        QCOMPARE(window()->windowTitle(), QStringLiteral("检查游戏目录"));
        QCOMPARE(problems()->topLevelItemCount(), 2);

        QTreeWidgetItem* enemy =
            problemAt(QStringLiteral("S_01.eex"), QStringLiteral("敌军 3 人物编号"));
        QVERIFY(enemy);
        activate(enemy, byKey);
        QTRY_VERIFY(activeEditor() && activeEditor()->objectName() == QStringLiteral("Junben"));
        QCOMPARE(QDir::cleanPath(activeEditor()->filePath()),
                 QDir::cleanPath(QDir(game).filePath(QStringLiteral("S_01.eex"))));
        QCOMPARE(activeEditor()->findChild<QListWidget*>(QStringLiteral("List4"))->currentRow(), 2);
        QCOMPARE(activeEditor()->findChild<QLineEdit*>(QStringLiteral("Text14"))->text(),
                 QStringLiteral("600"));
        // The enemy's frame has come into view in the editor's scrolling area.
        auto* area = activeEditor()->findChild<QScrollArea*>(QStringLiteral("frameArea"));
        QVERIFY(area);
        auto* box = activeEditor()->findChild<QLineEdit*>(QStringLiteral("Text14"));
        QVERIFY(area->viewport()->rect().contains(
            QRect(box->mapTo(area->viewport(), QPoint(0, 0)), box->size())));

        // Back to the list: the data file's troop type.
        trigger(QStringLiteral("jiancha"));
        QTreeWidgetItem* troop = problemAt(QStringLiteral("data.e5"), QStringLiteral("兵种 6"));
        QVERIFY(troop);
        activate(troop, byKey);
        QTRY_VERIFY(activeEditor() && activeEditor()->objectName() == QStringLiteral("DForm"));
        QCOMPARE(activeEditor()->findChild<QListWidget*>(QStringLiteral("List8"))->currentRow(), 6);
        QCOMPARE(activeEditor()->findChild<QLineEdit*>(QStringLiteral("Text20"))->text(),
                 QStringLiteral("40"));
        QVERIFY2(prompts.messages.isEmpty(), qPrintable(prompts.messages.join(u'\n')));
    }

    // Without a game folder open, the entry asks for one; cancelled, nothing is checked.
    void withoutAGameFolderTheEntryAsksForOne() {
        prompts.folderAnswers.enqueue(QString());
        trigger(QStringLiteral("jiancha"));
        QCOMPARE(prompts.openFolders.size(), 1);
        QCOMPARE(problems()->topLevelItemCount(), 0);
        prompts.folderAnswers.enqueue(game);
        trigger(QStringLiteral("jiancha"));
        QCOMPARE(main->gameFolder(), QDir::cleanPath(game));
        QCOMPARE(problems()->topLevelItemCount(), 2);
    }
};

LCJ_TEST_MAIN(CheckShellTest)
#include "checkshell_test.moc"
