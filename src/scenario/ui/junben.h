#pragma once

#include "common/diskstamp.h"
#include "common/ui/editorwindow.h"
#include "documentundo.h"
#include "scenario/battleunits.h"
#include "scenario/scenariodocument.h"
#include "scenarioframe.h"

#include <optional>

class QAction;
class QDockWidget;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMainWindow;

namespace lcj::changes {
struct Change;
}

namespace lcj::scenario {

class ArmyFrame;
class BattleFrame;
class BattleMap;
class ChangesPanel;
class EquipFrame;
class FrameArea;
class SlotFrame;
class SpoilsFrame;

// The scenario editor: one scenario script in memory, the names of one data
// file for reference, and the R file's deployment limits. The editing frames
// are classes of their own; the window holds the menus, the history, the
// reference lists, the panels beside it, and the loading and saving of files.
class Junben : public EditorWindow, private FrameHost {
    Q_OBJECT
public:
    explicit Junben(Prompts& prompts, QWidget* parent = nullptr);

    const ScenarioDocument& document() const { return doc_; }
    const QString& scenarioPath() const override { return scenarioPath_; }
    const QString& saveAsPath() const { return saveAsPath_; }
    bool dataLoaded() const override { return dataLoaded_; }

    bool isModified() const { return history_.modified(); }
    const QStringList& personNames() const { return personNames_; }
    // The document as loaded or last saved: what is on disk.
    const ScenarioDocument& documentOnDisk() const { return onDisk_; }

    // Menu "查看": the battle map and the list of changes, panels docked beside the frames
    // (closed by their docks' close buttons, shown again by these entries)
    void battlemap_Click();
    void changelist_Click();
    BattleMap* battleMap() const { return battleMap_; }
    ChangesPanel* changesPanel() const { return changesPanel_; }
    // The scrolling area of the editing frames.
    FrameArea* frameArea() const { return frameArea_; }
    // Selects an entry of the army (List8), ally (List3) or enemy (List4) list, as a click does.
    void selectUnit(UnitKind kind, int index);
    // The selected entry of that list, -1 for none.
    int selectedUnit(UnitKind kind) const;
    // Gives an entry the coordinates of `cell` with the checks and messages of
    // its frame's "确定", changing only the two coordinates; one undo step.
    // False when it was refused.
    bool moveUnit(UnitKind kind, int index, QPoint cell);
    // Selects the entry a change lies in.
    void selectChange(const changes::Change& change);

signals:
    // The document changed: an edit, an undo or redo, a load or a save.
    void documentChanged();
    // An entry of the army, ally or enemy list was selected.
    void unitSelected(UnitKind kind, int index);

public:
    // Menu "文件"
    void dataopen_Click();
    void sopen_Click();
    // True when the scenario was written.
    bool ssave_Click();
    void linsave_Click();
    void exit_Click();

    // A scenario, or an R file standing for its scenario beside it. Without names read,
    // the data file beside it gives them.
    bool openPath(const QString& path) override;
    void useGameData(const QString& dataPath) override;

    // Menu "编辑": undo and redo of the edits in memory
    void undo_Click();
    void redo_Click();

    // Reference lists
    void List1_Click();
    void List2_Click();

    // Whether a frame's boxes hold values typed but not confirmed ("确定"),
    // or the R file's boxes values not saved.
    bool hasUnconfirmedEdits() const;

    Prompts& prompts() const override { return EditorWindow::prompts(); }

protected:
    // Unsaved or unconfirmed edits are not dropped without asking.
    bool mayClose() override;
    // The scenario of that name and, when the R file was read, its R file; the entries
    // selected stay.
    bool reopenAt(const QString& path) override;

public:
    // Part 0: the battle-wide values; 1..5: the entry `row` of the allies,
    // enemies, army, equipment or spoils.
    bool showPlace(int part, int row) override;

private:
    void Form_Load();
    void buildLayout();
    void buildPanelMenu();
    QListWidget* unitList(UnitKind kind) const;
    // A panel docked at the right of the frames, below those docked before.
    QDockWidget* dockPanel(QWidget* panel, const QString& objectName);
    void showPanel(QDockWidget* dock);
    // Selects `row` of `list` as a click does, its frame scrolled into view.
    void selectRow(QListWidget* list, int row);
    QGroupBox* buildNamesFrame();
    QGroupBox* buildNoteFrame();
    QList<ScenarioFrame*> frames() const;

