#include "armyframe.h"

#include "common/ui/controls.h"
#include "common/ui/keyboard.h"
#include "common/ui/savelock.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

namespace lcj::scenario {

ArmyFrame::ArmyFrame(FrameHost& host, ScenarioDocument& doc)
    : ScenarioFrame(host, doc, QStringLiteral("Frame6"),
                    QStringLiteral("我军出场人数及出场位置设定")) {
    List8 = namedList(QStringLiteral("List8"), 50);
    List8->setMaximumWidth(90);
    auto* grid = new QGridLayout;
    Text28 = addLabelledBox(grid, 0, 0, QStringLiteral("Text28"), QStringLiteral("横坐标"));
    Text29 = addLabelledBox(grid, 1, 0, QStringLiteral("Text29"), QStringLiteral("纵坐标"));
    Text30 = addLabelledBox(grid, 2, 0, QStringLiteral("Text30"), QStringLiteral("朝向"));
    Option4 = namedOption(QStringLiteral("Option4"), QStringLiteral("初始登场"));
    Option3 = namedOption(QStringLiteral("Option3"), QStringLiteral("剧情控制"));
    armyOptions_ = new QButtonGroup(this);
    armyOptions_->addButton(Option4);
    armyOptions_->addButton(Option3);
    grid->addWidget(Option4, 3, 0);
    grid->addWidget(Option3, 3, 1);
    Command1 = makeButton(this, QStringLiteral("Command1"), QStringLiteral("人物坐标确定"));
    Command3 = makeButton(this, QStringLiteral("Command3"), QStringLiteral("追加出场人物坐标"));
    grid->addWidget(Command1, 4, 0, 1, 2);
    grid->addWidget(Command3, 5, 0, 1, 2);
    grid->addWidget(namedLabel(QStringLiteral("Label47"), QStringLiteral("最大出场人数15人")), 6, 0,
                    1, 2);

    Check1 = named(new QCheckBox(QStringLiteral("出场人物数修改")), QStringLiteral("Check1"));
    auto* limits = new QGridLayout;
    limits->addWidget(Check1, 0, 0);
    Text31 = addLabelledBox(limits, 1, 0, QStringLiteral("Text31"),
                            fieldCaption(&RLimitsForm::deployCount));
    limits->addWidget(new QLabel(RLimitsForm::forcedCaption()), 2, 0);
    limits->addWidget(new QLabel(RLimitsForm::restrictedCaption()), 2, 1);
    for (int k = 0; k < 10; ++k) {
        limitBoxes_[k] = named(new QLineEdit, QStringLiteral("Text%1").arg(32 + k));
        limits->addWidget(limitBoxes_[k], 3 + k % 5, k / 5);
    }
    // Beside the check box that opens the R file, so that the frame stays low.
    Command2 = makeButton(this, QStringLiteral("Command2"), QStringLiteral("R文件保存"));
    limits->addWidget(Command2, 0, 1);

    auto* row = new QHBoxLayout(this);
    row->addWidget(List8);
    row->addLayout(grid);
    row->addLayout(limits);

    connect(Command1, &QPushButton::clicked, this, &ArmyFrame::confirm);
    connect(Command2, &QPushButton::clicked, this, &ArmyFrame::saveLimits);
    connect(Command3, &QPushButton::clicked, this, &ArmyFrame::appendEntry);
    connect(Check1, &QCheckBox::clicked, this, &ArmyFrame::rFileTicked);
    for (QWidget* w :
         std::initializer_list<QWidget*>{Command1, Command2, Command3, Check1, Option3, Option4})
        w->setEnabled(false);
}

QList<QLineEdit*> ArmyFrame::characterBoxes() const {
    return QList<QLineEdit*>(std::begin(limitBoxes_), std::end(limitBoxes_));
}

QList<QLineEdit*> ArmyFrame::limitBoxes() const {
    return QList<QLineEdit*>{Text31} + characterBoxes();
}

void ArmyFrame::addKeys() {
    pressOnEnter({Text28, Text29, Text30}, Command1);
    QList<QLineEdit*> limits{Text31};
    for (QLineEdit* box : limitBoxes_)
        limits << box;
    pressOnEnter(limits, Command2);
}

// ---- army entries

void ArmyFrame::select() {
    const int row = List8->currentRow();
    if (row < 0 || row >= doc_.armyEntryCount())
        return;
    Command1->setEnabled(true);
    Option3->setEnabled(true);
    Option4->setEnabled(true);
    const ArmyEntryForm form = ArmyEntryForm::show(doc_.armyEntry(row));
    showText(Text28, form.x);
    showText(Text29, form.y);
    showText(Text30, form.facing);
    showOptions(armyOptions_, Option4, Option3, form.appearance, keptAppearance_);
    shown_.take(shownRow(), values());
}

bool ArmyFrame::confirm() {
    const ArmyEntryForm form{Text28->text(), Text29->text(), Text30->text(),
                             chosenOptions(Option4, Option3, keptAppearance_)};
    // With no entry selected nothing is addressed and nothing written.
    if (auto failure = doc_.applyArmyEntry(List8->currentRow(), form); !failure.ok()) {
        host_.say(failure.error());
        return false;
    }
    host_.edited(QStringLiteral("修改 我军出场人物 %1").arg(List8->currentRow() + 1));
    // The boxes show what is stored now ("254" where "254.5" was typed).
    select();
    return true;
}

void ArmyFrame::appendEntry() {
    if (!doc_.appendArmyEntry()) {
        Command3->setEnabled(false);
        return;
    }
    List8->addItem(QString::number(doc_.armyEntryCount()));
    host_.edited(QStringLiteral("添加 我军出场人物 %1").arg(doc_.armyEntryCount()));
}

void ArmyFrame::showDocument() {
    const QSignalBlocker blocker(List8);
    List8->clear();
    for (int k = 1; k <= doc_.armyEntryCount(); ++k)
        List8->addItem(QString::number(k));
    Command3->setEnabled(doc_.canAppendArmyEntry());
}

void ArmyFrame::showStored() {
    const int row = List8->currentRow();
    showDocument();
    if (selectAgain(List8, row)) {
        select();
        return;
    }
    // The entry selected is gone (its appending was undone): nothing is shown for it.
    for (QLineEdit* box : {Text28, Text29, Text30})
        box->clear();
    for (QWidget* w : std::initializer_list<QWidget*>{Command1, Option3, Option4})
        w->setEnabled(false);
    shown_.take(shownRow(), values());
}

void ArmyFrame::enableForDocument() {
    if (doc_.scan().hasBattleHeader)
        return;
    for (QWidget* w : std::initializer_list<QWidget*>{Command1, Command3, Option3, Option4})
        w->setEnabled(false);
}

void ArmyFrame::refreshTips() {
    for (int k = 0; k < List8->count() && k < doc_.armyEntryCount(); ++k) {
        const ArmyEntryForm form = ArmyEntryForm::show(doc_.armyEntry(k));
        List8->item(k)->setToolTip(
            QStringLiteral("横坐标：%1\n纵坐标：%2\n朝向：%3").arg(form.x, form.y, form.facing));
    }
}

int ArmyFrame::shownRow() const {
    return selectedRow(List8, doc_.armyEntryCount());
}

QStringList ArmyFrame::values() const {
    return controlValues({Text28, Text29, Text30, Option4, Option3});
}

bool ArmyFrame::holdsEdits() const {
    return shown_.edited(shownRow(), values());
}

// ---- the R file's deployment limits

void ArmyFrame::clearLimitBoxes() {
    Text31->clear();
    for (QLineEdit* box : limitBoxes_)
        box->clear();
}

void ArmyFrame::rFileTicked() {
    if (!Check1->isChecked()) {
        clearLimitBoxes();
        Command2->setEnabled(false);
        rFile_.reset();
        limits_.shown_.take(limitsRow(), limitValues());
        return;
    }
    const auto path = RFile::pathFor(host_.scenarioPath());
    auto file = path.ok() ? RFile::read(*path) : Result<RFile>::failure(path.error());
    if (!file.ok()) {
        host_.say(file.error());
        return;
    }
    rFile_ = std::move(*file);
    showLimits();
    Command2->setEnabled(true);
}

Failure ArmyFrame::reloadRFile() {
    if (!rFile_)
        return {};
    auto file = RFile::read(rFile_->rFilePath());
    if (!file.ok())
        return file.error();
    rFile_ = std::move(*file);
    showLimits();
    return {};
}

void ArmyFrame::takeRFile() {
    Check1->setChecked(true);
    rFileTicked();
}

void ArmyFrame::dropRFile() {
    if (Check1->isChecked()) {
        Check1->setChecked(false);
        rFileTicked();
    }
}

void ArmyFrame::allowRFile() {
    Check1->setEnabled(true);
}

void ArmyFrame::showLimits() {
    const RLimitsForm form = rFile_->show();
    Text31->setText(form.deployCount);
    for (int k = 0; k < 5; ++k) {
        limitBoxes_[k]->setText(form.forced[k]);
        limitBoxes_[5 + k]->setText(form.restricted[k]);
    }
    limits_.shown_.take(limitsRow(), limitValues());
}

RLimitsForm ArmyFrame::typedLimits() const {
    RLimitsForm form;
    form.deployCount = Text31->text();
    for (int k = 0; k < 5; ++k) {
        form.forced[k] = limitBoxes_[k]->text();
        form.restricted[k] = limitBoxes_[5 + k]->text();
    }
    return form;
}

QByteArray ArmyFrame::rFileTyped() const {
    if (!rFile_)
        return {};
    auto typed = rFile_->bytesWith(typedLimits());
    return typed.ok() ? *typed : rFile_->rFileBytes();
}

bool ArmyFrame::adoptRFile(const QByteArray& bytes) {
    if (!rFile_)
        return false;
    auto taken = RFile::fromBytes(rFile_->rFilePath(), bytes);
    if (!taken.ok())
        return false;
    // Shown in the boxes as typed and not yet saved: R文件保存 writes them.
    const RLimitsForm form = taken->show();
    Text31->setText(form.deployCount);
    for (int k = 0; k < 5; ++k) {
        limitBoxes_[k]->setText(form.forced[k]);
        limitBoxes_[5 + k]->setText(form.restricted[k]);
    }
    return rFileTyped() == bytes;
}

bool ArmyFrame::saveLimits() {
    if (!rFile_) {
        host_.say(QStringLiteral("R文件中没有出场人数记录，无法保存"));
        return false;
    }
    const RLimitsForm form = typedLimits();
    // A merge with another program's change takes the boxes as stored; a refused box leaves
    // the editor's copy as read, and the save below says why.
    const MergeSource merge{fields::FileKind::RFile,
                            [this, &form] {
                                auto mine = rFile_->bytesWith(form);
                                return mine.ok() ? *mine : rFile_->rFileBytes();
                            },
                            [this](const QString&, const QString& status) {
                                if (auto failure = reloadRFile(); !failure.ok())
                                    host_.say(failure.error());
                                else
                                    host_.tell(status);
                            }};
    const auto gate = lockForSave(host_.questionParent(), host_.prompts(), rFile_->stamp(),
                                  rFile_->rFilePath(), QStringLiteral("R文件"), true, &merge);
    if (!gate.lock)
        return gate.merged;
    if (auto failure = rFile_->save(form); !failure.ok()) {
        host_.say(failure.error());
        return false;
    }
    showLimits();
    return true;
}

int ArmyFrame::limitsRow() const {
    return rFile_ ? 0 : -1;
}

QStringList ArmyFrame::limitValues() const {
    QList<const QWidget*> controls{Text31};
    for (const QLineEdit* box : limitBoxes_)
        controls.append(box);
    return controlValues(controls);
}

bool ArmyFrame::Limits::holdsEdits() const {
    return shown_.edited(frame_.limitsRow(), frame_.limitValues());
}

} // namespace lcj::scenario
