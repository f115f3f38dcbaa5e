#include "common/bytes.h"
#include "samplegame.h"

#include <QtEndian>
#include <array>
#include <cmath>

namespace lcj::sample {

namespace {

struct Colour {
    quint8 r, g, b;
};

// Plain, meadow, forest, hill, mountain, water, road, village.
constexpr std::array<Colour, 8> terrainColours{{
    {150, 190, 90},
    {120, 175, 70},
    {40, 110, 50},
    {160, 140, 90},
    {120, 100, 80},
    {60, 110, 190},
    {205, 180, 120},
    {185, 70, 55},
}};

// A smooth invented landscape: a height field from a few waves, with water in
// the low ground, mountains on the heights, a road across and a few villages.
int terrainOf(int column, int row, quint32 seed) {
    const double s = seed * 0.37;
    const double x = column * 0.21;
    const double y = row * 0.23;
    const double height = std::sin(x + s) + std::cos(y * 1.3 - s) +
                          0.6 * std::sin((x + y) * 0.7 + 2 * s) + 0.4 * std::cos(x * 2.1 - y);
    const int roadRow = 8 + int(3 * std::sin(column * 0.15 + s));
    if (height < -1.3)
        return 5; // water
    if (row == roadRow)
        return 6; // road
    if ((column * 7 + row * 13 + int(seed)) % 97 == 0)
        return 7; // village
    if (height > 1.8)
        return 4; // mountain
    if (height > 1.2)
        return 3; // hill
    if (height > 0.4)
        return 2; // forest
    return (column + row) % 5 == 0 ? 1 : 0;
}

void putLE16(QByteArray& b, qsizetype at, quint16 v) {
    qToLittleEndian(v, b.data() + at);
}
void putLE32(QByteArray& b, qsizetype at, quint32 v) {
    qToLittleEndian(v, b.data() + at);
}

} // namespace

int mapTerrainAt(int column, int row, quint32 seed) {
    return terrainOf(column, row, seed);
}

QByteArray mapPicture(int columns, int rows, quint32 seed) {
    const int width = columns * mapCellPixels;
    const int height = rows * mapCellPixels;
    // 24-bit rows are padded to a multiple of four bytes.
    const int stride = (width * 3 + 3) / 4 * 4;
    const int headers = 14 + 40;
    QByteArray bmp(headers + qsizetype(stride) * height, '\0');

    // BITMAPFILEHEADER
    bmp[0] = 'B';
    bmp[1] = 'M';
    putLE32(bmp, 2, quint32(bmp.size()));
    putLE32(bmp, 10, headers);
    // BITMAPINFOHEADER: bottom-up rows, no compression, 72 dpi.
    putLE32(bmp, 14, 40);
    putLE32(bmp, 18, quint32(width));
    putLE32(bmp, 22, quint32(height));
    putLE16(bmp, 26, 1);
    putLE16(bmp, 28, 24);
    putLE32(bmp, 34, quint32(stride * height));
    putLE32(bmp, 38, 2835);
    putLE32(bmp, 42, 2835);

    for (int y = 0; y < height; ++y) {
        const qsizetype line = headers + qsizetype(height - 1 - y) * stride;
        for (int x = 0; x < width; ++x) {
            Colour c = terrainColours[terrainOf(x / mapCellPixels, y / mapCellPixels, seed)];
            // The last pixel column and row of each cell are darker: the grid.
            if (x % mapCellPixels == mapCellPixels - 1 || y % mapCellPixels == mapCellPixels - 1)
                c = {quint8(c.r * 3 / 4), quint8(c.g * 3 / 4), quint8(c.b * 3 / 4)};
            const qsizetype at = line + qsizetype(x) * 3;
            setByte(bmp, at, c.b);
            setByte(bmp, at + 1, c.g);
            setByte(bmp, at + 2, c.r);
        }
    }
    return bmp;
}

QList<SampleMap> sampleMaps() {
    // One that fits the viewer's frame, one larger than it (and with padded rows).
    return {{QStringLiteral("map01.bmp"), 64, 48, 3}, {QStringLiteral("map02.bmp"), 131, 113, 8}};
}

} // namespace lcj::sample
