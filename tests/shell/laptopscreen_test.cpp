// The program on the common laptop screen, 1366 x 768: the main window stays
// inside it, and every editor, opened first or later, shows its buttons.
#include "fields/ui/fieldtableview.h"
#include "samplegen/samplegame.h"
#include "shell/mainwindow.h"
#include "support/scriptedprompts.h"
#include "support/testfiles.h"
#include "support/testscreen.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>
#include <vector>

using namespace lcj;

namespace {

// Scrolls the area, as its scroll bars let a user, until `w` is in view.
// False when it cannot be brought wholly into view.
bool scrollIntoView(QMdiArea* area, QWidget* w) {
    QWidget* viewport = area->viewport();
    for (int attempt = 0; attempt < 4; ++attempt) {
        const QRect r(w->mapTo(viewport, QPoint(0, 0)), w->size());
        if (viewport->rect().contains(r))
            return true;
        QScrollBar* bars[] = {area->horizontalScrollBar(), area->verticalScrollBar()};
        const int below[] = {r.right() - viewport->width() + 1,
                             r.bottom() - viewport->height() + 1};
        const int above[] = {r.left(), r.top()};
        for (int i = 0; i < 2; ++i) {
            if (above[i] < 0)
                bars[i]->setValue(bars[i]->value() + above[i]);
            else if (below[i] > 0)
                bars[i]->setValue(bars[i]->value() + below[i]);
        }
        QCoreApplication::processEvents();
    }
    return false;
}

} // namespace

class LaptopScreenTest : public QObject {
    Q_OBJECT

    test::ScriptedPrompts prompts;
    std::unique_ptr<MainWindow> main;
    test::TestFolder dir;

    void trigger(QObject* root, const QString& name) {
        auto* action = root->findChild<QAction*>(name);
        QVERIFY2(action, qPrintable(name));
        action->trigger();
    }
    QRect screenArea() const { return QGuiApplication::primaryScreen()->availableGeometry(); }
    void mainWindowInsideTheScreen() {
        QVERIFY2(screenArea().contains(main->frameGeometry()),
                 qPrintable(QStringLiteral("%1x%2")
                                .arg(main->frameGeometry().width())
                                .arg(main->frameGeometry().height())));
    }
    // Every visible button of the active editor lies inside its window and can
    // be brought into view; `direct`: without scrolling the main window's area (an
    // editor's own scrolling area is scrolled to it). Returns how many there are.
    int buttonsInReach(bool direct) {
        QMdiSubWindow* frame = main->mdiArea()->activeSubWindow();
        if (!frame)
            return -1;
        int buttons = 0;
        for (QPushButton* b : frame->widget()->findChildren<QPushButton*>()) {
            if (!b->isVisibleTo(frame))
                continue;
            ++buttons;
            for (QWidget* p = b->parentWidget(); p && p != frame; p = p->parentWidget())
                if (auto* inner = qobject_cast<QScrollArea*>(p))
                    inner->ensureWidgetVisible(b, 0, 0);
            QCoreApplication::processEvents();
            const QRect r(b->mapTo(frame, QPoint(0, 0)), b->size());
            const QRect inArea(b->mapTo(main->mdiArea()->viewport(), QPoint(0, 0)), b->size());
            if (!frame->rect().contains(r) ||
                (direct && !main->mdiArea()->viewport()->rect().contains(inArea)) ||
                !scrollIntoView(main->mdiArea(), b)) {
                qWarning("out of reach: %s", qPrintable(b->objectName()));
                return -1;
            }
        }
        return buttons;
    }

    // The data file editor with the sample data.e5, section `section` shown in 表格.
    fields::FieldTableView* dataTable(const QString& section) {
        trigger(main.get(), QStringLiteral("dataedit"));
        QWidget* dform = main->findChild<QWidget*>(QStringLiteral("DForm"));
        prompts.openAnswers.enqueue(dir.write(QStringLiteral("data.e5"), sample::dataFile()));
        trigger(dform, QStringLiteral("fileop"));
        trigger(dform, section);
        trigger(dform, QStringLiteral("tableview"));
        QCoreApplication::processEvents();
        for (auto* table : dform->findChildren<fields::FieldTableView*>())
            if (table->isVisible())
                return table;
        return nullptr;
    }
    // The rectangle of `w` in the coordinates of `to`.
    static QRect rectIn(QWidget* w, QWidget* to) { return {w->mapTo(to, QPoint(0, 0)), w->size()}; }

private slots:
    void init() {
        prompts = {};
        main = std::make_unique<MainWindow>(prompts);
        main->show();
        QVERIFY(QTest::qWaitForWindowExposed(main.get()));
    }
    void cleanup() { main.reset(); }

