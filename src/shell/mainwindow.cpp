#include "mainwindow.h"

#include "banner.h"
#include "changes/ui/buding.h"
#include "changes/ui/modlistwindow.h"
#include "changes/ui/zhizuo.h"
#include "check/ui/jiancha.h"
#include "common/gui/appicon.h"
#include "common/ui/controls.h"
#include "common/ui/editorwindow.h"
#include "common/ui/prompts.h"
#include "common/ui/settings.h"
#include "common/version.h"
#include "datafile/ui/dform.h"
#include "fields/filekind.h"
#include "gamedock.h"
#include "mapview/ui/form1.h"
#include "messages/ui/imsg.h"
#include "programfile/ui/mainfile.h"
#include "savefile/ui/record.h"
#include "scenario/ui/junben.h"
#include "workspace.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#if QT_CONFIG(sessionmanager)
#include <QSessionManager>
#endif
#include <QShortcut>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

// What the program opened from outside (its command line, a drop), one line a path; off
// unless asked for (QT_LOGGING_RULES="lcj.shell.info=true").
Q_LOGGING_CATEGORY(lcjShell, "lcj.shell", QtWarningMsg)

namespace lcj {

namespace {

// The product title carries the build's version ("岚川记数据工坊V1.13版").
const QString productTitle = QStringLiteral("岚川记数据工坊V" LCJ_VERSION "版");
const QSize preferredSize(1180, 860);

template <class W> std::function<EditorWindow*(Prompts&)> factory() {
    return [](Prompts& prompts) { return new W(prompts); };
}

} // namespace

MainWindow::MainWindow(Prompts& prompts, QWidget* parent) : QMainWindow(parent), prompts_(prompts) {
    setObjectName(QStringLiteral("Main"));
    resize(preferredSize);

    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    Picdb = new Banner;
    mdi_ = named(new QMdiArea, QStringLiteral("mdi"));
    // The banner while no editor is open, the editors' area once one is (updateArea).
    layout->addWidget(Picdb, 0);
    layout->addWidget(mdi_, 1);
    setCentralWidget(central);
    // An editor larger than the area is scrolled to, never allowed to push the
    // main window past the screen.
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    fitToScreen();

    workspace_ = new Workspace(this);
    connect(workspace_, &Workspace::gameDataChanged, this, &MainWindow::giveGameData);
    connect(workspace_, &Workspace::documentsChanged, this, &MainWindow::showMarks);
    registerEditors();
    QMenu* gn = named(menuBar()->addMenu(QStringLiteral("功能")), QStringLiteral("gn"));
    QMenu* buding = nullptr;
    for (const EditorKind& kind : registry_.kinds()) {
        if (kind.menu == QStringLiteral("buding") && !buding) {
            // Entries about the whole game folder, then 退出, close 功能.
            named(gn->addSeparator(), QStringLiteral("wuyiyi"));
            QAction* exit = named(gn->addAction(QStringLiteral("退出")), QStringLiteral("exit"));
            connect(exit, &QAction::triggered, this, &MainWindow::exit_Click);
            // Mod patches: one window to apply or revert a patch, one to make it.
            buding = named(menuBar()->addMenu(QStringLiteral("补丁")), QStringLiteral("buding"));
        }
        if (kind.needsFolder && !recentfolders) {
            // The game folder: opened once, its files listed in the dock, remembered.
            named(gn->addSeparator(), QStringLiteral("gamefolderline"));
            QAction* gamefolder =
                named(gn->addAction(QStringLiteral("打开游戏目录")), QStringLiteral("gamefolder"));
            gamefolder->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
            connect(gamefolder, &QAction::triggered, this, &MainWindow::gamefolder_Click);
            recentfolders = named(gn->addMenu(QStringLiteral("最近的游戏目录")),
                                  QStringLiteral("recentfolders"));
            // Entries about the whole game folder follow here.
        }
        addEditor(kind);
    }
    setAcceptDrops(true);

    QAction* about = named(menuBar()->addAction(QStringLiteral("关于")), QStringLiteral("about"));
    connect(about, &QAction::triggered, this, &MainWindow::about_Click);
    // Alt+F opens "功能" and Alt+A shows "关于", from anywhere in the window;
    // the captions stay as they are.
    auto* openFunctions = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_F), this);
    connect(openFunctions, &QShortcut::activated, this, [this, gn] {
        menuBar()->setActiveAction(gn->menuAction());
        if (!gn->actions().isEmpty())
            gn->setActiveAction(gn->actions().first());
    });
    auto* showAbout = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_A), this);
    connect(showAbout, &QShortcut::activated, about, &QAction::trigger);

