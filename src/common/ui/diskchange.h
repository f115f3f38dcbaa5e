#pragma once

#include "common/diskstamp.h"

#include <QString>

class QWidget;

namespace lcj {

class Prompts;

// Whether a save may write over `target`, asked before every save of every
// editor. A file as it was read: yes. A file that another program changed
// since: the user is asked, naming the file by its kind (`kind`, as
// "剧本文件"), and No, the default, keeps the other program's file and says
// that nothing was written. A file that is gone is asked about the same way
// only by an editor that holds it whole (`holdsWholeFile`), where Yes makes it
// again; a region editor goes on to its write, which reports the missing file
// and never makes one.
bool mayOverwrite(QWidget* window, Prompts& prompts, const DiskStamp& stamp, const QString& target,
                  const QString& kind, bool holdsWholeFile);
// The same for a caller that has already taken `target`'s state against its stamp.
bool mayOverwrite(QWidget* window, Prompts& prompts, DiskStamp::State state, const QString& target,
                  const QString& kind, bool holdsWholeFile);

} // namespace lcj
