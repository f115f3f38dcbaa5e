// What the scenario editor adds for a day of modding: names beside number
// boxes, numbered and filtered reference lists, and keys for every frame.
#include "armyframe.h"
#include "battleframe.h"
#include "common/ui/listfilter.h"
#include "common/ui/namebeside.h"
#include "common/ui/numbergutter.h"
#include "equipframe.h"
#include "junben.h"
#include "slotframe.h"
#include "spoilsframe.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>

namespace lcj::scenario {

namespace {

// A spoil box from this number up means none.
constexpr qint64 spoilsNone = 105;

} // namespace

QList<QLineEdit*> Junben::characterBoxes() const {
    return ally_->characterBoxes() + enemy_->characterBoxes() + battle_->characterBoxes() +
           equip_->characterBoxes() + army_->characterBoxes();
}

QList<QLineEdit*> Junben::itemBoxes() const {
    return spoils_->itemBoxes();
}

void Junben::addModdingHelps() {
    for (QListWidget* reference : {List1, List2}) {
        NumberGutter::install(reference);
        new ListFilter(reference);
    }
    for (QLineEdit* box : characterBoxes())
        new NameBeside(box, [this] { return characterNames(); });
    for (QLineEdit* box : itemBoxes())
        new NameBeside(
            box, [this] { return itemNames(); }, spoilsNone);

    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        auto* box = qobject_cast<QLineEdit*>(now);
        if (box && (characterBoxes().contains(box) || itemBoxes().contains(box)))
            lastNumberBox_ = box;
    });
    connect(List1, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { takeNumber(characterBoxes(), List1->row(item)); });
    connect(List2, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { takeNumber(itemBoxes(), List2->row(item)); });

    battle_->addKeys();
    ally_->addKeys();
    enemy_->addKeys();
    army_->addKeys();
    spoils_->addKeys();
    equip_->addKeys();
}

void Junben::refreshTips() {
    for (ScenarioFrame* frame :
         std::initializer_list<ScenarioFrame*>{spoils_, army_, ally_, enemy_})
        frame->refreshTips();
}

void Junben::takeNumber(const QList<QLineEdit*>& boxes, int number) {
    QLineEdit* box = lastNumberBox_;
    if (!box || !boxes.contains(box) || !box->isEnabled())
        return;
    box->setText(QString::number(number));
    box->setFocus();
}

} // namespace lcj::scenario
