#pragma once

#include "changes/modlist.h"
#include "common/ui/editorwindow.h"

class QFileSystemWatcher;
class QTimer;

#include <QByteArray>
#include <functional>
#include <optional>

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableView;

namespace lcj {

class ConflictGridModel;
class ModEntryModel;

// 模组管理: the mod list of the game folder, its entries in load order, each switched
// on or off, the fields two of them set with the one that wins, and the buttons that
// write the list's result into the folder, take it back and restore the originals.
class ModListWindow : public EditorWindow {
    Q_OBJECT
public:
    explicit ModListWindow(Prompts& prompts, QWidget* parent = nullptr);

    // 添加补丁…: asks for patch files and adds each to the end of the list.
    void addPatch_Click();
    // 移除: takes the selected entry out of the list, after a question.
    void removePatch_Click();
    void moveUp_Click() { moveSelected(-1); }
    void moveDown_Click() { moveSelected(1); }
    // 应用: writes what the list gives into the game folder, asking first about edits made
    // outside the list since the last apply.
    void apply_Click();
    // 撤销应用: the files as they were before the last apply.
    void undoApply_Click();
    // 恢复原版: the kept originals, asking first about edits made outside the list.
    void restore_Click();

    // The game folder is the data file's folder.
    void useGameData(const QString& dataPath) override;
    bool reopenIn(const QString& folder) override;
    // The menu entry chosen again reads the list again.
    void entryChosen() override;

    // The list shown, null while no folder's list is open.
    const changes::mods::ModList* modList() const { return list_ ? &*list_ : nullptr; }

    QSize sizeHint() const override;

private:
    void openFolder(const QString& folder);
    // Reads the list's state into the views, keeping the selected entry and the filters.
    void refresh();
    // 移除, 上移 and 下移 for the entry selected.
    void updateMoves();
    void fillFilters();
    void applyFilters();
    void moveSelected(int step);
    QString selectedName() const;
    void select(const QString& name);
    // Asks what to do with edits made outside the list; nothing when the user chose to
    // write nothing.
    std::optional<changes::mods::Outside> settleOutside(const QString& action);
    // Shows what an apply, its undo or a restore did, and tells the open editors.
    // Runs one write of the list (`action` names the question about outside edits; none for
    // 撤销应用), says `refused` and why when it is refused, else shows what it did as `done`.
    void
    write(const QString& action, const QString& refused, const QString& done,
          const std::function<Result<changes::mods::ApplyResult>(changes::mods::Outside)>& run);
    void showResult(const changes::mods::ApplyResult& result, const QString& done);
    void showFieldOf(const QModelIndex& index);
    // Watches the folder's list for another program's change (lcjtool mods): the list is
    // read again shortly after, unless it holds what this window last showed.
    void watchList();
    void followOutsideChange();

    QString folder_;
    QFileSystemWatcher* listWatch_;
    QTimer* listSettle_;
    QByteArray listShown_; // the list file's bytes when the views were last filled
    std::optional<changes::mods::ModList> list_;
    ModEntryModel* entryModel_;
    ConflictGridModel* gridModel_;
    QLineEdit* modFolder;
    QTableView* modEntries;
    QPushButton* addPatch;
    QPushButton* removePatch;
    QPushButton* moveUp;
    QPushButton* moveDown;
    QPushButton* applyMods;
    QPushButton* undoApply;
    QPushButton* restoreOriginals;
    QComboBox* fileFilter;
    QComboBox* entryFilter;
    QTableView* conflictGrid;
    QListWidget* applyReport;
};

} // namespace lcj
