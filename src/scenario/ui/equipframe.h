#pragma once

#include "scenarioframe.h"
#include "shownvalues.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace lcj::scenario {

// "个人装备设定": the equipment the game gives a character at the battle's start.
class EquipFrame : public ScenarioFrame {
public:
    EquipFrame(FrameHost& host, ScenarioDocument& doc);

    // The characters' list (List9).
    QListWidget* list() const { return List9; }
    // The boxes that take a character number.
    QList<QLineEdit*> characterBoxes() const;
    // The item lists take the data file's items, then "无".
    void setItemNames(const QStringList& names);

    // An entry selected in the list (List9) is shown.
    void select();
    // "确定" (Command9): true when the entry was stored, false when it was
    // refused with a message.
    bool confirm();

    bool holdsEdits() const override;
    bool confirmEdits() override { return confirm(); }
    void showDocument() override;
    void showStored() override;
    void enableForDocument() override;
    // Enter in a box presses "确定".
    void addKeys();

private:
    int shownRow() const;
    QStringList values() const;

    QListWidget* List9;
    QLineEdit* Text21;
    QComboBox* Combo1;
    QComboBox* Combo2;
    QComboBox* Combo3;
    QPushButton* Command9;
    ShownValues shown_;
};

} // namespace lcj::scenario
