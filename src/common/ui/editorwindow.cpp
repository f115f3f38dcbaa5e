#include "editorwindow.h"

#include "listfilter.h"

#include <QCloseEvent>
#include <QListWidget>
#include <QMdiSubWindow>
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

void EditorWindow::setSaveKey(std::function<void()> save) {
    auto* key = new QShortcut(QKeySequence::Save, this);
    key->setContext(Qt::WidgetWithChildrenShortcut);
    connect(key, &QShortcut::activated, this, std::move(save));
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
    prompts_.showMessage(this, text, windowTitle());
}

void EditorWindow::showEvent(QShowEvent* event) {
    for (QListWidget* list : findChildren<QListWidget*>())
        list->setUniformItemSizes(!list->wordWrap());
    QWidget::showEvent(event);
}

} // namespace lcj
