#pragma once

#include "common/diskstamp.h"
#include "common/ui/editorwindow.h"
#include "scenario/battleunits.h"
#include "scenario/edithistory.h"
#include "scenario/rfile.h"
#include "scenario/scenariodocument.h"

#include <optional>

class QAction;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QScrollBar;

namespace lcj::changes {
struct Change;
}

namespace lcj::scenario {

class BattleMap;
class ChangesPanel;

// The scenario editor: one scenario script in memory, the names of one data
// file for reference, and the R file's deployment limits.
class Junben : public EditorWindow {
    Q_OBJECT
public:
    explicit Junben(Prompts& prompts, QWidget* parent = nullptr);

    const ScenarioDocument& document() const { return doc_; }
    const QString& scenarioPath() const { return scenarioPath_; }
    const QString& saveAsPath() const { return saveAsPath_; }
    bool dataLoaded() const { return dataLoaded_; }

    bool isModified() const { return history_.modified(); }
    const QStringList& personNames() const { return personNames_; }
    // The document as loaded or last saved: what is on disk.
    const ScenarioDocument& documentOnDisk() const { return onDisk_; }

    // Menu "查看": the battle map and the list of changes, windows of this editor
    void battlemap_Click();
    void changelist_Click();
    BattleMap* battleMap() const { return battleMap_; }
    ChangesPanel* changesPanel() const { return changesPanel_; }
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

    // Menu "编辑": undo and redo of the edits in memory
    void undo_Click();
    void redo_Click();

    // Reference lists
    void List1_Click();
    void List2_Click();

    // Army frame and R file; each "确定" (and the R file's "保存") is true
    // when it stored the frame, false when it refused it with a message.
    void List8_Click();
    bool Command1_Click();
    void Command3_Click();
    void Check1_Click();
    bool Command2_Click();

    // Ally and enemy frames
    void List3_Click();
    bool Command4_Click();
    void List4_Click();
    bool Command5_Click();

    // Battle-wide frame
    void jiacheng_Change();
    void Label5_DblClick();
    void Label6_DblClick();
    bool Command6_Click();

    // Spoils frame
    void List6_Click();
    bool Command7_Click();

    // Equipment frame
    void List9_Click();
    bool Command9_Click();

    // Whether a frame's boxes hold values typed but not confirmed ("确定"),
    // or the R file's boxes values not saved.
    bool hasUnconfirmedEdits() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Unsaved or unconfirmed edits are not dropped without asking.
    bool mayClose() override;

private:
    // The controls of one ally or enemy frame; one implementation serves both.
    struct SlotFrame {
        Side side;
        QListWidget* list = nullptr;
        QLineEdit* character = nullptr;
        QLineEdit* levelBonus = nullptr;
        QLineEdit* x = nullptr;
        QLineEdit* y = nullptr;
        QLineEdit* facing = nullptr;
        QLineEdit* tendency = nullptr;
        QLineEdit* follow = nullptr;
        QLineEdit* runX = nullptr;
        QLineEdit* runY = nullptr;
        QRadioButton* initial = nullptr;
        QRadioButton* story = nullptr;
        QButtonGroup* options = nullptr;
        QPushButton* confirm = nullptr;
        bool keptAppearance = false;
    };
    struct SlotNames; // the design names of one slot frame's controls

    // The frames whose boxes are stored by a button of their own.
    enum class Frame { Battle, Army, Ally, Enemy, Spoils, Equip, Limits };
    static constexpr int frameCount = 7;
    // What a frame's controls showed for the entry shown, so that typing not
    // yet confirmed can be told apart.
    struct Shown {
        int row = -1;
        QStringList values;
    };
    // The entry a frame shows (0 for the frames of one entry), -1 for none.
    int frameRow(Frame frame) const;
    QStringList frameValues(Frame frame) const;
    void takeShown(Frame frame);
    bool frameEdited(Frame frame) const;
    bool confirmFrame(Frame frame);

    void Form_Load();
    void buildLayout();
    void buildPanelMenu();
    QListWidget* unitList(UnitKind kind) const;
    QGroupBox* buildNamesFrame();
    QGroupBox* buildBattleFrame();
    QGroupBox* buildSlotFrame(SlotFrame& frame, const SlotNames& names);
    QGroupBox* buildNoteFrame();
    QGroupBox* buildArmyFrame();
    QGroupBox* buildSpoilsFrame();
    QGroupBox* buildEquipFrame();

    // Takes a freshly scanned document and fills every list from it.
    void takeDocument(ScenarioDocument doc);
    void fillLists();
    void enableBattleFrames();
    void showBattle();
    void reportProblems();
    // Builds, writes and reads back; the document changes only on success.
    // False, with nothing written, when the user keeps a file changed on disk.
    std::optional<Failure> writeScenario(const QString& target);
    // Records the change of an edit of the document that has just succeeded.
    void edited();
    void updateTitle();
    // Asks "保存" / "放弃" / "取消" when edits are unconfirmed or unsaved;
    // "保存" confirms every frame and saves. True when the window may go on.
    bool mayDropEdits(const QString& question);

    void selectSlot(SlotFrame& frame);
    bool confirmSlot(SlotFrame& frame);
    void lookUpGeneral(QLineEdit* box);
    void selectPerson(int row);
    void showSpoilsNames(int index);
    void clearLimitBoxes();
    void showLimits();

    QString personName(int n) const;
    QString itemName(int n) const;

    // Modding helps: numbers beside names, filters, keys.
    void addModdingHelps();
    // The names a number box names: the data file's, else the fixed table.
    QStringList characterNames() const;
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
    std::optional<RFile> rFile_;
    EditHistory history_;
    DiskStamp stamp_;
    bool armyKeptAppearance_ = false;
    QLineEdit* lastNumberBox_ = nullptr; // the number box that last had the focus
    Shown shown_[frameCount];

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

    // "Data文件人物、物品名参考"
    QLabel* Label10;
    QLabel* Label9;
    QListWidget* List1;
    QListWidget* List2;

    // "战役全局变量控制"
    QLineEdit* Text3;
    QScrollBar* jiacheng;
    QLineEdit* Text4;
    QLabel* Label5;
    QLineEdit* Text5;
    QLabel* Label6;
    QLineEdit* Text6;
    QPushButton* Command6;

    // "友军出场" and "敌军出场"
    SlotFrame ally_{Side::Ally};
    SlotFrame enemy_{Side::Enemy};

    // "我军出场人数及出场位置设定"
    QListWidget* List8;
    QLineEdit* Text28;
    QLineEdit* Text29;
    QLineEdit* Text30;
    QRadioButton* Option4;
    QRadioButton* Option3;
    QButtonGroup* armyOptions_;
    QPushButton* Command1;
    QPushButton* Command3;
    QCheckBox* Check1;
    QLineEdit* Text31;
    QLineEdit* limitBoxes_[10]; // Text32..Text41
    QPushButton* Command2;

    // "战利品"
    QListWidget* List6;
    QListWidget* List5;
    QLineEdit* Text15;
    QLineEdit* Text16;
    QLineEdit* Text17;
    QPushButton* Command7;

    // "个人装备设定"
    QListWidget* List9;
    QLineEdit* Text21;
    QComboBox* Combo1;
    QComboBox* Combo2;
    QComboBox* Combo3;
    QPushButton* Command9;
};

} // namespace lcj::scenario
