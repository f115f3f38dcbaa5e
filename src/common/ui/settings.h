#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace lcj::settings {

// What the program remembers between runs: the game folder, the recent
// folders, the main window's place and the battle map chosen for each
// scenario folder.
//
// Where they are kept is chosen once, at start: the file `portableFileName`
// beside the program when it stands there (the program carried on a stick
// keeps its settings with it), otherwise the user's profile (the registry on
// Windows, ~/.config on Linux) under the organisation and application names
// the program set. Until a place is chosen nothing is kept and every value
// reads empty, so that windows made without starting the program (tests,
// the screenshot tool) never read or change the user's settings.

inline constexpr char16_t portableFileName[] = u"lcjworkshop.ini";

// The program's own choice: `programFolder`/lcjworkshop.ini when that file
// exists, else the user's profile.
void useProgramSettings(const QString& programFolder);
// Keeps the settings in the INI file `path` (made when first written).
void useFile(const QString& path);
// Nothing kept from now on.
void forget();
// The INI file in use; empty for the user's profile or nowhere.
QString file();
// Whether a place is chosen.
bool kept();
// Where they are kept, as a name that tells places apart: the INI file's path,
// the profile's file (on Windows its registry key); empty while nowhere.
QString location();
// The folder of the journals of edits not yet saved (RecoveryJournal): beside the INI file in
// use (the portable copy's `recovery` folder), else the user's data folder
// (`lcjworkshop/recovery` under $XDG_DATA_HOME, %LOCALAPPDATA% on Windows); empty while
// nowhere, so that windows made without starting the program keep no journals.
QString recoveryFolder();

// The game folder open when the program last ended; empty: none.
QString lastGameFolder();
void setLastGameFolder(const QString& folder);

// Recently opened game folders, the latest first, at most `maxRecentFolders`.
inline constexpr int maxRecentFolders = 8;
QStringList recentFolders();
// Puts `folder` first, dropping an older entry of it and any past the limit.
void addRecentFolder(const QString& folder);
void removeRecentFolder(const QString& folder);

// The main window's geometry and state (QWidget::saveGeometry, QMainWindow::saveState).
QByteArray windowGeometry();
QByteArray windowState();
void setWindow(const QByteArray& geometry, const QByteArray& state);

// The battle map picture chosen for the scenarios of `folder`; empty: none.
QString mapForFolder(const QString& folder);
void setMapForFolder(const QString& folder, const QString& map);

} // namespace lcj::settings
