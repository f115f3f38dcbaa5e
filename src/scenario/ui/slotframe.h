#pragma once

#include "scenarioframe.h"
#include "shownvalues.h"

class QLineEdit;
class QPushButton;

namespace lcj::scenario {

// The frame of the ally ("友军出场") or the enemy ("敌军出场") slots: one
// class, two instances that differ in their side and their controls' names.
class SlotFrame : public ScenarioFrame {
public:
    // The design names of one slot frame's controls.
    struct Names {
        const char16_t* frameName;
        const char16_t* caption;
        const char16_t* list;
        const char16_t* character;
        const char16_t* levelBonus;
        const char16_t* levelBonusCaption;
        const char16_t* x;
        const char16_t* y;
        const char16_t* facing;
        const char16_t* tendency;
        const char16_t* follow;
        const char16_t* runX;
        const char16_t* runY;
        const char16_t* initial;
        const char16_t* story;
        const char16_t* confirm;
        const char16_t* note;
        const char16_t* noteText;
    };
    static const Names allyNames;
    static const Names enemyNames;

    SlotFrame(FrameHost& host, ScenarioDocument& doc, Side side, const Names& names);

    Side side() const { return side_; }
    QListWidget* list() const { return list_; }
    // The boxes that take a character number.
    QList<QLineEdit*> characterBoxes() const;

    // A slot selected in the list (List3 / List4) is shown.
    void select();
    // "确定" (Command4 / Command5): true when the slot was stored, false when
    // it was refused with a message.
    bool confirm();

    bool holdsEdits() const override;
    bool confirmEdits() override { return confirm(); }
    void showDocument() override;
    void showStored() override;
    void enableForDocument() override;
    void refreshTips() override;
    // Enter in a box presses "确定".
    void addKeys();

private:
    int shownRow() const;
    QStringList values() const;

    Side side_;
    QListWidget* list_ = nullptr;
    QLineEdit* character_ = nullptr;
    QLineEdit* levelBonus_ = nullptr;
    QLineEdit* x_ = nullptr;
    QLineEdit* y_ = nullptr;
    QLineEdit* facing_ = nullptr;
    QLineEdit* tendency_ = nullptr;
    QLineEdit* follow_ = nullptr;
    QLineEdit* runX_ = nullptr;
    QLineEdit* runY_ = nullptr;
    QRadioButton* initial_ = nullptr;
    QRadioButton* story_ = nullptr;
    QButtonGroup* options_ = nullptr;
    QPushButton* confirm_ = nullptr;
    bool keptAppearance_ = false;
    ShownValues shown_;
};

} // namespace lcj::scenario
