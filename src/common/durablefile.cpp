#include "durablefile.h"

#include <QFileDevice>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <unistd.h>
#endif

namespace lcj::files::durable {

#ifdef Q_OS_UNIX

bool syncToDisk(QFileDevice& file) {
    if (!file.flush())
        return false;
    const int fd = file.handle();
    if (fd < 0)
        return false;
    int result;
    do
        result = ::fsync(fd);
    while (result != 0 && errno == EINTR);
    return result == 0;
}

void keepOwner(QFileDevice& file, const QString& original) {
    const QFileInfo info(original);
    const int fd = file.handle();
    if (fd < 0 || !info.exists())
        return;
    const uid_t owner = info.ownerId();
    const gid_t group = info.groupId();
    if (owner == ::geteuid() && group == ::getegid())
        return;
    // Only a privileged user may give a file away; anyone else keeps it.
    [[maybe_unused]] const int ignored = ::fchown(fd, owner, group);
}

#else

// Elsewhere the replacing commit flushes the file's buffers itself, and a
// file's owner is not a property a save can carry over.
bool syncToDisk(QFileDevice& file) {
    return file.flush();
}

void keepOwner(QFileDevice&, const QString&) {}

#endif

} // namespace lcj::files::durable
