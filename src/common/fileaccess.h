#pragma once

#include "result.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <chrono>

class QFile;

// Positioned and whole-file access. Every call opens the file, does its one
// thing and closes it again; failures come back as a message in Chinese.
//
// No write can leave a half-written file: every write builds the new file in
// the folder's workshop (.lcjworkshop, beside the old file), puts it on the
// disk and only then replaces the old one. Before the first write to a file, a
// copy of it is kept as NAME.bak, made once (whole, or not at all) and never
// overwritten.
namespace lcj::files {

// Size of the file, or a message when it cannot be found or opened.
Result<qint64> size(const QString& path);

// Reads exactly `length` bytes at `pos`; a file too short for that is an error.
Result<QByteArray> readRegion(const QString& path, qint64 pos, qint64 length);

// Writes `bytes` at `pos`. The file must exist and already reach pos + size:
// a region write never changes a file's length nor any byte outside the region.
Failure writeRegion(const QString& path, qint64 pos, const QByteArray& bytes);

// Bytes to put at a position of a file.
struct Patch {
    qint64 pos;
    QByteArray bytes;
};

// Writes every patch in place and replaces the file once: all of them reach
// the disk or none. A file too short for any of them gets none of them.
// `written`, when given, receives the whole file as it was put in place, the
// bytes a stamp of the file must hold: reading the file again for them would
// take in whatever another program wrote since.
Failure writeRegions(const QString& path, const QList<Patch>& patches,
                     QByteArray* written = nullptr);

// What a whole read is for, which says how large a file may be. Nothing larger
// is read: a bigger file, or a pipe or device that does not end within the
// size, is refused as soon as it passes it, and no more than that is kept.
enum class SizeLimit {
    GameFile, // data.e5, scenarios, saves, Imsg.e5, the exe: 64 MiB
    UserText, // CSV, JSON and patches the user brings: 256 MiB
};
qint64 maxBytes(SizeLimit limit);

Result<QByteArray> readWhole(const QString& path, SizeLimit limit = SizeLimit::GameFile);

// Whether the open `file` holds exactly `bytes` from where it stands to its
// end. It is read in pieces and compared as it comes: a large file is never
// copied whole to be compared. Read past the faults tests inject.
bool holdsExactly(QFile& file, const QByteArray& bytes);

// Reads a file just written with `written` whole, as readWhole() does. It is
// compared piece by piece as it comes, and when it holds exactly `written`,
// those bytes are what is returned, with no second copy in memory; a file
// that differs anywhere is read whole.
Result<QByteArray> readWholeAgain(const QString& path, const QByteArray& written);

// Writes a whole file. Success means every byte is on the disk; on any
// failure (a full disk included) the old file stays exactly as it was. A file
// that another program holds open is waited for a moment, then refused. The new
// file keeps the old one's permissions and, where the user may set it, owner.
// A NAME.bak that is a folder is refused, since no backup could be kept.
// `onDisk`, when given, holds what the caller has just found in the file: the
// backup takes those bytes instead of reading the file once more.
Failure writeWhole(const QString& path, const QByteArray& bytes,
                   const QByteArray* onDisk = nullptr);

// Writes a file the program makes from others (an export, a picture, a
// patch) as safely as writeWhole(), but keeps no NAME.bak: it can be made
// again at any time.
Failure writeOutputFile(const QString& path, const QByteArray& bytes);

// The backup kept beside a file before its first write.
QString backupPath(const QString& path);

// The SHA-256 of `bytes` as lower-case hex, as journals, patches and the mod list keep it.
QString sha256Hex(const QByteArray& bytes);

// The folder `.lcjworkshop` inside `folder`, where the writers of the files of
// `folder` keep their locks, their files being written and their journals.
// Every file there that a writer leaves carries its process id in its name.
QString workshopOf(const QString& folder);
inline constexpr char16_t workshopName[] = u".lcjworkshop";

// Makes the workshop of `folder` when it is not there; the message says why not.
Failure makeWorkshop(const QString& folder);

// Removes the workshop of `folder` when nothing is left in it.
void tidyWorkshop(const QString& folder);

// The steps of one write, for the writer of several files at once
// (writejournal.h). Each fails with a message in Chinese.
namespace steps {

// Why `path` cannot be replaced at all: a folder, or a file marked read-only.
Failure unwritable(const QString& path);

// Keeps NAME.bak before the first write of `path`, as writeWhole() does.
Failure keepBackup(const QString& path, const QByteArray* onDisk);

// Writes `bytes` into the new file `path` and puts them on the disk; it takes
// the permissions and, where the user may set it, the owner of `like`.
Failure writeNew(const QString& path, const QByteArray& bytes, const QString& like);

// Puts the finished file `finished` in the place of `target` (waiting a
// moment for a file another program holds open). On failure `target` is as
// it was. The folder's names are the caller's to sync (durable::syncFolder)
// once all its files are replaced.
Failure replace(const QString& target, const QString& finished);

} // namespace steps

// How long a save waits, trying again every tenth of a second, for a file that
// another program (the game, a virus scanner) holds open. Tests may shorten it.
inline constexpr std::chrono::milliseconds defaultBusyWait{2000};
void setBusyWait(std::chrono::milliseconds wait);

// Faults that tests can make the next file operations meet.
enum class Fault {
    OpenRefused,    // opening the file fails
    ShortRead,      // a read returns fewer bytes than the file holds
    WriteError,     // writing the new contents fails
    CommitFailure,  // the finished file cannot replace the old one
    Busy,           // another program holds the file open: the replace waits
    CreateRefused,  // the folder refuses the new file beside the old one
    FolderUnsynced, // the replace is done but not confirmed to be on the disk
};

// Makes the next `count` operations that can meet `fault` fail with it, after
// the first `after` such operations have gone through.
void injectFault(Fault fault, int count = 1, int after = 0);
void clearFaults();

} // namespace lcj::files
