#include "regionset.h"

#include "fileaccess.h"

#include <QDir>

namespace lcj {

RegionSet::RegionSet(std::vector<Region> layout) : layout_(std::move(layout)) {
    for (const Region& r : layout_)
        bytes_.emplace_back(r.length, '\0');
}

Failure RegionSet::read(const QString& path) {
    // One read of the whole file gives every region and the stamp, so the
    // stamp is of exactly the bytes the copies came from.
    auto whole = files::readWhole(path);
    if (!whole.ok())
        return whole.error();
    return take(path, *whole);
}

Failure RegionSet::take(const QString& path, const QByteArray& whole) {
    std::vector<QByteArray> fresh;
    fresh.reserve(layout_.size());
    for (const Region& r : layout_) {
        if (whole.size() < r.end())
            return QStringLiteral("文件“%1”太短：需要至少%2字节，实际只有%3字节")
                .arg(QDir::toNativeSeparators(path))
                .arg(r.end())
                .arg(whole.size());
        fresh.push_back(whole.mid(r.offset, r.length));
    }
    bytes_ = std::move(fresh);
    path_ = path;
    stamp_ = DiskStamp::take(path, whole);
    loaded_ = true;
    return {};
}

Failure RegionSet::reload() {
    if (!loaded_)
        return QStringLiteral("还没有打开文件");
    const QString path = path_;
    return read(path);
}

Failure RegionSet::write() {
    if (!loaded_)
        return QStringLiteral("还没有打开文件");
    QList<files::Patch> patches;
    for (std::size_t i = 0; i < layout_.size(); ++i) {
        if (bytes_[i].size() != layout_[i].length)
            return QStringLiteral("内部错误：第%1段数据的长度不对，没有写入").arg(i + 1);
        patches.append({layout_[i].offset, bytes_[i]});
    }
    QByteArray written;
    if (auto failure = files::writeRegions(path_, patches, &written); !failure.ok())
        return failure;
    stamp_ = DiskStamp::written(path_, written);
    return {};
}

} // namespace lcj
