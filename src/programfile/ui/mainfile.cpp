#include "mainfile.h"

#include "common/nametables.h"
#include "common/ui/choicebinding.h"
#include "common/ui/controls.h"
#include "common/ui/listfilter.h"
#include "common/ui/numbergutter.h"
#include "common/ui/regionwindow.h"
#include "common/ui/unsavededits.h"
#include "fields/ui/fieldtableview.h"
#include "fields/ui/tablecommands.h"

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

MainFile::MainFile(Prompts& prompts, QWidget* parent)
    : RegionWindow(
          prompts,
          {QStringLiteral("MainFile"), QStringLiteral("程序文件修改"), QStringLiteral("mainopen"),
           QStringLiteral("岚川记主程序文件 (Lcj5.exe);;所有文件 (*)"), QStringLiteral("处修改")},
          names::gameNamesInto([this](const names::GameNames& n) { takeNames(n); }), parent) {
    holdRegions(file_.regions(), onDisk_.regions(), history_);

    const EditMenus menus = addEditMenus();
    tableAction_ = menus.table;
    // 编辑 → 复制, 粘贴, 向下填充: the table's commands, while it is shown.
    fields::addTableCommands(menus.edit, tableAction_, [this] { return table_; });

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
    fields->addStretch();

    // The figures: the list and the figure of one, or the table of all.
    form_ = new QWidget;
    auto* figures = new QHBoxLayout(form_);
    figures->setContentsMargins(0, 0, 0, 0);
    figures->addLayout(people);
    figures->addLayout(fields, 1);
    tables_ = fields::exeTables(file_);
    diskTables_ = fields::exeTables(onDisk_);
    table_ = new fields::FieldTableView(
        *tables_[0],
        [this](const std::function<Failure()>& change,
               const std::function<QString()>& step) -> Failure {
            if (Failure failure = history_.run(change, step); !failure.ok())
                return failure;
            // The table changes figures only: the switch keeps what is set in it.
            showFigure();
            shownRow_ = List1->currentRow();
            shownFigure_ = chosenValue(Combo1, figureCount);
            table_->refresh();
            showTitle();
            return {};
        },
        this->prompts());
    table_->setObjectName(QStringLiteral("figureTable"));
    table_->setSaved(diskTables_[0].get());
    table_->hide();
    // Nothing to edit before a file is read.
    table_->setEnabled(false);
    connect(table_, &fields::FieldTableView::currentRowChanged, this, [this](int row) {
        if (row >= 0 && row != List1->currentRow())
            List1->setCurrentRow(row);
    });

    auto* side = new QVBoxLayout;
    side->addWidget(Check1);
    side->addStretch();
    auto* row = new QHBoxLayout;
    row->addWidget(form_, 1);
    row->addWidget(table_, 1);
    row->addLayout(side);
    auto* main = static_cast<QBoxLayout*>(layout());
    main->addLayout(row, 1);
    main->addLayout(buttons);

    NumberGutter::install(List1);
    new ListFilter(List1);

    connect(List1, &QListWidget::currentRowChanged, this, [this] { List1_Click(); });
    connect(Combo1, &QComboBox::currentIndexChanged, this, [this] { Combo1_Click(); });
    connect(Command1, &QPushButton::clicked, this, &MainFile::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &MainFile::Command2_Click);

    watchFile();
    Form_Load();
}

MainFile::~MainFile() {
    // The table reads the tables below, which go before the window's children.
    delete table_;
}

void MainFile::Form_Load() {
    Picture1->clear();
    showTitle();
}

void MainFile::fillForm() {
    table_->setEnabled(true);
    table_->setSaved(diskTables_[0].get());
    table_->refresh();
    showTitle();
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
        prompts(), this, unsavedQuestion, [this] { return unconfirmed(); }, unsaved(),
        [this] { return Command1_Click(); }, [this] { return Command2_Click(); });
}

void MainFile::pressSave() {
    Command2->click();
}

bool MainFile::saveDocument() {
    return (!unconfirmed() || Command1_Click()) && (!unsaved() || Command2_Click());
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
    const int row = List1->currentRow(), figure = chosenValue(Combo1, figureCount);
    const Qt::CheckState state = Check1->checkState();
    if (auto failure = history_.run([&] { return file_.confirm(row, figure, state); });
        !failure.ok()) {
        say(failure.error());
        return false;
    }
    showChanged();
    return true;
}

void MainFile::showFigure() {
    if (!file_.loaded() || List1->currentRow() < 0)
        return;
    {
        const QSignalBlocker blocker(Combo1);
        showChoice(Combo1, figureCount, file_.figure(List1->currentRow()));
    }
    Combo1_Click();
}

void MainFile::showChanged() {
    showSwitch();
    showFigure();
    takeShown();
    table_->setSaved(diskTables_[0].get());
    table_->refresh();
    showTitle();
}

void MainFile::showTitle() {
    showFileState(file_.regions().path(), unsaved());
}

void MainFile::showTable(bool on) {
    fields::showTableInstead(
        on, form_, table_, tableAction_, List1, std::max(0, List1->currentRow()), [this] {
            return settleEdits(prompts(), this, unconfirmedQuestion(),
                               file_.loaded() && shownRow_ >= 0 &&
                                   chosenValue(Combo1, figureCount) != shownFigure_,
                               [this] { return Command1_Click(); });
        });
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
    return saveRegionFile(fields::FileKind::Exe, QStringLiteral("主程序文件"),
                          fields::changedRows(tables_, diskTables_));
}

void MainFile::showSavedMarks() {
    table_->setSaved(diskTables_[0].get());
    table_->refresh();
    showTitle();
}

void MainFile::takeNames(const names::GameNames& names) {
    renameRows(List1, names.characters);
    renameRows(Combo1, figureEntries(names.characters).mid(0, ordinaryFigure));
}

bool MainFile::showPlace(int part, int row) {
    if (!file_.loaded())
        return false;
    if (part == 1) {
        Check1->setFocus();
        return true;
    }
    if (part != 0 || row < 0 || row >= List1->count())
        return false;
    List1->setCurrentRow(row);
    List1->scrollToItem(List1->item(row));
    return List1->currentRow() == row;
}

} // namespace lcj::exe
