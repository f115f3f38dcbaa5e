#include "changespanel.h"

#include "common/ui/controls.h"
#include "junben.h"
#include "scenario/savebuilder.h"

#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

namespace lcj::scenario {

ChangesPanel::ChangesPanel(Junben& junben, QWidget* parent) : QWidget(parent), junben_(junben) {
    setObjectName(QStringLiteral("ChangesPanel"));
    setWindowTitle(QStringLiteral("修改清单"));
    changeCount = named(new QLabel, QStringLiteral("changeCount"));
    changeList = named(new QListWidget, QStringLiteral("changeList"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(changeCount);
    column->addWidget(changeList, 1);
    connect(changeList, &QListWidget::itemDoubleClicked, this, &ChangesPanel::List1_DblClick);
    connect(changeList, &QListWidget::itemActivated, this, &ChangesPanel::List1_DblClick);
    connect(&junben_, &Junben::documentChanged, this, [this] {
        if (isVisible())
            refresh();
    });
}

void ChangesPanel::showEvent(QShowEvent* event) {
    refresh();
    QWidget::showEvent(event);
}

void ChangesPanel::refresh() {
    changes_.clear();
    changeList->clear();
    if (junben_.scenarioPath().isEmpty()) {
        changeCount->setText(QStringLiteral("还没有读取剧本文件"));
        return;
    }
    // What the save would write, read back as a load reads it.
    const auto built = buildSave(junben_.document());
    if (!built.ok()) {
        changeCount->setText(QStringLiteral("现在保存会出错：") + built.error());
        return;
    }
    for (const changes::Change& c : changes::compareScenarios(
             junben_.documentOnDisk(), built->scanned, &junben_.personNames()))
        if (!c.line.isEmpty()) {
            changes_.append(c);
            changeList->addItem(c.line);
        }
    changeCount->setText(changes_.isEmpty()
                             ? QStringLiteral("没有未保存的修改")
                             : QStringLiteral("保存时将写入以下%1处修改：").arg(changes_.size()));
}

void ChangesPanel::List1_DblClick() {
    const int row = changeList->currentRow();
    if (row >= 0 && row < changes_.size())
        junben_.selectChange(changes_[row]);
}

} // namespace lcj::scenario
