#pragma once

#include "diskchange.h"
#include "document.h"
#include "prompts.h"

#include <QList>
#include <QWidget>
#include <functional>
#include <optional>

class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QListWidget;

namespace lcj {

// An editor window shown inside the main window. It owns its state from its
// creation until it is closed; it reaches the user only through its prompts.
class EditorWindow : public QWidget {
    Q_OBJECT
public:
    EditorWindow(Prompts& prompts, QWidget* parent = nullptr);

    Prompts& prompts() const { return prompts_; }
    // The title for the messages of `window`: the caption of an editor window (its title
    // while no file is open, set by setCaption), which stays the same whatever file it
    // shows, and the title of any other window.
    static QString messageTitle(const QWidget* window);
    // The text of the status line at the bottom of the window (empty before the first).
    QString statusText() const;

    // The file the editor shows (empty: none) and whether it holds edits that are not on
    // disk, as its title says them.
    QString filePath() const { return filePath_; }
    bool modified() const { return modified_; }

    // Opens the file at `path` as choosing it in the editor's open dialog would, the
    // editor's own question about edits not on disk asked first; false when the file was
    // not opened (refused with a message, or the user kept the edits). An editor without
    // files to open says no.
    virtual bool openPath(const QString& path);
    // The game's data file, whose names the editor shows from now on in place of its fixed
    // tables (an empty path: back to them), read again when called again. Editors that show
    // no names leave it alone.
    virtual void useGameData(const QString& dataPath);
    // Shows row `row` of part `part` of the file shown, the parts counted as the field model
    // opens the file; false when the editor cannot show it.
    virtual bool showPlace(int part, int row);
    // Shows field `column` (the window's caption of it) of that row, its control focused where
    // the editor has one; by default the row alone (showPlace).
    virtual bool showField(int part, int row, const QString& column);

    // The files the editor holds, each as the workspace's documents see it (see Document).
    const QList<Document::Access>& documents() const { return documents_; }
    // Moves the editor to the file of the same name in `folder` (another game folder),
    // keeping what it shows of it: the section or category, the record, the filters, the
    // table. The edits it held are dropped without a question: whoever calls this has asked.
    // True when the editor shows the new file, or held no file; false when `folder` has no
    // such file or it could not be read, and the editor should close.
    virtual bool reopenIn(const QString& folder);
    // The game folder of the workspace the editor lives in (empty: none open). From the
    // first call on, the title names the file's folder too: the folder's own name for a file
    // in it, the whole path for a file from elsewhere.
    void setGameFolder(const QString& folder);
    // The entry of the menu that shows the editor was chosen again (the patch window asks
    // for its patch); nothing by default.
    virtual void entryChosen() {}
    // Closes the window without its own question about unsaved edits: the workspace asked
    // about them, and the user chose to drop them or saved them.
    void closeSettled();
    // The game folder setGameFolder gave (empty: none open, or never told).
    QString gameFolder() const { return gameFolder_.value_or(QString()); }
    // Where a dialog for game files that have no file of their own to start from (the map
    // pictures) starts: the game folder while one is open, else the program's folder.
    QString startFolder() const;

    // Shows `text` in the status line (from outside: what the workspace did to the file).
    void tellStatus(const QString& text) { showStatus(text); }

    // The entries 撤销 and 重做 of an editor's 编辑 menu.
    struct UndoRedo {
        QAction* undo;
        QAction* redo;
    };

signals:
    // The editor's own exit command ran: the window is closing, and the main
    // window shows its banner again.
    void exitCommand();
    // The file shown or its unsaved mark changed (filePath(), modified()).
    void fileStateChanged();
    // A box whose typed value is itself a file's edit changed (the scenario's R file, whose
    // boxes are its edits until R文件保存): the recovery journal looks again.
    void editsTyped();
    // The editor asks for the file at `path` to be shown at part `part`, row `row` (-1: the
    // whole file), in the editor that opens it.
    void placeRequested(const QString& path, int part, int row);
    // The editor wrote the files at `paths` that other editors may hold (the mod list's
    // apply): they look at them now, as at another program's write.
    void filesWritten(const QStringList& paths);
    // After placeRequested: the field `column` of that place, focused in the editor shown.
    void fieldRequested(const QString& path, int part, int row, const QString& column);

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
    // 保存 (`save`, Ctrl+S) in `menu` before `before` (null: at its end), running `save`.
    QAction* addSaveEntry(QMenu* menu, QAction* before, std::function<void()> save);
    // Gives the save entry `entry` Ctrl+S, shown beside it in its menu: the key runs it while
    // the keyboard is anywhere in this window.
    void setSaveKey(QAction* entry);
    // Sets the caption and shows it as the title.
    void setCaption(const QString& caption);
    // The title for the file at `path` (none: empty): "caption - name", with " *" while the
    // editor holds edits that are not on disk.
    void showFileState(const QString& path, bool modified);
    // Registers a file the editor holds (see documents()).
    void addDocument(Document::Access access) { documents_.append(std::move(access)); }
    // The file of the same name as the one shown in `folder`, empty when there is none.
    QString sameFileIn(const QString& folder) const;
    // reopenIn's work once the new file is found: reads `path` in place of the file shown,
    // without a question, keeping the view. False when it could not be read.
    virtual bool reopenAt(const QString& path);
    // What every list of the window has selected and every filter box holds, to show the same
    // after another file was read (restoreView: the rows that still exist, in the lists shown).
    struct View {
        QList<QPair<QString, int>> rows;
        QList<QPair<QString, QString>> filters;
    };
    View keepView() const;
    void restoreView(const View& view);
    void resizeEvent(QResizeEvent* event) override;
    // Shows `text` in the status line (a label named `status` at the bottom of the window).
    void showStatus(const QString& text);
    // Adds 撤销 (`undo`, Ctrl+Z) and 重做 (`redo`, Ctrl+Y and Ctrl+Shift+Z on every system) to
    // `menu`. Their keys work anywhere in this window, except that a text box keeps the keys
    // it undoes its own typing with.
    UndoRedo addUndoRedo(QMenu* menu);
    // What a save of a file of `kind` merges with another program's change: `mine`, the file
    // as the save would write it; the merged file is then shown as reopenAt reads it, and
    // the status line says so.
    MergeSource mergeSource(fields::FileKind kind, std::function<QByteArray()> mine);
    // The game folder changed (setGameFolder).
    virtual void gameFolderChanged() {}

private:
    Prompts& prompts_;
    QMenuBar* menuBar_;
    QString caption_;
    QString filePath_;
    bool modified_ = false;
    bool settled_ = false;
    std::optional<QString> gameFolder_;
    QList<Document::Access> documents_;
    QLabel* status_ = nullptr;

    void showTitle();

    // Every list of one-line entries (names, numbers) gets rows of one height,
    // so that filling, selecting and repainting it never measures each entry.
    // Lists that wrap their text keep rows of their own heights.
    void showEvent(QShowEvent* event) override;
};

} // namespace lcj