#if QT_CONFIG(sessionmanager)
    // Logging off or shutting down asks as closing the window does; when an
    // editor keeps its edits, the session is asked not to end.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& manager) {
        if (!isVisible() || !manager.allowsInteraction())
            return;
        const bool closed = close();
        manager.release();
        if (!closed)
            manager.cancel();
    });
#endif

    MDIForm_Load();
    restoreWindow();
}

QWidget* MainWindow::banner() const {
    return Picdb;
}

void MainWindow::MDIForm_Load() {
    setWindowTitle(productTitle);
    updateArea();
}

void MainWindow::registerEditors() {
    auto kind = [this](const char16_t* entry, const char16_t* caption, QList<GameFile> files,
                       const char16_t* pattern, std::function<EditorWindow*(Prompts&)> create) {
        EditorKind k;
        k.entryName = QString::fromUtf16(entry);
        k.caption = QString::fromUtf16(caption);
        k.files = std::move(files);
        k.pattern = QString::fromUtf16(pattern);
        k.create = std::move(create);
        return &registry_.add(std::move(k));
    };
    kind(u"dataedit", u"Data文件修改", {GameFile::Data}, u"data.e5", factory<data::DForm>());
    kind(u"saveedit", u"存档文件修改", {GameFile::Save}, u"Sv??d.e5s", factory<save::Record>());
    kind(u"fileedit", u"程序文件修改", {GameFile::Exe}, u"*.exe", factory<exe::MainFile>());
    kind(u"imsgedit", u"Imsg文件修改", {GameFile::Imsg}, u"Imsg.e5", factory<imsg::Imsg>());
    kind(u"sedit", u"S剧本编辑", {GameFile::Scenario, GameFile::RFile}, u"S_??.eex R_??.eex",
         factory<scenario::Junben>());
    kind(u"map", u"地图坐标查看", {GameFile::Map}, u"*.bmp", factory<mapview::Form1>());
    kind(u"jiancha", u"检查游戏目录", {}, u"", factory<check::Jiancha>())->needsFolder = true;
    EditorKind* open =
        kind(u"budingopen", u"打开补丁…", {GameFile::Patch}, u"*.lcjpatch", factory<Buding>());
    EditorKind* make = kind(u"budingmake", u"制作补丁…", {}, u"", factory<Zhizuo>());
    EditorKind* mods = kind(u"mozuguanli", u"模组管理", {}, u"", factory<ModListWindow>());
    mods->needsFolder = true;
    for (EditorKind* patch : {open, make, mods}) {
        patch->menu = QStringLiteral("buding");
        patch->icon = icons::patchIcon();
    }
}

void MainWindow::addEditor(const EditorKind& kind) {
    QMenu* menu = findChild<QMenu*>(kind.menu);
    QAction* entry = named(menu->addAction(kind.caption), kind.entryName);
    // An editor that has not landed yet stays greyed in the menu.
    entry->setEnabled(kind.create != nullptr);
    editors_.push_back({&kind, entry, {}});
    const std::size_t index = editors_.size() - 1;
    connect(entry, &QAction::triggered, this, [this, index] { runEntry(editors_[index]); });
}

