#pragma once

#include <QStringList>
#include <functional>

class QWidget;

namespace lcj {

class MainWindow;

// Opens what the command line names after the program's name: a game folder, a game
// file in its editor, a .lcjpatch in the patch window. Options (`-x`, `--x`) are not paths.
void openArguments(MainWindow& window, const QStringList& arguments);
// The paths the command line names after the program's name, made absolute
// against this program's working folder.
QStringList pathArguments(const QStringList& arguments);
// Shows the window in front, un-minimised and active.
void bringToFront(QWidget& window);

// Loads Qt's own Chinese texts, so that its standard dialogs and buttons
// ("打开", "取消", "是", "确定") read in Chinese. False when they are not found.
bool loadQtTranslation();

// Starts the program as a user starts it: the application, the place of the
// settings (unless one was chosen before), the check that GBK text can be read
// and written, the main window shown. `run` receives the
// shown main window and returns the exit code (the event loop in main()).
// When a program runs already with the same settings, the command line's paths
// are handed to it instead, which opens them and comes to the front, and this
// start returns 0 without a window.
int runProgram(int& argc, char** argv, const std::function<int(QWidget& mainWindow)>& run);

} // namespace lcj
