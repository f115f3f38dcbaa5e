#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace lcj::test {

// A really small disk: a tmpfs of a few KiB mounted on a temporary folder, so
// that a save meets a full disk the way it happens, with the system refusing
// bytes, instead of a fault made up inside the program. Mounting needs root
// on Linux; elsewhere mounted() is false and skipReason() says why, for the
// test to skip with a visible note. The disk is unmounted when the object
// goes, also when a test fails half-way.
class SmallDisk {
public:
    explicit SmallDisk(int kib = 64);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const { return mounted_; }
    const QString& skipReason() const { return skipReason_; }

    QString path(const QString& name) const;
    // Writes `bytes` as `name` on the disk and returns its path.
    QString write(const QString& name, const QByteArray& bytes) const;
    // Takes every free byte of the disk with a filler file, then gives back
    // `leave` bytes (rounded up to whole pages). False when that failed.
    bool fill(qint64 leave = 0);
    // Removes the filler: the disk has room again.
    void makeRoom();
    // Every entry of the disk's folder but the filler, sorted; a save that
    // leaves a temporary file or a cut-short backup behind shows here.
    QStringList entries() const;

    static QString fillerName();

private:
    QTemporaryDir dir_;
    bool mounted_ = false;
    QString skipReason_;
};

} // namespace lcj::test