void MainWindow::runEntry(Editor& editor) {
    EditorWindow* window = showEditor(editor);
    // Without a game folder open, an entry about the folder asks for one first.
    if (editor.kind->needsFolder && gameFolder().isEmpty())
        gamefolder_Click();
    if (window)
        window->entryChosen();
}

void MainWindow::fitToScreen() {
    const QScreen* where = screen();
    if (!where)
        return;
    const QRect area = where->availableGeometry();
    // The frame the window system draws around the window, once it is known;
    // before the first showing, room for a title bar.
    QSize decoration = frameGeometry().size() - geometry().size();
    if (!isVisible() && decoration.isNull())
        decoration = QSize(0, style()->pixelMetric(QStyle::PM_TitleBarHeight));
    const QSize room = (area.size() - decoration).expandedTo(minimumSizeHint());
    if (width() > room.width() || height() > room.height())
        resize(size().boundedTo(room));
    QRect outer = frameGeometry();
    if (!area.contains(outer)) {
        outer.moveRight(std::min(outer.right(), area.right()));
        outer.moveBottom(std::min(outer.bottom(), area.bottom()));
        outer.moveLeft(std::max(outer.left(), area.left()));
        outer.moveTop(std::max(outer.top(), area.top()));
        move(outer.topLeft());
    }
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // The window system's frame is known only now; a maximised window has the screen already.
    if (!isMaximized() && !isFullScreen())
        fitToScreen();
}

EditorWindow* MainWindow::showEditor(Editor& editor) {
    // An editor opens as the one in front is shown: maximised beside a maximised one.
    const QMdiSubWindow* front = mdi_->activeSubWindow();
    const bool maximised = front && front != editor.frame.data() && front->isMaximized();
    Picdb->hide();
    const bool created = !editor.frame;
    // The area takes its real size before a new window is measured against it.
    mdi_->show();
    centralWidget()->layout()->activate();
    if (created) {
        EditorWindow* window = editor.kind->create(prompts_);
        editor.frame = mdi_->addSubWindow(window);
        editor.frame->setAttribute(Qt::WA_DeleteOnClose);
        // The frame's title follows the editor's (the file it shows, its unsaved mark).
        editor.frame->setWindowTitle(window->windowTitle());
        // An editor kind with an icon of its own (the patch windows) shows it on its frame.
        if (!editor.kind->icon.isNull())
            editor.frame->setWindowIcon(editor.kind->icon);
        else if (window->testAttribute(Qt::WA_SetWindowIcon))
            editor.frame->setWindowIcon(window->windowIcon());
        connect(window, &QWidget::windowTitleChanged, editor.frame, &QWidget::setWindowTitle);
        // The last editor closed, by its exit command or its frame, brings the banner back.
        connect(window, &EditorWindow::exitCommand, this, &MainWindow::updateArea);
        // (The banner itself receives it: the main window's end destroys the frames too.)
        connect(editor.frame, &QObject::destroyed, Picdb, [this] {
            const QList<QMdiSubWindow*> frames = mdi_->subWindowList();
            if (std::all_of(frames.begin(), frames.end(),
                            [](const QMdiSubWindow* frame) { return frame->isHidden(); }))
                Picdb->show();
        });
        connect(editor.frame, &QObject::destroyed, this, &MainWindow::updateArea,
                Qt::QueuedConnection);
        followEditor(window);
    }
    if (maximised || editor.frame->isMaximized())
        editor.frame->showMaximized();
    else
        editor.frame->showNormal();
    // A new window takes the room it asks for, but never more than the area has
    // (nor less than it needs: a larger one is scrolled to).
    if (created && !maximised) {
        editor.frame->resize(editor.frame->sizeHint()
                                 .boundedTo(mdi_->viewport()->size())
                                 .expandedTo(editor.frame->minimumSizeHint()));
        // Placed where it would hang out of the area, it starts at the corner.
        if (!mdi_->viewport()->rect().contains(editor.frame->geometry()))
            editor.frame->move(0, 0);
    }
    editor.frame->raise();
    mdi_->setActiveSubWindow(editor.frame);
    editor.frame->widget()->setFocus();
    updateArea();
    return qobject_cast<EditorWindow*>(editor.frame->widget());
}

