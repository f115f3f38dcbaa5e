#pragma once

#include "common/diskstamp.h"
#include "common/writelock.h"
#include "diskchange.h"

#include <QString>
#include <optional>

class QWidget;

namespace lcj {

class Prompts;

// A save in a window holds the file's lock from before it looks at the file
// on disk until its write is done, so that nothing of ours changes the file
// between the look and the write.

// Whether a save writes, and the lock it writes under.
struct SaveGate {
    // Held while the save may write; nothing when the lock cannot be had (the user is told
    // why), when the user keeps the other program's file, or when a merge already wrote it.
    std::optional<files::WriteLock> lock;
    // The file on disk now holds the merge of the editor's changes and another program's,
    // and the editor shows it: the save is done.
    bool merged = false;
};

// The lock of `target`, taken before the file is held against `stamp` (see
// settleDiskChange, which merges with `merge` where given).
SaveGate lockForSave(QWidget* window, Prompts& prompts, const DiskStamp& stamp,
                     const QString& target, const QString& kind, bool holdsWholeFile,
                     const MergeSource* merge = nullptr);

} // namespace lcj
