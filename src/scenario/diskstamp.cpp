#include "diskstamp.h"

#include "common/fileaccess.h"

#include <QFileInfo>

namespace lcj::scenario {

DiskStamp DiskStamp::take(const QString& path, const QByteArray& bytes) {
    const QFileInfo info(path);
    return {info.absoluteFilePath(), info.size(), info.lastModified(), bytes};
}

bool DiskStamp::changedOnDisk(const QString& target) const {
    QFileInfo info(target);
    if (path.isEmpty() || info.absoluteFilePath() != path)
        return false;
    if (!info.exists())
        return true;
    if (info.size() != size || info.lastModified() != modified)
        return true;
    const auto now = files::readWhole(target);
    return !now || *now != bytes;
}

} // namespace lcj::scenario
