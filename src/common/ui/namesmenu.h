#pragma once

#include "common/gamenames.h"

#include <QStringList>
#include <functional>

class QComboBox;
class QListWidget;
class QMenu;
class QWidget;

namespace lcj {

class Prompts;

// The 文件 menu entry `datanames` "从Data文件读取名称": the user picks a data.e5,
// and the window shows its character and item names in place of the fixed
// tables, for as long as the window lives. `apply` receives the names read; a
// cancelled dialog or a file that cannot be read changes nothing (a failure is
// reported with a message).
void addNamesEntry(QMenu* menu, QWidget* window, Prompts& prompts,
                   std::function<void(const names::GameNames&)> apply);

// Renames the first rows of a list or combo box, keeping every row's place,
// the selection and any extra row past the names.
void renameRows(QListWidget* list, const QStringList& names);
void renameRows(QComboBox* combo, const QStringList& names);

} // namespace lcj
