#pragma once

#include <QString>

class QLineEdit;
class QWidget;

namespace lcj {

class Prompts;

// A box that shows a path or a folder and takes no typing.
QLineEdit* readOnlyBox(const QString& name);
// Asks for any game file under `title`; its folder is the game folder. Empty when none was
// chosen.
QString chooseGameFolder(Prompts& prompts, QWidget* parent, const QString& title);

} // namespace lcj
