#pragma once

#include "changes/patch.h"
#include "common/ui/editorwindow.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace lcj {

// Buding: a patch, its changes, its conflicts against a chosen game folder,
// and one button each to apply or revert it.
class Buding : public EditorWindow {
    Q_OBJECT
public:
    explicit Buding(Prompts& prompts, QWidget* parent = nullptr);

    // 打开补丁…: asks for a patch file and lists its changes.
    void openPatch_Click();
    // 选择游戏文件夹…: asks for any game file; its folder is the game.
    void chooseGame_Click();
    void applyPatch_Click() { run(false); }
    void revertPatch_Click() { run(true); }

    // Lists the changes of the patch at `path`.
    bool openPath(const QString& path) override;
    // The game folder is the data file's folder.
    void useGameData(const QString& dataPath) override;
    // 打开补丁… asks for the patch at once.
    void entryChosen() override { openPatch_Click(); }

private:
    bool readPatch(const QString& path);
    void showConflicts();
    void run(bool reverse);
    changes::patch::Settle settle() const;

    std::optional<changes::patch::Patch> patch_;
    QLineEdit* budingPath;
    QLabel* budingInfo;
    QLineEdit* gameFolder;
    QListWidget* changeList;
    QListWidget* conflictList;
    QRadioButton* refuse;
    QRadioButton* keepMine;
    QRadioButton* takeTheirs;
    QPushButton* applyPatch;
    QPushButton* revertPatch;
};

} // namespace lcj
