#include "terrainsection.h"

#include "common/nametables.h"
#include "common/ui/controls.h"
#include "common/ui/numbergutter.h"
#include "datafile/datanames.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace lcj::data {

namespace {

constexpr int rowsPerColumn = 6;

// One block of 30 boxes, five columns of six filled column by column, each box
// with its terrain's name (labels Label<firstLabel>.. ) to its left.
QGridLayout* terrainBlock(std::array<QLineEdit*, TerrainForm::boxes>& boxes, int first,
                          int firstLabel) {
    auto* grid = new QGridLayout;
    for (int t = 0; t < TerrainForm::terrains; ++t) {
        const int k = first + t;
        auto* label =
            named(new QLabel(names::terrains()[t]), QStringLiteral("Label%1").arg(firstLabel + t));
        boxes[k] = named(new QLineEdit, QStringLiteral("Text19_%1").arg(k));
        boxes[k]->setMaximumWidth(48);
        label->setBuddy(boxes[k]);
        const int row = t % rowsPerColumn;
        const int column = 2 * (t / rowsPerColumn);
        grid->addWidget(label, row, column);
        grid->addWidget(boxes[k], row, column + 1);
    }
    return grid;
}

} // namespace

TerrainSection::TerrainSection(const SectionContext& context, QWidget* parent)
    : DataSection(context, QStringLiteral("Frame4"), QStringLiteral("地形属性修改"), parent) {
    List7 = named(new QListWidget, QStringLiteral("List7"));
    List7->addItems(lists::terrainClasses());

    Label92 = named(new QLabel(QStringLiteral("兵种所处的地形效果")), QStringLiteral("Label92"));
    Label91 = named(new QLabel(QStringLiteral("消耗移动力（255表示不可移动）")),
                    QStringLiteral("Label91"));

    Command8 = makeButton(this, QStringLiteral("Command8"), QStringLiteral("保存"));
    Command9 = makeButton(this, QStringLiteral("Command9"), QStringLiteral("还原"));

    auto* fields = new QVBoxLayout;
    fields->addWidget(Label92);
    fields->addLayout(terrainBlock(Text19, 0, 31));
    fields->addWidget(Label91);
    fields->addLayout(terrainBlock(Text19, TerrainForm::terrains, 61));
    fields->addStretch();
    fields->addLayout(buttonRow(Command8, Command9));

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(List7);
    layout->addLayout(fields, 1);

    NumberGutter::install(List7);
    NumberGutter::fitWidthToEntries(List7);
    useSaveKeys(Command8);

    connect(List7, &QListWidget::currentRowChanged, this, [this] { List7_Click(); });
    connect(Command8, &QPushButton::clicked, this, &TerrainSection::Command8_Click);
    connect(Command9, &QPushButton::clicked, this, &TerrainSection::Command9_Click);
}

bool TerrainSection::open() {
    selectFirst(List7, [this] { List7_Click(); });
    return !terrain_.isEmpty();
}

void TerrainSection::List7_Click() {
    const int row = List7->currentRow();
    if (row < 0 || !mayLeaveRow(List7))
        return;
    terrain_.clear();
    shown_.reset();
    auto record = readRecord(data::terrain, row, Command8);
    if (!record)
        return;
    terrain_ = *record;
    showRecord();
}

void TerrainSection::showRecord() {
    const TerrainForm form = TerrainForm::show(terrain_);
    for (int k = 0; k < TerrainForm::boxes; ++k)
        Text19[k]->setText(form.values[k]);
    shown_ = formFromControls();
}

void TerrainSection::Command9_Click() {
    List7_Click();
}

TerrainForm TerrainSection::formFromControls() const {
    TerrainForm form;
    for (int k = 0; k < TerrainForm::boxes; ++k)
        form.values[k] = Text19[k]->text();
    return form;
}

bool TerrainSection::Command8_Click() {
    if (!saveRecord(data::terrain, List7->currentRow(), formFromControls(), terrain_))
        return false;
    // The boxes show what was stored.
    showRecord();
    return true;
}

void TerrainSection::reshow() {
    forgetShown();
    List7_Click();
}

} // namespace lcj::data
