#include "common/ui/editorwindow.h"
#include "support/scriptedprompts.h"
#include "support/testmain.h"

#include <QAction>
#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QtTest>

using namespace lcj;

namespace {

// Prompts that also keep the title of every message.
class TitledPrompts : public test::ScriptedPrompts {
public:
    QStringList titles;
    void showMessage(QWidget* parent, const QString& text, const QString& title,
                     Icon icon) override {
        titles << title;
        ScriptedPrompts::showMessage(parent, text, title, icon);
    }
};

// The smallest editor: a list, a text box and a 编辑 menu.
class Probe : public EditorWindow {
public:
    explicit Probe(Prompts& prompts) : EditorWindow(prompts) {
        list = new QListWidget(this);
        list->addItems({QStringLiteral("甲"), QStringLiteral("乙")});
        box = new QLineEdit(this);
        box->setObjectName(QStringLiteral("box"));
        layout()->addWidget(list);
        layout()->addWidget(box);
        actions = addUndoRedo(menuBar()->addMenu(QStringLiteral("编辑")));
        connect(actions.undo, &QAction::triggered, this, [this] { ++undone; });
        connect(actions.redo, &QAction::triggered, this, [this] { ++redone; });
    }
    using EditorWindow::say;
    using EditorWindow::setCaption;
    using EditorWindow::showFileState;
    using EditorWindow::showStatus;
    QListWidget* list;
    QLineEdit* box;
    UndoRedo actions;
    int undone = 0;
    int redone = 0;
};

} // namespace

class EditorWindowTest : public QObject {
    Q_OBJECT

    TitledPrompts prompts;
    std::unique_ptr<Probe> window;

    void activate(QWidget* focus) {
        window->show();
        QApplication::setActiveWindow(window.get());
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        focus->setFocus();
        QCOMPARE(QApplication::focusWidget(), focus);
    }

private slots:
    void init() {
        prompts = {};
        window = std::make_unique<Probe>(prompts);
        window->setCaption(QStringLiteral("Data文件修改"));
    }
    void cleanup() { window.reset(); }

    void theTitleNamesTheFileAndItsUnsavedEdits() {
        QCOMPARE(window->windowTitle(), QStringLiteral("Data文件修改"));
        window->showFileState(QStringLiteral("/games/lcj/data.e5"), false);
        QCOMPARE(window->windowTitle(), QStringLiteral("Data文件修改 - data.e5"));
        window->showFileState(QStringLiteral("/games/lcj/data.e5"), true);
        QCOMPARE(window->windowTitle(), QStringLiteral("Data文件修改 - data.e5 *"));
        window->showFileState(QString(), false);
        QCOMPARE(window->windowTitle(), QStringLiteral("Data文件修改"));
    }

    void messagesKeepTheCaptionAsTheirTitle() {
        window->showFileState(QStringLiteral("/games/lcj/data.e5"), true);
        window->say(QStringLiteral("保存成功"));
        QCOMPARE(prompts.titles, QStringList{QStringLiteral("Data文件修改")});
        QCOMPARE(EditorWindow::messageTitle(window.get()), QStringLiteral("Data文件修改"));
    }

    void theStatusLineIsTheLastLineOfTheWindow() {
        QVERIFY(!window->findChild<QLabel*>(QStringLiteral("status")));
        window->showStatus(QStringLiteral("已保存 data.e5：3条记录"));
        window->showStatus(QStringLiteral("已读入 data.e5"));
        const auto labels = window->findChildren<QLabel*>(QStringLiteral("status"));
        QCOMPARE(labels.size(), 1);
        QCOMPARE(labels.first()->text(), QStringLiteral("已读入 data.e5"));
        QCOMPARE(window->statusText(), QStringLiteral("已读入 data.e5"));
        QLayout* layout = window->layout();
        QCOMPARE(layout->itemAt(layout->count() - 1)->widget(), labels.first());
        window->show();
        QVERIFY(labels.first()->isVisible());
        QVERIFY(labels.first()->geometry().top() >= window->box->geometry().bottom());
    }

    // The status line's text is selected with the mouse, and copied, as the user drags over it.
    void theStatusLineIsSelectedWithTheMouse() {
        const QString text = QStringLiteral("已保存 data.e5：3条记录");
        window->showStatus(text);
        activate(window->box);
        auto* status = window->findChild<QLabel*>(QStringLiteral("status"));
        QVERIFY(status);
        const int y = status->height() / 2;
        QTest::mousePress(status, Qt::LeftButton, {}, QPoint(1, y));
        QTest::mouseMove(status, QPoint(status->width() - 1, y));
        QTest::mouseRelease(status, Qt::LeftButton, {}, QPoint(status->width() - 1, y));
        QCOMPARE(status->selectedText(), text);
    }

    void theKeysOfUndoAndRedo_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("undone");
        QTest::addColumn<int>("redone");
        QTest::newRow("Ctrl+Z") << int(Qt::Key_Z) << int(Qt::ControlModifier) << 1 << 0;
        QTest::newRow("Ctrl+Y") << int(Qt::Key_Y) << int(Qt::ControlModifier) << 0 << 1;
        QTest::newRow("Ctrl+Shift+Z")
            << int(Qt::Key_Z) << int(Qt::ControlModifier | Qt::ShiftModifier) << 0 << 1;
    }
    void theKeysOfUndoAndRedo() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, undone);
        QFETCH(int, redone);
        QCOMPARE(window->actions.undo->objectName(), QStringLiteral("undo"));
        QCOMPARE(window->actions.redo->objectName(), QStringLiteral("redo"));
        QCOMPARE(window->actions.undo->text(), QStringLiteral("撤销"));
        QCOMPARE(window->actions.redo->text(), QStringLiteral("重做"));
        activate(window->list);
        QTest::keyClick(window->list, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(window->undone, undone);
        QCOMPARE(window->redone, redone);
    }

    void aTextBoxUndoesItsOwnTyping() {
        activate(window->box);
        QTest::keyClicks(window->box, QStringLiteral("12"));
        QTest::keyClick(window->box, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(window->box->text(), QString());
        QCOMPARE(window->undone, 0);
        // With nothing of its own left to undo, the box still keeps the key.
        QTest::keyClick(window->box, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(window->undone, 0);
    }
};

LCJ_TEST_MAIN(EditorWindowTest)
#include "editorwindow_test.moc"