    // Takes a freshly scanned document and fills every list from it.
    void takeDocument(ScenarioDocument doc);
    void fillLists();
    // Reads the names of the data file at `path`; false, with the reason said, when it
    // cannot.
    bool readDataNames(const QString& path);
    // Reads the scenario at `path`; false, with the reason said, when it cannot.
    bool readScenario(const QString& path);
    // After an undo, a redo or a save: every frame shows what is stored, the selections kept.
    void showStored();
    void reportProblems();
    // How a save of the scenario ended.
    struct SaveOutcome {
        enum class Kind {
            Saved,     // written, or merged with another program's change and shown
            Cancelled, // the user kept the file changed on disk: nothing written
            Failed,    // nothing saved, or written but not read back: `error` says which
        };
        Kind kind = Kind::Saved;
        QString error;
    };
    // Builds, writes and reads back; the document changes only on success.
    SaveOutcome writeScenario(const QString& target);
    // FrameHost
    void say(const QString& text) override;
    void tell(const QString& text) override { showStatus(text); }
    void edited(const QString& step) override;
    QString personName(int n) const override;
    QString itemName(int n) const override;
    QStringList characterNames() const override;
    void selectPerson(int row) override;
    QWidget* questionParent() override { return this; }

    void updateTitle();
    // The scenario and its R file, watched for changes by other programs
    // (junbenwatch.cpp).
    void watchFiles();
    bool holdsScenarioEdits() const;
    // Confirms what every frame but the R file's holds and saves the scenario, asking
    // nothing but what a save asks; true when nothing of the scenario is left unsaved.
    bool saveScenario();
    // Takes `bytes` (the whole file) as the scenario's edits, one step (Document::Access::adopt).
    bool adoptScenario(const QByteArray& bytes);
    bool adoptRetyped(const QByteArray& bytes);
    // Makes `steps` as one undo step whose file is `bytes`, and shows the result.
    bool takeSteps(const QList<DocumentChange>& steps, const QByteArray& bytes);
    Failure reloadScenario();
    // Asks "保存" / "放弃" / "取消" when edits are unconfirmed or unsaved;
    // "保存" confirms every frame and saves. True when the window may go on.
    bool mayDropEdits(const QString& question);

    // Modding helps: numbers beside names, filters, keys.
    void addModdingHelps();
    // The names an item number box names: the data file's, else the fixed table.
    QStringList itemNames() const;
    // A double-clicked person or item goes into the number box that last had
    // the focus, when that box takes such a number.
    void takeNumber(const QList<QLineEdit*>& boxes, int number);
    QList<QLineEdit*> characterBoxes() const;
    QList<QLineEdit*> itemBoxes() const;
    // What the lists leave out, as tooltips: a spoils instruction's three
    // items, an army entry's place and facing, a slot's character, place and
    // level bonus.
    void refreshTips();

    // State
    ScenarioDocument doc_;
    ScenarioDocument onDisk_;
    QString scenarioPath_;
    QString saveAsPath_;
    bool dataLoaded_ = false;
    QStringList personNames_;
    QStringList itemNames_;
    DocumentUndo history_{doc_};
    DiskStamp stamp_;
    QLineEdit* lastNumberBox_ = nullptr; // the number box that last had the focus

    // Menu
    QAction* dataopen;
    QAction* sopen;
    QAction* ssave;
    QAction* linsave;
    QAction* exit;
    QAction* undo;
    QAction* redo;
    QAction* battlemap;
    QAction* changelist;
    BattleMap* battleMap_ = nullptr;
    ChangesPanel* changesPanel_ = nullptr;
    QDockWidget* battleMapDock_ = nullptr;
    QDockWidget* changesDock_ = nullptr;
    // The reference lists and the frames, with the panels docked beside them.
    QMainWindow* body_;
    FrameArea* frameArea_;

    // "Data文件人物、物品名参考"
    QLabel* Label10;
    QLabel* Label9;
    QListWidget* List1;
    QListWidget* List2;

    // The editing frames
    BattleFrame* battle_;
    ArmyFrame* army_;
    SlotFrame* ally_;
    SlotFrame* enemy_;
    SpoilsFrame* spoils_;
    EquipFrame* equip_;
    // Whatever a button of its own stores, in the order "保存" confirms them.
    QList<EditPart*> editParts_;
};

} // namespace lcj::scenario
