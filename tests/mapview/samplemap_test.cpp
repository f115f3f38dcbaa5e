#include "samplegen/samplegame.h"
#include "support/testfiles.h"
#include "support/testmain.h"

#include <QImage>
#include <QtEndian>
#include <QtTest>

using namespace lcj;

// The sample maps are BMP files written by hand; a real decoder must read
// them as the grid of terrain cells they are meant to be.
class SampleMapTest : public QObject {
    Q_OBJECT

private slots:
    void decodesAsAGridOfTerrainCells_data() {
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("rows");
        QTest::addColumn<quint32>("seed");
        for (const sample::SampleMap& map : sample::sampleMaps())
            QTest::newRow(qPrintable(map.fileName)) << map.columns << map.rows << map.seed;
        // 5 cells = 30 pixels = 90 bytes a row: two bytes of padding.
        QTest::newRow("padded rows") << 5 << 3 << quint32(1);
    }
    void decodesAsAGridOfTerrainCells() {
        QFETCH(int, columns);
        QFETCH(int, rows);
        QFETCH(quint32, seed);
        const QByteArray bmp = sample::mapPicture(columns, rows, seed);
        const int width = columns * 6;
        const int height = rows * 6;
        const int stride = (width * 3 + 3) / 4 * 4;
        QCOMPARE(bmp.size(), 54 + stride * height);
        QCOMPARE(qFromLittleEndian<quint32>(bmp.constData() + 2), quint32(bmp.size()));

        const QImage image = QImage::fromData(bmp, "BMP");
        QCOMPARE(image.size(), QSize(width, height));
        // Cells of one terrain have one colour, cells of another a different one;
        // the last pixel column and row of each cell are darker.
        QHash<int, QRgb> colourOf;
        QSet<QRgb> seen;
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < columns; ++c) {
                const QRgb inside = image.pixel(c * 6, r * 6);
                for (int y = 0; y < 5; ++y)
                    for (int x = 0; x < 5; ++x)
                        QCOMPARE(image.pixel(c * 6 + x, r * 6 + y), inside);
                QVERIFY(qGray(image.pixel(c * 6 + 5, r * 6 + 2)) < qGray(inside));
                QVERIFY(qGray(image.pixel(c * 6 + 2, r * 6 + 5)) < qGray(inside));
                const int terrain = sample::mapTerrainAt(c, r, seed);
                if (colourOf.contains(terrain)) {
                    QCOMPARE(colourOf[terrain], inside);
                } else {
                    QVERIFY(!seen.contains(inside));
                    colourOf[terrain] = inside;
                    seen.insert(inside);
                }
            }
        }
    }

    void theSampleGameHasAMapLargerThanTheViewersFrame() {
        test::TestFolder dir;
        QVERIFY(sample::writeSampleGame(dir.path(QStringLiteral("game"))).ok());
        bool larger = false;
        for (const sample::SampleMap& map : sample::sampleMaps()) {
            const QImage image(dir.path(QStringLiteral("game/") + map.fileName));
            QCOMPARE(image.size(), QSize(map.columns * 6, map.rows * 6));
            larger = larger || (image.width() > 657 && image.height() > 601);
        }
        QVERIFY(larger);
    }
};

LCJ_TEST_MAIN(SampleMapTest)
#include "samplemap_test.moc"
