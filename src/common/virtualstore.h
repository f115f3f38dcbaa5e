#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// Windows keeps a private copy of a file that an old program without
// administrator rights writes under Program Files, ProgramData or the Windows
// folder: the write goes to %LOCALAPPDATA%\VirtualStore\<the same path without
// its drive>, and that program reads the copy from then on. A game installed
// there may read its saves from such a copy while this editor, which is not
// redirected, sees the file in the game folder.
namespace lcj::virtualstore {

// The folders that decide where the copies go.
struct Folders {
    QStringList guarded;  // Program Files, Program Files (x86), ProgramData, the Windows folder
    QString localAppData; // %LOCALAPPDATA%
};

// True when `path` lies in one of the guarded folders (letter case aside).
bool isGuarded(const QString& path, const Folders& folders);

// Where Windows keeps its copy of `path`, or an empty string when `path` is
// not in a guarded folder. The copy need not exist.
QString twinPath(const QString& path, const Folders& folders);

// The folders of this system: read from the environment on Windows, none
// elsewhere. Tests may set other folders in their place.
Folders systemFolders();
void setSystemFolders(std::optional<Folders> folders);

} // namespace lcj::virtualstore
