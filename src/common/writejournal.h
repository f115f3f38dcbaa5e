#pragma once

#include "result.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// A write that changes several files of one folder at once, all of them or
// none, also across a crash. The new files are written into the folder's
// workshop (.lcjworkshop) and put on the disk; the old ones get a second name
// there; a journal names every file with its old and new SHA-256, the staged
// and the kept names, and is put on the disk; only then is the first file
// replaced. The journal is taken away once the last file is in place.
//
// A writer that dies on the way leaves the journal behind. The next writer of
// that folder (WriteLock::take) settles it: it finishes the write when every
// staged file is there and whole, else it puts back the files already
// replaced, and says which in one line.
namespace lcj::files {

struct JournalFile {
    QString path;      // the file to replace; it must exist
    QByteArray before; // what it holds, as the caller found it under its lock
    QByteArray after;  // what it is to hold
};

class WriteJournal {
public:
    // Replaces every file of `files` (all in one folder), the caller holding
    // their WriteLock. Each keeps its NAME.bak as writeWhole() keeps it. On a
    // failure the files already replaced are put back and the message says
    // so; a file that cannot be put back is kept for the user in a new file
    // NAME.<keptLabel>-TIME beside it, named in the message, and the journal
    // stays so that the next writer puts it back.
    static Failure write(const QList<JournalFile>& files,
                         const QString& keptLabel = QStringLiteral("写入前"));

    // Settles every journal of `folder` whose writer is gone, then removes
    // the files and locks in its workshop that writers which are gone left
    // behind. Returns the one line said about each journal (also given to
    // the report, setJournalReport()).
    static QStringList settle(const QString& folder);

    // For commands that only read: one line for each journal of `folder`
    // whose writer is gone. Nothing is changed.
    static QStringList unfinished(const QString& folder);
};

// Where settle() says what it did: lcjtool's standard error, a window's
// message. Without one the lines go to the debug output.
void setJournalReport(std::function<void(const QString&)> report);

} // namespace lcj::files
