#include "samplegen/samplegame.h"
#include "shell/mainwindow.h"
#include "support/scriptedprompts.h"
#include "support/testfiles.h"
#include "support/testmain.h"

#include <QAction>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QtTest>

using namespace lcj;

class MainWindowTest : public QObject {
    Q_OBJECT

    test::ScriptedPrompts prompts;
    std::unique_ptr<MainWindow> main;

    void trigger(QObject* root, const char* name) {
        auto* action = root->findChild<QAction*>(QString::fromLatin1(name));
        QVERIFY2(action, name);
        action->trigger();
    }
    QWidget* editor(const char* name) {
        return main->findChild<QWidget*>(QString::fromLatin1(name));
    }

private slots:
    void init() {
        prompts = {};
        main = std::make_unique<MainWindow>(prompts);
        main->show();
        QVERIFY(QTest::qWaitForWindowExposed(main.get()));
    }
    void cleanup() { main.reset(); }

    void startsWithTitleAndBanner() {
        QCOMPARE(main->objectName(), QStringLiteral("Main"));
        QCOMPARE(main->windowTitle(), QStringLiteral("岚川记数据工坊V1.13版"));
        QVERIFY(main->banner()->isVisible());
        QCOMPARE(main->findChild<QLabel*>(QStringLiteral("Label1"))->text(),
                 QStringLiteral("岚川记数据工坊V1.13版"));
    }

    void eachEditorOpensOnceAndComesForward() {
        trigger(main.get(), "dataedit");
        QVERIFY(!main->banner()->isVisible());
        QWidget* first = editor("DForm");
        QVERIFY(first);
        trigger(main.get(), "dataedit");
        QCOMPARE(main->findChildren<QWidget*>(QStringLiteral("DForm")).size(), 1);
        QCOMPARE(editor("DForm"), first);
        QCOMPARE(main->mdiArea()->activeSubWindow()->widget(), first);
    }

    void exitCommandClosesTheEditorAndShowsTheBanner() {
        trigger(main.get(), "dataedit");
        QWidget* dform = editor("DForm");
        trigger(dform, "exit");
        QVERIFY(main->banner()->isVisible());
        QTRY_VERIFY(!editor("DForm"));
        // Opening it again creates a fresh window.
        trigger(main.get(), "dataedit");
        QVERIFY(editor("DForm"));
    }

    void closingThroughTheFrameShowsTheBannerToo() {
        trigger(main.get(), "dataedit");
        main->mdiArea()->activeSubWindow()->close();
        QTRY_VERIFY(!editor("DForm"));
        QVERIFY(main->banner()->isVisible());
    }

    void titleAndCreditsStayCentred() {
        QWidget* banner = main->banner();
        for (int width : {900, 1400}) {
            main->resize(width, 800);
            QTRY_COMPARE(banner->width(), main->centralWidget()->width());
            for (const char* name : {"Label1", "Frame1", "Label5"}) {
                auto* w = banner->findChild<QWidget*>(QString::fromLatin1(name));
                QVERIFY(qAbs(w->x() + w->width() / 2 - banner->width() / 2) <= 1);
            }
        }
    }

    // Without a mouse: Alt+F opens "功能", the arrow keys and Enter pick an
    // editor; Alt+A shows "关于".
    void menusAnswerTheirAltKeys() {
        QApplication::setActiveWindow(main.get());
        auto* gn = main->findChild<QMenu*>(QStringLiteral("gn"));
        QTest::keyClick(main.get(), Qt::Key_F, Qt::AltModifier);
        QTRY_VERIFY(gn->isVisible());
        QCOMPARE(gn->activeAction()->objectName(), QStringLiteral("dataedit"));
        QTest::keyClick(gn, Qt::Key_Down);
        QCOMPARE(gn->activeAction()->objectName(), QStringLiteral("saveedit"));
        QTest::keyClick(gn, Qt::Key_Return);
        QTRY_VERIFY(editor("Record"));
        QVERIFY(!main->banner()->isVisible());
        QTest::keyClick(main.get(), Qt::Key_A, Qt::AltModifier);
        QCOMPARE(prompts.messages.size(), 1);
        QVERIFY(prompts.lastMessage().startsWith(QStringLiteral("岚川记数据工坊V1.13版")));
        // The captions are left as they were.
        QCOMPARE(gn->title(), QStringLiteral("功能"));
    }

    void aboutShowsTheProductTitleFirst() {
        trigger(main.get(), "about");
        QCOMPARE(prompts.messages.size(), 1);
        QVERIFY(prompts.lastMessage().startsWith(QStringLiteral("岚川记数据工坊V1.13版\n\n")));
    }

    void exitKeepsUnsavedScenarioEditsWhenTheUserSaysSo() {
        test::TestFolder dir;
        trigger(main.get(), "sedit");
        QWidget* junben = editor("Junben");
        prompts.openAnswers.enqueue(dir.write(QStringLiteral("data.e5"), sample::dataFile()));
        trigger(junben, "dataopen");
        const auto shape = sample::sampleScenarios().first();
        prompts.openAnswers.enqueue(dir.write(shape.first, sample::scenarioFile(shape.second)));
        trigger(junben, "sopen");
        QTest::mouseClick(junben->findChild<QPushButton*>(QStringLiteral("Command3")),
                          Qt::LeftButton); // appends an army entry: an unsaved edit
        auto* gn = main->findChild<QMenu*>(QStringLiteral("gn"));
        auto* exit = gn->findChild<QAction*>(QStringLiteral("exit"), Qt::FindDirectChildrenOnly);
        prompts.saveChoices.enqueue(Prompts::SaveChoice::Cancel);
        exit->trigger();
        QCOMPARE(prompts.questions.size(), 1);
        QVERIFY(main->isVisible());
        QVERIFY(junben->isVisible());
        prompts.saveChoices.enqueue(Prompts::SaveChoice::Discard);
        exit->trigger();
        QVERIFY(!main->isVisible());
    }

