#include "trooptypesection.h"

#include "common/nametables.h"
#include "common/ui/choicebinding.h"
#include "common/ui/controls.h"
#include "common/ui/numbergutter.h"
#include "common/ui/prompts.h"
#include "datafile/datanames.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace lcj::data {

namespace {

using Form = TroopTypeForm;

// The boxes Text21..Text27.
constexpr std::array<QString Form::*, 7> numberMembers{
    &Form::attack, &Form::defence,  &Form::spirit,   &Form::burst,
    &Form::morale, &Form::hpGrowth, &Form::mpGrowth,
};

} // namespace

TroopTypeSection::TroopTypeSection(const SectionContext& context, QWidget* parent)
    : DataSection(context, QStringLiteral("Frame5"), QStringLiteral("兵种属性修改"), parent) {
    List8 = named(new QListWidget, QStringLiteral("List8"));
    List8->addItems(names::troopTypes());

    auto* grid = new QGridLayout;
    Text20 = addLabelledBox(grid, 0, 0, QStringLiteral("Text20"), fieldCaption(&Form::movement));
    Combo8 =
        addLabelledCombo(grid, 1, 0, QStringLiteral("Combo8"), fieldCaption(&Form::attackRange));
    Combo8->addItems(lists::attackRanges());
    for (int i = 0; i < 7; ++i)
        numberBoxes[i] = addLabelledBox(grid, 2 + i, 0, QStringLiteral("Text%1").arg(21 + i),
                                        fieldCaption(numberMembers[i]));

    Frame6 = named(new QGroupBox(QStringLiteral("装备")), QStringLiteral("Frame6"));
    auto* flags = new QGridLayout(Frame6);
    for (int k = 0; k < 18; ++k) {
        Check2[k] = named(new QCheckBox(fieldCaption(&Form::equipment, k)),
                          QStringLiteral("Check2_%1").arg(k));
        // Normal kinds on the left, special kinds on the right.
        flags->addWidget(Check2[k], k / 2, k % 2);
    }

    auto* sample = new QLabel(QStringLiteral("攻击范围示范"));

    Command10 = makeButton(this, QStringLiteral("Command10"), QStringLiteral("保存"));
    Command11 = makeButton(this, QStringLiteral("Command11"), QStringLiteral("还原"));

    auto* columns = new QHBoxLayout;
    auto* values = new QVBoxLayout;
    values->addLayout(grid);
    values->addStretch();
    values->addWidget(sample, 0, Qt::AlignRight);
    columns->addLayout(values);
    columns->addWidget(Frame6);

    auto* fields = new QVBoxLayout;
    fields->addLayout(columns);
    fields->addStretch();
    fields->addLayout(buttonRow(Command10, Command11));

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(List8);
    layout->addLayout(fields, 1);

    NumberGutter::install(List8);
    NumberGutter::fitWidthToEntries(List8);
    useSaveKeys(Command10);

    connect(List8, &QListWidget::currentRowChanged, this, [this] { List8_Click(); });
    connect(Combo8, &QComboBox::currentIndexChanged, this, [this] { Combo8_Click(); });
    connect(Command10, &QPushButton::clicked, this, &TroopTypeSection::Command10_Click);
    connect(Command11, &QPushButton::clicked, this, &TroopTypeSection::Command11_Click);
}

bool TroopTypeSection::open() {
    selectFirst(List8, [this] { List8_Click(); });
    return !troopType_.isEmpty();
}

void TroopTypeSection::List8_Click() {
    const int row = List8->currentRow();
    if (row < 0 || !mayLeaveRow(List8))
        return;
    troopType_.clear();
    shown_.reset();
    if (auto record = readRecord(data::troopTypes, row, Command10)) {
        troopType_ = *record;
        show(TroopTypeForm::show(troopType_));
    }
}

void TroopTypeSection::Command11_Click() {
    List8_Click();
}

void TroopTypeSection::show(const TroopTypeForm& form) {
    for (int k = 0; k < 18; ++k) {
        // Only a flag other than 0 or 1 shows greyed.
        Check2[k]->setTristate(form.equipment[k] == Qt::PartiallyChecked);
        Check2[k]->setCheckState(form.equipment[k]);
        Check2[k]->setToolTip(
            form.equipment[k] == Qt::PartiallyChecked
                ? QStringLiteral("存储值：%1").arg(TroopTypeForm::storedFlag(troopType_, k))
                : QString());
    }
    Text20->setText(form.movement);
    const int before = Combo8->currentIndex();
    showChoice(Combo8, TroopTypeForm::shapes, form.attackRange);
    // The picture follows the shape even when the selection did not move.
    if (Combo8->currentIndex() == before)
        Combo8_Click();
    for (int i = 0; i < 7; ++i)
        numberBoxes[i]->setText(form.*numberMembers[i]);
    shown_ = formFromControls();
}

void TroopTypeSection::Combo8_Click() {
    const Choice shape = chosenChoice(Combo8, TroopTypeForm::shapes);
    const QString path = attackRangePicture(Prompts::editorFolder(), shape.row);
    // A missing or broken picture leaves the box empty.
    const QPixmap picture = path.isEmpty() ? QPixmap() : QPixmap(path);
    if (picture.isNull())
        gj()->clear();
    else
        gj()->setPixmap(picture);
}

TroopTypeForm TroopTypeSection::formFromControls() const {
    TroopTypeForm form;
    form.movement = Text20->text();
    form.attackRange = chosenChoice(Combo8, TroopTypeForm::shapes);
    for (int i = 0; i < 7; ++i)
        form.*numberMembers[i] = numberBoxes[i]->text();
    for (int k = 0; k < 18; ++k)
        form.equipment[k] = Check2[k]->checkState();
    return form;
}

bool TroopTypeSection::Command10_Click() {
    if (!saveRecord(data::troopTypes, List8->currentRow(), formFromControls(), troopType_))
        return false;
    // The boxes show what was stored.
    show(TroopTypeForm::show(troopType_));
    return true;
}

void TroopTypeSection::reshow() {
    forgetShown();
    List8_Click();
}

} // namespace lcj::data
