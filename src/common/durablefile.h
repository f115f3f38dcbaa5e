#pragma once

#include <QString>

class QFileDevice;

// The few calls a safe save needs that the system makes differently: making
// written bytes durable, keeping a replaced file's owner, and putting a
// finished file in the place of the old one. Everything else of file access
// stays in plain Qt.
namespace lcj::files::durable {

// Asks the system to put everything written through `file` on the disk. False
// when it reports that it could not: the bytes may not all be there.
bool syncToDisk(QFileDevice& file);

// Gives the open `file` the owner and group of the file at `original`, where
// the system lets this user do that. A refusal is no fault: the file then
// keeps the owner it has.
void keepOwner(QFileDevice& file, const QString& original);

// How one attempt to put a finished file in the place of another went.
struct Replacement {
    enum Outcome {
        Done,        // replaced, and the system says the change is on the disk
        Unconfirmed, // replaced, but the system did not confirm that it is on the disk
        Busy,        // another program holds the old file: nothing changed, try again
        Failed,      // nothing changed
        Stranded,    // the old file could not go back to its name: the reason says where it is
    };
    Outcome outcome = Failed;
    bool denied = false; // the system said "access denied" (Busy or Failed)
    QString reason;      // the system's words, when not Done
};

// Puts the closed file `finished` in the place of `target` in one step. When
// `target` exists it keeps what the system keeps of a file beyond its bytes
// (on Windows its hidden and system marks and its access list). On anything
// but Done, Unconfirmed or Stranded, `target` is as it was and `finished` is
// still there.
Replacement replaceWith(const QString& target, const QString& finished);

} // namespace lcj::files::durable