void MainWindow::updateArea() {
    // The banner shows while no editor is open, and has the whole client area;
    // an open editor has it all to itself. A frame just closed is on its way out.
    bool open = false;
    for (QMdiSubWindow* frame : mdi_->subWindowList())
        open = open || !frame->isHidden();
    mdi_->setVisible(open);
    Picdb->setVisible(!open);
}

void MainWindow::exit_Click() {
    // The same as closing the window by its frame: closeEvent decides.
    close();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // However the program is ended (功能 → 退出, the title bar, Alt+F4, the session ending),
    // one question settles every unsaved file first; nothing closes before the answer, and
    // 取消 or a failed save keeps everything.
    const QList<EditorWindow*> open = openEditors();
    if (!workspace_->settle(this, prompts_,
                            QStringLiteral("以下文件的修改还没有保存。要保存勾选的文件吗？"),
                            open)) {
        event->ignore();
        return;
    }
    for (EditorWindow* window : open)
        window->closeSettled();
    settings::setWindow(saveGeometry(), saveState());
    QMainWindow::closeEvent(event);
}

void MainWindow::about_Click() {
    prompts_.showMessage(this,
                         productTitle +
                             QStringLiteral("\n\n"
                                            "岚川记的数据、剧本、存档与文本修改工具\n"
                                            "修改前请先备份游戏文件\n"
                                            "所有文件都按固定位置读写，不会改变文件长度\n"
                                            "剧本文件整体写回，写完后重新读入核对"),
                         QStringLiteral("作者资讯"), Prompts::Icon::Information);
}

} // namespace lcj

