#pragma once

#include "common/result.h"
#include "common/ui/diskchange.h"
#include "common/ui/document.h"
#include "common/ui/editorwindow.h"
#include "common/ui/undohistory.h"

#include <QStringList>
#include <functional>

class QAction;
class QComboBox;
class QListWidget;
class QMenu;
class QMenuBar;
class QWidget;

namespace lcj {

class Prompts;
class RegionSet;

// What the save-file editor, the message-file editor and the program-file
// editor share in their windows.

// Reads the character and item names of the data file at `dataFilePath` and
// shows them in the window, or gives the reason it could not, the window then
// left as it was. The editors supply it: reading a data file is not this
// layer's business.
using NameSource = std::function<Failure(const QString& dataFilePath)>;

// Their 文件 menu: the open entry `openName` "打开", `datanames`
// "从Data文件读取名称", a separator and `exit` "退出". The names entry lets the
// user pick a data.e5 whose character and item names the window then shows in
// place of the fixed tables, for as long as it lives; `takeNames` reads and
// shows them. A cancelled dialog or a file that cannot be read changes nothing.
struct FileMenu {
    QMenu* menu;
    QAction* open;
    QAction* names; // entries of the window's own go before this one
    QAction* exit;
};
FileMenu addFileMenu(QMenuBar* bar, QWidget* window, Prompts& prompts, const QString& openName,
                     NameSource takeNames);

// The save command of a region editor: every region written back in place,
// in one replace of the file; a failure is reported and the in-memory copies
// stay as they were. A file that another program changed since it was read
// is merged with `merge` (see settleDiskChange); `kind` names the file in the
// question ("记录文件"). Write: the regions are on disk; Merged: the merged file
// is on disk and shown; Keep: nothing was written.
SaveRoute saveRegions(QWidget* window, Prompts& prompts, RegionSet& regions, const QString& kind,
                      const MergeSource* merge);

// The undo of a region editor: one step for each change that succeeded ("确定", a table edit, a
// paste, a fill), back to the file as read. A step is named as the table view names it, or by
// `name` from the whole file before and after it (the file the regions lie in from `file`,
// every region in its place).
class RegionUndo : public ByteUndo {
    Q_OBJECT
public:
    using Namer = std::function<QString(const QByteArray& before, const QByteArray& after)>;
    RegionUndo(RegionSet& regions, std::function<QByteArray()> file, Namer name);

    // Runs `change` over the regions: on success one step (none when no byte changed), named
    // by `step` where it gives a name; on failure the regions as they were before it.
    Failure run(const std::function<Failure()>& change, const std::function<QString()>& step = {});

private:
    QByteArray wholeFile(const std::vector<QByteArray>& bytes) const;
    RegionSet& regions_;
    std::function<QByteArray()> file_;
    Namer name_;
};

// The bytes of every region of `set`, in order.
std::vector<QByteArray> regionBytes(const RegionSet& set);
// Puts `bytes` (one buffer per region, each of its region's length) into `set`.
void setRegionBytes(RegionSet& set, const std::vector<QByteArray>& bytes);

// A region editor's file as a document: `stamp` the file as read or last written, `set` the
// regions held (mine: the stamp's bytes with every region of `set` in its place).
Document::Access regionDocument(std::function<DiskStamp()> stamp, const RegionSet& set,
                                std::function<bool()> holdsEdits, std::function<bool()> save,
                                UndoHistory& history);

// Their 查看 menu (`viewmenu`) with 表格 (`tableview`, Ctrl+T), which switches
// the record part of the window between its form and a table of every record,
// and 历史 (`history`) of `history`'s steps.
QAction* addTableViewMenu(QMenuBar* bar, QWidget* window, UndoHistory* history = nullptr);

// Renames the first rows of a list or combo box, keeping every row's place,
// the selection and any extra row past the names.
void renameRows(QListWidget* list, const QStringList& names);
void renameRows(QComboBox* combo, const QStringList& names);

// The base of the three region editors: a window over one file whose regions it holds in
// memory (a RegionSet, as edited) beside a second copy of them as the file holds them. It
// does what the three do alike: the 文件 menu (打开, 保存, 从Data文件读取名称, 退出), reading a
// file (the open command, openPath, reopenAt) and showing it (showLoaded), the names of the
// game's data file (useGameData), the 编辑 and 查看 menus over the editor's RegionUndo, the
// file's watch and its document, the save of a file written as its regions stand, and the
// status line after a save. The editor keeps its forms and its file kind.
class RegionWindow : public EditorWindow {
    Q_OBJECT
public:
    bool openPath(const QString& path) override;
    void useGameData(const QString& dataPath) override;

protected:
    // What tells the three editors apart in what they share.
    struct Kind {
        QString objectName;
        QString caption;
        QString openName; // 打开's object name
        QString filter;   // the open dialog's, for the editor's file kind
        QString counted;  // what the status line counts after a save ("条记录")
    };
    // `names` reads the names of the data file at a path and shows them (an empty path: the
    // fixed tables again), or gives the reason it could not. Makes the 文件 menu.
    RegionWindow(Prompts& prompts, Kind kind, NameSource names, QWidget* parent);

