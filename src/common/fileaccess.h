#pragma once

#include "result.h"

#include <QByteArray>
#include <QString>

// Positioned and whole-file access. Every call opens the file, does its one
// thing and closes it again; failures come back as a message in Chinese.
//
// No write can leave a half-written file: every write builds the new file
// beside the old one and replaces it only when complete. Before the first
// write to a file, a copy of it is kept as NAME.bak, made once and never
// overwritten.
namespace lcj::files {

// Size of the file, or a message when it cannot be found or opened.
Result<qint64> size(const QString& path);

// Reads exactly `length` bytes at `pos`; a file too short for that is an error.
Result<QByteArray> readRegion(const QString& path, qint64 pos, qint64 length);

// Writes `bytes` at `pos`. The file must exist and already reach pos + size:
// a region write never changes a file's length nor any byte outside the region.
Failure writeRegion(const QString& path, qint64 pos, const QByteArray& bytes);

Result<QByteArray> readWhole(const QString& path);

// Writes a whole file; the old file stays intact until the new one is complete.
Failure writeWhole(const QString& path, const QByteArray& bytes);

// The backup kept beside a file before its first write.
QString backupPath(const QString& path);

// Faults that tests can make the next file operations meet.
enum class Fault {
    OpenRefused,   // opening the file fails
    ShortRead,     // a read returns fewer bytes than the file holds
    WriteError,    // writing the new contents fails
    CommitFailure, // the finished file cannot replace the old one
};

// Makes the next `count` operations that can meet `fault` fail with it.
void injectFault(Fault fault, int count = 1);
void clearFaults();

} // namespace lcj::files
