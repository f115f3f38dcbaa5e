#include "equipframe.h"

#include "common/ui/choicebinding.h"
#include "common/ui/controls.h"
#include "common/ui/keyboard.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

namespace lcj::scenario {

namespace {

constexpr int comboEntries = 105; // items 0..103, then "无"
constexpr int comboNone = 104;

// The item lists hold the 104 items and "无"; a stored code past them is shown
// as it is and kept unless another item is picked.
void showItem(QComboBox* combo, int item) {
    showChoice(combo, comboEntries,
               item == EquipForm::noneItem     ? Choice::entry(comboNone)
               : item >= 0 && item < comboNone ? Choice::entry(item)
                                               : Choice::stored(item));
}

int chosenItem(const QComboBox* combo) {
    const Choice chosen = chosenChoice(combo, comboEntries);
    if (chosen.isUnlisted())
        return chosen.code;
    return chosen.row < 0 || chosen.row == comboNone ? EquipForm::noneItem : chosen.row;
}

} // namespace

EquipFrame::EquipFrame(FrameHost& host, ScenarioDocument& doc)
    : ScenarioFrame(host, doc, QStringLiteral("Frame8"), QStringLiteral("个人装备设定")) {
    List9 = namedList(QStringLiteral("List9"), 110);
    auto* grid = new QGridLayout;
    Text21 = addLabelledBox(grid, 0, 0, QStringLiteral("Text21"), QStringLiteral("人物编号"));
    Combo1 = addLabelledCombo(grid, 1, 0, QStringLiteral("Combo1"), QStringLiteral("武具"));
    Combo2 = addLabelledCombo(grid, 2, 0, QStringLiteral("Combo2"), QStringLiteral("防具"));
    Combo3 = addLabelledCombo(grid, 3, 0, QStringLiteral("Combo3"), QStringLiteral("辅助装备"));
    Command9 = makeButton(this, QStringLiteral("Command9"), QStringLiteral("确定"));
    grid->addWidget(Command9, 4, 1);
    grid->setRowStretch(5, 1);
    auto* row = new QHBoxLayout(this);
    row->addLayout(captioned(QStringLiteral("人物"), List9));
    row->addLayout(grid);

    connect(Command9, &QPushButton::clicked, this, &EquipFrame::confirm);
    Command9->setEnabled(false);
}

QList<QLineEdit*> EquipFrame::characterBoxes() const {
    return {Text21};
}

void EquipFrame::setItemNames(const QStringList& names) {
    for (QComboBox* combo : {Combo1, Combo2, Combo3}) {
        combo->clear();
        combo->addItems(names);
        combo->addItem(noneName());
    }
}

void EquipFrame::addKeys() {
    pressOnEnter({Text21}, Command9);
}

void EquipFrame::select() {
    const int k = List9->currentRow();
    if (k < 0 || !doc_.equipmentEditable())
        return;
    Command9->setEnabled(true);
    const EquipForm form = EquipForm::show(doc_.equipEntry(k));
    showText(Text21, form.character);
    showItem(Combo1, form.weapon);
    showItem(Combo2, form.armour);
    showItem(Combo3, form.accessory);
    shown_.take(shownRow(), values());
}

bool EquipFrame::confirm() {
    const int k = List9->currentRow();
    EquipForm form;
    form.character = Text21->text();
    form.weapon = chosenItem(Combo1);
    form.armour = chosenItem(Combo2);
    form.accessory = chosenItem(Combo3);
    const auto result = doc_.applyEquipEntry(k, form);
    if (!result.ok()) {
        host_.say(result.error());
        return false;
    }
    host_.edited(QStringLiteral("修改 个人装备 %1").arg(k + 1));
    List9->item(k)->setText(*result >= 0 ? host_.personName(*result) : noneName());
    select();
    return true;
}

void EquipFrame::showDocument() {
    const QSignalBlocker blocker(List9);
    List9->clear();
    for (int k = 0; k < 100; ++k) {
        const quint16 n = doc_.equipCharacter(k);
        // Slots past the loaded entries hold FF bytes until an entry is confirmed there.
        List9->addItem(n <= 512 ? host_.personName(n) : noneName());
    }
    List9->setEnabled(doc_.equipmentEditable());
}

void EquipFrame::showStored() {
    const int row = List9->currentRow();
    showDocument();
    if (selectAgain(List9, row))
        select();
}

void EquipFrame::enableForDocument() {
    if (!doc_.scan().hasBattleHeader)
        Command9->setEnabled(false);
}

int EquipFrame::shownRow() const {
    return doc_.equipmentEditable() ? selectedRow(List9, List9->count()) : -1;
}

QStringList EquipFrame::values() const {
    return controlValues({Text21, Combo1, Combo2, Combo3});
}

bool EquipFrame::holdsEdits() const {
    return shown_.edited(shownRow(), values());
}

} // namespace lcj::scenario
