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
    // The file and the place as wide as their texts, the problem in the rest of the width.
    problems_->header()->setStretchLastSection(true);
    problems_->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    problems_->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    recheck_ = named(new QPushButton(QStringLiteral("重新检查")), QStringLiteral("recheck"));
    recheck_->setEnabled(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(recheck_);
    auto* layout = qobject_cast<QVBoxLayout*>(this->layout());
    layout->addWidget(problems_, 1);
    layout->addLayout(buttons);

    connect(recheck_, &QPushButton::clicked, this, &Jiancha::recheck_Click);
    // A double click and Enter both activate an item.
    connect(problems_, &QTreeWidget::itemActivated, this, &Jiancha::choose);
    showStatus(QStringLiteral("还没有检查游戏目录"));
}

QSize Jiancha::sizeHint() const {
    // Room for a file, its place and a problem of some forty characters on one line.
    const QFontMetrics metrics = fontMetrics();
    return EditorWindow::sizeHint().expandedTo(
        QSize(metrics.horizontalAdvance(QStringLiteral("问")) * 64, metrics.height() * 24));
}

void Jiancha::checkFolder(const QString& folder) {
    folder_ = folder;
    recheck_->setEnabled(!folder.isEmpty());
    problems_->clear();
    found_.clear();
    const auto checked = check::checkFolder(folder);
    if (!checked.ok()) {
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

void Jiancha::entryChosen() {
    if (!gameFolder().isEmpty())
        checkFolder(gameFolder());
}

bool Jiancha::reopenIn(const QString& folder) {
    if (folder_.isEmpty() || folder.isEmpty())
        return true;
    // The problems found belong to the folder before; the new one is checked when asked.
    folder_ = folder;
    problems_->clear();
    found_.clear();
    recheck_->setEnabled(true);
    showStatus(
        QStringLiteral("游戏目录已换为%1，按“重新检查”检查").arg(QDir::toNativeSeparators(folder)));
    return true;
}

void Jiancha::choose(QTreeWidgetItem* item) {
    if (!item)
        return;
    const QString path = item->data(0, PathRole).toString();
    // A problem of the folder itself (a stopped write) has no file to open.
    if (path.isEmpty())
        return;
    const int part = item->data(0, PartRole).toInt(), row = item->data(0, RowRole).toInt();
    emit placeChosen(path, part, row);
    emit placeRequested(path, part, row);
}

} // namespace lcj::check
