#include "smalldisk.h"

#include <QDir>
#include <QFile>

#ifdef Q_OS_LINUX
#include <cerrno>
#include <cstring>
#include <sys/mount.h>
#include <unistd.h>
#endif

namespace lcj::test {

namespace {
constexpr qint64 page = 4096;
}

SmallDisk::SmallDisk(int kib) {
#ifdef Q_OS_LINUX
    if (::geteuid() != 0) {
        skipReason_ = QStringLiteral("a full disk needs a tmpfs, and mounting one needs root: "
                                     "run the tests as root to cover it");
        return;
    }
    const QByteArray options = "size=" + QByteArray::number(kib) + "k";
    if (::mount("tmpfs", QFile::encodeName(dir_.path()).constData(), "tmpfs", 0,
                options.constData()) != 0) {
        skipReason_ =
            QStringLiteral("mounting a tmpfs failed (%1): the full-disk cases are not run")
                .arg(QString::fromLocal8Bit(std::strerror(errno)));
        return;
    }
    mounted_ = true;
#else
    Q_UNUSED(kib);
    skipReason_ = QStringLiteral("a full disk is made with a Linux tmpfs: not covered here");
#endif
}

SmallDisk::~SmallDisk() {
#ifdef Q_OS_LINUX
    if (mounted_)
        ::umount2(QFile::encodeName(dir_.path()).constData(), MNT_DETACH);
#endif
}

QString SmallDisk::fillerName() {
    return QStringLiteral("filler");
}

QString SmallDisk::path(const QString& name) const {
    return QDir(dir_.path()).filePath(name);
}

QString SmallDisk::write(const QString& name, const QByteArray& bytes) const {
    const QString p = path(name);
    QFile f(p);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size() ||
        !f.flush())
        qFatal("cannot write %s on the small disk", qPrintable(name));
    return p;
}

bool SmallDisk::fill(qint64 leave) {
    QFile filler(path(fillerName()));
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return false;
    const QByteArray chunk(page, 'F');
    while (filler.write(chunk) == chunk.size()) {
    }
    // A last part page.
    while (filler.write(chunk.constData(), 1) == 1) {
    }
    const qint64 giveBack = (leave + page - 1) / page * page;
    return giveBack == 0 || filler.resize(std::max<qint64>(0, filler.size() - giveBack));
}

void SmallDisk::makeRoom() {
    QFile::remove(path(fillerName()));
}

QStringList SmallDisk::entries() const {
    QStringList all =
        QDir(dir_.path())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                       QDir::Name);
    all.removeAll(fillerName());
    return all;
}

} // namespace lcj::test
