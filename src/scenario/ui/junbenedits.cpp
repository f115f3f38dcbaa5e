// The editing frames of the scenario editor: each selection shows an entry
// through its form, each "确定" stores the form into the document in memory.
#include "common/ui/choicebinding.h"
#include "common/ui/savelock.h"
#include "junben.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

namespace lcj::scenario {

namespace {

const QString none = QStringLiteral("无");
constexpr int comboEntries = 105; // items 0..103, then "无"
constexpr int comboNone = 104;

void showOptions(QButtonGroup* group, QRadioButton* initial, QRadioButton* story,
                 Appearance appearance, bool& kept) {
    kept = appearance == Appearance::Kept;
    if (appearance == Appearance::Initial) {
        initial->setChecked(true);
    } else if (appearance == Appearance::Story) {
        story->setChecked(true);
    } else {
        // An exclusive group cannot be cleared button by button.
        group->setExclusive(false);
        initial->setChecked(false);
        story->setChecked(false);
        group->setExclusive(true);
    }
}

Appearance chosenOptions(const QRadioButton* initial, const QRadioButton* story, bool kept) {
    if (initial->isChecked())
        return Appearance::Initial;
    if (story->isChecked())
        return Appearance::Story;
    // A stored mode the options have no name for is written back as it was.
    return kept ? Appearance::Kept : Appearance::Neither;
}

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

// ---- army frame

void Junben::List8_Click() {
    const int row = List8->currentRow();
    if (row < 0 || row >= doc_.armyEntryCount())
        return;
    Command1->setEnabled(true);
    Option3->setEnabled(true);
    Option4->setEnabled(true);
    const ArmyEntryForm form = ArmyEntryForm::show(doc_.armyEntry(row));
    Text28->setText(form.x);
    Text29->setText(form.y);
    Text30->setText(form.facing);
    showOptions(armyOptions_, Option4, Option3, form.appearance, armyKeptAppearance_);
    takeShown(Frame::Army);
}

bool Junben::Command1_Click() {
    const ArmyEntryForm form{Text28->text(), Text29->text(), Text30->text(),
                             chosenOptions(Option4, Option3, armyKeptAppearance_)};
    // With no entry selected nothing is addressed and nothing written.
    if (auto failure = doc_.applyArmyEntry(List8->currentRow(), form)) {
        say(*failure);
        return false;
    }
    edited();
    // The boxes show what is stored now ("254" where "254.5" was typed).
    List8_Click();
    return true;
}

void Junben::Command3_Click() {
    if (!doc_.appendArmyEntry()) {
        Command3->setEnabled(false);
        return;
    }
    List8->addItem(QString::number(doc_.armyEntryCount()));
    edited();
}

void Junben::clearLimitBoxes() {
    Text31->clear();
    for (QLineEdit* box : limitBoxes_)
        box->clear();
}

void Junben::Check1_Click() {
    if (!Check1->isChecked()) {
        clearLimitBoxes();
        Command2->setEnabled(false);
        rFile_.reset();
        takeShown(Frame::Limits);
        return;
    }
    const auto path = RFile::pathFor(scenarioPath_);
    auto file = path ? RFile::read(*path) : Result<RFile>::failure(path.error());
    if (!file) {
        say(file.error());
        return;
    }
    rFile_ = std::move(*file);
    showLimits();
    Command2->setEnabled(true);
}

void Junben::showLimits() {
    const RLimitsForm form = rFile_->show();
    Text31->setText(form.deployCount);
    for (int k = 0; k < 5; ++k) {
        limitBoxes_[k]->setText(form.forced[k]);
        limitBoxes_[5 + k]->setText(form.restricted[k]);
    }
    takeShown(Frame::Limits);
}

bool Junben::Command2_Click() {
    if (!rFile_) {
        say(QStringLiteral("R文件中没有出场人数记录，无法保存"));
        return false;
    }
    RLimitsForm form;
    form.deployCount = Text31->text();
    for (int k = 0; k < 5; ++k) {
        form.forced[k] = limitBoxes_[k]->text();
        form.restricted[k] = limitBoxes_[5 + k]->text();
    }
    const auto lock = lockForSave(this, prompts(), rFile_->stamp(), rFile_->rFilePath(),
                                  QStringLiteral("R文件"), true);
    if (!lock)
        return false;
    if (auto failure = rFile_->save(form)) {
        say(*failure);
        return false;
    }
    showLimits();
    return true;
}

// ---- ally and enemy frames

void Junben::selectSlot(SlotFrame& f) {
    const int k = f.list->currentRow();
    if (k < 0 || !doc_.scan().hasBattleHeader)
        return;
    f.confirm->setEnabled(true);
    f.initial->setEnabled(true);
    f.story->setEnabled(true);
    const SlotForm form = doc_.showSlot(f.side, k);
    f.x->setText(form.x);
    f.y->setText(form.y);
    f.character->setText(form.character);
    selectPerson(form.personRow);
    f.facing->setText(form.facing);
    f.levelBonus->setText(form.levelBonus);
    f.follow->setText(form.follow);
    f.runX->setText(form.runX);
    f.runY->setText(form.runY);
    f.tendency->setText(form.tendency);
    showOptions(f.options, f.initial, f.story, form.appearance, f.keptAppearance);
    takeShown(f.side == Side::Ally ? Frame::Ally : Frame::Enemy);
}

bool Junben::confirmSlot(SlotFrame& f) {
    SlotForm form;
    form.character = f.character->text();
    form.levelBonus = f.levelBonus->text();
    form.x = f.x->text();
    form.y = f.y->text();
    form.facing = f.facing->text();
    form.tendency = f.tendency->text();
    form.follow = f.follow->text();
    form.runX = f.runX->text();
    form.runY = f.runY->text();
    form.appearance = chosenOptions(f.initial, f.story, f.keptAppearance);
    const int k = f.list->currentRow();
    const auto result = doc_.applySlot(f.side, k, form);
    if (!result) {
        say(result.error());
        return false;
    }
    edited();
    // A character number that names nobody empties the slot.
    f.list->item(k)->setText(*result >= 0 ? personName(*result) : none);
    selectSlot(f);
    return true;
}

void Junben::List3_Click() {
    selectSlot(ally_);
}
bool Junben::Command4_Click() {
    return confirmSlot(ally_);
}
void Junben::List4_Click() {
    selectSlot(enemy_);
}
bool Junben::Command5_Click() {
    return confirmSlot(enemy_);
}

void Junben::selectPerson(int row) {
    if (row >= 0 && row < List1->count()) {
        List1->setCurrentRow(row);
        List1->scrollToItem(List1->item(row));
    } else {
        List1->setCurrentRow(-1);
        List1->clearSelection();
    }
}

// ---- battle-wide frame

void Junben::jiacheng_Change() {
    Text3->setText(QString::number(jiacheng->value()));
}

void Junben::lookUpGeneral(QLineEdit* box) {
    if (!dataLoaded_) {
        say(QStringLiteral("你还没有读入Data文件数据"));
        return;
    }
    const auto n = personRowFor(box == Text5 ? QStringLiteral("胜利条件武将编号")
                                             : QStringLiteral("失败条件武将编号"),
                                box->text());
    if (!n) {
        say(n.error());
        return;
    }
    selectPerson(*n);
}

void Junben::Label5_DblClick() {
    lookUpGeneral(Text5);
}
void Junben::Label6_DblClick() {
    lookUpGeneral(Text6);
}

bool Junben::Command6_Click() {
    const BattleForm form{Text3->text(), Text4->text(), Text5->text(), Text6->text(), 0};
    if (auto failure = doc_.applyBattle(form)) {
        say(*failure);
        return false;
    }
    edited();
    showBattle();
    return true;
}

// ---- spoils frame

void Junben::showSpoilsNames(int index) {
    List5->clear();
    const QByteArray instruction = doc_.spoilsInstruction(index);
    for (int i = 0; i < 3; ++i) {
        const int item = spoilsItem(instruction, i);
        List5->addItem(item < 0 ? none : itemName(item));
    }
}

void Junben::List6_Click() {
    const int k = List6->currentRow();
    if (k < 0 || k >= doc_.spoilsCount())
        return;
    Command7->setEnabled(true);
    showSpoilsNames(k);
    const SpoilsForm form = SpoilsForm::show(doc_.spoilsInstruction(k));
    Text15->setText(form.items[0]);
    Text16->setText(form.items[1]);
    Text17->setText(form.items[2]);
    takeShown(Frame::Spoils);
}

bool Junben::Command7_Click() {
    const int k = List6->currentRow();
    const SpoilsForm form{{Text15->text(), Text16->text(), Text17->text()}};
    if (auto failure = doc_.applySpoils(k, form)) {
        say(*failure);
        return false;
    }
    edited();
    List6_Click();
    return true;
}

// ---- equipment frame

void Junben::List9_Click() {
    const int k = List9->currentRow();
    if (k < 0 || !doc_.equipmentEditable())
        return;
    Command9->setEnabled(true);
    const EquipForm form = EquipForm::show(doc_.equipEntry(k));
    Text21->setText(form.character);
    showItem(Combo1, form.weapon);
    showItem(Combo2, form.armour);
    showItem(Combo3, form.accessory);
    takeShown(Frame::Equip);
}

bool Junben::Command9_Click() {
    const int k = List9->currentRow();
    EquipForm form;
    form.character = Text21->text();
    form.weapon = chosenItem(Combo1);
    form.armour = chosenItem(Combo2);
    form.accessory = chosenItem(Combo3);
    const auto result = doc_.applyEquipEntry(k, form);
    if (!result) {
        say(result.error());
        return false;
    }
    edited();
    List9->item(k)->setText(*result >= 0 ? personName(*result) : none);
    List9_Click();
    return true;
}

// ---- edits typed but not confirmed

int Junben::frameRow(Frame frame) const {
    const auto selected = [](const QListWidget* list, int count) {
        const int row = list->currentRow();
        return row >= 0 && row < count ? row : -1;
    };
    switch (frame) {
    case Frame::Battle:
        return doc_.scan().hasBattleHeader ? 0 : -1;
    case Frame::Army:
        return selected(List8, doc_.armyEntryCount());
    case Frame::Ally:
        return doc_.scan().hasBattleHeader ? selected(ally_.list, ally_.list->count()) : -1;
    case Frame::Enemy:
        return doc_.scan().hasBattleHeader ? selected(enemy_.list, enemy_.list->count()) : -1;
    case Frame::Spoils:
        return selected(List6, doc_.spoilsCount());
    case Frame::Equip:
        return doc_.equipmentEditable() ? selected(List9, List9->count()) : -1;
    case Frame::Limits:
        return rFile_ ? 0 : -1;
    }
    return -1;
}

QStringList Junben::frameValues(Frame frame) const {
    QList<const QWidget*> controls;
    switch (frame) {
    case Frame::Battle:
        controls = {Text3, Text4, Text5, Text6};
        break;
    case Frame::Army:
        controls = {Text28, Text29, Text30, Option4, Option3};
        break;
    case Frame::Ally:
    case Frame::Enemy: {
        const SlotFrame& f = frame == Frame::Ally ? ally_ : enemy_;
        controls = {f.character, f.levelBonus, f.x,    f.y,       f.facing, f.tendency,
                    f.follow,    f.runX,       f.runY, f.initial, f.story};
        break;
    }
    case Frame::Spoils:
        controls = {Text15, Text16, Text17};
        break;
    case Frame::Equip:
        controls = {Text21, Combo1, Combo2, Combo3};
        break;
    case Frame::Limits:
        controls = {Text31};
        for (const QLineEdit* box : limitBoxes_)
            controls.append(box);
        break;
    }
    QStringList values;
    for (const QWidget* control : controls) {
        if (const auto* box = qobject_cast<const QLineEdit*>(control))
            values.append(box->text());
        else if (const auto* option = qobject_cast<const QRadioButton*>(control))
            values.append(option->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
        else if (const auto* combo = qobject_cast<const QComboBox*>(control))
            values.append(QString::number(combo->currentIndex()));
    }
    return values;
}

void Junben::takeShown(Frame frame) {
    shown_[int(frame)] = {frameRow(frame), frameValues(frame)};
}

bool Junben::frameEdited(Frame frame) const {
    const Shown& shown = shown_[int(frame)];
    const int row = frameRow(frame);
    return row >= 0 && row == shown.row && frameValues(frame) != shown.values;
}

bool Junben::hasUnconfirmedEdits() const {
    for (int f = 0; f < frameCount; ++f)
        if (frameEdited(Frame(f)))
            return true;
    return false;
}

bool Junben::confirmFrame(Frame frame) {
    switch (frame) {
    case Frame::Battle:
        return Command6_Click();
    case Frame::Army:
        return Command1_Click();
    case Frame::Ally:
        return Command4_Click();
    case Frame::Enemy:
        return Command5_Click();
    case Frame::Spoils:
        return Command7_Click();
    case Frame::Equip:
        return Command9_Click();
    case Frame::Limits:
        return Command2_Click();
    }
    return false;
}

} // namespace lcj::scenario
