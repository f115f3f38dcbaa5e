// What the scenario editor adds for a day of modding: names beside number
// boxes, numbered and filtered reference lists, and keys for every frame.
#include "common/numbernames.h"
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
const char16_t* const spoilsCaptions[3] = {u"第一战利品", u"第二战利品", u"第三战利品"};

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

void Junben::refreshTips() {
    for (int k = 0; k < List6->count() && k < doc_.spoilsCount(); ++k) {
        const QByteArray instruction = doc_.spoilsInstruction(k);
        const SpoilsForm form = SpoilsForm::show(instruction);
        QStringList lines;
        for (int i = 0; i < 3; ++i) {
            const int item = spoilsItem(instruction, i);
            lines << QStringLiteral("%1：%2").arg(QString::fromUtf16(spoilsCaptions[i]),
                                                  item < 0 ? QStringLiteral("无")
                                                           : form.items[i] + u' ' + itemName(item));
        }
        List6->item(k)->setToolTip(lines.join(u'\n'));
    }
    for (int k = 0; k < List8->count() && k < doc_.armyEntryCount(); ++k) {
        const ArmyEntryForm form = ArmyEntryForm::show(doc_.armyEntry(k));
        List8->item(k)->setToolTip(
            QStringLiteral("横坐标：%1\n纵坐标：%2\n朝向：%3").arg(form.x, form.y, form.facing));
    }
    if (!doc_.scan().hasBattleHeader)
        return;
    for (SlotFrame* f : {&ally_, &enemy_}) {
        for (int k = 0; k < f->list->count() && k < ScenarioDocument::slotCount(f->side); ++k) {
            const SlotForm form = doc_.showSlot(f->side, k);
            const QString name =
                names::nameForNumber(characterNames(), form.character, names::noneWord);
            f->list->item(k)->setToolTip(
                QStringLiteral("人物：%1 %2\n坐标：(%3, %4)\n等级加成：%5")
                    .arg(form.character, name, form.x, form.y, form.levelBonus));
        }
    }
}

void Junben::takeNumber(const QList<QLineEdit*>& boxes, int number) {
    QLineEdit* box = lastNumberBox_;
    if (!box || !boxes.contains(box) || !box->isEnabled())
        return;
    box->setText(QString::number(number));
    box->setFocus();
}

} // namespace lcj::scenario
