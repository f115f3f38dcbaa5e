#include "slotframe.h"

#include "common/numbernames.h"
#include "common/ui/controls.h"
#include "common/ui/keyboard.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

namespace lcj::scenario {

namespace {

QString s(const char16_t* text) {
    return QString::fromUtf16(text);
}

} // namespace

const SlotFrame::Names SlotFrame::allyNames{
    u"Frame3",   u"友军出场", u"List3",
    u"Text9",    u"Text7",    u"友军等级加成",
    u"Text1",    u"Text2",    u"Text8",
    u"Text18",   u"Text22",   u"Text23",
    u"Text24",   u"Option6",  u"Option5",
    u"Command4", u"Label13",  u"注： 向上=0 向右=1 向下=2 向左=3"};
const SlotFrame::Names SlotFrame::enemyNames{
    u"Frame4",   u"敌军出场", u"List4",
    u"Text14",   u"Text12",   u"敌军等级加成",
    u"Text10",   u"Text11",   u"Text13",
    u"Text19",   u"Text25",   u"Text26",
    u"Text27",   u"Option1",  u"Option2",
    u"Command5", u"Label17",  u"注：    向上=0   向右=1    向下=2    向左=3"};

SlotFrame::SlotFrame(FrameHost& host, ScenarioDocument& doc, Side side, const Names& n)
    : ScenarioFrame(host, doc, s(n.frameName), s(n.caption)), side_(side) {
    list_ = namedList(s(n.list), 110);
    auto* grid = new QGridLayout;
    character_ = addLabelledBox(grid, 0, 0, s(n.character), QStringLiteral("人物编号"));
    levelBonus_ = addLabelledBox(grid, 1, 0, s(n.levelBonus), s(n.levelBonusCaption));
    x_ = addLabelledBox(grid, 2, 0, s(n.x), QStringLiteral("横坐标"));
    y_ = addLabelledBox(grid, 3, 0, s(n.y), QStringLiteral("纵坐标"));
    facing_ = addLabelledBox(grid, 4, 0, s(n.facing), QStringLiteral("朝向"));
    tendency_ = addLabelledBox(grid, 0, 2, s(n.tendency), QStringLiteral("行动趋向"));
    follow_ = addLabelledBox(grid, 1, 2, s(n.follow), QStringLiteral("跟随武将"));
    runX_ = addLabelledBox(grid, 2, 2, s(n.runX), QStringLiteral("奔向横坐标"));
    runY_ = addLabelledBox(grid, 3, 2, s(n.runY), QStringLiteral("奔向纵坐标"));
    initial_ = namedOption(s(n.initial), QStringLiteral("初始登场"));
    story_ = namedOption(s(n.story), QStringLiteral("剧情控制"));
    options_ = new QButtonGroup(this);
    options_->addButton(initial_);
    options_->addButton(story_);
    grid->addWidget(initial_, 4, 2);
    grid->addWidget(story_, 4, 3);
    grid->addWidget(namedLabel(s(n.note), s(n.noteText)), 5, 0, 1, 4);
    confirm_ = makeButton(this, s(n.confirm), QStringLiteral("确定"));
    grid->addWidget(confirm_, 6, 3);
    grid->setRowStretch(7, 1);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    auto* row = new QHBoxLayout(this);
    row->addWidget(list_);
    row->addLayout(grid, 1);

    connect(confirm_, &QPushButton::clicked, this, &SlotFrame::confirm);
    confirm_->setEnabled(false);
    initial_->setEnabled(false);
    story_->setEnabled(false);
}

QList<QLineEdit*> SlotFrame::characterBoxes() const {
    return {character_, follow_};
}

void SlotFrame::addKeys() {
    pressOnEnter({character_, levelBonus_, x_, y_, facing_, tendency_, follow_, runX_, runY_},
                 confirm_);
}

void SlotFrame::select() {
    const int k = list_->currentRow();
    if (k < 0 || !doc_.scan().hasBattleHeader)
        return;
    confirm_->setEnabled(true);
    initial_->setEnabled(true);
    story_->setEnabled(true);
    const SlotForm form = doc_.showSlot(side_, k);
    showText(x_, form.x);
    showText(y_, form.y);
    showText(character_, form.character);
    host_.selectPerson(form.personRow);
    showText(facing_, form.facing);
    showText(levelBonus_, form.levelBonus);
    showText(follow_, form.follow);
    showText(runX_, form.runX);
    showText(runY_, form.runY);
    showText(tendency_, form.tendency);
    showOptions(options_, initial_, story_, form.appearance, keptAppearance_);
    shown_.take(shownRow(), values());
}

bool SlotFrame::confirm() {
    SlotForm form;
    form.character = character_->text();
    form.levelBonus = levelBonus_->text();
    form.x = x_->text();
    form.y = y_->text();
    form.facing = facing_->text();
    form.tendency = tendency_->text();
    form.follow = follow_->text();
    form.runX = runX_->text();
    form.runY = runY_->text();
    form.appearance = chosenOptions(initial_, story_, keptAppearance_);
    const int k = list_->currentRow();
    const auto result = doc_.applySlot(side_, k, form);
    if (!result.ok()) {
        host_.say(result.error());
        return false;
    }
    host_.edited(QStringLiteral("修改 %1 %2")
                     .arg(side_ == Side::Ally ? QStringLiteral("友军") : QStringLiteral("敌军"))
                     .arg(k + 1));
    // A character number that names nobody empties the slot.
    list_->item(k)->setText(*result >= 0 ? host_.personName(*result) : noneName());
    select();
    return true;
}

int SlotFrame::shownRow() const {
    return doc_.scan().hasBattleHeader ? selectedRow(list_, list_->count()) : -1;
}

QStringList SlotFrame::values() const {
    return controlValues({character_, levelBonus_, x_, y_, facing_, tendency_, follow_, runX_,
                          runY_, initial_, story_});
}

bool SlotFrame::holdsEdits() const {
    return shown_.edited(shownRow(), values());
}

void SlotFrame::showDocument() {
    const QSignalBlocker blocker(list_);
    list_->clear();
    if (!doc_.scan().hasBattleHeader)
        return;
    for (int k = 0; k < ScenarioDocument::slotCount(side_); ++k) {
        const quint16 n = doc_.slotCharacter(side_, k);
        list_->addItem(n == 0xFFFF ? noneName() : host_.personName(n));
    }
}

void SlotFrame::showStored() {
    const int row = list_->currentRow();
    showDocument();
    if (selectAgain(list_, row))
        select();
}

void SlotFrame::enableForDocument() {
    if (doc_.scan().hasBattleHeader)
        return;
    for (QWidget* w : std::initializer_list<QWidget*>{confirm_, initial_, story_})
        w->setEnabled(false);
}

void SlotFrame::refreshTips() {
    if (!doc_.scan().hasBattleHeader)
        return;
    for (int k = 0; k < list_->count() && k < ScenarioDocument::slotCount(side_); ++k) {
        const SlotForm form = doc_.showSlot(side_, k);
        const QString name =
            names::nameForNumber(host_.characterNames(), form.character, names::noneWord);
        list_->item(k)->setToolTip(QStringLiteral("人物：%1 %2\n坐标：(%3, %4)\n等级加成：%5")
                                       .arg(form.character, name, form.x, form.y, form.levelBonus));
    }
}

} // namespace lcj::scenario
