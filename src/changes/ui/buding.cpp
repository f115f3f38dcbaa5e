#include "buding.h"

#include "common/gui/appicon.h"
#include "common/ui/controls.h"
#include "patchcontrols.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace lcj {

namespace patch = changes::patch;

Buding::Buding(Prompts& prompts, QWidget* parent) : EditorWindow(prompts, parent) {
    setObjectName(QStringLiteral("Buding"));
    setWindowTitle(QStringLiteral("补丁"));
    setWindowIcon(icons::patchIcon());
    auto* layout = qobject_cast<QVBoxLayout*>(this->layout());

    auto* grid = new QGridLayout;
    budingPath = readOnlyBox(QStringLiteral("budingPath"));
    gameFolder = readOnlyBox(QStringLiteral("gameFolder"));
    grid->addWidget(new QLabel(QStringLiteral("补丁文件")), 0, 0);
    grid->addWidget(budingPath, 0, 1);
    QPushButton* open = makeButton(this, QStringLiteral("openPatch"), QStringLiteral("打开补丁…"));
    grid->addWidget(open, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("游戏文件夹")), 1, 0);
    grid->addWidget(gameFolder, 1, 1);
    QPushButton* choose =
        makeButton(this, QStringLiteral("chooseGame"), QStringLiteral("选择游戏文件夹…"));
    grid->addWidget(choose, 1, 2);
    layout->addLayout(grid);

    budingInfo = named(new QLabel, QStringLiteral("budingInfo"));
    budingInfo->setWordWrap(true);
    layout->addWidget(budingInfo);

    auto* changes = named(new QGroupBox(QStringLiteral("补丁的修改")), QStringLiteral("Frame1"));
    changeList = named(new QListWidget, QStringLiteral("changeList"));
    (new QVBoxLayout(changes))->addWidget(changeList);
    layout->addWidget(changes, 2);

    auto* conflicts =
        named(new QGroupBox(QStringLiteral("与游戏文件的冲突")), QStringLiteral("Frame2"));
    conflictList = named(new QListWidget, QStringLiteral("conflictList"));
    (new QVBoxLayout(conflicts))->addWidget(conflictList);
    layout->addWidget(conflicts, 1);

    auto* row = new QHBoxLayout;
    refuse = named(new QRadioButton(QStringLiteral("有冲突时不写入")), QStringLiteral("refuse"));
    keepMine = named(new QRadioButton(QStringLiteral("保留现有的值")), QStringLiteral("keepMine"));
    takeTheirs =
        named(new QRadioButton(QStringLiteral("采用补丁的值")), QStringLiteral("takeTheirs"));
    refuse->setChecked(true);
    row->addWidget(refuse);
    row->addWidget(keepMine);
    row->addWidget(takeTheirs);
    row->addStretch();
    applyPatch = makeButton(this, QStringLiteral("applyPatch"), QStringLiteral("应用补丁"));
    revertPatch = makeButton(this, QStringLiteral("revertPatch"), QStringLiteral("撤销补丁"));
    row->addWidget(applyPatch);
    row->addWidget(revertPatch);
    layout->addLayout(row);
    applyPatch->setEnabled(false);
    revertPatch->setEnabled(false);

    connect(open, &QPushButton::clicked, this, &Buding::openPatch_Click);
    connect(choose, &QPushButton::clicked, this, &Buding::chooseGame_Click);
    connect(applyPatch, &QPushButton::clicked, this, &Buding::applyPatch_Click);
    connect(revertPatch, &QPushButton::clicked, this, &Buding::revertPatch_Click);
}

void Buding::openPatch_Click() {
    const QString path = prompts().chooseOpenFile(this, QStringLiteral("打开补丁"),
                                                  QStringLiteral("补丁 (*.lcjpatch);;所有文件 (*)"),
                                                  Prompts::editorFolder());
    if (!path.isEmpty())
        readPatch(path);
}

bool Buding::openPath(const QString& path) {
    return readPatch(path);
}

void Buding::useGameData(const QString& dataPath) {
    if (dataPath.isEmpty())
        return;
    gameFolder->setText(QFileInfo(dataPath).absolutePath());
    showConflicts();
}

bool Buding::readPatch(const QString& path) {
    auto read = patch::readPatchFile(path);
    if (!read.ok()) {
        say(read.error());
        return false;
    }
    patch_ = std::move(*read);
    budingPath->setText(path);
    QStringList header;
    if (!patch_->name.isEmpty())
        header << QStringLiteral("补丁：%1").arg(patch_->name);
    if (!patch_->author.isEmpty())
        header << QStringLiteral("作者：%1").arg(patch_->author);
    if (!patch_->note.isEmpty())
        header << QStringLiteral("说明：%1").arg(patch_->note);
    budingInfo->setText(header.join(u'\n'));
    changeList->clear();
    QStringList lines = patch::describe(*patch_);
    lines.remove(0, header.size());
    changeList->addItems(lines);
    showConflicts();
    return true;
}

void Buding::chooseGame_Click() {
    const QString folder =
        chooseGameFolder(prompts(), this, QStringLiteral("选择游戏文件夹里的任意一个游戏文件"));
    if (folder.isEmpty())
        return;
    gameFolder->setText(folder);
    showConflicts();
}

patch::Settle Buding::settle() const {
    if (keepMine->isChecked())
        return patch::Settle::KeepMine;
    if (takeTheirs->isChecked())
        return patch::Settle::TakeTheirs;
    return patch::Settle::Refuse;
}

void Buding::showConflicts() {
    conflictList->clear();
    const bool ready = patch_ && !gameFolder->text().isEmpty();
    applyPatch->setEnabled(ready);
    revertPatch->setEnabled(ready);
    if (!ready)
        return;
    const auto check =
        patch::applyPatch(*patch_, gameFolder->text(), false, patch::Settle::Refuse, true);
    if (!check.ok()) {
        conflictList->addItem(check.error());
        return;
    }
    if (check->conflicts.isEmpty())
        conflictList->addItem(QStringLiteral("没有冲突"));
    conflictList->addItems(check->conflicts);
}

void Buding::run(bool reverse) {
    if (!patch_ || gameFolder->text().isEmpty())
        return;
    const auto outcome = patch::applyPatch(*patch_, gameFolder->text(), reverse, settle(), false);
    if (!outcome.ok()) {
        say(outcome.error());
    } else if (!outcome->conflicts.isEmpty() && settle() == patch::Settle::Refuse) {
        say(QStringLiteral("有%1处冲突，没有写入任何文件。\n%2")
                .arg(outcome->conflicts.size())
                .arg(outcome->conflicts.join(u'\n')));
    } else if (outcome->written) {
        say(reverse ? QStringLiteral("补丁已撤销。") : QStringLiteral("补丁已用上。"));
    } else {
        say(QStringLiteral("文件已是补丁要求的样子，没有写入。"));
    }
    showConflicts();
}

} // namespace lcj
