#include "strategysection.h"

#include "common/nametables.h"
#include "common/ui/bytelimit.h"
#include "common/ui/choicebinding.h"
#include "common/ui/controls.h"
#include "common/ui/listfilter.h"
#include "common/ui/numbergutter.h"
#include "common/ui/plainheader.h"
#include "datafile/datanames.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

namespace lcj::data {

namespace {

constexpr int gridRows = StrategyForm::troopTypes + 1; // a header row and one per troop type
constexpr int levelColumn = 1;
constexpr int levelColumnWidth = 140; // 2100 twips

bool isEnter(const QKeyEvent* key) {
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

QTableWidgetItem* fixedCell(const QString& text) {
    auto* cell = new QTableWidgetItem(text);
    cell->setFlags(Qt::ItemIsEnabled);
    cell->setBackground(QColor(224, 224, 224));
    return cell;
}

} // namespace

StrategySection::StrategySection(const SectionContext& context, QWidget* parent)
    : DataSection(context, QStringLiteral("Frame7"), QStringLiteral("策略属性修改"), parent) {
    List9 = named(new QListWidget, QStringLiteral("List9"));
    List9->setMaximumWidth(130);

    auto* grid = new QGridLayout;
    Text28 = addLabelledNameBox(grid, 0, 0, QStringLiteral("Text28"),
                                fieldCaption(&StrategyForm::name), data::strategies.nameWidth);
    Text29 =
        addLabelledBox(grid, 1, 0, QStringLiteral("Text29"), fieldCaption(&StrategyForm::type));
    Combo9 =
        addLabelledCombo(grid, 2, 0, QStringLiteral("Combo9"), fieldCaption(&StrategyForm::target));
    Combo9->addItems(lists::strategyTargets());
    Combo10 = addLabelledCombo(grid, 3, 0, QStringLiteral("Combo10"),
                               fieldCaption(&StrategyForm::castingRange));
    Combo10->addItems(lists::castingRanges());
    Combo11 = addLabelledCombo(grid, 4, 0, QStringLiteral("Combo11"),
                               fieldCaption(&StrategyForm::effectArea));
    Combo11->addItems(lists::effectAreas());
    Text30 = addLabelledBox(grid, 5, 0, QStringLiteral("Text30"), fieldCaption(&StrategyForm::mp));
    Text31 =
        addLabelledBox(grid, 6, 0, QStringLiteral("Text31"), fieldCaption(&StrategyForm::icon));

    gridNote = new QLabel(QStringLiteral("注：0表示该兵种不能学会此计策"));
    msfgrid = named(new QTableWidget, QStringLiteral("msfgrid"));
    PlainHeader::install(msfgrid);
    msfgrid->horizontalHeader()->hide();
    msfgrid->verticalHeader()->hide();
    msfgrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    msfgrid->setSelectionMode(QAbstractItemView::SingleSelection);
    msfgrid->setTabKeyNavigation(false);
    msfgrid->installEventFilter(this);
    msfgrid->setMinimumWidth(280);

    Text32 = named(new QLineEdit(msfgrid->viewport()), QStringLiteral("Text32"));
    Text32->hide();
    Text32->installEventFilter(this);

    Command12 = makeButton(this, QStringLiteral("Command12"), QStringLiteral("保存"));
    Command13 = makeButton(this, QStringLiteral("Command13"), QStringLiteral("还原"));

    auto* fields = new QVBoxLayout;
    fields->addLayout(grid);
    fields->addStretch();
    fields->addLayout(buttonRow(Command12, Command13));

    auto* levels = new QVBoxLayout;
    levels->addWidget(gridNote);
    levels->addWidget(msfgrid, 1);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(List9);
    layout->addLayout(fields);
    layout->addLayout(levels, 1);

    NumberGutter::install(List9);
    new ListFilter(List9);
    useSaveKeys(Command12);

    connect(List9, &QListWidget::currentRowChanged, this, [this] { List9_Click(); });
    connect(Command12, &QPushButton::clicked, this, &StrategySection::Command12_Click);
    connect(Command13, &QPushButton::clicked, this, &StrategySection::Command13_Click);
}

void StrategySection::setUpGrid() {
    cancelEdit();
    msfgrid->clear();
    msfgrid->setColumnCount(2);
    msfgrid->setRowCount(gridRows);
    msfgrid->setColumnWidth(levelColumn, levelColumnWidth);
    msfgrid->setItem(0, 0, fixedCell(QStringLiteral("兵种名称")));
    msfgrid->setItem(0, levelColumn, fixedCell(QStringLiteral("该兵种学会此计策的等级")));
    const QStringList& troops = names::troopTypes();
    for (int r = 1; r < gridRows; ++r) {
        msfgrid->setItem(r, 0, fixedCell(troops[r - 1]));
        auto* level = new QTableWidgetItem;
        level->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        msfgrid->setItem(r, levelColumn, level);
    }
    msfgrid->resizeColumnToContents(0);
    msfgrid->setCurrentCell(1, levelColumn);
}

bool StrategySection::open() {
    {
        const QSignalBlocker blocker(List9);
        List9->clear();
    }
    setUpGrid();
    const auto strategies = readNames(data::strategies);
    if (!strategies)
        return false;
    {
        const QSignalBlocker blocker(List9);
        List9->addItems(*strategies);
    }
    List9->setCurrentRow(0);
    return !strategy_.isEmpty();
}

void StrategySection::List9_Click() {
    const int row = List9->currentRow();
    if (row < 0 || !mayLeaveRow(List9))
        return;
    // An edit left open belongs to the record shown before.
    cancelEdit();
    strategy_.clear();
    shown_.reset();
    if (auto record = readRecord(data::strategies, row, Command12)) {
        strategy_ = *record;
        show(StrategyForm::show(strategy_));
    }
}

bool StrategySection::edited() const {
    // A level still being typed counts as well.
    const bool typing = editing_ && Text32->text() != msfgrid->item(editRow, editCol)->text();
    return shown_ && (typing || *shown_ != formFromControls());
}

void StrategySection::Command13_Click() {
    List9_Click();
}

void StrategySection::show(const StrategyForm& form) {
    ByteLimit::of(Text28)->show(form.name);
    Text29->setText(form.type);
    showChoice(Combo9, StrategyForm::targets, form.target);
    showChoice(Combo10, StrategyForm::castingRanges, form.castingRange);
    showChoice(Combo11, StrategyForm::effectAreas, form.effectArea);
    Text30->setText(form.mp);
    Text31->setText(form.icon);
    for (int t = 0; t < StrategyForm::troopTypes; ++t)
        msfgrid->item(t + 1, levelColumn)->setText(form.levels[t]);
    shown_ = formFromControls();
}

StrategyForm StrategySection::formFromControls() const {
    StrategyForm form;
    form.name = Text28->text();
    form.type = Text29->text();
    form.target = chosenChoice(Combo9, StrategyForm::targets);
    form.castingRange = chosenChoice(Combo10, StrategyForm::castingRanges);
    form.effectArea = chosenChoice(Combo11, StrategyForm::effectAreas);
    form.mp = Text30->text();
    form.icon = Text31->text();
    for (int t = 0; t < StrategyForm::troopTypes; ++t)
        form.levels[t] = msfgrid->item(t + 1, levelColumn)->text();
    return form;
}

bool StrategySection::Command12_Click() {
    // A level still being typed counts; a refused one stops the save.
    if (!Text32_LostFocus())
        return false;
    const int row = List9->currentRow();
    if (!saveRecord(data::strategies, row, formFromControls(), strategy_))
        return false;
    // The list shows the name as stored; selecting it again reloads the record.
    replaceEntry(List9, row, StrategyForm::show(strategy_).name);
    List9_Click();
    return true;
}

bool StrategySection::eventFilter(QObject* watched, QEvent* event) {
    if (watched == msfgrid && event->type() == QEvent::KeyPress && !editing_) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        if (isEnter(key) || (!text.isEmpty() && text[0].isPrint())) {
            msfgrid_KeyPress(*key);
            return true;
        }
    } else if (watched == Text32 && event->type() == QEvent::KeyPress) {
        if (isEnter(static_cast<QKeyEvent*>(event))) {
            msfgrid->setFocus();
            return true;
        }
    } else if (watched == Text32 && event->type() == QEvent::FocusOut) {
        // When the focus goes to "保存", the save commits the level itself, so
        // that a refused level stops the save with one message.
        if (QApplication::focusWidget() != Command12)
            Text32_LostFocus();
    }
    return DataSection::eventFilter(watched, event);
}

void StrategySection::msfgrid_KeyPress(const QKeyEvent& key) {
    const QModelIndex current = msfgrid->currentIndex();
    // Only the level cells are edited; the header row and the names are fixed.
    if (!current.isValid() || current.row() < 1 || current.column() != levelColumn)
        return;
    const QRect cell = msfgrid->visualRect(current);
    Text32->setGeometry(cell.x(), cell.y(), cell.width() - 2, cell.height() - 2);
    editRow = current.row();
    editCol = current.column();
    editing_ = true;
    Text32->setText(msfgrid->item(editRow, editCol)->text());
    Text32->show();
    Text32->raise();
    Text32->setFocus();
    if (isEnter(&key))
        return;
    // The key starts the typing: it replaces the cell's text.
    Text32->selectAll();
    QKeyEvent typed(QEvent::KeyPress, key.key(), key.modifiers(), key.text());
    QCoreApplication::sendEvent(Text32, &typed);
}

bool StrategySection::Text32_LostFocus() {
    if (!editing_)
        return true;
    editing_ = false;
    const auto level = StrategyForm::commitLevel(editRow - 1, Text32->text());
    Text32->setCursorPosition(0);
    Text32->hide();
    if (!level.ok()) {
        // The cell keeps its value.
        say(level.error());
        return false;
    }
    msfgrid->item(editRow, editCol)->setText(*level);
    return true;
}

void StrategySection::cancelEdit() {
    editing_ = false;
    Text32->hide();
}

void StrategySection::reshow() {
    const auto strategies = readNames(data::strategies);
    if (!strategies)
        return;
    renameEntries(List9, *strategies);
    forgetShown();
    List9_Click();
}

} // namespace lcj::data
