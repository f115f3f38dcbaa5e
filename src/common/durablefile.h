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

// Asks the system to start putting the `length` bytes written through `file`
// at `pos` on the disk, without waiting for them: a later syncToDisk() then
// waits only for what is left. Where the system has no such call, nothing.
void startWriting(QFileDevice& file, qint64 pos, qint64 length);

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
// still there. `syncNames` false leaves the folder's names to a later
// syncFolder() of the caller, who replaces several files of one folder.
Replacement replaceWith(const QString& target, const QString& finished, bool syncNames = true);

// Makes the list of names of `folder` durable: a file made, renamed or removed
// in it survives a power cut. Empty when that worked; else the system's reason.
QString syncFolder(const QString& folder);

// Gives the file `existing` a second name `link` in the same folder tree
// without copying its bytes. False where the file system has no such names
// (FAT): the caller then writes a copy.
bool hardLink(const QString& existing, const QString& link);

// Hides `folder` in the system's file browser where the system marks hidden
// files (Windows); elsewhere its leading dot does that.
void hideFolder(const QString& folder);

// True while the process `pid` of this computer runs.
bool processRunning(qint64 pid);

// The test hook LCJ_TEST_STOP_AFTER=k: the process kills itself, as a power
// cut or a kill -9 would stop it, right after its k-th fsync or replace.
// Called by every step that makes something durable.
void passedDurableStep();

} // namespace lcj::files::durable
