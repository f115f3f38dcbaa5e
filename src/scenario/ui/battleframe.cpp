#include "battleframe.h"

#include "common/ui/controls.h"
#include "common/ui/keyboard.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>

namespace lcj::scenario {

BattleFrame::BattleFrame(FrameHost& host, ScenarioDocument& doc)
    : ScenarioFrame(host, doc, QStringLiteral("Frame2"), QStringLiteral("战役全局变量控制")) {
    auto* grid = new QGridLayout(this);
    Text3 = addLabelledBox(grid, 0, 0, QStringLiteral("Text3"), QStringLiteral("全局敌兵等级加成"));
    jiacheng = named(new QScrollBar(Qt::Vertical), QStringLiteral("jiacheng"));
    jiacheng->setRange(-10, 14);
    // The upper arrow raises the bonus.
    jiacheng->setInvertedAppearance(true);
    jiacheng->setInvertedControls(true);
    jiacheng->setFixedHeight(Text3->sizeHint().height() + 8);
    grid->addWidget(jiacheng, 0, 2);
    Text4 = addLabelledBox(grid, 1, 0, QStringLiteral("Text4"), QStringLiteral("回合数"));
    Label5 = namedLabel(QStringLiteral("Label5"),
                        QStringLiteral("击退某武将以达到胜利目的       武将编号(双击这里)"));
    Label6 = namedLabel(QStringLiteral("Label6"),
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
    Command6 = makeButton(this, QStringLiteral("Command6"), QStringLiteral("确定"));
    grid->addWidget(Command6, 6, 1);
    grid->setRowStretch(7, 1);

    connect(Command6, &QPushButton::clicked, this, &BattleFrame::confirm);
    connect(jiacheng, &QScrollBar::valueChanged, this, &BattleFrame::scrolled);
    Command6->setEnabled(false);
}

QList<QLineEdit*> BattleFrame::characterBoxes() const {
    return {Text5, Text6};
}

void BattleFrame::focusValues() {
    Text4->setFocus();
}

void BattleFrame::addKeys() {
    pressOnEnter({Text3, Text4, Text5, Text6}, Command6);
}

bool BattleFrame::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (watched == Label5) {
            lookUpGeneral(Text5);
            return true;
        }
        if (watched == Label6) {
            lookUpGeneral(Text6);
            return true;
        }
    }
    return ScenarioFrame::eventFilter(watched, event);
}

void BattleFrame::scrolled() {
    Text3->setText(QString::number(jiacheng->value()));
}

void BattleFrame::lookUpGeneral(QLineEdit* box) {
    if (!host_.dataLoaded()) {
        host_.say(QStringLiteral("你还没有读入Data文件数据"));
        return;
    }
    const auto n = personRowFor(box == Text5 ? QStringLiteral("胜利条件武将编号")
                                             : QStringLiteral("失败条件武将编号"),
                                box->text());
    if (!n.ok()) {
        host_.say(n.error());
        return;
    }
    host_.selectPerson(*n);
}

bool BattleFrame::confirm() {
    const BattleForm form{Text3->text(), Text4->text(), Text5->text(), Text6->text(), 0};
    if (auto failure = doc_.applyBattle(form); !failure.ok()) {
        host_.say(failure.error());
        return false;
    }
    host_.edited(QStringLiteral("修改 战役"));
    showBattle();
    return true;
}

void BattleFrame::showDocument() {
    showBattle();
}

void BattleFrame::showStored() {
    showBattle();
}

void BattleFrame::showBattle() {
    if (!doc_.scan().hasBattleHeader) {
        // Values of a scenario loaded before are not shown as this one's.
        for (QLineEdit* box : {Text3, Text4, Text5, Text6})
            box->clear();
        shown_.take(shownRow(), values());
        return;
    }
    const BattleForm form = doc_.showBattle();
    {
        // A bonus the scroll bar cannot take is still shown in the box.
        const QSignalBlocker blocker(jiacheng);
        jiacheng->setValue(form.scrollValue);
    }
    showText(Text3, form.levelBonus);
    showText(Text4, form.turns);
    showText(Text5, form.victory);
    showText(Text6, form.defeat);
    shown_.take(shownRow(), values());
}

void BattleFrame::enableForDocument() {
    Command6->setEnabled(doc_.scan().hasBattleHeader);
}

int BattleFrame::shownRow() const {
    return doc_.scan().hasBattleHeader ? 0 : -1;
}

QStringList BattleFrame::values() const {
    return controlValues({Text3, Text4, Text5, Text6});
}

bool BattleFrame::holdsEdits() const {
    return shown_.edited(shownRow(), values());
}

} // namespace lcj::scenario
