#include "choicebinding.h"

#include <QComboBox>
#include <QListWidget>

namespace lcj {

namespace {

QString extraText(int code) {
    return QStringLiteral("（未知：%1）").arg(code);
}

Choice fromValue(int entries, int value) {
    return value >= 0 && value < entries ? Choice::entry(value) : Choice::stored(value);
}

int toValue(Choice choice) {
    return choice.isUnlisted() ? choice.code : choice.row;
}

} // namespace

void showChoice(QListWidget* list, int entries, Choice choice) {
    while (list->count() > entries)
        delete list->takeItem(list->count() - 1);
    if (!choice.isUnlisted()) {
        list->setCurrentRow(choice.row < entries ? choice.row : -1);
        return;
    }
    auto* extra = new QListWidgetItem(extraText(choice.code), list);
    extra->setData(Qt::UserRole, choice.code);
    list->setCurrentRow(entries);
}

void showChoice(QComboBox* combo, int entries, Choice choice) {
    while (combo->count() > entries)
        combo->removeItem(combo->count() - 1);
    if (!choice.isUnlisted()) {
        combo->setCurrentIndex(choice.row < entries ? choice.row : -1);
        return;
    }
    combo->addItem(extraText(choice.code), choice.code);
    combo->setCurrentIndex(entries);
}

Choice chosenChoice(const QListWidget* list, int entries) {
    const int row = list->currentRow();
    if (row >= entries)
        return Choice::stored(list->item(row)->data(Qt::UserRole).toInt());
    return Choice::entry(row);
}

Choice chosenChoice(const QComboBox* combo, int entries) {
    const int row = combo->currentIndex();
    if (row >= entries)
        return Choice::stored(combo->itemData(row).toInt());
    return Choice::entry(row);
}

void showChoice(QListWidget* list, int entries, int value) {
    showChoice(list, entries, fromValue(entries, value));
}

void showChoice(QComboBox* combo, int entries, int value) {
    showChoice(combo, entries, fromValue(entries, value));
}

int chosenValue(const QListWidget* list, int entries) {
    return toValue(chosenChoice(list, entries));
}

int chosenValue(const QComboBox* combo, int entries) {
    return toValue(chosenChoice(combo, entries));
}

} // namespace lcj
