#include "spoilsframe.h"

#include "common/ui/controls.h"
#include "common/ui/keyboard.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

namespace lcj::scenario {

namespace {

const char16_t* const spoilsCaptions[3] = {u"第一战利品", u"第二战利品", u"第三战利品"};

} // namespace

SpoilsFrame::SpoilsFrame(FrameHost& host, ScenarioDocument& doc)
    : ScenarioFrame(host, doc, QStringLiteral("Frame7"), QStringLiteral("战利品")) {
    List6 = namedList(QStringLiteral("List6"), 70);
    List5 = namedList(QStringLiteral("List5"), 110);
    auto* grid = new QGridLayout;
    Text15 = addLabelledBox(grid, 0, 0, QStringLiteral("Text15"), QStringLiteral("第一战利品"));
    Text16 = addLabelledBox(grid, 1, 0, QStringLiteral("Text16"), QStringLiteral("第二战利品"));
    Text17 = addLabelledBox(grid, 2, 0, QStringLiteral("Text17"), QStringLiteral("第三战利品"));
    Command7 = makeButton(this, QStringLiteral("Command7"), QStringLiteral("确定"));
    grid->addWidget(Command7, 3, 1);
    grid->setRowStretch(4, 1);
    auto* row = new QHBoxLayout(this);
    row->addLayout(captioned(QStringLiteral("条件"), List6));
    row->addLayout(captioned(QStringLiteral("战利品"), List5));
    row->addLayout(grid);

    connect(Command7, &QPushButton::clicked, this, &SpoilsFrame::confirm);
    Command7->setEnabled(false);
}

QList<QLineEdit*> SpoilsFrame::itemBoxes() const {
    return {Text15, Text16, Text17};
}

void SpoilsFrame::addKeys() {
    pressOnEnter(itemBoxes(), Command7);
}

void SpoilsFrame::showSpoilsNames(int index) {
    List5->clear();
    const QByteArray instruction = doc_.spoilsInstruction(index);
    for (int i = 0; i < 3; ++i) {
        const int item = spoilsItem(instruction, i);
        List5->addItem(item < 0 ? noneName() : host_.itemName(item));
    }
}

void SpoilsFrame::select() {
    const int k = List6->currentRow();
    if (k < 0 || k >= doc_.spoilsCount())
        return;
    Command7->setEnabled(true);
    showSpoilsNames(k);
    const SpoilsForm form = SpoilsForm::show(doc_.spoilsInstruction(k));
    showText(Text15, form.items[0]);
    showText(Text16, form.items[1]);
    showText(Text17, form.items[2]);
    shown_.take(shownRow(), values());
}

bool SpoilsFrame::confirm() {
    const int k = List6->currentRow();
    const SpoilsForm form{{Text15->text(), Text16->text(), Text17->text()}};
    if (auto failure = doc_.applySpoils(k, form); !failure.ok()) {
        host_.say(failure.error());
        return false;
    }
    host_.edited(QStringLiteral("修改 战利品 %1").arg(k + 1));
    select();
    return true;
}

void SpoilsFrame::showDocument() {
    for (QListWidget* l : {List5, List6}) {
        const QSignalBlocker blocker(l);
        l->clear();
    }
    const QSignalBlocker blocker(List6);
    for (int k = 0; k < doc_.spoilsCount(); ++k)
        List6->addItem(QStringLiteral("战利品"));
}

void SpoilsFrame::showStored() {
    const int row = List6->currentRow();
    showDocument();
    if (selectAgain(List6, row))
        select();
}

void SpoilsFrame::refreshTips() {
    for (int k = 0; k < List6->count() && k < doc_.spoilsCount(); ++k) {
        const QByteArray instruction = doc_.spoilsInstruction(k);
        const SpoilsForm form = SpoilsForm::show(instruction);
        QStringList lines;
        for (int i = 0; i < 3; ++i) {
            const int item = spoilsItem(instruction, i);
            lines << QStringLiteral("%1：%2").arg(
                QString::fromUtf16(spoilsCaptions[i]),
                item < 0 ? QStringLiteral("无") : form.items[i] + u' ' + host_.itemName(item));
        }
        List6->item(k)->setToolTip(lines.join(u'\n'));
    }
}

int SpoilsFrame::shownRow() const {
    return selectedRow(List6, doc_.spoilsCount());
}

QStringList SpoilsFrame::values() const {
    return controlValues({Text15, Text16, Text17});
}

bool SpoilsFrame::holdsEdits() const {
    return shown_.edited(shownRow(), values());
}

} // namespace lcj::scenario
