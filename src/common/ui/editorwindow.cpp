#include "editorwindow.h"

#include "listfilter.h"

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
    if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget()))
        frame->close();
    else
        close();
    emit exitCommand();
}

void EditorWindow::say(const QString& text) {
    prompts_.showMessage(this, text, windowTitle());
}

} // namespace lcj
