#include "editorwindow.h"

#include "listfilter.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QVBoxLayout>

namespace lcj {

EditorWindow::EditorWindow(Prompts& prompts, QWidget* parent)
    : QWidget(parent), prompts_(prompts), menuBar_(new QMenuBar(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(menuBar_);
    // Ctrl+F goes to the filter box of the list nearest the keyboard.
    auto* find = new QShortcut(QKeySequence::Find, this);
    find->setContext(Qt::WidgetWithChildrenShortcut);
    connect(find, &QShortcut::activated, this, [this] {
        if (ListFilter* filter = ListFilter::nearestFocus(this)) {
            filter->setFocus(Qt::ShortcutFocusReason);
            filter->selectAll();
        }
    });
}

QAction* EditorWindow::addSaveEntry(QMenu* menu, QAction* before, std::function<void()> save) {
    auto* entry = new QAction(QStringLiteral("保存"), menu);
    entry->setObjectName(QStringLiteral("save"));
    menu->insertAction(before, entry);
    connect(entry, &QAction::triggered, this, std::move(save));
    setSaveKey(entry);
    return entry;
}

void EditorWindow::setSaveKey(QAction* entry) {
    entry->setShortcut(QKeySequence::Save);
    // The key belongs to this window: several editors are open side by side.
    entry->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(entry);
}

void EditorWindow::setGameFolder(const QString& folder) {
    if (folder == gameFolder_)
        return;
    gameFolder_ = folder;
    gameFolderChanged();
}

QString EditorWindow::startFolder() const {
    return !gameFolder_.isEmpty() && QFileInfo(gameFolder_).isDir() ? gameFolder_
                                                                    : Prompts::editorFolder();
}

void EditorWindow::setCaption(const QString& caption) {
    caption_ = caption;
    setWindowTitle(caption);
}

void EditorWindow::showFileState(const QString& path, bool modified) {
    QString title = caption_;
    if (!path.isEmpty())
        title += QStringLiteral(" - ") + QFileInfo(path).fileName();
    if (modified)
        title += QStringLiteral(" *");
    setWindowTitle(title);
    if (path != filePath_ || modified != modified_) {
        filePath_ = path;
        modified_ = modified;
        emit fileStateChanged();
    }
}

bool EditorWindow::openPath(const QString&) {
    return false;
}

void EditorWindow::useGameData(const QString&) {}

bool EditorWindow::showPlace(int, int) {
    return false;
}

QString EditorWindow::messageTitle(const QWidget* window) {
    if (auto* editor = qobject_cast<const EditorWindow*>(window);
        editor && !editor->caption_.isEmpty())
        return editor->caption_;
    return window ? window->windowTitle() : QString();
}

QString EditorWindow::statusText() const {
    return status_ ? status_->text() : QString();
}

void EditorWindow::showStatus(const QString& text) {
    if (!status_) {
        // Made on first use, so that it comes below everything the editor has laid out.
        status_ = new QLabel(this);
        status_->setObjectName(QStringLiteral("status"));
        status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
        if (auto* box = qobject_cast<QBoxLayout*>(layout()))
            box->addWidget(status_);
    }
    status_->setText(text);
}

EditorWindow::UndoRedo EditorWindow::addUndoRedo(QMenu* menu) {
    auto* undo = menu->addAction(QStringLiteral("撤销"));
    auto* redo = menu->addAction(QStringLiteral("重做"));
    undo->setObjectName(QStringLiteral("undo"));
    redo->setObjectName(QStringLiteral("redo"));
    undo->setShortcut(QKeySequence::Undo);
    // Ctrl+Y and Ctrl+Shift+Z everywhere, besides what the system calls redo.
    QList<QKeySequence> redoKeys{QKeySequence(Qt::CTRL | Qt::Key_Y),
                                 QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)};
    for (const QKeySequence& k : QKeySequence::keyBindings(QKeySequence::Redo))
        if (!redoKeys.contains(k))
            redoKeys << k;
    redo->setShortcuts(redoKeys);
    // The keys belong to this window (several editors are open side by side); a text box with
    // the keyboard takes the keys it knows for its own typing before the window sees them.
    for (QAction* a : {undo, redo}) {
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(a);
    }
    return {undo, redo};
}

void EditorWindow::closeByExitCommand() {
    auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (frame ? frame->close() : close())
        emit exitCommand();
}

void EditorWindow::closeEvent(QCloseEvent* event) {
    if (!mayClose()) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void EditorWindow::say(const QString& text) {
    prompts_.showMessage(this, text, messageTitle(this));
}

void EditorWindow::showEvent(QShowEvent* event) {
    for (QListWidget* list : findChildren<QListWidget*>())
        list->setUniformItemSizes(!list->wordWrap());
    QWidget::showEvent(event);
}

} // namespace lcj
