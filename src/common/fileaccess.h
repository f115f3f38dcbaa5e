#pragma once

#include "result.h"

#include <QByteArray>
#include <QString>

// Positioned and whole-file access. Every call opens the file, does its one
// thing and closes it again; failures come back as a message in Chinese.
namespace lcj::files {

// Size of the file, or a message when it cannot be found or opened.
Result<qint64> size(const QString& path);

// Reads exactly `length` bytes at `pos`; a file too short for that is an error.
Result<QByteArray> readRegion(const QString& path, qint64 pos, qint64 length);

// Writes `bytes` at `pos` in place. The file must exist and already reach
// pos + size: a region write never changes a file's length.
Failure writeRegion(const QString& path, qint64 pos, const QByteArray& bytes);

Result<QByteArray> readWhole(const QString& path);

// Writes a whole file through a temporary file: the old file stays intact
// until the new one is complete.
Failure writeWhole(const QString& path, const QByteArray& bytes);

} // namespace lcj::files
