#include "diskstamp.h"

#include "fileaccess.h"

#include <QFile>
#include <QFileInfo>
#include <chrono>
#include <filesystem>
#include <optional>

namespace lcj {

namespace {

// The stamp looks at the file past the program's own file access: it is a
// check of what is on the disk, not a read the editor works from.
std::optional<QByteArray> contents(const QString& path) {
    QFile file(path);
    // A pipe, a device or a file larger than any game file is never read:
    // no editor holds one.
    if (!file.open(QIODevice::ReadOnly) || file.isSequential() ||
        file.size() > files::maxBytes(files::SizeLimit::GameFile))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (bytes.size() != file.size())
        return std::nullopt;
    return bytes;
}

// Whether the file at `path` holds exactly `bytes`.
bool holds(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && files::holdsExactly(file, bytes);
}

using FileClock = std::filesystem::file_time_type::clock;

// The time the file at `path` was last written, to the file system's finest
// step; empty when it cannot be read. The file clock's count is negative for
// every file of today.
std::optional<qint64> modifiedAt(const QString& path) {
    std::error_code error;
    const auto time =
        std::filesystem::last_write_time(std::filesystem::path(path.toStdU16String()), error);
    if (error)
        return std::nullopt;
    return qint64(time.time_since_epoch().count());
}

// The time of `path` when it can speak for the contents later. A file system
// counts times in steps (two seconds on FAT), and a file written again within
// the step it was last written in keeps its time: a time that close to now
// is not kept, and the contents are compared at the next look.
std::optional<qint64> settledTime(const QString& path) {
    const std::optional<qint64> time = modifiedAt(path);
    const qint64 now = qint64(FileClock::now().time_since_epoch().count());
    const qint64 settle =
        std::chrono::duration_cast<FileClock::duration>(std::chrono::seconds(3)).count();
    if (!time || now - *time < settle)
        return std::nullopt;
    return time;
}

} // namespace

DiskStamp DiskStamp::take(const QString& path, const QByteArray& bytes) {
    const QFileInfo info(path);
    return {info.absoluteFilePath(), info.size(), bytes, settledTime(path)};
}

DiskStamp DiskStamp::written(const QString& path, const QByteArray& bytes) {
    const QFileInfo info(path);
    return {info.absoluteFilePath(), info.size(), bytes, std::nullopt};
}

DiskStamp DiskStamp::read(const QString& path) {
    const auto bytes = contents(path);
    if (!bytes)
        return {QFileInfo(path).absoluteFilePath(), -1, {}, std::nullopt};
    return take(path, *bytes);
}

DiskStamp::State DiskStamp::stateOf(const QString& target) const {
    QFileInfo info(target);
    if (path.isEmpty() || info.absoluteFilePath() != path)
        return State::Unchanged;
    if (!info.exists())
        return State::Vanished;
    // A file written again with the same bytes has lost nothing: only its
    // contents count, the time alone does not.
    if (info.size() != size)
        return State::Changed;
    // Not written since the stamp: nothing to read.
    if (modified && modifiedAt(target) == modified)
        return State::Unchanged;
    return holds(target, bytes) ? State::Unchanged : State::Changed;
}

} // namespace lcj
