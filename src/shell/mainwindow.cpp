#include "mainwindow.h"

#include "banner.h"
#include "common/ui/controls.h"
#include "common/ui/editorwindow.h"
#include "common/ui/prompts.h"
#include "common/version.h"
#include "datafile/ui/dform.h"
#include "mapview/ui/form1.h"
#include "messages/ui/imsg.h"
#include "patcher/ui/mainfile.h"
#include "savefile/ui/record.h"
#include "scenario/ui/junben.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QVBoxLayout>

namespace lcj {

namespace {

// The product title carries the build's version ("岚川记数据工坊V1.13版").
const QString productTitle = QStringLiteral("岚川记数据工坊V" LCJ_VERSION "版");

template <class W> std::function<EditorWindow*(Prompts&)> factory() {
    return [](Prompts& prompts) { return new W(prompts); };
}

} // namespace

MainWindow::MainWindow(Prompts& prompts, QWidget* parent) : QMainWindow(parent), prompts_(prompts) {
    setObjectName(QStringLiteral("Main"));
    resize(1180, 860);

    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    Picdb = new Banner;
    mdi_ = named(new QMdiArea, QStringLiteral("mdi"));
    layout->addWidget(Picdb, 1);
    layout->addWidget(mdi_, 3);
    setCentralWidget(central);

    named(menuBar()->addMenu(QStringLiteral("功能")), QStringLiteral("gn"));
    addEditor(QStringLiteral("dataedit"), QStringLiteral("Data文件修改"), factory<data::DForm>());
    addEditor(QStringLiteral("saveedit"), QStringLiteral("存档文件修改"), factory<save::Record>());
    addEditor(QStringLiteral("fileedit"), QStringLiteral("程序文件修改"), factory<exe::MainFile>());
    addEditor(QStringLiteral("imsgedit"), QStringLiteral("Imsg文件修改"), factory<imsg::Imsg>());
    // The scenario editor leaves the banner as it is.
    addEditor(QStringLiteral("sedit"), QStringLiteral("S剧本编辑"), factory<scenario::Junben>(),
              false);
    addEditor(QStringLiteral("map"), QStringLiteral("地图坐标查看"), factory<mapview::Form1>());
    QMenu* gn = findChild<QMenu*>(QStringLiteral("gn"));
    named(gn->addSeparator(), QStringLiteral("wuyiyi"));
    QAction* exit = named(gn->addAction(QStringLiteral("退出")), QStringLiteral("exit"));
    connect(exit, &QAction::triggered, this, &MainWindow::exit_Click);
    QAction* about = named(menuBar()->addAction(QStringLiteral("关于")), QStringLiteral("about"));
    connect(about, &QAction::triggered, this, &MainWindow::about_Click);

    MDIForm_Load();
}

QWidget* MainWindow::banner() const {
    return Picdb;
}

void MainWindow::MDIForm_Load() {
    setWindowTitle(productTitle);
    updateArea();
}

void MainWindow::addEditor(const QString& entryName, const QString& caption,
                           std::function<EditorWindow*(Prompts&)> create, bool hidesBanner) {
    QMenu* gn = findChild<QMenu*>(QStringLiteral("gn"));
    QAction* entry = named(gn->addAction(caption), entryName);
    // An editor that has not landed yet stays greyed in the menu.
    entry->setEnabled(create != nullptr);
    editors_.push_back({entry, std::move(create), hidesBanner, {}});
    const std::size_t index = editors_.size() - 1;
    connect(entry, &QAction::triggered, this, [this, index] { showEditor(editors_[index]); });
}

void MainWindow::showEditor(Editor& editor) {
    if (editor.hidesBanner)
        Picdb->hide();
    const bool created = !editor.frame;
    if (created) {
        EditorWindow* window = editor.create(prompts_);
        editor.frame = mdi_->addSubWindow(window);
        editor.frame->setAttribute(Qt::WA_DeleteOnClose);
        editor.frame->setWindowTitle(window->windowTitle());
        // The exit commands of the editors show the banner again.
        connect(window, &EditorWindow::exitCommand, Picdb, &QWidget::show);
        connect(editor.frame, &QObject::destroyed, this, &MainWindow::updateArea,
                Qt::QueuedConnection);
        // Closing through the window frame ends the editor as its exit command
        // does, so the banner never stays hidden over an empty area.
        if (editor.hidesBanner)
            connect(editor.frame, &QObject::destroyed, Picdb, &QWidget::show);
    }
    editor.frame->showNormal();
    // A new window takes the room it asks for, but never more than the area has.
    if (created)
        editor.frame->resize(editor.frame->sizeHint().boundedTo(mdi_->viewport()->size()));
    editor.frame->raise();
    mdi_->setActiveSubWindow(editor.frame);
    editor.frame->widget()->setFocus();
    updateArea();
}

void MainWindow::updateArea() {
    // While no editor is open the banner has the whole client area.
    mdi_->setVisible(!mdi_->subWindowList().isEmpty());
}

void MainWindow::exit_Click() {
    // Ends the program, closing every window. The only question asked is an
    // editor's own about unsaved edits; when the user keeps them, nothing ends.
    mdi_->closeAllSubWindows();
    for (QMdiSubWindow* frame : mdi_->subWindowList())
        if (frame->isVisible())
            return;
    close();
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
