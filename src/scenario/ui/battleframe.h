#pragma once

#include "scenarioframe.h"
#include "shownvalues.h"

class QLineEdit;
class QPushButton;
class QScrollBar;

namespace lcj::scenario {

// "战役全局变量控制": the enemies' level bonus, the turns, and the generals
// whose defeat wins or whose retreat loses the battle.
class BattleFrame : public ScenarioFrame {
public:
    BattleFrame(FrameHost& host, ScenarioDocument& doc);

    // The boxes that take a character number.
    QList<QLineEdit*> characterBoxes() const;
    // Puts the keyboard into the frame's boxes.
    void focusValues();

    // "确定" (Command6): true when the values were stored, false when they
    // were refused with a message.
    bool confirm();

    bool holdsEdits() const override;
    bool confirmEdits() override { return confirm(); }
    void showDocument() override;
    void showStored() override;
    void enableForDocument() override;
    // Enter in a box presses "确定".
    void addKeys();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showBattle();
    // The scroll bar moved (jiacheng).
    void scrolled();
    // Double-clicking Label5 or Label6 selects the general of Text5 or Text6 in the persons' list.
    void lookUpGeneral(QLineEdit* box);
    int shownRow() const;
    QStringList values() const;

    QLineEdit* Text3;
    QScrollBar* jiacheng;
    QLineEdit* Text4;
    QLabel* Label5;
    QLineEdit* Text5;
    QLabel* Label6;
    QLineEdit* Text6;
    QPushButton* Command6;
    ShownValues shown_;
};

} // namespace lcj::scenario