    void theScreenIsALaptopScreen() {
        QCOMPARE(QGuiApplication::primaryScreen()->geometry().size(), QSize(1366, 768));
    }

    void mainWindowOpensInsideTheScreen() {
        mainWindowInsideTheScreen();
        QVERIFY(main->banner()->isVisible());
        // The first start (nothing remembered) takes the whole laptop screen.
        QVERIFY(main->isMaximized());
    }

    // In 表格 the table has the width, and 序号 and the name stay at its left while the
    // columns scroll to the last one and the rows far down.
    void tableKeepsNumberAndNameInView_data() {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("name");
        QTest::newRow("characters") << QStringLiteral("renpre") << QStringLiteral("姓名");
        QTest::newRow("items") << QStringLiteral("daopre") << QStringLiteral("道具名称");
        QTest::newRow("shops") << QStringLiteral("shoppre") << QStringLiteral("战役");
        QTest::newRow("troop types") << QStringLiteral("binpre") << QStringLiteral("兵种名称");
    }
    void tableKeepsNumberAndNameInView() {
        QFETCH(QString, section);
        QFETCH(QString, name);
        fields::FieldTableView* table = dataTable(section);
        QVERIFY(table && prompts.messages.isEmpty());
        mainWindowInsideTheScreen();
        QTableView* view = table->view();
        QTableView* names = table->frozenView();
        QVERIFY(view->width() > main->mdiArea()->activeSubWindow()->width() * 2 / 3);
        QVERIFY(main->mdiArea()->viewport()->rect().contains(
            rectIn(view, main->mdiArea()->viewport())));
        const int rows = view->model()->rowCount(), last = view->model()->columnCount() - 1;
        view->setCurrentIndex(view->model()->index(rows - 1, last));
        const QRect lastCell = view->visualRect(view->currentIndex());
        QVERIFY(view->viewport()->rect().contains(lastCell));
        QVERIFY(names->isVisible() && lastCell.left() >= names->width());
        QStringList shown;
        for (int c = 0; c <= last; ++c)
            if (!names->isColumnHidden(c))
                shown << names->model()->headerData(c, Qt::Horizontal).toString();
        QCOMPARE(shown, (QStringList{QStringLiteral("序号"), name}));
        QCOMPARE(names->width(), view->columnWidth(0) + view->columnWidth(1));
        const int y = lastCell.center().y();
        QCOMPARE(names->indexAt(QPoint(names->width() - 2, y)).data(),
                 view->model()->index(rows - 1, 1).data());
    }

    // The banner shows while no editor is open, however they were opened and closed.
    void bannerOnlyWhileNoEditorIsOpen_data() {
        QTest::addColumn<QStringList>("entries"); // none: a file opened
        QTest::addColumn<bool>("byFrame");        // closed by the frame, else by 退出
        QTest::newRow("scenario, 退出") << QStringList{QStringLiteral("sedit")} << false;
        QTest::newRow("data and scenario, frame")
            << QStringList{QStringLiteral("dataedit"), QStringLiteral("sedit")} << true;
        QTest::newRow("save and patch, frame")
            << QStringList{QStringLiteral("saveedit"), QStringLiteral("budingmake")} << true;
        QTest::newRow("a file, 退出") << QStringList{} << false;
    }
    void bannerOnlyWhileNoEditorIsOpen() {
        QFETCH(QStringList, entries);
        QFETCH(bool, byFrame);
        if (entries.isEmpty())
            QVERIFY(main->openPath(dir.write(QStringLiteral("data.e5"), sample::dataFile())));
        for (const QString& entry : entries)
            trigger(main.get(), entry);
        for (QMdiSubWindow* frame : main->mdiArea()->subWindowList()) {
            QVERIFY(!main->banner()->isVisible());
            if (byFrame)
                frame->close();
            else
                frame->widget()->findChild<QAction*>(QStringLiteral("exit"))->trigger();
            QCoreApplication::processEvents();
        }
        QTRY_VERIFY(main->banner()->isVisible());
        QTRY_VERIFY(!main->mdiArea()->isVisible());
    }

