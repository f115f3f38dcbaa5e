#include "choicecombo.h"

#include <QComboBox>

namespace lcj::data {

void showStored(QComboBox* combo, int entries, Choice choice) {
    while (combo->count() > entries)
        combo->removeItem(combo->count() - 1);
    if (!choice.isUnlisted()) {
        combo->setCurrentIndex(choice.row < entries ? choice.row : -1);
        return;
    }
    combo->addItem(QStringLiteral("（未知：%1）").arg(choice.code), choice.code);
    combo->setCurrentIndex(entries);
}

Choice chosenEntry(const QComboBox* combo, int entries) {
    const int row = combo->currentIndex();
    if (row >= entries)
        return Choice::stored(combo->itemData(row).toInt());
    return Choice::entry(row);
}

} // namespace lcj::data
