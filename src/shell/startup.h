#pragma once

#include <QStringList>
#include <functional>

class QWidget;

namespace lcj {

class MainWindow;

// Opens what the command line names after the program's name: a game folder, a game
// file in its editor, a .lcjpatch in the patch window. Options (`-x`, `--x`) are not paths.
void openArguments(MainWindow& window, const QStringList& arguments);

// Loads Qt's own Chinese texts, so that its standard dialogs and buttons
// ("打开", "取消", "是", "确定") read in Chinese. False when they are not found.
bool loadQtTranslation();

// Starts the program as a user starts it: the application, the check that
// GBK text can be read and written, the main window shown. `run` receives the
// shown main window and returns the exit code (the event loop in main()).
int runProgram(int& argc, char** argv, const std::function<int(QWidget& mainWindow)>& run);

} // namespace lcj
