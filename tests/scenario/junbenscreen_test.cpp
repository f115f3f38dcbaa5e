// The scenario editor on the common laptop screen, 1366 x 768, in the main window maximised:
// every frame, list and button is reached without scrolling the main window, its menu bar
// stays in view, and the battle map and the change list dock inside it beside the frames.
#include "junbendriver.h"
#include "scenario/ui/battlemap.h"
#include "scenario/ui/changespanel.h"
#include "shell/mainwindow.h"
#include "support/testscreen.h"

#include <QDir>
#include <QDockWidget>
#include <QGroupBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QScreen>
#include <QScrollArea>
#include <QTemporaryDir>
#include <vector>

using namespace lcj;
using scenario::UnitKind;

namespace {

const QString S01 = QStringLiteral("S_01.eex");

QRect rectIn(const QWidget* w, const QWidget* in) {
    return QRect(w->mapTo(in, QPoint(0, 0)), w->size());
}

// What a user reads or works: every frame, list, box, button and label.
bool isControl(const QWidget* w) {
    if (w->objectName() == QLatin1String("mapImage"))
        return false; // the picture scrolls in its own frame, as in the map viewer
    if (w->objectName() == QLatin1String("mapFrame"))
        return true;
    if (qobject_cast<const QScrollBar*>(w))
        return !w->objectName().isEmpty(); // 全局敌兵等级加成's bar, not the lists' own
    return qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QLineEdit*>(w) ||
           qobject_cast<const QComboBox*>(w) || qobject_cast<const QAbstractItemView*>(w) ||
           qobject_cast<const QLabel*>(w) || qobject_cast<const QGroupBox*>(w) ||
           qobject_cast<const QDockWidget*>(w);
}

} // namespace

class JunbenScreenTest : public QObject {
    Q_OBJECT

    test::ScriptedPrompts prompts;
    std::unique_ptr<MainWindow> main;
    std::unique_ptr<test::TestFolder> dir;
    scenario::Junben* junben = nullptr;
    QByteArray scenario;

    QMdiArea* area() const { return main->mdiArea(); }
    // The editor's own scrolling area of frames.
    QScrollArea* framesArea() const {
        return junben->findChild<QScrollArea*>(QStringLiteral("frameArea"));
    }
    template <class T> T* find(const QString& name) {
        T* w = junben->findChild<T*>(name);
        if (!w)
            qFatal("no control %s", qPrintable(name));
        return w;
    }
    void trigger(QObject* root, const char* name) {
        auto* action = root->findChild<QAction*>(QString::fromLatin1(name));
        QVERIFY2(action, name);
        action->trigger();
    }
    void openMapAndChanges() {
        prompts.openAnswers.enqueue(
            dir->write(QStringLiteral("map01.bmp"), sample::mapPicture(64, 48, 3)));
        trigger(junben, "battlemap");
        QVERIFY(prompts.openAnswers.isEmpty());
        trigger(junben, "changelist");
        QCoreApplication::processEvents();
    }
    // `w` scrolled into view inside the editor, as its scroll bars let a user, and then wholly
    // inside what the main window and its area show. Empty: so it is.
    QString outOfReach(QWidget* w) {
        QScrollArea* frames = framesArea();
        const bool scrolled = frames && frames->widget()->isAncestorOf(w);
        if (scrolled) {
            frames->ensureWidgetVisible(w, 0, 0);
            QCoreApplication::processEvents();
            if (!frames->viewport()->rect().contains(rectIn(w, frames->viewport())))
                return QStringLiteral("not whole in the frames' area");
        }
        if (!area()->viewport()->rect().contains(rectIn(w, area()->viewport())))
            return QStringLiteral("outside the main window's area");
        if (!main->rect().contains(rectIn(w, main.get())))
            return QStringLiteral("outside the main window");
        return {};
    }

private slots:
    void init() {
        prompts = {};
        dir = std::make_unique<test::TestFolder>();
        main = std::make_unique<MainWindow>(prompts);
        main->showMaximized();
        QVERIFY(QTest::qWaitForWindowExposed(main.get()));
        QTRY_VERIFY(main->isMaximized());
        trigger(main.get(), "sedit");
        junben = main->findChild<scenario::Junben*>(QStringLiteral("Junben"));
        QVERIFY(junben);
        // A battle loaded, its lists filled, as a modder works.
        prompts.openAnswers.enqueue(dir->write(QStringLiteral("data.e5"), sample::dataFile()));
        trigger(junben, "dataopen");
        scenario = sample::scenarioFile(test::shapeOf(S01));
        prompts.openAnswers.enqueue(dir->write(S01, scenario));
        trigger(junben, "sopen");
        QVERIFY2(prompts.messages.isEmpty(), qPrintable(prompts.lastMessage()));
        QCoreApplication::processEvents();
    }
    void cleanup() {
        main.reset();
        dir.reset();
    }

