// The program's own start-up gives every window its icon: the main window
// shows the application's drawing, painted at the size asked for, a patch
// window's frame the mod patch's. The icons Qt gives the menu bar and the game
// folder panel are the platform style's own.
// Runs the program's start-up itself, so it has a main() of its own.
#include "common/gui/appicon.h"
#include "common/ui/settings.h"
#include "shell/mainwindow.h"
#include "shell/startup.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QProxyStyle>
#include <QTemporaryDir>
#include <QWidget>
#include <QWindow>
#include <cstdio>

namespace {

int failures = 0;

void expect(bool ok, const char* what) {
    std::printf("%s %s\n", ok ? "PASS" : "FAIL", what);
    if (!ok)
        ++failures;
}

bool showsTheDrawing(const QIcon& icon, int side, QImage (*draw)(int) = lcj::icons::drawAppIcon) {
    const QImage image = icon.pixmap(QSize(side, side), 1.0).toImage();
    return !icon.isNull() && image.convertToFormat(QImage::Format_ARGB32) ==
                                 draw(side).convertToFormat(QImage::Format_ARGB32);
}

int checkIcons(QWidget& mainWindow) {
    for (int side : {16, 20, 24, 32, 48}) {
        std::printf("%d px:\n", side);
        expect(showsTheDrawing(QApplication::windowIcon(), side), "the application's icon");
        expect(showsTheDrawing(mainWindow.windowIcon(), side), "the main window's icon");
        expect(mainWindow.windowHandle() &&
                   showsTheDrawing(mainWindow.windowHandle()->icon(), side),
               "the icon of the main window's system window");
    }
    // The patch window made from the menu: its frame in the main window shows a patch.
    if (auto* make = mainWindow.findChild<QAction*>(QStringLiteral("budingmake")))
        make->trigger();
    auto* patchWindow = mainWindow.findChild<QWidget*>(QStringLiteral("Zhizuo"));
    auto* frame = patchWindow ? qobject_cast<QMdiSubWindow*>(patchWindow->parentWidget()) : nullptr;
    expect(frame && showsTheDrawing(frame->windowIcon(), 16, lcj::icons::drawPatchIcon),
           "the patch window's frame shows the patch icon");
    // The icons Qt gives the menu bar, the game folder panel and a list's filter box, read
    // only when drawn: what they draw is the platform style's own picture.
    const auto* proxy = qobject_cast<const QProxyStyle*>(QApplication::style());
    // The panel is made when first needed.
    if (auto* main = qobject_cast<lcj::MainWindow*>(&mainWindow))
        main->gameDock();
    QLineEdit filter;
    filter.setClearButtonEnabled(true);
    const struct {
        const QWidget* in;
        const char* button;
        QStyle::StandardPixmap which;
    } standard[] = {
        {&mainWindow, "qt_menubar_ext_button", QStyle::SP_ToolBarHorizontalExtensionButton},
        {&mainWindow, "qt_dockwidget_closebutton", QStyle::SP_DockWidgetCloseButton},
        {&mainWindow, "qt_dockwidget_floatbutton", QStyle::SP_TitleBarNormalButton},
        {&filter, "", QStyle::SP_LineEditClearButton}};
    for (const auto& [in, button, which] : standard) {
        const auto* shown = in->findChild<QAbstractButton*>(QString::fromLatin1(button));
        const QImage own =
            proxy ? proxy->baseStyle()->standardIcon(which).pixmap(16).toImage() : QImage();
        std::printf("%s:\n", *button ? button : "the filter box's clear button");
        expect(shown && !own.isNull() && shown->icon().pixmap(16).toImage() == own,
               "draws the style's own icon");
    }
    // The patch window's frame's system menu: restore, minimise, maximise and close.
    QList<QImage> menuIcons, ownIcons;
    for (const QAction* action : frame ? frame->systemMenu()->actions() : QList<QAction*>())
        if (!action->icon().isNull())
            menuIcons.append(action->icon().pixmap(16).toImage());
    for (const auto which : {QStyle::SP_TitleBarNormalButton, QStyle::SP_TitleBarMinButton,
                             QStyle::SP_TitleBarMaxButton, QStyle::SP_TitleBarCloseButton})
        ownIcons.append(proxy->baseStyle()->standardIcon(which).pixmap(16).toImage());
    std::printf("the frame's system menu:\n");
    expect(!menuIcons.isEmpty() && menuIcons == ownIcons, "draws the style's own icons");
    return failures == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[]) {
    // Settings of its own: never handed to a program the user runs, nor to another test.
    QTemporaryDir settings;
    lcj::settings::useFile(settings.filePath(QStringLiteral("lcjworkshop.ini")));
    return lcj::runProgram(argc, argv, checkIcons);
}
