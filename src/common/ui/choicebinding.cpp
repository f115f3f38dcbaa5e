#include "choicebinding.h"

#include <QComboBox>
#include <QListWidget>

namespace lcj {

namespace {

QString extraText(int value) {
    return QStringLiteral("（未知：%1）").arg(value);
}

} // namespace

void showChoice(QListWidget* list, int entries, int value) {
    while (list->count() > entries)
        delete list->takeItem(list->count() - 1);
    if (value >= 0 && value < entries) {
        list->setCurrentRow(value);
        return;
    }
    auto* extra = new QListWidgetItem(extraText(value), list);
    extra->setData(Qt::UserRole, value);
    list->setCurrentRow(entries);
}

void showChoice(QComboBox* combo, int entries, int value) {
    while (combo->count() > entries)
        combo->removeItem(combo->count() - 1);
    if (value >= 0 && value < entries) {
        combo->setCurrentIndex(value);
        return;
    }
    combo->addItem(extraText(value), value);
    combo->setCurrentIndex(entries);
}

int chosenValue(const QListWidget* list, int entries) {
    const int row = list->currentRow();
    if (row < 0)
        return -1;
    return row < entries ? row : list->item(row)->data(Qt::UserRole).toInt();
}

int chosenValue(const QComboBox* combo, int entries) {
    const int row = combo->currentIndex();
    if (row < 0)
        return -1;
    return row < entries ? row : combo->itemData(row).toInt();
}

} // namespace lcj
