#pragma once

#include "modlist.h"

#include <QMap>

// What the two halves of the mod list share: the list's files and the result
// built from them.
namespace lcj::changes::mods {

struct ModList::Built {
    QMap<QString, QByteArray> originals; // file → the kept original
    QMap<QString, QByteArray> results;   // file → what the list gives
    QList<ConflictRow> conflicts;
    QStringList skipped;
};

namespace detail {

inline const QString patchSuffix = QStringLiteral(".lcjpatch");
// A path as the system writes it, for messages.
QString shownPath(const QString& path);

// The patch of `entry` for the game file `file`, or nullptr.
const patch::FilePatch* filePatch(const Entry& entry, const QString& file);
// The change that sets a list's entry count in `file`, or nullptr.
const FieldChange* countChange(const patch::FilePatch& file);

// Why nothing can be written in the game folder `folder`, or nothing.
Failure folderUnwritable(const QString& folder);

} // namespace detail

} // namespace lcj::changes::mods