    void theScreenIsALaptopScreen() {
        QCOMPARE(QGuiApplication::primaryScreen()->geometry().size(), QSize(1366, 768));
        QVERIFY(
            QGuiApplication::primaryScreen()->availableGeometry().contains(main->frameGeometry()));
        // The scenario editor has the client area to itself: the banner waits until it closes.
        QVERIFY(!main->banner()->isVisible());
        QCOMPARE(area()->geometry(), main->centralWidget()->rect());
    }

    void everyControlIsReachedWithoutScrollingTheMainWindow_data() {
        QTest::addColumn<bool>("panels");
        QTest::newRow("frames") << false;
        QTest::newRow("with the map and the change list") << true;
    }
    void everyControlIsReachedWithoutScrollingTheMainWindow() {
        QFETCH(bool, panels);
        if (panels)
            openMapAndChanges();
        QMdiSubWindow* frame = area()->activeSubWindow();
        QVERIFY(frame);
        QCOMPARE(frame->widget(), junben);
        // The area needs no scroll bars: the editor's frame lies whole in it.
        QCOMPARE(area()->horizontalScrollBar()->maximum(), 0);
        QCOMPARE(area()->verticalScrollBar()->maximum(), 0);
        QVERIFY(area()->viewport()->rect().contains(rectIn(frame, area()->viewport())));
        QVERIFY(junben->minimumSizeHint().width() <= junben->width());
        QVERIFY(junben->minimumSizeHint().height() <= junben->height());

        // Every entry of the editor's menu bar is in view, whatever the frames show.
        QScrollArea* frames = framesArea();
        QVERIFY(frames);
        frames->verticalScrollBar()->setValue(frames->verticalScrollBar()->maximum());
        auto* bar = junben->findChild<QMenuBar*>();
        QVERIFY(bar && bar->isVisible());
        QVERIFY(!frames->isAncestorOf(bar));
        QCOMPARE(bar->actions().size(), 3);
        for (QAction* a : bar->actions()) {
            const QRect r =
                bar->actionGeometry(a).translated(bar->mapTo(area()->viewport(), QPoint(0, 0)));
            QVERIFY2(!r.isEmpty() && area()->viewport()->rect().contains(r), qPrintable(a->text()));
        }

        int controls = 0;
        for (QWidget* w : junben->findChildren<QWidget*>()) {
            if (!isControl(w) || !w->isVisibleTo(junben))
                continue;
            ++controls;
            const QString fault = outOfReach(w);
            QVERIFY2(fault.isEmpty(),
                     qPrintable(QStringLiteral("%1 %2: %3")
                                    .arg(QString::fromLatin1(w->metaObject()->className()),
                                         w->objectName(), fault)));
        }
        // The frames, the lists and their buttons, and the panels' controls when open.
        for (const char* name :
             {"Frame1", "Frame2", "Frame3", "Frame4", "Frame5", "Frame6", "Frame7", "Frame8",
              "Command2", "Command9", "Text41", "Combo3", "Label50", "List1", "List9"})
            QVERIFY2(find<QWidget>(QString::fromLatin1(name))->isVisibleTo(junben), name);
        if (panels) {
            for (const char* name : {"mapopen", "zoom3", "mapX", "changeList", "changeCount"})
                QVERIFY2(find<QWidget>(QString::fromLatin1(name))->isVisibleTo(junben), name);
        }
        QVERIFY2(controls > 130, qPrintable(QString::number(controls)));
        // Nothing above made the area scroll.
        QCOMPARE(area()->horizontalScrollBar()->maximum(), 0);
        QCOMPARE(area()->verticalScrollBar()->maximum(), 0);
    }

