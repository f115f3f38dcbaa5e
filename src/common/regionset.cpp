#include "regionset.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace lcj {

namespace {

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

QString openError(const QString& path, const QFile& file) {
    if (path.isEmpty())
        return QStringLiteral("还没有选择文件");
    if (!QFileInfo::exists(path))
        return QStringLiteral("找不到文件“%1”").arg(shown(path));
    return QStringLiteral("无法打开文件“%1”：%2").arg(shown(path), file.errorString());
}

QString tooShort(const QString& path, qint64 needed, qint64 actual) {
    return QStringLiteral("文件“%1”太短：需要至少%2字节，实际只有%3字节")
        .arg(shown(path))
        .arg(needed)
        .arg(actual);
}

} // namespace

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
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return openError(path, file);
    if (file.size() < reach())
        return tooShort(path, reach(), file.size());
    std::vector<QByteArray> fresh;
    fresh.reserve(layout_.size());
    for (const Region& r : layout_) {
        QByteArray bytes;
        if (file.seek(r.offset))
            bytes = file.read(r.length);
        if (bytes.size() != r.length)
            return QStringLiteral("读取文件“%1”出错：%2").arg(shown(path), file.errorString());
        fresh.push_back(std::move(bytes));
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
    QFile file(path_);
    // ExistingOnly: a region write never creates a file.
    if (!file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly))
        return openError(path_, file);
    if (file.size() < reach())
        return tooShort(path_, reach(), file.size());
    for (std::size_t i = 0; i < layout_.size(); ++i)
        if (!file.seek(layout_[i].offset) || file.write(bytes_[i]) != bytes_[i].size())
            return QStringLiteral("写入文件“%1”出错：%2").arg(shown(path_), file.errorString());
    if (!file.flush())
        return QStringLiteral("写入文件“%1”出错：%2").arg(shown(path_), file.errorString());
    return std::nullopt;
}

} // namespace lcj
