#pragma once

#include "common/diskstamp.h"
#include "common/writelock.h"

#include <QString>
#include <optional>

class QWidget;

namespace lcj {

class Prompts;

// A save in a window holds the file's lock from before it looks at the file
// on disk until its write is done, so that nothing of ours changes the file
// between the look and the write.

// The lock of `target`, taken before the file is held against `stamp` (see
// mayOverwrite). Nothing when the lock cannot be had (the user is told why)
// or the user keeps the other program's file: the save goes no further and
// nothing is written.
std::optional<files::WriteLock> lockForSave(QWidget* window, Prompts& prompts,
                                            const DiskStamp& stamp, const QString& target,
                                            const QString& kind, bool holdsWholeFile);

} // namespace lcj
