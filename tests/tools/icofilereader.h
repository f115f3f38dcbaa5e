#pragma once

// A reader of .ico files for the tests, written from the format alone: the
// directory, then each image as a PNG or as a 32-bit bitmap with its mask.
// Whatever it finds amiss goes into `fault`.
#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>
#include <QtEndian>

namespace lcj::test {

struct IcoContents {
    QList<QImage> images; // in the order of the directory, ARGB32
    QList<bool> png;      // each image stored as PNG
    QString fault;        // empty when the file is sound
};

inline IcoContents readIco(const QByteArray& file) {
    IcoContents out;
    auto u8 = [&](qsizetype at) { return quint8(file[at]); };
    auto u16 = [&](qsizetype at) { return qFromLittleEndian<quint16>(file.constData() + at); };
    auto u32 = [&](qsizetype at) { return qFromLittleEndian<quint32>(file.constData() + at); };
    auto fail = [&](const QString& why) {
        out.fault = why;
        return out;
    };
    if (file.size() < 6 || u16(0) != 0 || u16(2) != 1)
        return fail(QStringLiteral("no icon directory"));
    const int count = u16(4);
    qsizetype used = 6 + 16 * qsizetype(count);
    if (count == 0 || file.size() < used)
        return fail(QStringLiteral("directory of %1 entries cut short").arg(count));
    for (int i = 0; i < count; ++i) {
        const qsizetype entry = 6 + 16 * i;
        const int width = u8(entry) == 0 ? 256 : u8(entry);
        const int height = u8(entry + 1) == 0 ? 256 : u8(entry + 1);
        const quint32 bytes = u32(entry + 8);
        const quint32 offset = u32(entry + 12);
        if (u8(entry + 2) != 0 || u8(entry + 3) != 0 || u16(entry + 4) != 1 || u16(entry + 6) != 32)
            return fail(QStringLiteral("entry %1: not a 32-bit image without palette").arg(i));
        // The images follow the directory one after the other, each byte used once.
        if (offset != quint64(used) || quint64(offset) + bytes > quint64(file.size()))
            return fail(QStringLiteral("entry %1: at %2, %3 bytes, expected at %4 in %5")
                            .arg(i)
                            .arg(offset)
                            .arg(bytes)
                            .arg(used)
                            .arg(file.size()));
        used += bytes;
        const QByteArray data = file.mid(offset, bytes);
        if (data.startsWith("\x89PNG\r\n\x1a\n")) {
            const QImage image = QImage::fromData(data, "PNG");
            if (image.width() != width || image.height() != height)
                return fail(QStringLiteral("entry %1: PNG of %2x%3 in a %4x%5 entry")
                                .arg(i)
                                .arg(image.width())
                                .arg(image.height())
                                .arg(width)
                                .arg(height));
            out.images << image.convertToFormat(QImage::Format_ARGB32);
            out.png << true;
            continue;
        }
        const qsizetype maskStride = (width + 31) / 32 * 4;
        if (data.size() != 40 + qsizetype(width) * height * 4 + maskStride * height ||
            u32(offset) != 40 || u32(offset + 4) != quint32(width) ||
            u32(offset + 8) != quint32(2 * height) || u16(offset + 12) != 1 ||
            u16(offset + 14) != 32 || u32(offset + 16) != 0)
            return fail(QStringLiteral("entry %1: not a 32-bit bitmap of %2x%3 with its mask")
                            .arg(i)
                            .arg(width)
                            .arg(height));
        QImage image(width, height, QImage::Format_ARGB32);
        const qsizetype mask = offset + 40 + qsizetype(width) * height * 4;
        for (int row = 0; row < height; ++row) {
            const int y = height - 1 - row; // bottom up
            for (int x = 0; x < width; ++x) {
                const qsizetype at = offset + 40 + (qsizetype(row) * width + x) * 4;
                const int alpha = u8(at + 3);
                image.setPixel(x, y, qRgba(u8(at + 2), u8(at + 1), u8(at), alpha));
                const bool clear = (u8(mask + row * maskStride + x / 8) >> (7 - x % 8)) & 1;
                if (clear != (alpha == 0))
                    return fail(QStringLiteral("entry %1: mask bit of pixel %2,%3 is %4, alpha %5")
                                    .arg(i)
                                    .arg(x)
                                    .arg(y)
                                    .arg(clear)
                                    .arg(alpha));
            }
        }
        out.images << image;
        out.png << false;
    }
    if (used != file.size())
        return fail(QStringLiteral("%1 bytes after the last image").arg(file.size() - used));
    return out;
}

} // namespace lcj::test
