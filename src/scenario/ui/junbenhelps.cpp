// What the scenario editor adds for a day of modding: names beside number
// boxes, numbered and filtered reference lists, and keys for every frame.
#include "common/ui/keyboard.h"
#include "common/ui/listfilter.h"
#include "common/ui/namebeside.h"
#include "common/ui/numbergutter.h"
#include "junben.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace lcj::scenario {

namespace {

// A spoil box from this number up means none.
constexpr qint64 spoilsNone = 105;

} // namespace

QList<QLineEdit*> Junben::characterBoxes() const {
    QList<QLineEdit*> boxes{ally_.character, ally_.follow, enemy_.character, enemy_.follow, Text5,
                            Text6,           Text21};
    for (QLineEdit* box : limitBoxes_)
        boxes << box;
    return boxes;
}

QList<QLineEdit*> Junben::itemBoxes() const {
    return {Text15, Text16, Text17};
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

    pressOnEnter({Text3, Text4, Text5, Text6}, Command6);
    for (SlotFrame* f : {&ally_, &enemy_})
        pressOnEnter({f->character, f->levelBonus, f->x, f->y, f->facing, f->tendency, f->follow,
                      f->runX, f->runY},
                     f->confirm);
    pressOnEnter({Text28, Text29, Text30}, Command1);
    QList<QLineEdit*> limits{Text31};
    for (QLineEdit* box : limitBoxes_)
        limits << box;
    pressOnEnter(limits, Command2);
    pressOnEnter(itemBoxes(), Command7);
    pressOnEnter({Text21}, Command9);
    setSaveKey([this] {
        if (ssave->isEnabled())
            ssave_Click();
    });
}

void Junben::takeNumber(const QList<QLineEdit*>& boxes, int number) {
    QLineEdit* box = lastNumberBox_;
    if (!box || !boxes.contains(box) || !box->isEnabled())
        return;
    box->setText(QString::number(number));
    box->setFocus();
}

} // namespace lcj::scenario
