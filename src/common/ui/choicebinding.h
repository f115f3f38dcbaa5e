#pragma once

#include "common/choice.h"

class QComboBox;
class QListWidget;

// Lists of fixed entries that show a stored number. A stored value that no
// entry stands for is shown as one extra entry at the end that names the value,
// so it is never silently replaced: unless the user picks another entry, the
// value read is the value written.
namespace lcj {

// `entries` is the count of the list's own entries.
void showChoice(QListWidget* list, int entries, Choice choice);
void showChoice(QComboBox* combo, int entries, Choice choice);
// The entry chosen; the extra entry comes back as unlisted, nothing chosen as row -1.
Choice chosenChoice(const QListWidget* list, int entries);
Choice chosenChoice(const QComboBox* combo, int entries);

// For lists whose rows 0..entries-1 stand for the values 0..entries-1.
void showChoice(QListWidget* list, int entries, int value);
void showChoice(QComboBox* combo, int entries, int value);
// The value the selection stands for, or -1 when nothing is selected.
int chosenValue(const QListWidget* list, int entries);
int chosenValue(const QComboBox* combo, int entries);

} // namespace lcj
