#include "bmpextent.h"

#include "common/bytes.h"

#include <QFile>
#include <cstdlib>

namespace lcj::mapview {

namespace {

quint32 le32(QByteArrayView b, qsizetype at) {
    return quint32(wordAt(b, at)) | quint32(wordAt(b, at + 2)) << 16;
}

constexpr qsizetype fileHeader = 14;
constexpr quint32 coreHeader = 12; // the oldest info header: 16-bit sizes
constexpr quint32 infoHeader = 40;

enum Compression : quint32 { Rgb = 0, Rle8 = 1, Rle4 = 2, BitFields = 3, AlphaBitFields = 6 };

} // namespace

Failure checkBmpExtent(QByteArrayView head, qint64 fileSize) {
    if (head.size() < fileHeader + 4 || head[0] != 'B' || head[1] != 'M')
        return {};
    const qint64 pixels = le32(head, 10);
    const quint32 info = le32(head, 14);
    qint64 width = 0, height = 0, bits = 0, imageSize = 0;
    quint32 compression = Rgb;
    if (info == coreHeader && head.size() >= fileHeader + coreHeader) {
        width = wordAt(head, 18);
        height = wordAt(head, 20);
        bits = wordAt(head, 24);
    } else if (info >= infoHeader && head.size() >= fileHeader + infoHeader) {
        width = qint32(le32(head, 18));
        height = std::abs(qint64(qint32(le32(head, 22))));
        bits = wordAt(head, 28);
        compression = le32(head, 30);
        imageSize = le32(head, 34);
    } else {
        return {};
    }
    if (width <= 0 || height <= 0 || bits <= 0)
        return {};
    qint64 needed = 0;
    if (compression == Rgb || compression == BitFields || compression == AlphaBitFields)
        needed = (width * bits + 31) / 32 * 4 * height; // rows padded to four bytes
    else
        needed = imageSize; // compressed: as long as the header says
    const qint64 end = pixels + needed;
    if (end <= fileSize)
        return {};
    return QStringLiteral("像素数据超出文件末尾：图片需要%1字节，文件只有%2字节")
        .arg(end)
        .arg(fileSize);
}

Failure checkBmpExtent(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray head = file.read(fileHeader + 124); // the largest info header
    return checkBmpExtent(head, file.size());
}

} // namespace lcj::mapview
