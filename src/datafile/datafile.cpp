#include "datafile.h"

#include "common/fileaccess.h"
#include "common/gbk.h"

#include <QDir>

namespace lcj::data {

Failure DataFile::checkSize() const {
    const auto size = files::size(path_);
    if (!size.ok())
        return size.error();
    if (*size < minimumFileSize)
        return QStringLiteral("“%1”不是完整的Data文件：长度只有%2字节，至少应有%3字节")
            .arg(QDir::toNativeSeparators(path_))
            .arg(*size)
            .arg(minimumFileSize);
    return {};
}

Result<QByteArray> DataFile::readRecord(const Table& table, int index) const {
    Q_ASSERT(index >= 0 && index < table.count);
    if (auto failure = checkSize(); !failure.ok())
        return Result<QByteArray>::failure(failure.error());
    return files::readRegion(path_, table.recordOffset(index), table.recordSize);
}

Failure DataFile::writeRecord(const Table& table, int index, const QByteArray& record) {
    Q_ASSERT(index >= 0 && index < table.count && record.size() == table.recordSize);
    if (auto failure = checkSize(); !failure.ok())
        return failure;
    QByteArray written;
    if (auto failure = files::writeRegions(path_, {{table.recordOffset(index), record}}, &written);
        !failure.ok())
        return failure;
    stamp_ = DiskStamp::written(path_, written);
    return {};
}

Result<QStringList> DataFile::readNames(const Table& table) const {
    if (auto failure = checkSize(); !failure.ok())
        return Result<QStringList>::failure(failure.error());
    const auto bytes =
        files::readRegion(path_, table.offset, qint64(table.count) * table.recordSize);
    if (!bytes.ok())
        return Result<QStringList>::failure(bytes.error());
    QStringList names;
    names.reserve(table.count);
    for (int i = 0; i < table.count; ++i)
        names.append(gbk::decodeField(
            QByteArrayView(*bytes).sliced(qsizetype(i) * table.recordSize, table.nameWidth)));
    return names;
}

namespace {

// The six tables in file order, each with the bytes it owns: the last shop
// block ends on troop type 0's first byte, which belongs to the troop types.
struct Owned {
    const Table* table;
    int lastRecordSize;
};

const Owned ownedTables[] = {
    {&characters, characters.recordSize},
    {&items, items.recordSize},
    {&shops, int(troopTypes.offset - shops.recordOffset(shops.count - 1))},
    {&troopTypes, troopTypes.recordSize},
    {&terrain, terrain.recordSize},
    {&strategies, strategies.recordSize},
};

} // namespace

Failure DataFile::load() {
    if (loaded_ && (modified() || stamp_.state() == DiskStamp::State::Unchanged))
        return {};
    loaded_ = false;
    return read();
}

Failure DataFile::reload() {
    if (!loaded_)
        return load();
    return read();
}

Failure DataFile::read() {
    if (auto failure = checkSize(); !failure.ok())
        return failure;
    auto whole = files::readWhole(path_);
    if (!whole.ok())
        return whole.error();
    if (whole->size() < minimumFileSize) {
        const Failure size = checkSize();
        return size.ok()
                   ? Failure(
                         QStringLiteral("“%1”在读取时变短了").arg(QDir::toNativeSeparators(path_)))
                   : size;
    }
    bytes_ = *whole;
    saved_ = *whole;
    stamp_ = DiskStamp::take(path_, *whole);
    loaded_ = true;
    ++loads_;
    return {};
}

QByteArray DataFile::record(const Table& table, int index) const {
    Q_ASSERT(loaded_ && index >= 0 && index < table.count);
    return bytes_.mid(table.recordOffset(index), table.recordSize);
}

void DataFile::setRecord(const Table& table, int index, const QByteArray& record) {
    Q_ASSERT(loaded_ && index >= 0 && index < table.count && record.size() == table.recordSize);
    bytes_.replace(table.recordOffset(index), table.recordSize, record);
}

QStringList DataFile::names(const Table& table) const {
    Q_ASSERT(loaded_ && table.nameWidth > 0);
    const QByteArrayView bytes =
        QByteArrayView(bytes_).sliced(table.offset, table.end() - table.offset);
    DecodedNames& decoded = decodedNames_[table.offset];
    if (decoded.names.size() == table.count && decoded.table == bytes)
        return decoded.names;
    QStringList names;
    names.reserve(table.count);
    for (int i = 0; i < table.count; ++i)
        names.append(gbk::decodeField(
            QByteArrayView(bytes_).sliced(table.recordOffset(i), table.nameWidth)));
    decoded = {bytes.toByteArray(), names};
    return names;
}

bool DataFile::modified() const {
    // Asked after every change and before every read: the tables' bytes are
    // compared whole, without the patches a save builds.
    if (saved_.size() < minimumFileSize || bytes_.size() < minimumFileSize)
        return false;
    for (const Owned& owned : ownedTables) {
        const Table& table = *owned.table;
        const qint64 at = table.offset;
        const qint64 size = table.recordOffset(table.count - 1) + owned.lastRecordSize - at;
        if (QByteArrayView(saved_).sliced(at, size) != QByteArrayView(bytes_).sliced(at, size))
            return true;
    }
    return false;
}

QList<files::Patch> DataFile::changedRecords(const QByteArray& before, const QByteArray& after) {
    QList<files::Patch> patches;
    if (before.size() < minimumFileSize || after.size() < minimumFileSize)
        return patches;
    for (const Owned& owned : ownedTables) {
        const Table& table = *owned.table;
        for (int i = 0; i < table.count; ++i) {
            const qint64 at = table.recordOffset(i);
            const int size = i == table.count - 1 ? owned.lastRecordSize : table.recordSize;
            const QByteArrayView was = QByteArrayView(before).sliced(at, size);
            const QByteArrayView now = QByteArrayView(after).sliced(at, size);
            if (was != now)
                patches.append({at, now.toByteArray()});
        }
    }
    return patches;
}

Result<int> DataFile::save() {
    Q_ASSERT(loaded_);
    if (auto failure = checkSize(); !failure.ok())
        return Result<int>::failure(failure.error());
    auto disk = files::readWhole(path_);
    if (!disk.ok())
        return Result<int>::failure(disk.error());
    if (disk->size() < minimumFileSize) {
        const Failure size = checkSize();
        return Result<int>::failure(size.error());
    }
    const QList<files::Patch> patches = changedRecords(*disk, bytes_);
    if (!patches.isEmpty())
        if (auto failure = files::writeRegions(path_, patches); !failure.ok())
            return Result<int>::failure(failure.error());
    for (const files::Patch& patch : patches)
        disk->replace(patch.pos, patch.bytes.size(), patch.bytes);
    saved_ = *disk;
    stamp_ = DiskStamp::written(path_, *disk);
    return int(patches.size());
}

} // namespace lcj::data