    // The frame of an editor shows its title as it changes: the file read, its unsaved mark.
    void theFrameTitleFollowsTheEditor() {
        test::TestFolder dir;
        trigger(main.get(), "sedit");
        QWidget* junben = editor("Junben");
        QMdiSubWindow* frame = main->mdiArea()->activeSubWindow();
        QCOMPARE(frame->widget(), junben);
        QCOMPARE(frame->windowTitle(), QStringLiteral("岚川记S剧本简易修改版"));
        // Room for the whole path in every platform's title font (a narrow frame elides it).
        frame->resize(1400, frame->height());
        prompts.openAnswers.enqueue(dir.write(QStringLiteral("data.e5"), sample::dataFile()));
        trigger(junben, "dataopen");
        const auto shape = sample::sampleScenarios().first();
        prompts.openAnswers.enqueue(dir.write(shape.first, sample::scenarioFile(shape.second)));
        trigger(junben, "sopen");
        // No game folder is open: the title gives the whole path of the file.
        const QString named = QStringLiteral("岚川记S剧本简易修改版 - ") +
                              QDir::toNativeSeparators(QDir::cleanPath(dir.path(shape.first)));
        QCOMPARE(frame->windowTitle(), named);
        QTest::mouseClick(junben->findChild<QPushButton*>(QStringLiteral("Command3")),
                          Qt::LeftButton);
        QCOMPARE(frame->windowTitle(), named + QStringLiteral(" *"));
        trigger(junben, "undo");
        QCOMPARE(frame->windowTitle(), named);
    }

    void exitAndEditorExitsKeepEditsOnCancel() {
        test::TestFolder dir;
        const QString path = dir.write(QStringLiteral("data.e5"), sample::dataFile());
        trigger(main.get(), "dataedit");
        QWidget* dform = editor("DForm");
        trigger(main.get(), "imsgedit");
        prompts.openAnswers.enqueue(path);
        trigger(dform, "fileop");
        trigger(dform, "renpre");
        auto* force = dform->findChild<QLineEdit*>(QStringLiteral("Text4"));
        force->setText(QStringLiteral("20"));
        // The editor's own exit: 取消 keeps it open, and the banner hidden.
        trigger(dform, "exit");
        QCOMPARE(prompts.questions.size(), 1);
        QVERIFY(dform->isVisible());
        QVERIFY(!main->banner()->isVisible());
        // The program's exit: 取消 keeps the program and that editor; the
        // message-file editor, with nothing to ask, closes.
        auto* gn = main->findChild<QMenu*>(QStringLiteral("gn"));
        auto* exit = gn->findChild<QAction*>(QStringLiteral("exit"), Qt::FindDirectChildrenOnly);
        exit->trigger();
        QCOMPARE(prompts.questions.size(), 2);
        QVERIFY(main->isVisible());
        QVERIFY(dform->isVisible());
        QCOMPARE(force->text(), QStringLiteral("20"));
        QCOMPARE(test::readFile(path), sample::dataFile());
        prompts.saveChoices.enqueue(Prompts::SaveChoice::Save);
        exit->trigger();
        QVERIFY(!main->isVisible());
        QByteArray expected = sample::dataFile();
        expected[396 + 18] = char(10); // 武力 is stored halved
        QCOMPARE(test::readFile(path), expected);
    }

    // The title bar's ×, Alt+F4 or the session ending close the window: each
    // editor asks about its edits exactly once, as 功能 → 退出 does, and
    // 取消 keeps the program and every edit.
    void closingTheWindowAsksAsExitDoes() {
        test::TestFolder dir;
        const QString path = dir.write(QStringLiteral("data.e5"), sample::dataFile());
        trigger(main.get(), "dataedit");
        QWidget* dform = editor("DForm");
        prompts.openAnswers.enqueue(path);
        trigger(dform, "fileop");
        trigger(dform, "renpre");
        auto* force = dform->findChild<QLineEdit*>(QStringLiteral("Text4"));
        force->setText(QStringLiteral("20"));
        QVERIFY(!main->close());
        QCOMPARE(prompts.questions.size(), 1);
        QVERIFY(main->isVisible());
        QVERIFY(dform->isVisible());
        QCOMPARE(force->text(), QStringLiteral("20"));
        QCOMPARE(test::readFile(path), sample::dataFile());
        prompts.saveChoices.enqueue(Prompts::SaveChoice::Save);
        QVERIFY(main->close());
        QCOMPARE(prompts.questions.size(), 2);
        QVERIFY(!main->isVisible());
        QByteArray expected = sample::dataFile();
        expected[396 + 18] = char(10); // 武力 is stored halved
        QCOMPARE(test::readFile(path), expected);
    }

    void exitEndsTheProgramWindows() {
        trigger(main.get(), "dataedit");
        // The editor has an "exit" of its own: take the one in the 功能 menu.
        auto* gn = main->findChild<QMenu*>(QStringLiteral("gn"));
        gn->findChild<QAction*>(QStringLiteral("exit"), Qt::FindDirectChildrenOnly)->trigger();
        QVERIFY(!main->isVisible());
    }
};

LCJ_TEST_MAIN(MainWindowTest)
#include "mainwindow_test.moc"