    // Tab goes through the frames in the order they had before they scrolled, and the area
    // follows the keyboard: the box with the focus is always in view.
    void tabGoesThroughTheFramesInTheirOrderInView() {
        const QStringList order =
            QStringLiteral(
                "Text3 Text4 Text5 Text6 Command6 Command1 Command3 Command2 List8 Text28 Text29 "
                "Text30 Option4 Option3 Check1 Text31 Text32 Text33 Text34 Text35 Text36 Text37 "
                "Text38 Text39 Text40 Text41 Command4 List3 Text9 Text7 Text1 Text2 Text8 Text18 "
                "Text22 Text23 Text24 Option6 Option5 Command5 List4 Text14 Text12 Text10 Text11 "
                "Text13 Text19 Text25 Text26 Text27 Option1 Option2 Command7 List6 List5 Text15 "
                "Text16 Text17 Command9 List9 Text21 Combo1 Combo2 Combo3")
                .split(u' ');
        QScrollArea* frames = framesArea();
        QVERIFY(frames);
        QApplication::setActiveWindow(main.get());
        QVERIFY(QTest::qWaitForWindowActive(main.get()));
        find<QWidget>(QStringLiteral("Text3"))->setFocus(Qt::TabFocusReason);
        QStringList visited;
        int scrolled = 0;
        for (int step = 0; step < 200; ++step) {
            scrolled = std::max(scrolled, frames->verticalScrollBar()->value());
            QWidget* w = QApplication::focusWidget();
            QVERIFY(w);
            if (!frames->widget()->isAncestorOf(w))
                break;
            QCoreApplication::processEvents();
            // A box whole; a list at least in part (the area shows its current entry).
            const QRect r = rectIn(w, frames->viewport());
            QVERIFY2(qobject_cast<QAbstractItemView*>(w) ? frames->viewport()->rect().intersects(r)
                                                         : frames->viewport()->rect().contains(r),
                     qPrintable(w->objectName()));
            visited << w->objectName();
            QTest::keyClick(w, Qt::Key_Tab);
        }
        // Every frame visited, in the order above.
        for (const char* name : {"Text3", "Text28", "Text9", "Text14", "Text15", "Text21"})
            QVERIFY2(visited.contains(QString::fromLatin1(name)), name);
        QCOMPARE(visited.last(), QStringLiteral("Combo3"));
        qsizetype at = 0;
        for (const QString& name : visited) {
            const qsizetype next = order.indexOf(name, at);
            QVERIFY2(next >= at, qPrintable(visited.join(u' ')));
            at = next + 1;
        }
        // The area scrolled to follow; with the whole client area for the editor, the boxes
        // may all lie in its first view (each was checked in view above).
        QVERIFY(scrolled > 0 ||
                frames->verticalScrollBar()->maximum() < frames->viewport()->height());
    }

