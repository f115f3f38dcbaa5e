// The frames of the scenario editor window, as the window design lays them out.
#include "armyframe.h"
#include "battleframe.h"
#include "common/ui/controls.h"
#include "equipframe.h"
#include "framearea.h"
#include "junben.h"
#include "slotframe.h"
#include "spoilsframe.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
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
    // The reference lists stay at the left; the frames scroll beside them, inside the editor,
    // so that the menu bar above stays in view and the editor fits a laptop's screen. The
    // battle map and the list of changes dock at the right (junbenpanels.cpp).
    auto* central = new QWidget;
    central->setObjectName(QStringLiteral("junbenCentral"));
    auto* row = new QHBoxLayout(central);
    row->setContentsMargins(0, 0, 0, 0);
    // The names are short: the lists take little more than they need, the frames the rest.
    QGroupBox* names = buildNamesFrame();
    names->setMaximumWidth(names->minimumSizeHint().width() + 40);
    row->addWidget(names);
    battle_ = new BattleFrame(*this, doc_);
    army_ = new ArmyFrame(*this, doc_);
    ally_ = new SlotFrame(*this, doc_, Side::Ally, SlotFrame::allyNames);
    enemy_ = new SlotFrame(*this, doc_, Side::Enemy, SlotFrame::enemyNames);
    frameArea_ = new FrameArea({battle_, army_, ally_, enemy_, buildNoteFrame(),
                                spoils_ = new SpoilsFrame(*this, doc_),
                                equip_ = new EquipFrame(*this, doc_)});
    row->addWidget(frameArea_, 1);

    body_ = new QMainWindow;
    body_->setObjectName(QStringLiteral("junbenBody"));
    body_->setCentralWidget(central);
    body_->setDockOptions(QMainWindow::AnimatedDocks);
    // What the panels' docks would offer on a right click is in the menu "查看".
    body_->setContextMenuPolicy(Qt::NoContextMenu);
    auto* column = static_cast<QBoxLayout*>(layout());
    column->setContentsMargins(4, 0, 4, 4);
    column->addWidget(body_, 1);
    editParts_ = {battle_, army_, ally_, enemy_, spoils_, equip_, &army_->limits()};
}

} // namespace lcj::scenario
