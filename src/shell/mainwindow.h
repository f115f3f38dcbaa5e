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
class GameDock;
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

    // 打开游戏目录 (Ctrl+O): asks for the game folder and opens it.
    void gamefolder_Click();
    // Lists the folder in the dock "游戏目录"; its data.e5 gives every editor its names.
    // False, with the reason said, when it is no folder.
    bool openGameFolder(const QString& folder);
    // The game folder open, empty while none is.
    QString gameFolder() const;
    // The folder's data.e5, empty while there is none.
    const QString& gameDataPath() const { return dataPath_; }
    GameDock* gameDock() const { return dock_; }
    // Opens a folder as the game folder, a game file in its editor, a .lcjpatch in the
    // patch window; false, with the reason said, when nothing was opened.
    bool openPath(const QString& path);
    // openPath for a path from outside the program (its command line, a drop): what was
    // opened, and in which menu entry's window, goes to the log category lcj.shell.
    bool openFromOutside(const QString& path);
    // 检查游戏目录: the check of the game folder open (asked for first when none is).
    void jiancha_Click();
    // Opens the file of a problem in its editor at its part and row.
    void showProblem(const QString& path, int part, int row);

protected:
    void showEvent(QShowEvent* event) override;
    // Closing the window ends the program only when every editor may close.
    void closeEvent(QCloseEvent* event) override;
    // Files and folders dropped on the window are opened.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    struct Editor {
        QAction* entry;
        std::function<EditorWindow*(Prompts&)> create;
        QPointer<QMdiSubWindow> frame;
    };

    void MDIForm_Load();
    void addEditor(const QString& entryName, const QString& caption,
                   std::function<EditorWindow*(Prompts&)> create, QMenu* menu = nullptr);
    // Shows the editor, creating it the first time and bringing it forward after,
    // maximised when the one in front is.
    EditorWindow* showEditor(Editor& editor);
    Editor* editorNamed(const QString& entryName);
    // openPath, naming the menu entry whose window took the path ("gamefolder" for a folder).
    bool openPathIn(const QString& path, QString* entryName);
    // Every editor open now.
    QList<EditorWindow*> openEditors() const;
    // A new editor: its names from the game folder, its file state followed.
    void followEditor(EditorWindow* window);
    // The dock marks the files editors hold unsaved edits of.
    void showMarks();
    // Every open editor takes its names from the game folder's data.e5 again.
    void giveGameData(EditorWindow* except = nullptr);
    void fillRecentFolders();
    void openRecentFolder(const QString& folder);
    // The place, size and dock of the window as the last run left them.
    void restoreWindow();
    // The banner while no editor is open, else the editors' area.
    void updateArea();
    // Closes every editor's window; false when one stays open.
    bool closeEditors();
    // Keeps the whole window, frame included, inside the screen's free area.
    void fitToScreen();

    Prompts& prompts_;
    Banner* Picdb;
    QMdiArea* mdi_;
    std::vector<Editor> editors_;
    GameDock* dock_;
    QMenu* recentfolders;
    QString dataPath_;
};

} // namespace lcj
