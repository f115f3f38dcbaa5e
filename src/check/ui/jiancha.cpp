#include "jiancha.h"

#include "common/ui/controls.h"
#include "common/ui/plainheader.h"

#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace lcj::check {

namespace {

enum Role { PathRole = Qt::UserRole, PartRole, RowRole };

} // namespace

Jiancha::Jiancha(Prompts& prompts, QWidget* parent) : EditorWindow(prompts, parent) {
    setObjectName(QStringLiteral("Jiancha"));
    setCaption(QStringLiteral("检查游戏目录"));
    problems_ = named(new QTreeWidget, QStringLiteral("problems"));
    PlainHeader::install(problems_);
    problems_->setHeaderLabels(
        {QStringLiteral("文件"), QStringLiteral("位置"), QStringLiteral("问题")});
    problems_->setRootIsDecorated(false);
    problems_->setUniformRowHeights(true);
    problems_->setAlternatingRowColors(true);
    problems_->header()->setStretchLastSection(true);
    problems_->setColumnWidth(0, 110);
    problems_->setColumnWidth(1, 190);
    recheck_ = named(new QPushButton(QStringLiteral("重新检查")), QStringLiteral("recheck"));
    recheck_->setEnabled(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(recheck_);
    auto* layout = qobject_cast<QVBoxLayout*>(this->layout());
    layout->addWidget(problems_, 1);
    layout->addLayout(buttons);
    resize(760, 420);

    connect(recheck_, &QPushButton::clicked, this, &Jiancha::recheck_Click);
    // A double click and Enter both activate an item.
    connect(problems_, &QTreeWidget::itemActivated, this, &Jiancha::choose);
    showStatus(QStringLiteral("还没有检查游戏目录"));
}

void Jiancha::checkFolder(const QString& folder) {
    folder_ = folder;
    recheck_->setEnabled(!folder.isEmpty());
    problems_->clear();
    found_.clear();
    const auto checked = check::checkFolder(folder);
    if (!checked) {
        showStatus(QStringLiteral("无法检查：") + checked.error());
        return;
    }
    found_ = *checked;
    QList<QTreeWidgetItem*> items;
    items.reserve(found_.size());
    for (const Problem& p : std::as_const(found_)) {
        auto* item = new QTreeWidgetItem({p.file, p.place, p.message});
        item->setData(0, PathRole, p.path);
        item->setData(0, PartRole, p.part);
        item->setData(0, RowRole, p.row);
        item->setToolTip(2, p.message);
        items.append(item);
    }
    problems_->addTopLevelItems(items);
    const QString where = QDir::toNativeSeparators(folder);
    showStatus(found_.isEmpty()
                   ? QStringLiteral("%1：没有发现问题").arg(where)
                   : QStringLiteral("%1：共发现%2处问题").arg(where).arg(found_.size()));
}

void Jiancha::recheck_Click() {
    if (!folder_.isEmpty())
        checkFolder(folder_);
}

void Jiancha::choose(QTreeWidgetItem* item) {
    if (!item)
        return;
    emit placeChosen(item->data(0, PathRole).toString(), item->data(0, PartRole).toInt(),
                     item->data(0, RowRole).toInt());
}

} // namespace lcj::check