    // The map and the list of changes are panels of the editor: inside the main window,
    // beside the frames, closed by their docks and opened again from the menu.
    void panelsDockInsideTheEditorBesideTheFrames() {
        openMapAndChanges();
        auto* map = junben->battleMap();
        auto* changes = junben->changesPanel();
        QVERIFY(map && changes);
        for (QWidget* panel : {static_cast<QWidget*>(map), static_cast<QWidget*>(changes)}) {
            QVERIFY(panel->isVisible());
            QVERIFY(!panel->isWindow());
            QCOMPARE(panel->window(), main.get());
            QVERIFY(junben->isAncestorOf(panel));
        }
        QScrollArea* frames = framesArea();
        QVERIFY(frames);
        const QRect framesRect = rectIn(frames, junben);
        const QRect namesRect = rectIn(find<QWidget>(QStringLiteral("Frame1")), junben);
        for (QWidget* panel : {static_cast<QWidget*>(map), static_cast<QWidget*>(changes)}) {
            auto* dock = qobject_cast<QDockWidget*>(panel->parentWidget());
            QVERIFY(dock && !dock->isFloating());
            const QRect r = rectIn(dock, junben);
            QVERIFY(!r.intersects(framesRect));
            QVERIFY(!r.intersects(namesRect));
            QVERIFY(junben->rect().contains(r));
        }
        QVERIFY(!rectIn(map, junben).intersects(rectIn(changes, junben)));

        // Closed by the dock's button, shown again by the menu, the same panel with its map.
        auto* mapDock = find<QDockWidget>(QStringLiteral("battlemapDock"));
        auto* close =
            mapDock->findChild<QAbstractButton*>(QStringLiteral("qt_dockwidget_closebutton"));
        QVERIFY(close && close->isVisible());
        const QString mapPath = map->mapPath();
        QTest::mouseClick(close, Qt::LeftButton);
        QTRY_VERIFY(!map->isVisible());
        QVERIFY(changes->isVisible());
        trigger(junben, "battlemap");
        QVERIFY(prompts.openAnswers.isEmpty()); // the map chosen before stays
        QTRY_VERIFY(map->isVisible());
        QCOMPARE(junben->battleMap(), map);
        QCOMPARE(map->mapPath(), mapPath);
        QCOMPARE(map->window(), main.get());
        QVERIFY(!rectIn(mapDock, junben).intersects(rectIn(frames, junben)));
        auto* changesDock = find<QDockWidget>(QStringLiteral("changelistDock"));
        QTest::mouseClick(
            changesDock->findChild<QAbstractButton*>(QStringLiteral("qt_dockwidget_closebutton")),
            Qt::LeftButton);
        QTRY_VERIFY(!changes->isVisible());
        trigger(junben, "changelist");
        QTRY_VERIFY(changes->isVisible());
        QCOMPARE(junben->changesPanel(), changes);

        // A marker clicked on the map brings its entry's frame into view: the area scrolled
        // away from that frame first, to whichever end leaves it out of view in this font.
        auto* enemies = find<QGroupBox>(QStringLiteral("Frame4"));
        for (const bool end : {true, false}) {
            frames->verticalScrollBar()->setValue(end ? frames->verticalScrollBar()->maximum() : 0);
            frames->horizontalScrollBar()->setValue(end ? frames->horizontalScrollBar()->maximum()
                                                        : 0);
            QCoreApplication::processEvents();
            if (!frames->viewport()->rect().contains(rectIn(enemies, frames->viewport())))
                break;
        }
        QVERIFY(!frames->viewport()->rect().contains(rectIn(enemies, frames->viewport())));
        auto* image = map->image();
        int marker = -1;
        for (qsizetype i = 0; i < image->units().size() && marker < 0; ++i)
            if (image->units()[i].kind == UnitKind::Enemy && image->units()[i].index == 3)
                marker = int(i);
        QVERIFY(marker >= 0);
        QTest::mouseClick(image, Qt::LeftButton, {}, image->markerCentre(marker));
        QCOMPARE(find<QListWidget>(QStringLiteral("List4"))->currentRow(), 3);
        QCoreApplication::processEvents();
        QVERIFY(frames->viewport()->rect().contains(rectIn(enemies, frames->viewport())));
    }
};

// A 1366 x 768 screen at 100 % for the offscreen platform.
int main(int argc, char** argv) {
    return test::runOnScreen(argc, argv, 1366, 768, 96, [](int count, char** args) {
        JunbenScreenTest test;
        return QTest::qExec(&test, count, args);
    });
}

#include "junbenscreen_test.moc"
