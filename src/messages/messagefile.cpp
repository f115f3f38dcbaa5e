#include "messagefile.h"

#include "common/fileaccess.h"
#include "common/gbk.h"

namespace lcj::imsg {

namespace {

const QString lineBreak = QStringLiteral("\r\n");

} // namespace

QString decodeSlot(QByteArrayView slot) {
    QString text = gbk::decodeField(slot);
    text.replace(lineBreak, QStringLiteral("\n"));
    return text;
}

namespace {

// The text as a slot stores it: trimmed, every line break as 0D 0A.
QString storedForm(const QString& text) {
    QString stored = text.trimmed();
    stored.replace(lineBreak, QStringLiteral("\n"));
    stored.replace(u'\n', lineBreak);
    return stored;
}

} // namespace

int slotBytes(const QString& text) {
    return gbk::byteCount(storedForm(text));
}

Result<QByteArray> encodeSlot(const QString& text, QByteArrayView shown) {
    if (shown.size() == slotSize && text.trimmed() == decodeSlot(shown))
        return shown.toByteArray();
    const QString stored = storedForm(text);
    const auto code = gbk::encode(stored);
    if (!code.ok())
        return code;
    if (code->size() > slotSize)
        return Result<QByteArray>::failure(
            QStringLiteral("最多%1字节（一个汉字占2字节，换行占2字节），现在是%2字节")
                .arg(slotSize)
                .arg(code->size()));
    return gbk::encodeField(stored, slotSize);
}

QString criticalTypeCaption() {
    return QStringLiteral("致命一击台词类型对应值");
}

QString criticalTypeText(int row) {
    if (row <= 20)
        return QStringLiteral("特定人物台词");
    return QString::number(row / 3 - 7);
}

QString battleNumberText(int row) {
    return QStringLiteral("关卡对应的文件剧本号") + QString::number(row);
}

std::vector<Region> tableLayout() {
    std::vector<Region> layout;
    for (const Category& c : categories)
        layout.push_back({c.offset, c.end() - c.offset});
    return layout;
}

QByteArray slotIn(const RegionSet& tables, int c, int row) {
    return tables.bytes(std::size_t(c)).mid(qsizetype(row) * slotSize, slotSize);
}

QByteArrayView slotView(const RegionSet& tables, int c, int row) {
    return QByteArrayView(tables.bytes(std::size_t(c))).sliced(qsizetype(row) * slotSize, slotSize);
}

void setSlotIn(RegionSet& tables, int c, int row, const QByteArray& slot) {
    Q_ASSERT(slot.size() == slotSize);
    tables.bytes(std::size_t(c)).replace(qsizetype(row) * slotSize, slotSize, slot);
}

void placeSlot(QByteArray& file, int c, int row, const QByteArray& slot) {
    Q_ASSERT(slot.size() == slotSize);
    const qint64 at = categories[std::size_t(c)].slotOffset(row);
    if (at + slotSize <= file.size())
        file.replace(at, slotSize, slot);
}

SlotPatches slotPatches(const RegionSet& texts, const RegionSet& onDisk, int c, int row) {
    SlotPatches write;
    const qint64 always = c >= 0 ? categories[std::size_t(c)].slotOffset(row) : -1;
    if (c >= 0)
        write.patches.append({always, slotIn(texts, c, row)});
    for (int t = 0; t < int(categories.size()); ++t)
        for (int r = 0; r < categories[t].count; ++r) {
            if (slotView(texts, t, r) == slotView(onDisk, t, r))
                continue;
            ++write.changed;
            const qint64 at = categories[t].slotOffset(r);
            if (at != always)
                write.patches.append({at, slotIn(texts, t, r)});
        }
    return write;
}

Failure MessageFile::check() const {
    const auto size = files::size(path_);
    if (!size.ok())
        return size.error();
    if (*size < minimumFileSize)
        return QStringLiteral("文件太短：Imsg文件至少有%1字节，这个文件只有%2字节")
            .arg(minimumFileSize)
            .arg(*size);
    return {};
}

Result<QByteArray> MessageFile::readSlot(const Category& category, int index) const {
    if (index < 0 || index >= category.count)
        return Result<QByteArray>::failure(QStringLiteral("没有第%1条").arg(index + 1));
    return files::readRegion(path_, category.slotOffset(index), slotSize);
}

Result<QList<QByteArray>> MessageFile::readSlots(const Category& category) const {
    const auto table = files::readRegion(path_, category.offset, category.end() - category.offset);
    if (!table.ok())
        return Result<QList<QByteArray>>::failure(table.error());
    QList<QByteArray> read;
    read.reserve(category.count);
    for (int i = 0; i < category.count; ++i)
        read.append(table->mid(qsizetype(i) * slotSize, slotSize));
    return read;
}

Failure MessageFile::writeSlot(qint64 offset, const QByteArray& slot) {
    return writeSlots({{offset, slot}});
}

Failure MessageFile::writeSlots(const QList<files::Patch>& patches) {
    for (const files::Patch& slot : patches)
        if (slot.bytes.size() != slotSize)
            return QStringLiteral("内部错误：文本槽的长度不是%1字节，没有写入").arg(slotSize);
    QByteArray written;
    if (auto failure = files::writeRegions(path_, patches, &written); !failure.ok())
        return failure;
    stamp_ = DiskStamp::written(path_, written);
    return {};
}

} // namespace lcj::imsg