    // The editor's regions as edited, as the file holds them, and its history over `regions`;
    // given once, first thing in the editor's constructor.
    void holdRegions(RegionSet& regions, RegionSet& onDisk, RegionUndo& history);
    const FileMenu& fileMenu() const { return fileMenu_; }
    // 编辑 (`editmenu`) with 撤销 and 重做 over the history and 查看 with 表格 (toggling
    // showTable) and 历史; every move of the history shows the regions again (showChanged).
    struct EditMenus {
        QMenu* edit;
        QAction* table;
    };
    EditMenus addEditMenus();
    // Watches the file for other programs' changes and registers it with the workspace;
    // once the window is built.
    void watchFile();

    // Whether the regions in memory differ from the file as read or last saved.
    bool unsaved() const;
    // After a file was read (open, reopen, 重新载入): the history starts anew, the regions as
    // read are the file's, and the form shows them (fillForm).
    void showLoaded();
    // The status line after a save that wrote `changed` of what it counts.
    void showSaved(int changed);
    // "保存" of a file written as its regions stand: every region in place in one replace of
    // the file, or merged with another program's change (`kind`; `what` names the file in the
    // question, "记录文件"); the history kept, the marks shown (showSavedMarks) and the status
    // line counting `changed`. Values typed and not confirmed stay in their boxes. True when
    // the file on disk holds the edits.
    bool saveRegionFile(fields::FileKind kind, const QString& what, int changed);
    bool mayClose() override { return mayDropFile(); }
    bool reopenAt(const QString& path) override;
    // reopenAt, with `showPart` run between the read and the lists' rows shown again.
    bool reopenAt(const QString& path, const std::function<void()>& showPart);

    // Reads the file at `path` into the regions in place of the file held; on failure the
    // regions as they were and the reason (said by the caller). By default the regions' read.
    virtual Failure readFile(const QString& path);
    // The file as read or last written; by default the regions' stamp.
    virtual DiskStamp fileStamp() const;
    // Reads the file again after another program changed it, dropping the edits; what the
    // form shows stays chosen.
    virtual Failure reloadFromDisk();
    // Shows a file just read in the form.
    virtual void fillForm() = 0;
    // After the regions changed (undo, redo, a table edit, a save): the form, the table and
    // the title show them.
    virtual void showChanged() = 0;
    // Takes the whole file `whole` as the regions held, one step (Document::Access::adopt).
    bool adoptFile(const QByteArray& whole);
    // Switches the form and the table of every record.
    virtual void showTable(bool on) = 0;
    // Whether the controls hold values typed and not confirmed.
    virtual bool unconfirmed() const = 0;
    // Settles unconfirmed and unsaved edits before the window closes or reads another
    // file; true when it may go on.
    virtual bool mayDropFile() = 0;
    // The window's "保存" pressed (文件 → 保存, Ctrl+S).
    virtual void pressSave() = 0;
    // The document's save: what is typed confirmed, everything written; true when on disk.
    virtual bool saveDocument() = 0;
    // After saveRegionFile wrote the file: the table's marks and the title.
    virtual void showSavedMarks() {}

private:
    // The open command: the dialog, then the file read and shown.
    void openCommand();
    // Opens `chosen` (or the VirtualStore copy the user takes in its place) and shows it.
    bool openChosen(const QString& chosen);
    // Reads the file at `path`, saying why not when it cannot.
    bool read(const QString& path);

    Kind kind_;
    NameSource names_;
    FileMenu fileMenu_{};
    RegionSet* regions_ = nullptr;
    RegionSet* onDisk_ = nullptr;
    RegionUndo* history_ = nullptr;
};

} // namespace lcj
