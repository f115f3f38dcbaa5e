#pragma once

#include "common/diskstamp.h"
#include "common/ui/editorwindow.h"
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

namespace lcj::scenario {

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

    // Menu "文件"
    void dataopen_Click();
    void sopen_Click();
    void ssave_Click();
    void linsave_Click();
    void exit_Click();

    // Menu "编辑": undo and redo of the edits in memory
    void undo_Click();
    void redo_Click();

    // Reference lists
    void List1_Click();
    void List2_Click();

    // Army frame and R file
    void List8_Click();
    void Command1_Click();
    void Command3_Click();
    void Check1_Click();
    void Command2_Click();

    // Ally and enemy frames
    void List3_Click();
    void Command4_Click();
    void List4_Click();
    void Command5_Click();

    // Battle-wide frame
    void jiacheng_Change();
    void Label5_DblClick();
    void Label6_DblClick();
    void Command6_Click();

    // Spoils frame
    void List6_Click();
    void Command7_Click();

    // Equipment frame
    void List9_Click();
    void Command9_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Unsaved edits are not dropped without asking.
    void closeEvent(QCloseEvent* event) override;

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

    void Form_Load();
    void buildLayout();
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
    void showBattle();
    void reportProblems();
    // Builds, writes and reads back; the document changes only on success.
    // False, with nothing written, when the user keeps a file changed on disk.
    std::optional<Failure> writeScenario(const QString& target);
    // Records a successful edit made on the document `before`.
    void edited(const ScenarioDocument& before);
    void updateTitle();
    bool mayDropEdits(const QString& question);

    void selectSlot(SlotFrame& frame);
    void confirmSlot(SlotFrame& frame);
    void lookUpGeneral(QLineEdit* box);
    void selectPerson(int row);
    void showSpoilsNames(int index);
    void clearLimitBoxes();

    QString personName(int n) const;
    QString itemName(int n) const;

    // State
    ScenarioDocument doc_;
    QString scenarioPath_;
    QString saveAsPath_;
    bool dataLoaded_ = false;
    QStringList personNames_;
    QStringList itemNames_;
    std::optional<RFile> rFile_;
    EditHistory history_;
    DiskStamp stamp_;
    bool armyKeptAppearance_ = false;

    // Menu
    QAction* dataopen;
    QAction* sopen;
    QAction* ssave;
    QAction* linsave;
    QAction* exit;
    QAction* undo;
    QAction* redo;

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
