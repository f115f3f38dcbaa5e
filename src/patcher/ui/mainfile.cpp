#include "mainfile.h"

#include "common/nametables.h"
#include "common/ui/choicebinding.h"
#include "common/ui/controls.h"
#include "common/ui/listfilter.h"
#include "common/ui/numbergutter.h"
#include "common/ui/regionwindow.h"
#include "common/ui/unsavededits.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace lcj::exe {

namespace {

const QString unsavedQuestion = QStringLiteral("程序文件的修改还没有保存到文件。要保存吗？");

QStringList figureEntries(const QStringList& characters) {
    QStringList entries;
    for (int n = 0; n < ordinaryFigure; ++n)
        entries << figureEntryText(characters.value(n));
    entries << QStringLiteral("普通人物形象");
    return entries;
}

} // namespace

MainFile::MainFile(Prompts& prompts, QWidget* parent) : EditorWindow(prompts, parent) {
    setObjectName(QStringLiteral("MainFile"));
    setWindowTitle(QStringLiteral("程序文件修改"));

    const FileMenu file =
        addFileMenu(menuBar(), this, this->prompts(), QStringLiteral("mainopen"),
                    names::gameNamesInto([this](const names::GameNames& n) { takeNames(n); }));
    connect(file.open, &QAction::triggered, this, &MainFile::mainopen_Click);
    connect(file.exit, &QAction::triggered, this, &MainFile::exit_Click);

    List1 = named(new QListWidget, QStringLiteral("List1"));
    List1->addItems(names::characters());
    List1->setMinimumWidth(120);
    auto* people = new QVBoxLayout;
    people->addWidget(new QLabel(QStringLiteral("人物列表")));
    people->addWidget(List1, 1);

    Combo1 = named(new QComboBox, QStringLiteral("Combo1"));
    Combo1->addItems(figureEntries(names::characters()));
    Picture1 = named(new QLabel, QStringLiteral("Picture1"));
    Picture1->setFixedSize(96, 112);
    Picture1->setAlignment(Qt::AlignCenter);
    auto* picture = new QGroupBox(QStringLiteral("图示"));
    auto* pictureLayout = new QVBoxLayout(picture);
    pictureLayout->addWidget(Picture1, 0, Qt::AlignCenter);
    Check1 = named(new QCheckBox(switchCaption()), QStringLiteral("Check1"));
    Command1 = makeButton(this, QStringLiteral("Command1"), QStringLiteral("确定"));
    Command2 = makeButton(this, QStringLiteral("Command2"), QStringLiteral("保存"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);

    auto* fields = new QVBoxLayout;
    fields->addWidget(new QLabel(figureCaption()));
    fields->addWidget(Combo1);
    fields->addWidget(picture);
    fields->addWidget(Check1);
    fields->addStretch();
    fields->addLayout(buttons);

    auto* row = new QHBoxLayout;
    row->addLayout(people);
    row->addLayout(fields, 1);
    static_cast<QBoxLayout*>(layout())->addLayout(row);

    NumberGutter::install(List1);
    new ListFilter(List1);
    setSaveKey([this] { Command2->click(); });

    connect(List1, &QListWidget::currentRowChanged, this, [this] { List1_Click(); });
    connect(Combo1, &QComboBox::currentIndexChanged, this, [this] { Combo1_Click(); });
    connect(Command1, &QPushButton::clicked, this, &MainFile::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &MainFile::Command2_Click);

    Form_Load();
}

void MainFile::Form_Load() {
    Picture1->clear();
}

void MainFile::mainopen_Click() {
    if (!mayDropFile())
        return;
    // A cancelled dialog or a failed read leaves the window holding what it
    // held: the regions of the file it last read, and that file's name.
    if (!openRegions(this, prompts(), file_.regions(),
                     QStringLiteral("岚川记主程序文件 (Lcj5.exe);;所有文件 (*)")))
        return;
    saved_.take(file_.regions());
    showSwitch();
    shownRow_ = -1;
    {
        const QSignalBlocker blocker(List1);
        List1->setCurrentRow(0);
    }
    List1_Click();
}

void MainFile::List1_Click() {
    if (!file_.loaded() || List1->currentRow() < 0)
        return;
    // Another character replaces only the figure: the switch keeps what was
    // set in it, and is asked about when it would be lost.
    if (!settleEditsBeforeRow(List1, shownRow_, prompts(), this, unconfirmedQuestion(),
                              file_.loaded() && shownRow_ >= 0 &&
                                  chosenValue(Combo1, figureCount) != shownFigure_,
                              [this] { return Command1_Click(); }))
        return;
    {
        const QSignalBlocker blocker(Combo1);
        showChoice(Combo1, figureCount, file_.figure(List1->currentRow()));
    }
    const bool firstShown = shownRow_ < 0;
    const Qt::CheckState switchShown = shownSwitch_;
    takeShown();
    if (!firstShown)
        shownSwitch_ = switchShown;
    Combo1_Click();
}

void MainFile::takeShown() {
    shownRow_ = List1->currentRow();
    shownFigure_ = chosenValue(Combo1, figureCount);
    shownSwitch_ = Check1->checkState();
}

bool MainFile::unconfirmed() const {
    return file_.loaded() && shownRow_ >= 0 &&
           (chosenValue(Combo1, figureCount) != shownFigure_ ||
            Check1->checkState() != shownSwitch_);
}

bool MainFile::mayDropFile() {
    return settleRegionEdits(
        prompts(), this, unsavedQuestion, [this] { return unconfirmed(); },
        saved_.differ(file_.regions()), [this] { return Command1_Click(); },
        [this] { return Command2_Click(); });
}

bool MainFile::mayClose() {
    return mayDropFile();
}

void MainFile::Combo1_Click() {
    const QString path = previewPath(Prompts::editorFolder(), chosenValue(Combo1, figureCount));
    Picture1->clear();
    if (path.isEmpty())
        return;
    const QPixmap pixmap(path);
    if (pixmap.isNull()) {
        // A missing picture only leaves the preview without one.
        Picture1->setText(QStringLiteral("（无图）"));
        return;
    }
    Picture1->setPixmap(
        pixmap.scaled(Picture1->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

bool MainFile::Command1_Click() {
    if (!file_.loaded())
        return false;
    if (auto failure = file_.confirm(List1->currentRow(), chosenValue(Combo1, figureCount),
                                     Check1->checkState())) {
        say(*failure);
        return false;
    }
    showSwitch();
    takeShown();
    return true;
}

void MainFile::showSwitch() {
    // Bytes that are neither the on nor the off pattern show partly checked,
    // never as "off" over bytes that are not off.
    const Qt::CheckState state = file_.switchState();
    Check1->setTristate(state == Qt::PartiallyChecked);
    Check1->setCheckState(state);
    Check1->setToolTip(state == Qt::PartiallyChecked
                           ? QStringLiteral("存储值既非开启也非关闭，确定时保持原样")
                           : QString());
}

bool MainFile::Command2_Click() {
    if (!file_.loaded() ||
        !saveRegions(this, prompts(), file_.regions(), QStringLiteral("主程序文件")))
        return false;
    saved_.take(file_.regions());
    return true;
}

void MainFile::takeNames(const names::GameNames& names) {
    renameRows(List1, names.characters);
    renameRows(Combo1, figureEntries(names.characters).mid(0, ordinaryFigure));
}

void MainFile::exit_Click() {
    closeByExitCommand();
}

} // namespace lcj::exe
