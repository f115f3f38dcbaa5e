// The frames of the scenario editor window, as the window design lays them out.
#include "common/ui/controls.h"
#include "junben.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace lcj::scenario {

namespace {

QGroupBox* frame(const QString& objectName, const QString& caption) {
    return named(new QGroupBox(caption), objectName);
}

QListWidget* list(const QString& objectName, int width) {
    auto* l = named(new QListWidget, objectName);
    l->setMinimumWidth(width);
    return l;
}

QLabel* label(const QString& objectName, const QString& caption) {
    return named(new QLabel(caption), objectName);
}

QRadioButton* option(const QString& objectName, const QString& caption) {
    return named(new QRadioButton(caption), objectName);
}

// A list with a caption above it.
QVBoxLayout* captioned(const QString& caption, QListWidget* l) {
    auto* column = new QVBoxLayout;
    column->addWidget(new QLabel(caption));
    column->addWidget(l);
    return column;
}

} // namespace

struct Junben::SlotNames {
    const char16_t* frameName;
    const char16_t* caption;
    const char16_t* list;
    const char16_t* character;
    const char16_t* levelBonus;
    const char16_t* levelBonusCaption;
    const char16_t* x;
    const char16_t* y;
    const char16_t* facing;
    const char16_t* tendency;
    const char16_t* follow;
    const char16_t* runX;
    const char16_t* runY;
    const char16_t* initial;
    const char16_t* story;
    const char16_t* confirm;
    const char16_t* note;
    const char16_t* noteText;
};

namespace {

QString s(const char16_t* text) {
    return QString::fromUtf16(text);
}

} // namespace

QGroupBox* Junben::buildNamesFrame() {
    auto* box = frame(QStringLiteral("Frame1"), QStringLiteral("Data文件人物、物品名参考"));
    Label10 = label(QStringLiteral("Label10"), QStringLiteral("人物列表"));
    Label9 = label(QStringLiteral("Label9"), QStringLiteral("物品列表"));
    List1 = list(QStringLiteral("List1"), 150);
    List2 = list(QStringLiteral("List2"), 150);
    auto* grid = new QGridLayout(box);
    grid->addWidget(Label10, 0, 0);
    grid->addWidget(List1, 1, 0);
    grid->addWidget(Label9, 2, 0);
    grid->addWidget(List2, 3, 0);
    return box;
}

QGroupBox* Junben::buildBattleFrame() {
    auto* box = frame(QStringLiteral("Frame2"), QStringLiteral("战役全局变量控制"));
    auto* grid = new QGridLayout(box);
    Text3 = addLabelledBox(grid, 0, 0, QStringLiteral("Text3"), QStringLiteral("全局敌兵等级加成"));
    jiacheng = named(new QScrollBar(Qt::Vertical), QStringLiteral("jiacheng"));
    jiacheng->setRange(-10, 14);
    // The upper arrow raises the bonus.
    jiacheng->setInvertedAppearance(true);
    jiacheng->setInvertedControls(true);
    jiacheng->setFixedHeight(Text3->sizeHint().height() + 8);
    grid->addWidget(jiacheng, 0, 2);
    Text4 = addLabelledBox(grid, 1, 0, QStringLiteral("Text4"), QStringLiteral("回合数"));
    Label5 = label(QStringLiteral("Label5"),
                   QStringLiteral("击退某武将以达到胜利目的       武将编号(双击这里)"));
    Label6 = label(QStringLiteral("Label6"),
                   QStringLiteral("某武将撤退而导致战斗失败       武将编号(双击这里)"));
    for (QLabel* l : {Label5, Label6}) {
        l->setToolTip(QStringLiteral("绑定人物列表"));
        l->installEventFilter(this);
    }
    Text5 = named(new QLineEdit, QStringLiteral("Text5"));
    Text6 = named(new QLineEdit, QStringLiteral("Text6"));
    grid->addWidget(Label5, 2, 0, 1, 3);
    grid->addWidget(Text5, 3, 0, 1, 2);
    grid->addWidget(Label6, 4, 0, 1, 3);
    grid->addWidget(Text6, 5, 0, 1, 2);
    Command6 = makeButton(box, QStringLiteral("Command6"), QStringLiteral("确定"));
    grid->addWidget(Command6, 6, 1);
    grid->setRowStretch(7, 1);
    return box;
}

