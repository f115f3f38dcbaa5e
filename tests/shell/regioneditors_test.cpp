#include "shell/mainwindow.h"
#include "support/scriptedprompts.h"
#include "support/testmain.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QtTest>

using namespace lcj;

// The save-file editor, the message-file editor and the program-file editor
// as the main window shows them.
class RegionEditorsTest : public QObject {
    Q_OBJECT

    test::ScriptedPrompts prompts;
    std::unique_ptr<MainWindow> main;

    QAction* action(QObject* root, const QString& name) {
        auto* found = root->findChild<QAction*>(name);
        if (!found)
            qFatal("no action %s", qPrintable(name));
        return found;
    }

private slots:
    void init() {
        prompts = {};
        main = std::make_unique<MainWindow>(prompts);
        main->show();
        QVERIFY(QTest::qWaitForWindowExposed(main.get()));
    }
    void cleanup() { main.reset(); }

    void entryOpensItsEditorAndExitShowsTheBanner_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("caption");
        QTest::newRow("saveedit") << "saveedit"
                                  << "Record"
                                  << "存档文件修改";
        QTest::newRow("imsgedit") << "imsgedit"
                                  << "Imsg"
                                  << "Imsg文件修改";
        QTest::newRow("fileedit") << "fileedit"
                                  << "MainFile"
                                  << "程序文件修改";
    }
    void entryOpensItsEditorAndExitShowsTheBanner() {
        QFETCH(QString, entry);
        QFETCH(QString, window);
        QFETCH(QString, caption);
        QAction* menuEntry = action(main.get(), entry);
        QVERIFY(menuEntry->isEnabled());
        menuEntry->trigger();
        QVERIFY(!main->banner()->isVisible());
        auto* editor = main->findChild<QWidget*>(window);
        QVERIFY(editor);
        QCOMPARE(main->mdiArea()->activeSubWindow()->widget(), editor);
        QCOMPARE(main->mdiArea()->activeSubWindow()->windowTitle(), caption);
        menuEntry->trigger();
        QCOMPARE(main->findChildren<QWidget*>(window).size(), 1);

        action(editor, QStringLiteral("exit"))->trigger();
        QVERIFY(main->banner()->isVisible());
        QTRY_VERIFY(!main->findChild<QWidget*>(window));
        QVERIFY(prompts.messages.isEmpty());
    }
};

LCJ_TEST_MAIN(RegionEditorsTest)
#include "regioneditors_test.moc"
