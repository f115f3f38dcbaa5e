#pragma once

#include "editorregistry.h"

#include <QMainWindow>
#include <QPointer>
#include <vector>

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;

namespace lcj {

class Banner;
class EditorWindow;
class GameDock;
class Prompts;
class Workspace;

// Main: the frame that hosts one window per editor, its menu and its banner.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(Prompts& prompts, QWidget* parent = nullptr);

    QWidget* banner() const;
    QMdiArea* mdiArea() const { return mdi_; }

    void about_Click();
    void exit_Click();

    // 打开游戏目录 (Ctrl+O): asks for the game folder and opens it.
    void gamefolder_Click();
    // Opens `folder` as the workspace: one question about the unsaved edits of the files the
    // editors hold of the folder before, then each of those editors shows the file of the
    // same name in `folder` (keeping its section and record) or closes when there is none.
    // The dock lists the folder; its data.e5 gives every editor its names. False, with the
    // reason said, when it is no folder or the user kept the edits (取消): nothing changed.
    bool openGameFolder(const QString& folder);
    // The game folder open, empty while none is.
    QString gameFolder() const;
    // The folder's data.e5, empty while there is none.
    const QString& gameDataPath() const;
    Workspace* workspace() const { return workspace_; }
    const EditorRegistry& registry() const { return registry_; }
    // The game folder panel, made the first time it is needed: most starts open no folder.
    GameDock* gameDock();
    // Opens a folder as the game folder, a game file in its editor, a .lcjpatch in the
    // patch window; false, with the reason said, when nothing was opened.
    bool openPath(const QString& path);
    // openPath for a path from outside the program (its command line, a drop): what was
    // opened, and in which menu entry's window, goes to the log category lcj.shell. A game
    // file of another game folder (one with a data.e5) opens that folder first, so that
    // the panel and the names are the file's own game.
    bool openFromOutside(const QString& path);
    // 检查游戏目录: the check of the game folder open (asked for first when none is).
    void jiancha_Click();
    // Opens the file of a problem in its editor at its part and row.
    void showProblem(const QString& path, int part, int row);
    // The field `column` of the place showProblem showed, in the editor in front.
    void showField(const QString& path, int part, int row, const QString& column);

protected:
    void showEvent(QShowEvent* event) override;
    // Closing the window asks once about every unsaved file (the list); 取消 keeps
    // everything open as it was.
    void closeEvent(QCloseEvent* event) override;
    // Files and folders dropped on the window are opened.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    struct Editor {
        const EditorKind* kind;
        QAction* entry;
        QPointer<QMdiSubWindow> frame;
    };

    void MDIForm_Load();
    void registerEditors();
    void addEditor(const EditorKind& kind);
    // The entry of an editor chosen: shown, the game folder asked for first where it needs
    // one, then told (EditorWindow::entryChosen).
    void runEntry(Editor& editor);
    // Shows the editor, creating it the first time and bringing it forward after,
    // maximised when the one in front is.
    EditorWindow* showEditor(Editor& editor);
    Editor* editorNamed(const QString& entryName);
    // openPath, naming the menu entry whose window took the path ("gamefolder" for a folder);
    // `outside`: from the command line or a drop.
    bool openPathIn(const QString& path, QString* entryName, bool outside);
    // Every editor open now.
    QList<EditorWindow*> openEditors() const;
    // A new editor: its names from the game folder, its documents followed.
    void followEditor(EditorWindow* window);
    // The dock marks the files editors hold unsaved edits of.
    void showMarks();
    // Every open editor but `except` takes its names from the game folder's data.e5 again.
    void giveGameData(EditorWindow* except = nullptr);
    void fillRecentFolders();
    void openRecentFolder(const QString& folder);
    // The place, size and dock of the window as the last run left them.
    void restoreWindow();
    // The banner while no editor is open, else the editors' area.
    void updateArea();
    // Keeps the whole window, frame included, inside the screen's free area.
    void fitToScreen();

    Prompts& prompts_;
    Banner* Picdb;
    QMdiArea* mdi_;
    EditorRegistry registry_;
    std::vector<Editor> editors_;
    GameDock* dock_ = nullptr;
    QMenu* recentfolders = nullptr;
    Workspace* workspace_;
};

} // namespace lcj
