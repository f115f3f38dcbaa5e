#pragma once

#include "common/diskstamp.h"
#include "fields/filekind.h"

#include <QByteArray>
#include <QString>
#include <functional>

class QWidget;

namespace lcj {

class Prompts;

// What a save merges with the copy on disk when another program changed the file since
// it was read (the stamp's bytes are the file as read).
struct MergeSource {
    fields::FileKind kind = fields::FileKind::Data;
    // The whole file as the save would write it.
    std::function<QByteArray()> mine;
    // The merged file is on disk at `path`: shows it as read afresh (its history starting
    // there) and says `status` in the status line.
    std::function<void(const QString& path, const QString& status)> showWritten;
};

// How a save goes on once it has looked at the file on disk.
enum class SaveRoute {
    Write,  // as read, or the user chose to write over it: the save writes
    Merged, // the merged file is written and shown: the save is done
    Keep,   // nothing is written; the user was told
};

// Whether a save may write over `target`, asked before every save of every
// editor. A file as it was read: yes. A file that another program changed
// since: with `merge`, the three copies (as read, the editor's, the disk's)
// are merged field by field and the user asked once, naming both sides'
// changes and any conflicts; Escape writes nothing. Without `merge`, or where
// no merge can be made, the user is asked whether to write over it, naming
// the file by its kind (`kind`, as "剧本文件"), and No, the default, keeps the
// other program's file and says that nothing was written. A file that is gone
// is asked about the same way only by an editor that holds it whole
// (`holdsWholeFile`), where Yes makes it again; a region editor goes on to its
// write, which reports the missing file and never makes one.
// The caller holds `target`'s write lock.
SaveRoute settleDiskChange(QWidget* window, Prompts& prompts, const DiskStamp& stamp,
                           DiskStamp::State state, const QString& target, const QString& kind,
                           bool holdsWholeFile, const MergeSource* merge);

// The same without a merge: true when the save may write.
bool mayOverwrite(QWidget* window, Prompts& prompts, const DiskStamp& stamp, const QString& target,
                  const QString& kind, bool holdsWholeFile);
bool mayOverwrite(QWidget* window, Prompts& prompts, DiskStamp::State state, const QString& target,
                  const QString& kind, bool holdsWholeFile);

} // namespace lcj
