// The program on the common laptop screen, 1366 x 768: the main window stays
// inside it, and every editor, opened first or later, shows its buttons.
#include "samplegen/samplegame.h"
#include "shell/mainwindow.h"
#include "support/scriptedprompts.h"
#include "support/testfiles.h"
#include "support/testscreen.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
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
    }

    void eachEditorOpenedFirstShowsItsButtons_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<bool>("fits");
        QTest::newRow("data file") << QStringLiteral("dataedit") << true;
        QTest::newRow("save file") << QStringLiteral("saveedit") << true;
        QTest::newRow("program file") << QStringLiteral("fileedit") << true;
        QTest::newRow("message file") << QStringLiteral("imsgedit") << true;
        QTest::newRow("map viewer") << QStringLiteral("map") << true;
        // The scenario editor's frames scroll inside it.
        QTest::newRow("scenario") << QStringLiteral("sedit") << true;
    }
    void eachEditorOpenedFirstShowsItsButtons() {
        QFETCH(QString, entry);
        QFETCH(bool, fits);
        trigger(main.get(), entry);
        QMdiSubWindow* frame = main->mdiArea()->activeSubWindow();
        QVERIFY(frame);
        // Its preferred size, clipped to the area, and never below what it needs.
        const QSize expected = frame->sizeHint()
                                   .boundedTo(main->mdiArea()->viewport()->size())
                                   .expandedTo(frame->minimumSizeHint());
        QCOMPARE(frame->size(), expected);
        QVERIFY(frame->width() > 640 || frame->height() > 480 || frame->sizeHint().width() <= 640);
        mainWindowInsideTheScreen();
        // The data file editor shows its buttons with a section (below).
        const int buttons = buttonsInReach(fits);
        QVERIFY(entry == QLatin1String("dataedit") ? buttons == 0 : buttons > 0);
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

    // Beside the scenario editor the banner is squeezed: its texts stay whole in it.
    void squeezedBannerKeepsItsTexts() {
        trigger(main.get(), QStringLiteral("sedit"));
        QWidget* banner = main->banner();
        QVERIFY(banner->isVisible());
        QVERIFY(banner->height() < 400);
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
