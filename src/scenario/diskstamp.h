#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace lcj::scenario {

// What a scenario file looked like on disk when it was read or written, so
// that a save can tell whether someone else has changed it since.
struct DiskStamp {
    QString path;
    qint64 size = -1;
    QDateTime modified;
    QByteArray bytes;

    // The file at `path` as it is now, holding `bytes`.
    static DiskStamp take(const QString& path, const QByteArray& bytes);
    // True when the file at `path` differs from the stamp in size, time or
    // content, or can no longer be read. A stamp of another path is never changed.
    bool changedOnDisk(const QString& target) const;
};

} // namespace lcj::scenario