namespace lcj {

MainWindow::Editor* MainWindow::editorNamed(const QString& entryName) {
    for (Editor& editor : editors_)
        if (editor.entry->objectName() == entryName)
            return &editor;
    return nullptr;
}

QList<EditorWindow*> MainWindow::openEditors() const {
    QList<EditorWindow*> open;
    for (QMdiSubWindow* frame : mdi_->subWindowList())
        if (auto* window = qobject_cast<EditorWindow*>(frame->widget()))
            open << window;
    return open;
}

void MainWindow::followEditor(EditorWindow* window) {
    window->setGameFolder(gameFolder());
    if (!gameDataPath().isEmpty())
        window->useGameData(gameDataPath());
    workspace_->attach(window);
    // A window that asks for a place in a file (the check's problems) gets its editor.
    connect(window, &EditorWindow::placeRequested, this, &MainWindow::showProblem);
    connect(window, &EditorWindow::fieldRequested, this, &MainWindow::showField);
}

GameDock* MainWindow::gameDock() {
    if (dock_)
        return dock_;
    dock_ = new GameDock(this);
    // Where the window's saved state has it (the state kept its place), else on the left.
    if (!restoreDockWidget(dock_))
        addDockWidget(Qt::LeftDockWidgetArea, dock_);
    dock_->hide();
    connect(dock_, &GameDock::fileActivated, this, &MainWindow::openPath);
    showMarks();
    return dock_;
}

void MainWindow::showMarks() {
    // The mark follows the editors' titles: the file's edits in memory, not what a form
    // holds typed and not yet confirmed.
    QStringList unsaved;
    for (EditorWindow* window : openEditors())
        if (window->modified() && !window->filePath().isEmpty())
            unsaved << window->filePath();
    if (dock_)
        dock_->setMarked(unsaved);
}

void MainWindow::giveGameData(EditorWindow* except) {
    for (EditorWindow* window : openEditors())
        if (window != except)
            window->useGameData(gameDataPath());
}

QString MainWindow::gameFolder() const {
    return workspace_->folder();
}

const QString& MainWindow::gameDataPath() const {
    return workspace_->dataPath();
}

void MainWindow::gamefolder_Click() {
    QString start = gameFolder();
    if (start.isEmpty())
        start = settings::lastGameFolder();
    if (start.isEmpty())
        start = Prompts::editorFolder();
    const QString folder = prompts_.chooseFolder(this, QStringLiteral("打开游戏目录"), start);
    if (!folder.isEmpty())
        openGameFolder(folder);
}

bool MainWindow::openGameFolder(const QString& folder) {
    const QFileInfo info(folder);
    if (!info.isDir()) {
        prompts_.showMessage(this,
                             QStringLiteral("打不开游戏目录：找不到这个文件夹\n\n%1")
                                 .arg(QDir::toNativeSeparators(folder)),
                             productTitle, Prompts::Icon::Warning);
        return false;
    }
    const QString clean = QDir::cleanPath(info.absoluteFilePath());
    const QString before = gameFolder();
    // The editors of the folder left behind move with it: those showing one of its files,
    // and those about the folder itself. A file from elsewhere stays as it is.
    QList<EditorWindow*> moving;
    if (!before.isEmpty() && QFileInfo(before) != QFileInfo(clean))
        for (EditorWindow* window : openEditors())
            if (window->filePath().isEmpty() || workspace_->holds(window->filePath()))
                moving << window;
    if (!workspace_->settle(this, prompts_,
                            QStringLiteral("打开另一个游戏目录前，以下文件的修改还没有保存。"
                                           "要保存勾选的文件吗？"),
                            moving))
        return false;
    gameDock()->setFolder(clean);
    dock_->show();
    workspace_->setFolder(clean);
    for (EditorWindow* window : openEditors()) {
        window->setGameFolder(clean);
        if (moving.contains(window) && !window->reopenIn(clean))
            window->closeSettled();
    }
    settings::setLastGameFolder(clean);
    settings::addRecentFolder(clean);
    fillRecentFolders();
    showMarks();
    return true;
}

bool MainWindow::openPath(const QString& path) {
    return openPathIn(path, nullptr, false);
}

bool MainWindow::openFromOutside(const QString& path) {
    QString entry;
    if (!openPathIn(path, &entry, true))
        return false;
    qCInfo(lcjShell).noquote() << "opened"
                               << QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath())
                               << "in" << entry;
    return true;
}

bool MainWindow::openPathIn(const QString& path, QString* entryName, bool outside) {
    const QFileInfo info(path);
    if (info.isDir()) {
        if (entryName)
            *entryName = QStringLiteral("gamefolder");
        return openGameFolder(path);
    }
    if (!info.isFile()) {
        prompts_.showMessage(
            this,
            QStringLiteral("文件打开出错\n\n找不到文件：%1").arg(QDir::toNativeSeparators(path)),
            productTitle, Prompts::Icon::Warning);
        return false;
    }
    const EditorKind* kind = registry_.forFile(info.fileName());
    Editor* editor = kind ? editorNamed(kind->entryName) : nullptr;
    if (!editor) {
        prompts_.showMessage(this,
                             QStringLiteral("不认识这个文件：%1\n\n"
                                            "能打开的是游戏目录，和其中的data.e5、S_??.eex、"
                                            "R_??.eex、Sv??d.e5s、Imsg.e5、程序文件（*.exe）、"
                                            "地图图片（*.bmp），以及补丁（*.lcjpatch）")
                                 .arg(info.fileName()),
                             productTitle, Prompts::Icon::Warning);
        return false;
    }
    // A game file of another game (its folder holds a data.e5) brings its game with it: the
    // panel, the names and the titles speak of the folder the file belongs to.
    if (outside && !kind->files.contains(GameFile::Patch) &&
        !workspace_->holds(info.absoluteFilePath()) &&
        !fields::fileIn(info.absolutePath(), QStringLiteral("data.e5")).isEmpty() &&
        !openGameFolder(info.absolutePath()))
        return false;
    EditorWindow* window = showEditor(*editor);
    if (entryName)
        *entryName = editor->entry->objectName();
    return window && window->openPath(info.absoluteFilePath());
}