    // An editor picked from 功能 takes the maximised state of the one in front.
    void pickedEditorKeepsTheMaximisedState_data() {
        QTest::addColumn<bool>("maximised");
        QTest::addColumn<bool>("existing"); // the editor picked is open behind
        for (bool maximised : {true, false})
            for (bool existing : {true, false})
                QTest::addRow("%s, %s", maximised ? "maximised" : "normal",
                              existing ? "open behind" : "new")
                    << maximised << existing;
    }
    void pickedEditorKeepsTheMaximisedState() {
        QFETCH(bool, maximised);
        QFETCH(bool, existing);
        if (existing)
            trigger(main.get(), QStringLiteral("dataedit"));
        trigger(main.get(), QStringLiteral("saveedit"));
        if (maximised)
            main->mdiArea()->activeSubWindow()->showMaximized();
        trigger(main.get(), QStringLiteral("dataedit"));
        QMdiSubWindow* picked = main->mdiArea()->activeSubWindow();
        QCOMPARE(picked->widget()->objectName(), QStringLiteral("DForm"));
        QCOMPARE(picked->isMaximized(), maximised);
    }

    // Every command is in a menu with its key; the table's wait for a table, and 编辑 → 复制
    // in 表格 puts the cells chosen on the clipboard.
    void everyCommandIsInAMenu() {
        const QList<QPair<QString, QString>> editors{
            {QStringLiteral("dataedit"), QStringLiteral("DForm")},
            {QStringLiteral("saveedit"), QStringLiteral("Record")},
            {QStringLiteral("fileedit"), QStringLiteral("MainFile")},
            {QStringLiteral("imsgedit"), QStringLiteral("Imsg")},
            {QStringLiteral("sedit"), QStringLiteral("Junben")}};
        const QList<std::tuple<QString, QString, QKeySequence>> commands{
            {QStringLiteral("save"), QStringLiteral("保存"), QKeySequence::Save},
            {QStringLiteral("copy"), QStringLiteral("复制"), QKeySequence::Copy},
            {QStringLiteral("paste"), QStringLiteral("粘贴"), QKeySequence::Paste},
            {QStringLiteral("filldown"), QStringLiteral("向下填充"),
             QKeySequence(Qt::CTRL | Qt::Key_D)}};
        for (const auto& [entry, window] : editors) {
            trigger(main.get(), entry);
            QWidget* editor = main->findChild<QWidget*>(window);
            for (const auto& [name, caption, key] : commands) {
                const bool scenario = window == QLatin1String("Junben");
                if (scenario && name != QLatin1String("save"))
                    continue;
                auto* action =
                    editor->findChild<QAction*>(scenario ? QStringLiteral("ssave") : name);
                QVERIFY2(action, qPrintable(window + u' ' + name));
                QCOMPARE(action->text(), scenario ? QStringLiteral("保存剧本文件") : caption);
                QCOMPARE(action->shortcut(), key);
                QMenu* menu = nullptr;
                for (QObject* o : action->associatedObjects())
                    menu = menu ? menu : qobject_cast<QMenu*>(o);
                QVERIFY2(menu && editor->findChildren<QMenu*>().contains(menu),
                         qPrintable(window + u' ' + name));
                emit menu->aboutToShow();
                QVERIFY(action->isEnabled() || name != QLatin1String("save") || scenario);
            }
        }
        fields::FieldTableView* table = dataTable(QStringLiteral("renpre"));
        QWidget* dform = main->findChild<QWidget*>(QStringLiteral("DForm"));
        auto* copy = dform->findChild<QAction*>(QStringLiteral("copy"));
        QVERIFY(copy->isEnabled());
        QAbstractItemModel* model = table->view()->model();
        table->frozenView()->selectionModel()->setCurrentIndex(model->index(3, 0),
                                                               QItemSelectionModel::NoUpdate);
        table->frozenView()->selectionModel()->select(
            QItemSelection(model->index(3, 0), model->index(4, 1)),
            QItemSelectionModel::ClearAndSelect);
        copy->trigger();
        const QStringList names = sample::characterNames();
        QCOMPARE(QApplication::clipboard()->text(),
                 QStringLiteral("3\t%1\r\n4\t%2\r\n").arg(names[3], names[4]));
        trigger(dform, QStringLiteral("tableview"));
        QTRY_VERIFY(!copy->isEnabled());
    }

