#pragma once

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <vector>

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;

namespace lcj {

class Banner;
class EditorWindow;
class Prompts;

// Main: the frame that hosts one window per editor, its menu and its banner.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(Prompts& prompts, QWidget* parent = nullptr);

    QWidget* banner() const;
    QMdiArea* mdiArea() const { return mdi_; }

    void about_Click();
    void exit_Click();

protected:
    void showEvent(QShowEvent* event) override;
    // Closing the window ends the program only when every editor may close.
    void closeEvent(QCloseEvent* event) override;

private:
    struct Editor {
        QAction* entry;
        std::function<EditorWindow*(Prompts&)> create;
        bool hidesBanner;
        QPointer<QMdiSubWindow> frame;
    };

    void MDIForm_Load();
    void addEditor(const QString& entryName, const QString& caption,
                   std::function<EditorWindow*(Prompts&)> create, bool hidesBanner = true,
                   QMenu* menu = nullptr);
    // Shows the editor, creating it the first time and bringing it forward after.
    void showEditor(Editor& editor);
    void updateArea();
    // Closes every editor's window; false when one stays open.
    bool closeEditors();
    // Keeps the whole window, frame included, inside the screen's free area.
    void fitToScreen();

    Prompts& prompts_;
    Banner* Picdb;
    QMdiArea* mdi_;
    std::vector<Editor> editors_;
};

} // namespace lcj
