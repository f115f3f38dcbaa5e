#pragma once

#include "gamedock.h"

#include <QIcon>
#include <QList>
#include <QString>
#include <deque>
#include <functional>

namespace lcj {

class EditorWindow;
class Prompts;

// One kind of editor the shell opens: what files it opens, its menu entry, its icon and how
// to make one. The shell, the folder panel, a drop, the command line and the check window
// all find an editor here.
struct EditorKind {
    // The menu entry's objectName and text ("dataedit", "Data文件修改").
    QString entryName;
    QString caption;
    // The menu it goes in: "gn" (功能) or "buding" (补丁).
    QString menu = QStringLiteral("gn");
    // The files it opens (gameFileOfName) and their names as a user reads them ("data.e5").
    QList<GameFile> files;
    QString pattern;
    QIcon icon;
    std::function<EditorWindow*(Prompts&)> create;
    // Its entry asks for the game folder first while none is open.
    bool needsFolder = false;
};

class EditorRegistry {
public:
    // Adds a kind; kinds added before stay where they are (pointers to them stay good).
    EditorKind& add(EditorKind kind) { return kinds_.emplace_back(std::move(kind)); }
    const std::deque<EditorKind>& kinds() const { return kinds_; }
    // The kind with that menu entry, null for none.
    const EditorKind* forEntry(const QString& entryName) const;
    // The kind that opens a file of that name, null when no editor opens it.
    const EditorKind* forFile(const QString& fileName) const;

private:
    std::deque<EditorKind> kinds_;
};

} // namespace lcj
