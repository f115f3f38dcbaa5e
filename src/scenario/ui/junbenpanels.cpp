// The panels of the scenario editor docked beside its frames: the battle map
// and the list of changes, and what they ask of the editor.
#include "armyframe.h"
#include "battleframe.h"
#include "battlemap.h"
#include "changes/scenariochanges.h"
#include "changespanel.h"
#include "common/ui/controls.h"
#include "equipframe.h"
#include "framearea.h"
#include "junben.h"
#include "slotframe.h"
#include "spoilsframe.h"

#include <QAction>
#include <QDockWidget>
#include <QLayout>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <algorithm>

namespace lcj::scenario {

void Junben::buildPanelMenu() {
    QMenu* view = named(menuBar()->addMenu(QStringLiteral("查看")), QStringLiteral("view"));
    battlemap = named(view->addAction(QStringLiteral("战场地图")), QStringLiteral("battlemap"));
    changelist = named(view->addAction(QStringLiteral("修改清单")), QStringLiteral("changelist"));
    history_.addHistoryEntry(view, this);
    connect(battlemap, &QAction::triggered, this, &Junben::battlemap_Click);
    connect(changelist, &QAction::triggered, this, &Junben::changelist_Click);
    for (UnitKind kind : {UnitKind::Army, UnitKind::Ally, UnitKind::Enemy})
        connect(unitList(kind), &QListWidget::currentRowChanged, this,
                [this, kind](int row) { emit unitSelected(kind, row); });
}

QListWidget* Junben::unitList(UnitKind kind) const {
    switch (kind) {
    case UnitKind::Army:
        return army_->list();
    case UnitKind::Ally:
        return ally_->list();
    case UnitKind::Enemy:
        break;
    }
    return enemy_->list();
}

QDockWidget* Junben::dockPanel(QWidget* panel, const QString& objectName) {
    auto* dock = named(new QDockWidget(panel->windowTitle()), objectName);
    // Docked inside the editor, never a window of its own over the frames.
    dock->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable);
    dock->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea |
                          Qt::BottomDockWidgetArea);
    dock->setWidget(panel);
    connect(panel, &QWidget::windowTitleChanged, dock, &QWidget::setWindowTitle);
    QDockWidget* beside = battleMapDock_ ? battleMapDock_ : changesDock_;
    if (beside && body_->dockWidgetArea(beside) == Qt::RightDockWidgetArea && !beside->isHidden()) {
        // Below the panel already there, sharing its width.
        body_->splitDockWidget(beside, dock, Qt::Vertical);
        return dock;
    }
    body_->addDockWidget(Qt::RightDockWidgetArea, dock);
    // The frames keep the width of one column; the panel takes the rest.
    body_->centralWidget()->layout()->activate();
    const int names = body_->centralWidget()->width() - frameArea_->width();
    const int room = body_->width() - names - frameArea_->oneColumnWidth() - 8;
    body_->resizeDocks({dock}, {std::max(room, dock->minimumSizeHint().width())}, Qt::Horizontal);
    return dock;
}

void Junben::showPanel(QDockWidget* dock) {
    dock->show();
    dock->raise();
    dock->widget()->setFocus();
}

void Junben::battlemap_Click() {
    if (!battleMap_) {
        battleMap_ = new BattleMap(*this);
        battleMapDock_ = dockPanel(battleMap_, QStringLiteral("battlemapDock"));
    }
    showPanel(battleMapDock_);
    // The first time, and whenever this scenario's folder has no map yet, ask for one.
    if (battleMap_->mapPath().isEmpty())
        battleMap_->mapopen_Click();
}

void Junben::changelist_Click() {
    if (!changesPanel_) {
        changesPanel_ = new ChangesPanel(*this);
        changesDock_ = dockPanel(changesPanel_, QStringLiteral("changelistDock"));
    }
    showPanel(changesDock_);
}

void Junben::selectRow(QListWidget* list, int row) {
    if (row < 0 || row >= list->count())
        return;
    if (list->currentRow() == row) {
        // Shown afresh, as a click on the selected item does.
        emit list->itemClicked(list->item(row));
    } else {
        list->setCurrentRow(row);
    }
    list->scrollToItem(list->item(row));
    // The frame of the list comes into view in the scrolling area.
    for (QWidget* frame = list; frame; frame = frame->parentWidget())
        if (dynamic_cast<ScenarioFrame*>(frame)) {
            frameArea_->bringIntoView(frame);
            break;
        }
}

void Junben::selectUnit(UnitKind kind, int index) {
    selectRow(unitList(kind), index);
}

int Junben::selectedUnit(UnitKind kind) const {
    return unitList(kind)->currentRow();
}

bool Junben::moveUnit(UnitKind kind, int index, QPoint cell) {
    if (index < 0 || index >= unitList(kind)->count())
        return false;
    selectUnit(kind, index);
    if (auto failure = scenario::moveUnit(doc_, kind, index, cell); !failure.ok()) {
        say(failure.error());
        return false;
    }
    edited(QStringLiteral("拖动 %1 %2").arg(kindName(kind)).arg(index + 1));
    // The frame shows the new coordinates.
    selectUnit(kind, index);
    return true;
}

void Junben::selectChange(const changes::Change& change) {
    using changes::Frame;
    QListWidget* list = nullptr;
    switch (change.frame) {
    case Frame::Army:
        list = army_->list();
        break;
    case Frame::Ally:
        list = ally_->list();
        break;
    case Frame::Enemy:
        list = enemy_->list();
        break;
    case Frame::Equipment:
        list = equip_->list();
        break;
    case Frame::Spoils:
        list = spoils_->list();
        break;
    case Frame::Battle:
        frameArea_->bringIntoView(battle_);
        battle_->focusValues();
        return;
    case Frame::Script:
        return;
    }
    if (change.entry < 0 || change.entry >= list->count())
        return;
    selectRow(list, change.entry);
    list->setFocus();
}

bool Junben::showPlace(int part, int row) {
    if (scenarioPath_.isEmpty())
        return false;
    if (part == 0) {
        battle_->focusValues();
        return true;
    }
    QListWidget* const lists[] = {ally_->list(), enemy_->list(), army_->list(), equip_->list(),
                                  spoils_->list()};
    if (part < 1 || part > 5)
        return false;
    QListWidget* list = lists[part - 1];
    if (row < 0 || row >= list->count())
        return false;
    // As a choice in the map or the change list: its frame comes into view too.
    selectRow(list, row);
    list->setFocus();
    return list->currentRow() == row;
}

} // namespace lcj::scenario
