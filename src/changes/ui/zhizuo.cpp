#include "zhizuo.h"

#include "common/fileaccess.h"
#include "common/gui/appicon.h"
#include "common/ui/controls.h"
#include "patchcontrols.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace lcj {

namespace patch = changes::patch;

Zhizuo::Zhizuo(Prompts& prompts, QWidget* parent) : EditorWindow(prompts, parent) {
    setObjectName(QStringLiteral("Zhizuo"));
    setWindowTitle(QStringLiteral("制作补丁"));
    setWindowIcon(icons::patchIcon());
    auto* layout = qobject_cast<QVBoxLayout*>(this->layout());
    auto* grid = new QGridLayout;
    originalFolder = readOnlyBox(QStringLiteral("originalFolder"));
    moddedFolder = readOnlyBox(QStringLiteral("moddedFolder"));
    grid->addWidget(new QLabel(QStringLiteral("原版文件夹")), 0, 0);
    grid->addWidget(originalFolder, 0, 1);
    QPushButton* chooseOriginal =
        makeButton(this, QStringLiteral("chooseOriginal"), QStringLiteral("选择…"));
    grid->addWidget(chooseOriginal, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("修改版文件夹")), 1, 0);
    grid->addWidget(moddedFolder, 1, 1);
    QPushButton* chooseModded =
        makeButton(this, QStringLiteral("chooseModded"), QStringLiteral("选择…"));
    grid->addWidget(chooseModded, 1, 2);
    budingName = addLabelledBox(grid, 2, 0, QStringLiteral("budingName"), QStringLiteral("名称"));
    budingAuthor =
        addLabelledBox(grid, 3, 0, QStringLiteral("budingAuthor"), QStringLiteral("作者"));
    budingNote = addLabelledBox(grid, 4, 0, QStringLiteral("budingNote"), QStringLiteral("说明"));
    layout->addLayout(grid);
    changeList = named(new QListWidget, QStringLiteral("changeList"));
    layout->addWidget(changeList, 1);
    savePatch = makeButton(this, QStringLiteral("savePatch"), QStringLiteral("保存补丁…"));
    savePatch->setEnabled(false);
    layout->addWidget(savePatch, 0, Qt::AlignRight);

    connect(chooseOriginal, &QPushButton::clicked, this, &Zhizuo::chooseOriginal_Click);
    connect(chooseModded, &QPushButton::clicked, this, &Zhizuo::chooseModded_Click);
    connect(savePatch, &QPushButton::clicked, this, &Zhizuo::savePatch_Click);
}

void Zhizuo::chooseOriginal_Click() {
    const QString folder =
        chooseGameFolder(prompts(), this, QStringLiteral("选择原版游戏文件夹里的任意一个游戏文件"));
    if (folder.isEmpty())
        return;
    originalFolder->setText(folder);
    compare();
}

void Zhizuo::chooseModded_Click() {
    const QString folder = chooseGameFolder(
        prompts(), this, QStringLiteral("选择修改版游戏文件夹里的任意一个游戏文件"));
    if (folder.isEmpty())
        return;
    moddedFolder->setText(folder);
    compare();
}

void Zhizuo::compare() {
    changeList->clear();
    patch_.reset();
    savePatch->setEnabled(false);
    if (originalFolder->text().isEmpty() || moddedFolder->text().isEmpty())
        return;
    if (originalFolder->text() == moddedFolder->text()) {
        changeList->addItem(QStringLiteral("两个文件夹是同一个"));
        return;
    }
    QStringList warnings;
    auto made = patch::makePatch(originalFolder->text(), moddedFolder->text(), warnings);
    if (!made.ok()) {
        changeList->addItem(made.error());
        return;
    }
    changeList->addItems(patch::describe(*made));
    for (const QString& w : warnings)
        changeList->addItem(QStringLiteral("注意：") + w);
    if (made->files.isEmpty()) {
        changeList->addItem(QStringLiteral("两边的游戏文件没有编辑器能看到的不同"));
        return;
    }
    patch_ = std::move(*made);
    savePatch->setEnabled(true);
}

void Zhizuo::savePatch_Click() {
    if (!patch_)
        return;
    const QString path =
        prompts().chooseSaveFile(this, QStringLiteral("保存补丁"),
                                 QStringLiteral("补丁 (*.lcjpatch)"), Prompts::editorFolder());
    if (path.isEmpty())
        return;
    patch::Patch p = *patch_;
    p.name = budingName->text();
    p.author = budingAuthor->text();
    p.note = budingNote->text();
    if (auto failure = files::writeWhole(path, patch::toJson(p)); !failure.ok()) {
        say(QStringLiteral("写入补丁出错：") + failure.error());
        return;
    }
    say(QStringLiteral("补丁已保存。"));
}

} // namespace lcj