    // 检查游戏目录 shows its three columns, the problem's in the rest of the width.
    void checkWindowShowsEveryColumn() {
        QVERIFY(sample::writeSampleGame(dir.path(QString())).ok());
        QVERIFY(main->openGameFolder(dir.path(QString())));
        trigger(main.get(), QStringLiteral("jiancha"));
        auto* problems = main->findChild<QTreeWidget*>(QStringLiteral("problems"));
        QCoreApplication::processEvents();
        const int width = problems->viewport()->width();
        for (int c = 0; c < 3; ++c)
            QVERIFY(problems->header()->sectionViewportPosition(c) +
                        problems->header()->sectionSize(c) <=
                    width);
        QVERIFY(problems->header()->sectionSize(2) >= width / 3);
    }

    // The data file editor's sections appear only with a file: each one fits.
    void everyDataFileSectionFits() {
        trigger(main.get(), QStringLiteral("dataedit"));
        QWidget* dform = main->findChild<QWidget*>(QStringLiteral("DForm"));
        prompts.openAnswers.enqueue(dir.write(QStringLiteral("data.e5"), sample::dataFile()));
        trigger(dform, QStringLiteral("fileop"));
        for (const char* section : {"renpre", "daopre", "shoppre", "binpre", "dipfe", "chepre"}) {
            trigger(dform, QString::fromLatin1(section));
            QVERIFY(prompts.messages.isEmpty());
            QVERIFY(buttonsInReach(true) > 0);
            mainWindowInsideTheScreen();
            if (QLatin1String(section) != QLatin1String("renpre"))
                continue;
            // The character section's 兵种 list is whole inside the window too.
            auto* troops = dform->findChild<QWidget*>(QStringLiteral("Frame1"))
                               ->findChild<QWidget*>(QStringLiteral("List2"));
            QVERIFY(troops->isVisible());
            QVERIFY(
                dform->rect().contains(QRect(troops->mapTo(dform, QPoint(0, 0)), troops->size())));
        }
    }

    // Every editor open one after another: the main window never grows past the screen.
    void allEditorsOpenTogetherKeepTheMainWindowInside() {
        for (const char* entry : {"sedit", "dataedit", "saveedit", "fileedit", "imsgedit", "map"}) {
            trigger(main.get(), QString::fromLatin1(entry));
            mainWindowInsideTheScreen();
            QVERIFY(buttonsInReach(true) >= 0);
        }
    }

    // In a short window the banner is squeezed: its texts stay whole in it.
    void squeezedBannerKeepsItsTexts() {
        main->showNormal();
        QTRY_VERIFY(!main->isMaximized());
        main->resize(main->width(), 0);
        QWidget* banner = main->banner();
        QVERIFY(banner->isVisible());
        QTRY_VERIFY(banner->height() < 400);
        for (const char* name : {"Label1", "Frame1", "Label5"}) {
            auto* w = banner->findChild<QWidget*>(QString::fromLatin1(name));
            QVERIFY2(banner->rect().contains(w->geometry()), name);
            QVERIFY(qAbs(w->x() + w->width() / 2 - banner->width() / 2) <= 1);
        }
        // The title stays above the credits.
        QVERIFY(banner->findChild<QWidget*>(QStringLiteral("Label1"))->geometry().bottom() <
                banner->findChild<QWidget*>(QStringLiteral("Frame1"))->y());
    }
};

// A 1366 x 768 screen at 100 % for the offscreen platform.
int main(int argc, char** argv) {
    return test::runOnScreen(argc, argv, 1366, 768, 96, [](int count, char** args) {
        LaptopScreenTest test;
        return QTest::qExec(&test, count, args);
    });
}

#include "laptopscreen_test.moc"
