#include "shopsection.h"

#include "common/nametables.h"
#include "common/ui/controls.h"
#include "common/ui/listfilter.h"
#include "common/ui/numbergutter.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace lcj::data {

namespace {

constexpr int equipmentEntries = ShopForm::firstItemShopItem;                  // items 0..86
constexpr int itemEntries = ShopForm::itemCount - ShopForm::firstItemShopItem; // items 87..103

// Drops the entries that stood for unlisted slot values and clears every selection.
void resetShop(QListWidget* list, int entries) {
    while (list->count() > entries)
        delete list->takeItem(list->count() - 1);
    list->clearSelection();
}

// Selects the entry of each item; an item no entry stands for gets one of its own.
void markShop(QListWidget* list, const QList<int>& items, int firstItem, int entries) {
    for (int item : items) {
        const int row = item - firstItem;
        if (row >= 0 && row < entries) {
            list->item(row)->setSelected(true);
            continue;
        }
        auto* extra = new QListWidgetItem(QStringLiteral("（未知：%1）").arg(item), list);
        extra->setData(Qt::UserRole, item);
        extra->setSelected(true);
    }
    // No current entry; the selections stay.
    list->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
}

QList<int> chosenItems(const QListWidget* list, int firstItem, int entries) {
    QList<int> items;
    for (int row = 0; row < list->count(); ++row) {
        const QListWidgetItem* entry = list->item(row);
        if (entry->isSelected())
            items.append(row < entries ? row + firstItem : entry->data(Qt::UserRole).toInt());
    }
    return items;
}

QListWidget* shopList(const QString& objectName) {
    auto* list = named(new QListWidget, objectName);
    list->setSelectionMode(QAbstractItemView::MultiSelection);
    return list;
}

} // namespace

ShopSection::ShopSection(const SectionContext& context, QWidget* parent)
    : DataSection(context, QStringLiteral("Frame3"), QStringLiteral("商店属性修改"), parent) {
    Label28 = named(new QLabel(QStringLiteral("战前商店所卖物品")), QStringLiteral("Label28"));
    List4 = named(new QListWidget, QStringLiteral("List4"));
    List4->addItems(names::battles());
    List4->setMinimumWidth(150);
    Label112 = named(new QLabel, QStringLiteral("Label112"));
    Label29 = named(new QLabel(fieldCaption(&ShopForm::equipmentShop)), QStringLiteral("Label29"));
    List5 = shopList(QStringLiteral("List5"));
    Label30 = named(new QLabel(fieldCaption(&ShopForm::itemShop)), QStringLiteral("Label30"));
    List6 = shopList(QStringLiteral("List6"));
    Command6 = makeButton(this, QStringLiteral("Command6"), QStringLiteral("保存"));
    Command7 = makeButton(this, QStringLiteral("Command7"), QStringLiteral("还原"));

    auto* grid = grid_ = new QGridLayout;
    grid->addWidget(Label28, 0, 0);
    grid->addWidget(List4, 1, 0);
    grid->addWidget(Label112, 2, 0);
    grid->addWidget(Label29, 0, 1);
    grid->addWidget(List5, 1, 1, 2, 1);
    grid->addWidget(Label30, 0, 2);
    grid->addWidget(List6, 1, 2, 2, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid, 1);
    layout->addLayout(buttonRow(Command6, Command7));

    NumberGutter::install(List4);
    new ListFilter(List4);
    NumberGutter::install(List5);
    NumberGutter::install(List6, ShopForm::firstItemShopItem);
    useSaveKeys(Command6);

    connect(List4, &QListWidget::currentRowChanged, this, [this] { List4_Click(); });
    connect(Command6, &QPushButton::clicked, this, &ShopSection::Command6_Click);
    connect(Command7, &QPushButton::clicked, this, &ShopSection::Command7_Click);
}

bool ShopSection::open() {
    List5->clear();
    List6->clear();
    const auto items = readNames(data::items);
    if (!items)
        return false;
    List5->addItems(items->mid(0, equipmentEntries));
    List6->addItems(items->mid(equipmentEntries));
    itemNames_ = *items;
    showShopTips();
    selectFirst(List4, [this] { List4_Click(); });
    return true;
}

bool ShopSection::readSelected() {
    const int row = List4->currentRow();
    if (row < 0)
        return false;
    shown_.reset();
    resetShop(List5, equipmentEntries);
    resetShop(List6, itemEntries);
    auto block = readRecord(data::shops, row, Command6);
    if (!block)
        return false;
    shopBlock_ = *block;
    return true;
}

void ShopSection::List4_Click() {
    if (!mayLeaveRow(List4) || !readSelected())
        return;
    Label112->setText(QStringLiteral("关卡对应的文件剧本号%1").arg(List4->currentRow()));
    shopfile();
}

void ShopSection::Command7_Click() {
    if (readSelected())
        shopfile();
}

void ShopSection::shopfile() {
    const ShopForm form = ShopForm::show(shopBlock_);
    markShop(List5, form.equipmentShop, 0, equipmentEntries);
    markShop(List6, form.itemShop, ShopForm::firstItemShopItem, itemEntries);
    shown_ = formFromControls();
}

ShopForm ShopSection::formFromControls() const {
    return {chosenItems(List5, 0, equipmentEntries),
            chosenItems(List6, ShopForm::firstItemShopItem, itemEntries)};
}

bool ShopSection::Command6_Click() {
    // Block 57's last byte is troop type 0's movement: it goes back as read.
    const int row = List4->currentRow();
    if (!saveRecord(data::shops, row, formFromControls(), shopBlock_))
        return false;
    // The ticks show what was stored.
    resetShop(List5, equipmentEntries);
    resetShop(List6, itemEntries);
    shopfile();
    showShopTip(row, ShopForm::show(shopBlock_));
    return true;
}

void ShopSection::showShopTip(int row, const ShopForm& form) {
    const auto names = [this](const QList<int>& items) {
        QStringList out;
        for (int item : items)
            out << (item >= 0 && item < itemNames_.size()
                        ? itemNames_[item]
                        : QStringLiteral("（未知：%1）").arg(item));
        return out.isEmpty() ? QStringLiteral("无") : out.join(QStringLiteral("、"));
    };
    List4->item(row)->setToolTip(QStringLiteral("装备店：%1\n道具店：%2")
                                     .arg(names(form.equipmentShop), names(form.itemShop)));
}

void ShopSection::showShopTips() {
    for (int row = 0; row < List4->count(); ++row)
        showShopTip(row, ShopForm::show(file().record(data::shops, row)));
}

void ShopSection::reshow() {
    const auto items = readNames(data::items);
    if (!items)
        return;
    renameEntries(List5, items->mid(0, equipmentEntries));
    renameEntries(List6, items->mid(equipmentEntries));
    itemNames_ = *items;
    showShopTips();
    forgetShown();
    List4_Click();
}

void ShopSection::placeTable(QWidget* table) {
    // Beside the battle list, where the two shop lists were.
    grid_->addWidget(table, 0, 1, 3, 2);
}

} // namespace lcj::data
