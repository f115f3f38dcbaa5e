#include "record.h"

#include "common/nametables.h"
#include "common/ui/choicebinding.h"
#include "common/ui/controls.h"
#include "common/ui/keyboard.h"
#include "common/ui/listfilter.h"
#include "common/ui/numbergutter.h"
#include "common/ui/regionwindow.h"
#include "common/ui/unsavededits.h"
#include "fields/ui/fieldtableview.h"
#include "fields/ui/tablecommands.h"
#include "savefile/savelayout.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace lcj::save {

namespace {

constexpr int shortBoxLength = 6; // the figure, hit-point and level boxes
const QString unsavedQuestion = QStringLiteral("存档的修改还没有保存到文件。要保存吗？");
const int troopTypeCount = 53;
constexpr int firstConsumableItem = 87;

QListWidget* captionedList(QBoxLayout* into, const QString& objectName, const QString& caption) {
    auto* list = named(new QListWidget, objectName);
    into->addWidget(new QLabel(caption));
    into->addWidget(list, 1);
    return list;
}

} // namespace

Record::Record(Prompts& prompts, QWidget* parent)
    : RegionWindow(
          prompts,
          {QStringLiteral("Record"), QStringLiteral("存档文件修改"), QStringLiteral("fileopen"),
           QStringLiteral("岚川记记录文件(Sv??d.e5s) (Sv*d.e5s);;所有文件 (*)"),
           QStringLiteral("条记录")},
          names::gameNamesInto([this](const names::GameNames& n) { takeNames(n); }), parent) {
    holdRegions(game_.regions(), onDisk_.regions(), history_);

    const FileMenu& file = fileMenu();
    reload = named(new QAction(QStringLiteral("重新载入"), file.menu), QStringLiteral("reload"));
    file.menu->insertAction(file.names, reload);
    connect(reload, &QAction::triggered, this, &Record::reload_Click);
    const EditMenus menus = addEditMenus();
    tableAction_ = menus.table;
    // 编辑 → 复制, 粘贴, 向下填充: the table's commands, while it is shown.
    fields::addTableCommands(menus.edit, tableAction_, [this] { return table_; });

    auto* people = new QVBoxLayout;
    List1 = captionedList(people, QStringLiteral("List1"), QStringLiteral("人物列表"));
    List1->addItems(names::characters());
    List1->setMinimumWidth(120);

    auto* troops = new QVBoxLayout;
    List2 = captionedList(troops, QStringLiteral("List2"), fieldCaption(&CharacterForm::troopType));
    List2->addItems(names::troopTypes());

    auto* stock = new QVBoxLayout;
    List3 = captionedList(stock, QStringLiteral("List3"), QStringLiteral("道具"));
    List3->addItems(names::consumables());
    auto* stockGrid = new QGridLayout;
    Text23 =
        addLabelledBox(stockGrid, 0, 0, QStringLiteral("Text23"), fieldCaption(&SaveForm::stock));
    Text24 =
        addLabelledBox(stockGrid, 1, 0, QStringLiteral("Text24"), fieldCaption(&SaveForm::loyalty));
    stock->addLayout(stockGrid);
    auto* note = new QLabel(QStringLiteral("注：数值100最奸数值0最忠"));
    note->setWordWrap(true);
    stock->addWidget(note);

    Command1 = makeButton(this, QStringLiteral("Command1"), QStringLiteral("确定"));
    Command2 = makeButton(this, QStringLiteral("Command2"), QStringLiteral("保存"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);

    auto* fields = new QVBoxLayout;
    fields->addLayout(buildCharacterFields());
    fields->addStretch();

    // The characters: the list and the boxes of one, or the table of all.
    form_ = new QWidget;
    auto* character = new QHBoxLayout(form_);
    character->setContentsMargins(0, 0, 0, 0);
    character->addLayout(people);
    character->addLayout(fields, 1);
    character->addLayout(troops);
    tables_ = fields::saveTables(game_);
    diskTables_ = fields::saveTables(onDisk_);
    table_ = new fields::FieldTableView(
        *tables_[0],
        [this](const std::function<Failure()>& change,
               const std::function<QString()>& step) -> Failure {
            if (Failure failure = history_.run(change, step); !failure.ok())
                return failure;
            // The table changes characters only: the loyalty and count boxes
            // keep what is typed in them.
            if (game_.loaded())
                showCharacter();
            table_->refresh();
            showTitle();
            return {};
        },
        this->prompts());
    table_->setObjectName(QStringLiteral("characterTable"));
    table_->setSaved(diskTables_[0].get());
    table_->hide();
    // Nothing to edit before a file is read.
    table_->setEnabled(false);
    connect(table_, &fields::FieldTableView::rounded, this,
            [this](const QString& text) { showStatus(text); });
    connect(table_, &fields::FieldTableView::currentRowChanged, this, [this](int row) {
        if (row >= 0 && row != List1->currentRow())
            List1->setCurrentRow(row);
    });

    auto* row = new QHBoxLayout;
    row->addWidget(form_, 1);
    row->addWidget(table_, 1);
    row->addLayout(stock);
    auto* main = static_cast<QBoxLayout*>(layout());
    main->addLayout(row, 1);
    main->addLayout(buttons);

    NumberGutter::install(List1);
    new ListFilter(List1);
    NumberGutter::install(List2);
    NumberGutter::fitWidthToEntries(List2);
    // The consumables are items 87..103.
    NumberGutter::install(List3, firstConsumableItem);
    NumberGutter::fitWidthToEntries(List3);
    pressOnEnter(this, Command1);

    connect(List1, &QListWidget::currentRowChanged, this, [this] { List1_Click(); });
    connect(List3, &QListWidget::currentRowChanged, this, [this] { List3_Click(); });
    connect(Command1, &QPushButton::clicked, this, &Record::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Record::Command2_Click);

    watchFile();
    Form_Load();
}

QLayout* Record::buildCharacterFields() {
    auto* grid = new QGridLayout;
    using Form = CharacterForm;
    auto box = [grid](int row, int column, const char* name, QString Form::*field) {
        return addLabelledBox(grid, row, column, QString::fromLatin1(name), fieldCaption(field));
    };
    Text1 = box(0, 0, "Text1", &Form::figure);
    Text2 = box(1, 0, "Text2", &Form::portrait);
    Text3 = box(2, 0, "Text3", &Form::attack);
    Text4 = box(3, 0, "Text4", &Form::defence);
    Text5 = box(4, 0, "Text5", &Form::spirit);
    Text6 = box(5, 0, "Text6", &Form::burst);
    Text7 = box(6, 0, "Text7", &Form::morale);
    Text13 = box(7, 0, "Text13", &Form::hp);
    Text14 = box(8, 0, "Text14", &Form::mp);
    Text8 = box(0, 2, "Text8", &Form::force);
    Text9 = box(1, 2, "Text9", &Form::command);
    Text10 = box(2, 2, "Text10", &Form::intelligence);
    Text11 = box(3, 2, "Text11", &Form::agility);
    Text12 = box(4, 2, "Text12", &Form::luck);
    Text15 = box(5, 2, "Text15", &Form::level);
    Text16 = box(6, 2, "Text16", &Form::experience);
    Text17 = box(7, 2, "Text17", &Form::sorties);
    Text18 = box(8, 2, "Text18", &Form::retreats);
    for (QLineEdit* shortBox : {Text1, Text13, Text15})
        shortBox->setMaxLength(shortBoxLength);

    // Beside each equipment list, its level and experience boxes are captioned
    // as the character's own.
    Combo1 = addLabelledCombo(grid, 9, 0, QStringLiteral("Combo1"), fieldCaption(&Form::weapon));
    Text19 = box(9, 2, "Text19", &Form::level);
    Text20 = box(9, 4, "Text20", &Form::experience);
    Combo2 = addLabelledCombo(grid, 10, 0, QStringLiteral("Combo2"), fieldCaption(&Form::armour));
    Text21 = box(10, 2, "Text21", &Form::level);
    Text22 = box(10, 4, "Text22", &Form::experience);
    Combo3 =
        addLabelledCombo(grid, 11, 0, QStringLiteral("Combo3"), fieldCaption(&Form::accessory));
    for (QComboBox* combo : {Combo1, Combo2, Combo3}) {
        combo->addItems(names::items());
        combo->addItem(QStringLiteral("无"));
    }
    Check1 = named(new QCheckBox(fieldCaption(&Form::joined)), QStringLiteral("Check1"));
    grid->addWidget(Check1, 12, 0, 1, 4);
    return grid;
}

Record::~Record() {
    // The table reads the tables below, which go before the window's children.
    delete table_;
}

void Record::Form_Load() {
    reload->setEnabled(false);
    showTitle();
}

void Record::reload_Click() {
    if (auto failure = game_.regions().reload(); !failure.ok()) {
        say(QStringLiteral("重新载入出错，窗口中的数据保持不变\n\n") + failure.error());
        return;
    }
    showLoaded();
}

void Record::fillForm() {
    table_->setEnabled(true);
    table_->setSaved(diskTables_[0].get());
    table_->refresh();
    showTitle();
    reload->setEnabled(true);
    Text24->setText(game_.showLoyalty());
    shown_.loyalty = Text24->text();
    {
        const QSignalBlocker one(List1), three(List3);
        List1->setCurrentRow(0);
        List3->setCurrentRow(0);
    }
    List1_Click();
    List3_Click();
}

void Record::List1_Click() {
    if (List1->currentRow() < 0)
        return;
    // Another character replaces the character's boxes only: the loyalty and
    // the count keep what was typed in them, and are asked about when they go.
    if (!settleEditsBeforeRow(List1, character_, prompts(), this, unconfirmedQuestion(),
                              game_.loaded() && formFromControls() != shown_.character,
                              [this] { return Command1_Click(); }))
        return;
    character_ = List1->currentRow();
    if (game_.loaded())
        showCharacter();
}

void Record::List3_Click() {
    if (List3->currentRow() < 0)
        return;
    // Another consumable replaces only the count box.
    if (!settleEditsBeforeRow(List3, consumable_, prompts(), this, unconfirmedQuestion(),
                              game_.loaded() && Text23->text() != shown_.stock,
                              [this] { return Command1_Click(); }))
        return;
    consumable_ = List3->currentRow();
    if (game_.loaded()) {
        Text23->setText(game_.showStock(consumable_));
        shown_.stock = Text23->text();
    }
}

void Record::showCharacter() {
    const CharacterForm form = game_.showCharacter(character_);
    Text1->setText(form.figure);
    Text2->setText(form.portrait);
    Text3->setText(form.attack);
    Text4->setText(form.defence);
    Text5->setText(form.spirit);
    Text6->setText(form.burst);
    Text7->setText(form.morale);
    Text8->setText(form.force);
    Text9->setText(form.command);
    Text10->setText(form.intelligence);
    Text11->setText(form.agility);
    Text12->setText(form.luck);
    Text13->setText(form.hp);
    Text14->setText(form.mp);
    Text15->setText(form.level);
    Text16->setText(form.experience);
    Text17->setText(form.sorties);
    Text18->setText(form.retreats);
    Text19->setText(form.weaponLevel);
    Text20->setText(form.weaponExperience);
    Text21->setText(form.armourLevel);
    Text22->setText(form.armourExperience);
    showChoice(List2, troopTypeCount, form.troopType);
    Combo1->setCurrentIndex(form.weapon);
    Combo2->setCurrentIndex(form.armour);
    Combo3->setCurrentIndex(form.accessory);
    Check1->setChecked(form.joined);
    shown_.character = formFromControls();
}

CharacterForm Record::formFromControls() const {
    CharacterForm form;
    form.figure = Text1->text();
    form.portrait = Text2->text();
    form.attack = Text3->text();
    form.defence = Text4->text();
    form.spirit = Text5->text();
    form.burst = Text6->text();
    form.morale = Text7->text();
    form.force = Text8->text();
    form.command = Text9->text();
    form.intelligence = Text10->text();
    form.agility = Text11->text();
    form.luck = Text12->text();
    form.hp = Text13->text();
    form.mp = Text14->text();
    form.level = Text15->text();
    form.experience = Text16->text();
    form.sorties = Text17->text();
    form.retreats = Text18->text();
    form.weaponLevel = Text19->text();
    form.weaponExperience = Text20->text();
    form.armourLevel = Text21->text();
    form.armourExperience = Text22->text();
    form.troopType = chosenValue(List2, troopTypeCount);
    form.weapon = Combo1->currentIndex();
    form.armour = Combo2->currentIndex();
    form.accessory = Combo3->currentIndex();
    form.joined = Check1->isChecked();
    return form;
}

SaveForm Record::formsFromControls() const {
    return {Text24->text(), formFromControls(), Text23->text()};
}

bool Record::unconfirmed() const {
    return game_.loaded() && formsFromControls() != shown_;
}

bool Record::Command1_Click() {
    if (!game_.loaded())
        return false;
    const SaveForm form = formsFromControls();
    Roundings rounded;
    if (auto failure =
            history_.run([&] { return game_.confirm(form, character_, consumable_, &rounded); });
        !failure.ok()) {
        say(failure.error());
        return false;
    }
    // The boxes show what is stored now ("254" where "254.5" was typed); an
    // odd 武力 stored even is said in the status line.
    showChanged();
    if (!rounded.isEmpty())
        showStatus(roundingsText(rounded));
    return true;
}

bool Record::Command2_Click() {
    return saveRegionFile(fields::FileKind::Save, QStringLiteral("记录文件"),
                          fields::changedRows(tables_, diskTables_));
}

void Record::showSavedMarks() {
    table_->setSaved(diskTables_[0].get());
    table_->refresh();
    showTitle();
}

void Record::pressSave() {
    Command2->click();
}

bool Record::saveDocument() {
    return (!unconfirmed() || Command1_Click()) && (!unsaved() || Command2_Click());
}

void Record::showChanged() {
    if (game_.loaded()) {
        Text24->setText(game_.showLoyalty());
        Text23->setText(game_.showStock(consumable_));
        showCharacter();
        shown_ = formsFromControls();
    }
    table_->setSaved(diskTables_[0].get());
    table_->refresh();
    showTitle();
}

void Record::showTitle() {
    showFileState(game_.regions().path(), unsaved());
}

void Record::showTable(bool on) {
    fields::showTableInstead(on, form_, table_, tableAction_, List1, character_, [this] {
        return settleEdits(prompts(), this, unconfirmedQuestion(),
                           game_.loaded() && formFromControls() != shown_.character,
                           [this] { return Command1_Click(); });
    });
}

bool Record::mayDropFile() {
    return settleRegionEdits(
        prompts(), this, unsavedQuestion, [this] { return unconfirmed(); }, unsaved(),
        [this] { return Command1_Click(); }, [this] { return Command2_Click(); });
}

void Record::takeNames(const names::GameNames& names) {
    renameRows(List1, names.characters);
    for (QComboBox* combo : {Combo1, Combo2, Combo3})
        renameRows(combo, names.items);
}

bool Record::showPlace(int part, int row) {
    if (!game_.loaded())
        return false;
    if (part == 2) {
        Text24->setFocus();
        return true;
    }
    QListWidget* list = part == 0 ? List1 : part == 1 ? List3 : nullptr;
    if (!list || row < 0 || row >= list->count())
        return false;
    list->setCurrentRow(row);
    list->scrollToItem(list->item(row));
    return list->currentRow() == row;
}

} // namespace lcj::save