void MainWindow::jiancha_Click() {
    if (Editor* editor = editorNamed(QStringLiteral("jiancha")))
        runEntry(*editor);
}

void MainWindow::showProblem(const QString& path, int part, int row) {
    if (!openPath(path) || part < 0)
        return;
    // An R file opens with its scenario, whose parts are the scenario's own.
    if (fields::kindOfName(QFileInfo(path).fileName()) == fields::FileKind::RFile)
        return;
    QMdiSubWindow* frame = mdi_->activeSubWindow();
    if (auto* window = frame ? qobject_cast<EditorWindow*>(frame->widget()) : nullptr)
        window->showPlace(part, row);
}

void MainWindow::showField(const QString& path, int part, int row, const QString& column) {
    QMdiSubWindow* frame = mdi_->activeSubWindow();
    auto* window = frame ? qobject_cast<EditorWindow*>(frame->widget()) : nullptr;
    if (window && !window->filePath().isEmpty() && QFileInfo(window->filePath()) == QFileInfo(path))
        window->showField(part, row, column);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    const QMimeData* data = event->mimeData();
    if (data && data->hasUrls())
        for (const QUrl& url : data->urls())
            if (url.isLocalFile()) {
                event->acceptProposedAction();
                return;
            }
    QMainWindow::dragEnterEvent(event);
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QMimeData* data = event->mimeData();
    if (!data || !data->hasUrls()) {
        QMainWindow::dropEvent(event);
        return;
    }
    event->acceptProposedAction();
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            openFromOutside(url.toLocalFile());
}

void MainWindow::fillRecentFolders() {
    // The entries go later: this may run from one of them.
    for (QAction* old : recentfolders->actions()) {
        recentfolders->removeAction(old);
        old->setObjectName(QString());
        old->deleteLater();
    }
    const QStringList folders = settings::recentFolders();
    for (int i = 0; i < folders.size(); ++i) {
        const QString folder = folders[i];
        QAction* entry = recentfolders->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(
            QDir::toNativeSeparators(folder).replace(u'&', QStringLiteral("&&"))));
        entry->setObjectName(QStringLiteral("recentfolder%1").arg(i));
        entry->setData(folder);
        connect(entry, &QAction::triggered, this, [this, folder] { openRecentFolder(folder); });
    }
    recentfolders->setEnabled(!folders.isEmpty());
}

void MainWindow::openRecentFolder(const QString& folder) {
    if (!QFileInfo(folder).isDir()) {
        settings::removeRecentFolder(folder);
        fillRecentFolders();
        prompts_.showMessage(this,
                             QStringLiteral("游戏目录已不存在，已从“最近的游戏目录”中删除：\n\n%1")
                                 .arg(QDir::toNativeSeparators(folder)),
                             productTitle, Prompts::Icon::Warning);
        return;
    }
    openGameFolder(folder);
}

void MainWindow::restoreWindow() {
    if (const QByteArray geometry = settings::windowGeometry(); !geometry.isEmpty())
        restoreGeometry(geometry);
    else if (const QScreen* where = screen(); where && where->geometry().width() <= 1440)
        // The first start on a laptop's screen: the editors need all of it.
        setWindowState(windowState() | Qt::WindowMaximized);
    if (const QByteArray state = settings::windowState(); !state.isEmpty())
        restoreState(state);
    fillRecentFolders();
    // The folder of the last run, while it is there; a missing one is passed over quietly.
    const QString last = settings::lastGameFolder();
    if (!last.isEmpty() && QFileInfo(last).isDir())
        openGameFolder(last);
}

} // namespace lcj
