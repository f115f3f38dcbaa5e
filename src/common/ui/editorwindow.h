#pragma once

#include "prompts.h"

#include <QWidget>
#include <functional>

class QMenuBar;

namespace lcj {

// An editor window shown inside the main window. It owns its state from its
// creation until it is closed; it reaches the user only through its prompts.
class EditorWindow : public QWidget {
    Q_OBJECT
public:
    EditorWindow(Prompts& prompts, QWidget* parent = nullptr);

    Prompts& prompts() const { return prompts_; }

signals:
    // The editor's own exit command ran: the window is closing, and the main
    // window shows its banner again.
    void exitCommand();

protected:
    // Closes the window, or the frame that holds it, then tells the main
    // window; nothing happens when the window keeps itself open.
    void closeByExitCommand();
    // Asked before the window closes, however it is closed: false keeps it
    // open (the user chose to keep unsaved edits).
    virtual bool mayClose() { return true; }
    void closeEvent(QCloseEvent* event) override;
    // Shows `text` in a message box with an OK button.
    void say(const QString& text);
    QMenuBar* menuBar() const { return menuBar_; }
    // Ctrl+S runs `save` while the keyboard is anywhere in this window.
    void setSaveKey(std::function<void()> save);

private:
    Prompts& prompts_;
    QMenuBar* menuBar_;

    // Every list of one-line entries (names, numbers) gets rows of one height,
    // so that filling, selecting and repainting it never measures each entry.
    // Lists that wrap their text keep rows of their own heights.
    void showEvent(QShowEvent* event) override;
};

} // namespace lcj
