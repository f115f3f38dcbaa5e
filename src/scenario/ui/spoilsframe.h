#pragma once

#include "scenarioframe.h"
#include "shownvalues.h"

class QLineEdit;
class QPushButton;

namespace lcj::scenario {

// "战利品": the three items of each spoils instruction of the file.
class SpoilsFrame : public ScenarioFrame {
public:
    SpoilsFrame(FrameHost& host, ScenarioDocument& doc);

    // The conditions' list (List6).
    QListWidget* list() const { return List6; }
    // The boxes that take an item number.
    QList<QLineEdit*> itemBoxes() const;

    // An instruction selected in the list (List6) is shown.
    void select();
    // "确定" (Command7): true when the items were stored, false when they
    // were refused with a message.
    bool confirm();

    bool holdsEdits() const override;
    bool confirmEdits() override { return confirm(); }
    void showDocument() override;
    void showStored() override;
    void refreshTips() override;
    // Enter in a box presses "确定".
    void addKeys();

private:
    void showSpoilsNames(int index);
    int shownRow() const;
    QStringList values() const;

    QListWidget* List6;
    QListWidget* List5;
    QLineEdit* Text15;
    QLineEdit* Text16;
    QLineEdit* Text17;
    QPushButton* Command7;
    ShownValues shown_;
};

} // namespace lcj::scenario
