#include "editorwindow.h"

#include <QCloseEvent>
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

} // namespace lcj
