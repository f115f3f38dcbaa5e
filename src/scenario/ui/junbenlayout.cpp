// The frames of the scenario editor window, as the window design lays them out.
#include "armyframe.h"
#include "battleframe.h"
#include "common/ui/controls.h"
#include "equipframe.h"
#include "junben.h"
#include "slotframe.h"
#include "spoilsframe.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

namespace lcj::scenario {

QGroupBox* Junben::buildNamesFrame() {
    auto* box =
        named(new QGroupBox(QStringLiteral("Data文件人物、物品名参考")), QStringLiteral("Frame1"));
    Label10 = namedLabel(QStringLiteral("Label10"), QStringLiteral("人物列表"));
    Label9 = namedLabel(QStringLiteral("Label9"), QStringLiteral("物品列表"));
    List1 = namedList(QStringLiteral("List1"), 150);
    List2 = namedList(QStringLiteral("List2"), 150);
    auto* grid = new QGridLayout(box);
    grid->addWidget(Label10, 0, 0);
    grid->addWidget(List1, 1, 0);
    grid->addWidget(Label9, 2, 0);
    grid->addWidget(List2, 3, 0);
    return box;
}

QGroupBox* Junben::buildNoteFrame() {
    auto* box = named(new QGroupBox(QStringLiteral("行动趋向说明")), QStringLiteral("Frame5"));
    auto* column = new QVBoxLayout(box);
    column->addWidget(namedLabel(QStringLiteral("Label48"),
                                 QStringLiteral("00 若一回合内能攻击，则移动，否则原地不动")));
    column->addWidget(namedLabel(QStringLiteral("Label49"), QStringLiteral("01 出击   02 坚守")));
    column->addWidget(
        namedLabel(QStringLiteral("Label50"), QStringLiteral("03 跟随   04 奔向某坐标")));
    column->addStretch();
    return box;
}

void Junben::buildLayout() {
    auto* grid = new QGridLayout;
    grid->addWidget(buildNamesFrame(), 0, 0, 3, 1);
    grid->addWidget(battle_ = new BattleFrame(*this, doc_), 0, 1);
    grid->addWidget(army_ = new ArmyFrame(*this, doc_), 0, 2, 1, 2);
    grid->addWidget(ally_ = new SlotFrame(*this, doc_, Side::Ally, SlotFrame::allyNames), 1, 1);
    grid->addWidget(enemy_ = new SlotFrame(*this, doc_, Side::Enemy, SlotFrame::enemyNames), 1, 2);
    grid->addWidget(buildNoteFrame(), 1, 3);
    grid->addWidget(spoils_ = new SpoilsFrame(*this, doc_), 2, 1);
    grid->addWidget(equip_ = new EquipFrame(*this, doc_), 2, 2, 1, 2);
    static_cast<QBoxLayout*>(layout())->addLayout(grid);
    editParts_ = {battle_, army_, ally_, enemy_, spoils_, equip_, &army_->limits()};
}

} // namespace lcj::scenario
