#include "diskstamp.h"

#include <QFile>
#include <QFileInfo>
#include <optional>

namespace lcj {

namespace {

// The stamp looks at the file past the program's own file access: it is a
// check of what is on the disk, not a read the editor works from.
std::optional<QByteArray> contents(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (bytes.size() != file.size())
        return std::nullopt;
    return bytes;
}

} // namespace

DiskStamp DiskStamp::take(const QString& path, const QByteArray& bytes) {
    const QFileInfo info(path);
    return {info.absoluteFilePath(), info.size(), bytes};
}

DiskStamp DiskStamp::read(const QString& path) {
    const auto bytes = contents(path);
    if (!bytes)
        return {QFileInfo(path).absoluteFilePath(), -1, {}};
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
    const auto now = contents(target);
    return now && *now == bytes ? State::Unchanged : State::Changed;
}

} // namespace lcj
