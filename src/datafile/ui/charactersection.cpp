#include "charactersection.h"

#include "common/nametables.h"
#include "common/ui/bytelimit.h"
#include "common/ui/choicebinding.h"
#include "common/ui/controls.h"
#include "common/ui/listfilter.h"
#include "common/ui/numbergutter.h"

#include <QCheckBox>
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

using Form = CharacterForm;
constexpr int nameBoxLength = 6; // characters the name box accepts
const int troopTypeCount = 53;

} // namespace

CharacterSection::CharacterSection(const SectionContext& context, QWidget* parent)
    : DataSection(context, QStringLiteral("Frame1"), QStringLiteral("人物属性修改"), parent) {
    List1 = named(new QListWidget, QStringLiteral("List1"));

    auto* grid = new QGridLayout;
    Text1 = addLabelledNameBox(grid, 0, 0, QStringLiteral("Text1"), fieldCaption(&Form::name),
                               data::characters.nameWidth, nameBoxLength);
    Text2 = addLabelledBox(grid, 1, 0, QStringLiteral("Text2"), fieldCaption(&Form::portrait));
    Text3 = addLabelledBox(grid, 2, 0, QStringLiteral("Text3"), fieldCaption(&Form::figure));
    Text33 =
        addLabelledBox(grid, 3, 0, QStringLiteral("Text33"), fieldCaption(&Form::criticalLine));
    Text9 = addLabelledBox(grid, 4, 0, QStringLiteral("Text9"), fieldCaption(&Form::hp));
    Text10 = addLabelledBox(grid, 5, 0, QStringLiteral("Text10"), fieldCaption(&Form::mp));
    Text11 = addLabelledBox(grid, 6, 0, QStringLiteral("Text11"), fieldCaption(&Form::level));
    Text12 = addLabelledBox(grid, 7, 0, QStringLiteral("Text12"), fieldCaption(&Form::experience));
    Text4 = addLabelledBox(grid, 0, 2, QStringLiteral("Text4"), fieldCaption(&Form::force));
    Text5 = addLabelledBox(grid, 1, 2, QStringLiteral("Text5"), fieldCaption(&Form::command));
    Text6 = addLabelledBox(grid, 2, 2, QStringLiteral("Text6"), fieldCaption(&Form::intelligence));
    Text7 = addLabelledBox(grid, 3, 2, QStringLiteral("Text7"), fieldCaption(&Form::agility));
    Text8 = addLabelledBox(grid, 4, 2, QStringLiteral("Text8"), fieldCaption(&Form::luck));
    Combo1 = addLabelledCombo(grid, 5, 2, QStringLiteral("Combo1"), fieldCaption(&Form::weapon));
    Combo2 = addLabelledCombo(grid, 6, 2, QStringLiteral("Combo2"), fieldCaption(&Form::armour));
    Combo3 = addLabelledCombo(grid, 7, 2, QStringLiteral("Combo3"), fieldCaption(&Form::auxiliary));
    Check1 = named(new QCheckBox(fieldCaption(&Form::forcedJoin)), QStringLiteral("Check1"));
    grid->addWidget(Check1, 8, 2, 1, 2);

    List2 = named(new QListWidget, QStringLiteral("List2"));
    List2->addItems(names::troopTypes());
    auto* troops = new QVBoxLayout;
    troops->addWidget(new QLabel(fieldCaption(&Form::troopType)));
    troops->addWidget(List2);

    Command1 = makeButton(this, QStringLiteral("Command1"), QStringLiteral("保存"));
    Command2 = makeButton(this, QStringLiteral("Command2"), QStringLiteral("还原"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);

    auto* fields = new QVBoxLayout;
    fields->addLayout(grid);
    fields->addStretch();
    fields->addLayout(buttons);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(List1);
    layout->addLayout(fields, 1);
    layout->addLayout(troops);

    NumberGutter::install(List1);
    NumberGutter::fitWidthToEntries(List1, true);
    new ListFilter(List1);
    NumberGutter::install(List2);
    NumberGutter::fitWidthToEntries(List2);
    useSaveKeys(Command1);

    connect(List1, &QListWidget::currentRowChanged, this, [this] { List1_Click(); });
    connect(Command1, &QPushButton::clicked, this, &CharacterSection::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &CharacterSection::Command2_Click);
}

bool CharacterSection::open() {
    const auto characters = readNames(data::characters);
    if (!characters) {
        // Nothing of a file that cannot be read stays listed.
        const QSignalBlocker blocker(List1);
        List1->clear();
        for (QComboBox* combo : {Combo1, Combo2, Combo3})
            combo->clear();
        return false;
    }
    // The entries stay when the section is opened again; only names changed
    // since are renamed.
    fillEntries(List1, *characters);
    QStringList items = file().names(data::items);
    items.append(QStringLiteral("无"));
    for (QComboBox* combo : {Combo1, Combo2, Combo3})
        fillEntries(combo, items);
    List1->scrollToTop();
    selectFirst(List1, [this] { List1_Click(); });
    return true;
}

bool CharacterSection::readSelected() {
    const int row = List1->currentRow();
    if (row < 0)
        return false;
    shown_.reset();
    // Nothing read from a broken file is shown as data, and no save can follow.
    auto record = readRecord(data::characters, row, Command1);
    if (!record)
        return false;
    renwushuju_ = *record;
    renwushuju();
    return true;
}

void CharacterSection::List1_Click() {
    if (!mayLeaveRow(List1))
        return;
    if (readSelected())
        setTitle(QStringLiteral("人物属性修改-武将序号%1").arg(List1->currentRow()));
}

void CharacterSection::Command2_Click() {
    readSelected();
}

void CharacterSection::renwushuju() {
    const CharacterForm form = CharacterForm::show(renwushuju_);
    // A stored name longer than the box's limit is shown whole; typing is still limited.
    ByteLimit::of(Text1)->show(form.name);
    Text2->setText(form.portrait);
    Text3->setText(form.figure);
    Text4->setText(form.force);
    Text5->setText(form.command);
    Text6->setText(form.intelligence);
    Text7->setText(form.agility);
    Text8->setText(form.luck);
    Text9->setText(form.hp);
    Text10->setText(form.mp);
    Text11->setText(form.level);
    Text12->setText(form.experience);
    Text33->setText(form.criticalLine);
    showChoice(List2, troopTypeCount, form.troopType);
    Combo1->setCurrentIndex(form.weapon);
    Combo2->setCurrentIndex(form.armour);
    Combo3->setCurrentIndex(form.auxiliary);
    Check1->setCheckState(form.forcedJoin);
    shown_ = formFromControls();
}

CharacterForm CharacterSection::formFromControls() const {
    CharacterForm form;
    form.name = Text1->text();
    form.portrait = Text2->text();
    form.figure = Text3->text();
    form.force = Text4->text();
    form.command = Text5->text();
    form.intelligence = Text6->text();
    form.agility = Text7->text();
    form.luck = Text8->text();
    form.hp = Text9->text();
    form.mp = Text10->text();
    form.level = Text11->text();
    form.experience = Text12->text();
    form.criticalLine = Text33->text();
    form.troopType = chosenValue(List2, troopTypeCount);
    form.weapon = Combo1->currentIndex();
    form.armour = Combo2->currentIndex();
    form.auxiliary = Combo3->currentIndex();
    form.forcedJoin = Check1->checkState();
    return form;
}

bool CharacterSection::Command1_Click() {
    const int row = List1->currentRow();
    if (row < 0 || renwushuju_.isEmpty())
        return false;
    QByteArray record = renwushuju_;
    Roundings rounded;
    if (auto failure = formFromControls().apply(record, &rounded); !failure.ok()) {
        say(failure.error());
        return false;
    }
    if (!writeRecord(data::characters, row, record))
        return false;
    renwushuju_ = record;
    // An odd 武力 is stored even: the status line says so, in place of the save's line.
    if (!rounded.isEmpty())
        showStatus(roundingsText(rounded));
    // The list shows the name as stored; selecting it again reads the record
    // back, so every box shows what was stored.
    replaceEntry(List1, row, CharacterForm::show(renwushuju_).name);
    List1_Click();
    return true;
}

void CharacterSection::reshow() {
    const auto characters = readNames(data::characters);
    if (!characters)
        return;
    renameEntries(List1, *characters);
    const QStringList items = file().names(data::items);
    for (QComboBox* combo : {Combo1, Combo2, Combo3})
        renameEntries(combo, items);
    forgetShown();
    List1_Click();
}

} // namespace lcj::data
