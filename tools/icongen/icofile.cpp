#include "icofile.h"

#include <QBuffer>
#include <QtEndian>

namespace lcj::icongen {
namespace {

void put16(QByteArray& out, quint16 v) {
    const quint16 le = qToLittleEndian(v);
    out.append(reinterpret_cast<const char*>(&le), 2);
}

void put32(QByteArray& out, quint32 v) {
    const quint32 le = qToLittleEndian(v);
    out.append(reinterpret_cast<const char*>(&le), 4);
}

QByteArray pngOf(const QImage& image) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.convertToFormat(QImage::Format_ARGB32).save(&buffer, "PNG");
    return png;
}

// A BITMAPINFOHEADER, the colour rows from the bottom up (blue, green, red,
// alpha, not premultiplied), then the mask: one bit a pixel, set where the
// pixel is fully transparent, each row padded to four bytes.
QByteArray bitmapOf(const QImage& source) {
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    const int side = image.width();
    const int maskStride = (side + 31) / 32 * 4;
    QByteArray out;
    put32(out, 40);
    put32(out, quint32(side));
    put32(out, quint32(2 * side)); // the colours and the mask, one above the other
    put16(out, 1);                 // planes
    put16(out, 32);                // bits per pixel
    put32(out, 0);                 // no compression
    put32(out, quint32(side * side * 4 + side * maskStride));
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    for (int y = side - 1; y >= 0; --y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < side; ++x) {
            out.append(char(qBlue(row[x])));
            out.append(char(qGreen(row[x])));
            out.append(char(qRed(row[x])));
            out.append(char(qAlpha(row[x])));
        }
    }
    for (int y = side - 1; y >= 0; --y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        QByteArray mask(maskStride, '\0');
        for (int x = 0; x < side; ++x)
            if (qAlpha(row[x]) == 0)
                mask[x / 8] = char(mask[x / 8] | (0x80 >> (x % 8)));
        out.append(mask);
    }
    return out;
}

} // namespace

QByteArray icoFile(const QList<QImage>& images) {
    QList<QByteArray> entries;
    for (const QImage& image : images) {
        const int side = image.width();
        if (image.height() != side || side < 1 || side > 256)
            return {};
        entries << (side == 256 ? pngOf(image) : bitmapOf(image));
    }
    QByteArray out;
    put16(out, 0);
    put16(out, 1); // an icon, not a cursor
    put16(out, quint16(images.size()));
    quint32 offset = quint32(6 + 16 * images.size());
    for (qsizetype i = 0; i < images.size(); ++i) {
        const int side = images[i].width();
        out.append(char(side == 256 ? 0 : side)); // 0 stands for 256
        out.append(char(side == 256 ? 0 : side));
        out.append('\0'); // no palette
        out.append('\0');
        put16(out, 1);  // planes
        put16(out, 32); // bits per pixel
        put32(out, quint32(entries[i].size()));
        put32(out, offset);
        offset += quint32(entries[i].size());
    }
    for (const QByteArray& entry : entries)
        out.append(entry);
    return out;
}

} // namespace lcj::icongen
