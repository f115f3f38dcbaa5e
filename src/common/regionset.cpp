#include "regionset.h"

#include "fileaccess.h"

#include <QDir>
#include <algorithm>

namespace lcj {

RegionSet::RegionSet(std::vector<Region> layout) : layout_(std::move(layout)) {
    for (const Region& r : layout_)
        bytes_.emplace_back(r.length, '\0');
}

qint64 RegionSet::reach() const {
    qint64 end = 0;
    for (const Region& r : layout_)
        end = std::max(end, r.end());
    return end;
}

Failure RegionSet::read(const QString& path) {
    std::vector<QByteArray> fresh;
    fresh.reserve(layout_.size());
    for (const Region& r : layout_) {
        auto bytes = files::readRegion(path, r.offset, r.length);
        if (!bytes)
            return bytes.error();
        fresh.push_back(std::move(*bytes));
    }
    bytes_ = std::move(fresh);
    path_ = path;
    loaded_ = true;
    return std::nullopt;
}

Failure RegionSet::reload() {
    if (!loaded_)
        return QStringLiteral("还没有打开文件");
    const QString path = path_;
    return read(path);
}

Failure RegionSet::write() const {
    if (!loaded_)
        return QStringLiteral("还没有打开文件");
    for (std::size_t i = 0; i < layout_.size(); ++i)
        if (bytes_[i].size() != layout_[i].length)
            return QStringLiteral("内部错误：第%1段数据的长度不对，没有写入").arg(i + 1);
    // A file that no longer reaches every region gets none of them.
    const auto size = files::size(path_);
    if (!size)
        return size.error();
    if (*size < reach())
        return QStringLiteral("文件“%1”太短：需要至少%2字节，实际只有%3字节")
            .arg(QDir::toNativeSeparators(path_))
            .arg(reach())
            .arg(*size);
    for (std::size_t i = 0; i < layout_.size(); ++i)
        if (auto failure = files::writeRegion(path_, layout_[i].offset, bytes_[i]))
            return failure;
    return std::nullopt;
}

} // namespace lcj
