#pragma once

#include "datafile/choice.h"

class QComboBox;

namespace lcj::data {

// Shows `choice` in a drop-down list of `entries` fixed entries. An unlisted
// code is shown as one extra entry at the end that names the code; it is
// removed again when the list next shows a listed entry.
void showStored(QComboBox* combo, int entries, Choice choice);

// The entry chosen; the extra entry comes back as unlisted, nothing chosen as row -1.
Choice chosenEntry(const QComboBox* combo, int entries);

} // namespace lcj::data
