#include "editorwindow.h"

#include <QListWidget>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QVBoxLayout>

namespace lcj {

EditorWindow::EditorWindow(Prompts& prompts, QWidget* parent)
    : QWidget(parent), prompts_(prompts), menuBar_(new QMenuBar(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(menuBar_);
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

void EditorWindow::showEvent(QShowEvent* event) {
    for (QListWidget* list : findChildren<QListWidget*>())
        list->setUniformItemSizes(!list->wordWrap());
    QWidget::showEvent(event);
}

} // namespace lcj
