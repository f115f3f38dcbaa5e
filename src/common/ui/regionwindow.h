#pragma once

#include "common/result.h"
#include "common/ui/diskchange.h"
#include "common/ui/document.h"
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

// The open command of a region editor: the open dialog (starting in the
// editor's folder), then every region read. True when `regions` now hold the
// chosen file. A failed read shows "文件打开出错"; it and a cancelled dialog
// leave `regions` holding what they held, file name included.
bool openRegions(QWidget* window, Prompts& prompts, RegionSet& regions, const QString& filter);
// The same for the file at `path`, without the dialog.
bool openRegionsAt(QWidget* window, Prompts& prompts, RegionSet& regions, const QString& path);

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

} // namespace lcj
