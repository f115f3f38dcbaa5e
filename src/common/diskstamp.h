#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace lcj {

// What a file looked like on disk when an editor read or wrote it, so that a
// save can tell whether another program has changed it since.
struct DiskStamp {
    enum class State {
        Unchanged, // as read (or another path than the stamp's)
        Changed,   // other contents, or no longer readable
        Vanished,  // no file there any more
    };

    QString path;
    qint64 size = -1;
    QByteArray bytes;
    // When the file was last written, as the file system counts it, read when
    // the stamp was taken; empty: not known. The clock may count from a point
    // after today, so any number is a time. The contents decide what changed:
    // a file whose size and time are still the stamp's is not read again, any
    // other is read and compared.
    std::optional<qint64> modified;

    // The file at `path` as it is now, holding `bytes` just read from it.
    static DiskStamp take(const QString& path, const QByteArray& bytes);
    // The file at `path` just written with `bytes` and not read back: its
    // contents are compared at every look, whatever its time.
    static DiskStamp written(const QString& path, const QByteArray& bytes);
    // Reads the file at `path` whole for its stamp. A file that cannot be
    // read gives a stamp that no file matches.
    static DiskStamp read(const QString& path);

    // How the file at `target` stands against the stamp. A stamp never speaks
    // for another path, and an empty stamp for none.
    State stateOf(const QString& target) const;
    State state() const { return stateOf(path); }
    bool changedOnDisk(const QString& target) const { return stateOf(target) != State::Unchanged; }
};

} // namespace lcj
