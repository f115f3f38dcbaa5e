#include "itemsection.h"

#include "common/nametables.h"
#include "common/ui/bytelimit.h"
#include "common/ui/choicebinding.h"
#include "common/ui/controls.h"
#include "common/ui/listfilter.h"
#include "common/ui/numbergutter.h"
#include "datafile/datanames.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace lcj::data {

namespace {

const int equipmentKindCount = 18;
const int effectCount = 46; // 45 effects and "无"
const int consumableCount = 14;
const int classCount = 28; // 27 troop classes and "所有兵种"

} // namespace

ItemSection::ItemSection(const SectionContext& context, QWidget* parent)
    : DataSection(context, QStringLiteral("Frame2"), QStringLiteral("道具属性修改"), parent) {
    List3 = named(new QListWidget, QStringLiteral("List3"));
    List3->setMinimumWidth(130);

    Label17 = named(new QLabel(QStringLiteral("道具类型")), QStringLiteral("Label17"));

    auto* grid = new QGridLayout;
    grid->addWidget(Label17, 0, 0, 1, 2);
    Text13 = addLabelledNameBox(grid, 1, 0, QStringLiteral("Text13"), fieldCaption(&ItemForm::name),
                                data::items.nameWidth);
    Combo4 = addLabelledCombo(grid, 2, 0, QStringLiteral("Combo4"),
                              fieldCaption(&ItemForm::equipmentKind));
    Combo4->addItems(names::equipmentKinds());
    Combo5 =
        addLabelledCombo(grid, 3, 0, QStringLiteral("Combo5"), fieldCaption(&ItemForm::effect));
    Combo5->addItems(lists::specialEffects());
    Combo6 = addLabelledCombo(grid, 4, 0, QStringLiteral("Combo6"),
                              fieldCaption(&ItemForm::consumableEffect));
    Combo6->addItems(lists::consumableEffects());
    Text14 =
        addLabelledBox(grid, 5, 0, QStringLiteral("Text14"),
                       fieldCaption(&ItemForm::price) + QStringLiteral("      (255表示不可买卖)"));
    Text15 = addLabelledBox(grid, 6, 0, QStringLiteral("Text15"), fieldCaption(&ItemForm::icon));
    Text16 = addLabelledBox(grid, 7, 0, QStringLiteral("Text16"), fieldCaption(&ItemForm::ability));
    Text17 =
        addLabelledBox(grid, 8, 0, QStringLiteral("Text17"), fieldCaption(&ItemForm::effectValue));
    Text18 = addLabelledBox(grid, 9, 0, QStringLiteral("Text18"), fieldCaption(&ItemForm::growth));
    Combo7 = addLabelledCombo(grid, 10, 0, QStringLiteral("Combo7"),
                              fieldCaption(&ItemForm::suitableClass));
    Combo7->addItems(lists::suitableClasses());

    Command4 = makeButton(this, QStringLiteral("Command4"), QStringLiteral("保存"));
    Command5 = makeButton(this, QStringLiteral("Command5"), QStringLiteral("还原"));

    auto* fields = new QVBoxLayout;
    fields->addLayout(grid);
    fields->addStretch();
    fields->addLayout(buttonRow(Command4, Command5));

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(List3);
    layout->addLayout(fields, 1);

    NumberGutter::install(List3);
    new ListFilter(List3);
    useSaveKeys(Command4);

    connect(List3, &QListWidget::currentRowChanged, this, [this] { List3_Click(); });
    connect(Command4, &QPushButton::clicked, this, &ItemSection::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &ItemSection::Command5_Click);
}

bool ItemSection::open() {
    {
        const QSignalBlocker blocker(List3);
        List3->clear();
    }
    if (!daofile())
        return false;
    List3->setCurrentRow(0);
    return true;
}

bool ItemSection::daofile() {
    const auto items = readNames(data::items);
    if (!items)
        return false;
    const QSignalBlocker blocker(List3);
    List3->addItems(*items);
    return true;
}

void ItemSection::List3_Click() {
    const int row = List3->currentRow();
    if (row < 0 || !mayLeaveRow(List3))
        return;
    shown_.reset();
    if (auto record = readRecord(data::items, row, Command4)) {
        daojushuju_ = *record;
        daojushuju();
    }
}

void ItemSection::Command5_Click() {
    List3_Click();
}

void ItemSection::daojushuju() {
    const ItemForm form = ItemForm::show(daojushuju_);
    Label17->setText(form.caption);
    ByteLimit::of(Text13)->show(form.name);
    Text14->setText(form.price);
    Text15->setText(form.icon);
    Text17->setText(form.effectValue);
    // Controls the category does not use are disabled and keep what they showed.
    const bool equipment = form.category == ItemCategory::Equipment;
    const bool auxiliary = form.category == ItemCategory::Auxiliary;
    const bool consumable = form.category == ItemCategory::Consumable;
    if (equipment) {
        showChoice(Combo4, equipmentKindCount, form.equipmentKind);
        showChoice(Combo5, effectCount, form.effect);
        Text16->setText(form.ability);
        Text18->setText(form.growth);
    } else if (auxiliary) {
        showChoice(Combo5, effectCount, form.effect);
        showChoice(Combo7, classCount, form.suitableClass);
    } else {
        showChoice(Combo6, consumableCount, form.consumableEffect);
    }
    Combo4->setEnabled(equipment);
    Combo5->setEnabled(equipment || auxiliary);
    Text16->setEnabled(equipment);
    Text18->setEnabled(equipment);
    Combo6->setEnabled(consumable);
    Combo7->setEnabled(auxiliary);
    shown_ = formFromControls();
}

ItemForm ItemSection::formFromControls() const {
    ItemForm form;
    form.name = Text13->text();
    form.price = Text14->text();
    form.icon = Text15->text();
    form.ability = Text16->text();
    form.effectValue = Text17->text();
    form.growth = Text18->text();
    form.equipmentKind = chosenChoice(Combo4, equipmentKindCount);
    form.effect = chosenChoice(Combo5, effectCount);
    form.consumableEffect = chosenChoice(Combo6, consumableCount);
    form.suitableClass = chosenChoice(Combo7, classCount);
    return form;
}

bool ItemSection::Command4_Click() {
    const int row = List3->currentRow();
    if (!saveRecord(data::items, row, formFromControls(), daojushuju_))
        return false;
    // The list shows the name as stored; selecting it again reloads the record.
    replaceEntry(List3, row, ItemForm::show(daojushuju_).name);
    List3_Click();
    return true;
}

void ItemSection::reshow() {
    const auto items = readNames(data::items);
    if (!items)
        return;
    renameEntries(List3, *items);
    forgetShown();
    List3_Click();
}

} // namespace lcj::data
