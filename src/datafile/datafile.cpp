#include "datafile.h"

#include "common/fileaccess.h"
#include "common/gbk.h"

#include <QDir>

namespace lcj::data {

Failure DataFile::checkSize() const {
    const auto size = files::size(path_);
    if (!size)
        return size.error();
    if (*size < minimumFileSize)
        return QStringLiteral("“%1”不是完整的Data文件：长度只有%2字节，至少应有%3字节")
            .arg(QDir::toNativeSeparators(path_))
            .arg(*size)
            .arg(minimumFileSize);
    return std::nullopt;
}

Result<QByteArray> DataFile::readRecord(const Table& table, int index) const {
    Q_ASSERT(index >= 0 && index < table.count);
    if (auto failure = checkSize())
        return Result<QByteArray>::failure(*failure);
    return files::readRegion(path_, table.recordOffset(index), table.recordSize);
}

Failure DataFile::writeRecord(const Table& table, int index, const QByteArray& record) {
    Q_ASSERT(index >= 0 && index < table.count && record.size() == table.recordSize);
    if (auto failure = checkSize())
        return failure;
    if (auto failure = files::writeRegion(path_, table.recordOffset(index), record))
        return failure;
    stampNow();
    return std::nullopt;
}

Result<QStringList> DataFile::readNames(const Table& table) const {
    if (auto failure = checkSize())
        return Result<QStringList>::failure(*failure);
    const auto bytes =
        files::readRegion(path_, table.offset, qint64(table.count) * table.recordSize);
    if (!bytes)
        return Result<QStringList>::failure(bytes.error());
    QStringList names;
    names.reserve(table.count);
    for (int i = 0; i < table.count; ++i)
        names.append(gbk::decodeField(
            QByteArrayView(*bytes).sliced(qsizetype(i) * table.recordSize, table.nameWidth)));
    return names;
}

} // namespace lcj::data
