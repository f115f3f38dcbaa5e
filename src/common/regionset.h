#pragma once

#include "diskstamp.h"
#include "result.h"

#include <QByteArray>
#include <QString>
#include <vector>

namespace lcj {

// A run of bytes at a fixed position of a file.
struct Region {
    qint64 offset;
    qint64 length;

    constexpr qint64 end() const { return offset + length; }
};

// The fixed regions that a region editor owns in one file. They are read
// together when a file is opened, changed only in memory on "确定", and written
// back together, in place, on "保存". Every byte outside them stays as it is,
// and the file never changes its length.
//
// The set keeps a stamp of the file as it read or last wrote it, so that the
// window can ask before writing over another program's change.
//
// A set is loaded or empty. A failed read leaves it exactly as it was, so the
// copies it holds always come from the file whose path it holds, and a write
// can never carry regions of one file into another.
class RegionSet {
public:
    explicit RegionSet(std::vector<Region> layout);

    const std::vector<Region>& layout() const { return layout_; }
    bool loaded() const { return loaded_; }
    // The file the copies were read from; empty while nothing is loaded.
    const QString& path() const { return path_; }

    // Reads every region of `path` in one go. On failure the set keeps what it held.
    Failure read(const QString& path);
    // The same from `whole`, the bytes of the file at `path` as read.
    Failure take(const QString& path, const QByteArray& whole);
    // Reads the same file again. On failure the set keeps what it held.
    Failure reload();
    // Writes every region back in place, all in one replace of the file. A
    // file too short to hold every region is refused before anything is
    // written. Renews the stamp.
    Failure write();

    // How the file stands against what was read or last written.
    DiskStamp::State diskState() const { return stamp_.state(); }
    const DiskStamp& stamp() const { return stamp_; }

    // The in-memory copy of region i. Its length is fixed: change bytes, never
    // the size (write() refuses a copy whose size changed).
    const QByteArray& bytes(std::size_t i) const { return bytes_.at(i); }
    QByteArray& bytes(std::size_t i) { return bytes_.at(i); }

private:
    std::vector<Region> layout_;
    std::vector<QByteArray> bytes_;
    QString path_;
    DiskStamp stamp_;
    bool loaded_ = false;
};

} // namespace lcj
