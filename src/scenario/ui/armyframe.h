#pragma once

#include "scenario/rfile.h"
#include "scenarioframe.h"
#include "shownvalues.h"

#include <optional>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace lcj::scenario {

// "我军出场人数及出场位置设定": the army's entries of the battle, and beside
// them the deployment limits of the scenario's R file.
class ArmyFrame : public ScenarioFrame {
public:
    ArmyFrame(FrameHost& host, ScenarioDocument& doc);

    // The entries' list (List8).
    QListWidget* list() const { return List8; }
    // The boxes that take a character number: the R file's forced and restricted persons.
    QList<QLineEdit*> characterBoxes() const;
    // Every box of the R file: the deployment count and the character boxes.
    QList<QLineEdit*> limitBoxes() const;
    // The R file's boxes, stored by "R文件保存" rather than by this frame's "确定".
    EditPart& limits() { return limits_; }

    // An entry selected in the list (List8) is shown.
    void select();
    // "人物坐标确定" (Command1): true when the entry was stored, false when it
    // was refused with a message.
    bool confirm();
    // "追加出场人物坐标" (Command3)
    void appendEntry();
    // "出场人物数修改" (Check1) ticked reads the R file, cleared drops it.
    void rFileTicked();
    // "R文件保存" (Command2): true when the R file was written, false when
    // it was refused with a message or the user kept a file changed on disk.
    bool saveLimits();
    // A scenario is about to be loaded: the R file's limits belong to the one before.
    void dropRFile();
    // A scenario was loaded: its R file may be read.
    void allowRFile();
    // The R file as read or last saved (empty: none read).
    DiskStamp rFileStamp() const { return rFile_ ? rFile_->stamp() : DiskStamp(); }
    // Reads the R file again, its boxes showing it; on a failure nothing changes.
    Failure reloadRFile();
    // The R file's bytes as read or last saved (its limits are written by R文件保存 at once).
    QByteArray rFileBytes() const { return rFile_ ? rFile_->rFileBytes() : QByteArray(); }
    // The R file as R文件保存 would write it now, the boxes' values in it (as read when a box
    // is refused).
    QByteArray rFileTyped() const;
    // Shows the values of `bytes`, the whole R file, in the boxes, typed and not yet saved;
    // false when they are not an R file these boxes can hold.
    bool adoptRFile(const QByteArray& bytes);
    // Reads the R file of the scenario loaded now, as ticking 出场人物数修改 does.
    void takeRFile();

    bool holdsEdits() const override;
    bool confirmEdits() override { return confirm(); }
    void showDocument() override;
    void showStored() override;
    void enableForDocument() override;
    void refreshTips() override;
    // Enter in a box presses its button.
    void addKeys();

private:
    class Limits : public EditPart {
    public:
        explicit Limits(ArmyFrame& frame) : frame_(frame) {}
        bool holdsEdits() const override;
        bool confirmEdits() override { return frame_.saveLimits(); }
        ArmyFrame& frame_;
        ShownValues shown_;
    };

    int shownRow() const;
    QStringList values() const;
    RLimitsForm typedLimits() const;
    int limitsRow() const;
    QStringList limitValues() const;
    void clearLimitBoxes();
    void showLimits();

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

    bool keptAppearance_ = false;
    std::optional<RFile> rFile_;
    ShownValues shown_;
    Limits limits_{*this};
};

} // namespace lcj::scenario