QGroupBox* Junben::buildSlotFrame(SlotFrame& f, const SlotNames& n) {
    auto* box = frame(s(n.frameName), s(n.caption));
    f.list = list(s(n.list), 110);
    auto* grid = new QGridLayout;
    f.character = addLabelledBox(grid, 0, 0, s(n.character), QStringLiteral("人物编号"));
    f.levelBonus = addLabelledBox(grid, 1, 0, s(n.levelBonus), s(n.levelBonusCaption));
    f.x = addLabelledBox(grid, 2, 0, s(n.x), QStringLiteral("横坐标"));
    f.y = addLabelledBox(grid, 3, 0, s(n.y), QStringLiteral("纵坐标"));
    f.facing = addLabelledBox(grid, 4, 0, s(n.facing), QStringLiteral("朝向"));
    f.tendency = addLabelledBox(grid, 0, 2, s(n.tendency), QStringLiteral("行动趋向"));
    f.follow = addLabelledBox(grid, 1, 2, s(n.follow), QStringLiteral("跟随武将"));
    f.runX = addLabelledBox(grid, 2, 2, s(n.runX), QStringLiteral("奔向横坐标"));
    f.runY = addLabelledBox(grid, 3, 2, s(n.runY), QStringLiteral("奔向纵坐标"));
    f.initial = option(s(n.initial), QStringLiteral("初始登场"));
    f.story = option(s(n.story), QStringLiteral("剧情控制"));
    f.options = new QButtonGroup(box);
    f.options->addButton(f.initial);
    f.options->addButton(f.story);
    grid->addWidget(f.initial, 4, 2);
    grid->addWidget(f.story, 4, 3);
    grid->addWidget(label(s(n.note), s(n.noteText)), 5, 0, 1, 4);
    f.confirm = makeButton(box, s(n.confirm), QStringLiteral("确定"));
    grid->addWidget(f.confirm, 6, 3);
    grid->setRowStretch(7, 1);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    auto* row = new QHBoxLayout(box);
    row->addWidget(f.list);
    row->addLayout(grid, 1);
    return box;
}

QGroupBox* Junben::buildNoteFrame() {
    auto* box = frame(QStringLiteral("Frame5"), QStringLiteral("行动趋向说明"));
    auto* column = new QVBoxLayout(box);
    column->addWidget(label(QStringLiteral("Label48"),
                            QStringLiteral("00 若一回合内能攻击，则移动，否则原地不动")));
    column->addWidget(label(QStringLiteral("Label49"), QStringLiteral("01 出击   02 坚守")));
    column->addWidget(label(QStringLiteral("Label50"), QStringLiteral("03 跟随   04 奔向某坐标")));
    column->addStretch();
    return box;
}

QGroupBox* Junben::buildArmyFrame() {
    auto* box = frame(QStringLiteral("Frame6"), QStringLiteral("我军出场人数及出场位置设定"));
    List8 = list(QStringLiteral("List8"), 50);
    List8->setMaximumWidth(90);
    auto* grid = new QGridLayout;
    Text28 = addLabelledBox(grid, 0, 0, QStringLiteral("Text28"), QStringLiteral("横坐标"));
    Text29 = addLabelledBox(grid, 1, 0, QStringLiteral("Text29"), QStringLiteral("纵坐标"));
    Text30 = addLabelledBox(grid, 2, 0, QStringLiteral("Text30"), QStringLiteral("朝向"));
    Option4 = option(QStringLiteral("Option4"), QStringLiteral("初始登场"));
    Option3 = option(QStringLiteral("Option3"), QStringLiteral("剧情控制"));
    armyOptions_ = new QButtonGroup(box);
    armyOptions_->addButton(Option4);
    armyOptions_->addButton(Option3);
    grid->addWidget(Option4, 3, 0);
    grid->addWidget(Option3, 3, 1);
    Command1 = makeButton(box, QStringLiteral("Command1"), QStringLiteral("人物坐标确定"));
    Command3 = makeButton(box, QStringLiteral("Command3"), QStringLiteral("追加出场人物坐标"));
    grid->addWidget(Command1, 4, 0, 1, 2);
    grid->addWidget(Command3, 5, 0, 1, 2);
    grid->addWidget(label(QStringLiteral("Label47"), QStringLiteral("最大出场人数15人")), 6, 0, 1,
                    2);

    Check1 = named(new QCheckBox(QStringLiteral("出场人物数修改")), QStringLiteral("Check1"));
    auto* limits = new QGridLayout;
    limits->addWidget(Check1, 0, 0, 1, 2);
    Text31 = addLabelledBox(limits, 1, 0, QStringLiteral("Text31"), QStringLiteral("本关出场人数"));
    limits->addWidget(new QLabel(QStringLiteral("强制出场人员")), 2, 0);
    limits->addWidget(new QLabel(QStringLiteral("限制出场人员")), 2, 1);
    for (int k = 0; k < 10; ++k) {
        limitBoxes_[k] = named(new QLineEdit, QStringLiteral("Text%1").arg(32 + k));
        limits->addWidget(limitBoxes_[k], 3 + k % 5, k / 5);
    }
    Command2 = makeButton(box, QStringLiteral("Command2"), QStringLiteral("R文件保存"));
    limits->addWidget(Command2, 8, 1);

    auto* row = new QHBoxLayout(box);
    row->addWidget(List8);
    row->addLayout(grid);
    row->addLayout(limits);
    return box;
}

QGroupBox* Junben::buildSpoilsFrame() {
    auto* box = frame(QStringLiteral("Frame7"), QStringLiteral("战利品"));
    List6 = list(QStringLiteral("List6"), 70);
    List5 = list(QStringLiteral("List5"), 110);
    auto* grid = new QGridLayout;
    Text15 = addLabelledBox(grid, 0, 0, QStringLiteral("Text15"), QStringLiteral("第一战利品"));
    Text16 = addLabelledBox(grid, 1, 0, QStringLiteral("Text16"), QStringLiteral("第二战利品"));
    Text17 = addLabelledBox(grid, 2, 0, QStringLiteral("Text17"), QStringLiteral("第三战利品"));
    Command7 = makeButton(box, QStringLiteral("Command7"), QStringLiteral("确定"));
    grid->addWidget(Command7, 3, 1);
    grid->setRowStretch(4, 1);
    auto* row = new QHBoxLayout(box);
    row->addLayout(captioned(QStringLiteral("条件"), List6));
    row->addLayout(captioned(QStringLiteral("战利品"), List5));
    row->addLayout(grid);
    return box;
}

QGroupBox* Junben::buildEquipFrame() {
    auto* box = frame(QStringLiteral("Frame8"), QStringLiteral("个人装备设定"));
    List9 = list(QStringLiteral("List9"), 110);
    auto* grid = new QGridLayout;
    Text21 = addLabelledBox(grid, 0, 0, QStringLiteral("Text21"), QStringLiteral("人物编号"));
    Combo1 = addLabelledCombo(grid, 1, 0, QStringLiteral("Combo1"), QStringLiteral("武具"));
    Combo2 = addLabelledCombo(grid, 2, 0, QStringLiteral("Combo2"), QStringLiteral("防具"));
    Combo3 = addLabelledCombo(grid, 3, 0, QStringLiteral("Combo3"), QStringLiteral("辅助装备"));
    Command9 = makeButton(box, QStringLiteral("Command9"), QStringLiteral("确定"));
    grid->addWidget(Command9, 4, 1);
    grid->setRowStretch(5, 1);
    auto* row = new QHBoxLayout(box);
    row->addLayout(captioned(QStringLiteral("人物"), List9));
    row->addLayout(grid);
    return box;
}

void Junben::buildLayout() {
    static const SlotNames allyNames{u"Frame3",   u"友军出场", u"List3",
                                     u"Text9",    u"Text7",    u"友军等级加成",
                                     u"Text1",    u"Text2",    u"Text8",
                                     u"Text18",   u"Text22",   u"Text23",
                                     u"Text24",   u"Option6",  u"Option5",
                                     u"Command4", u"Label13",  u"注： 向上=0 向右=1 向下=2 向左=3"};
    static const SlotNames enemyNames{
        u"Frame4",   u"敌军出场", u"List4",
        u"Text14",   u"Text12",   u"敌军等级加成",
        u"Text10",   u"Text11",   u"Text13",
        u"Text19",   u"Text25",   u"Text26",
        u"Text27",   u"Option1",  u"Option2",
        u"Command5", u"Label17",  u"注：    向上=0   向右=1    向下=2    向左=3"};

    auto* grid = new QGridLayout;
    grid->addWidget(buildNamesFrame(), 0, 0, 3, 1);
    grid->addWidget(buildBattleFrame(), 0, 1);
    grid->addWidget(buildArmyFrame(), 0, 2, 1, 2);
    grid->addWidget(buildSlotFrame(ally_, allyNames), 1, 1);
    grid->addWidget(buildSlotFrame(enemy_, enemyNames), 1, 2);
    grid->addWidget(buildNoteFrame(), 1, 3);
    grid->addWidget(buildSpoilsFrame(), 2, 1);
    grid->addWidget(buildEquipFrame(), 2, 2, 1, 2);
    static_cast<QBoxLayout*>(layout())->addLayout(grid);
}

} // namespace lcj::scenario
