#include "mapview/bmpextent.h"
#include "samplegen/samplegame.h"
#include "support/testfiles.h"

#include <gtest/gtest.h>

using namespace lcj;
using namespace lcj::mapview;

namespace {

void put32(QByteArray& b, int at, quint32 v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = char(v >> (8 * i));
}

} // namespace

TEST(BmpExtent, WholePictureFitsAndEveryByteLessIsReported) {
    // 20 x 10 cells of 6 pixels: 120 pixels of 3 bytes a row, padded to 360.
    const QByteArray bmp = sample::mapPicture(20, 10, 1);
    ASSERT_EQ(bmp.size(), 54 + 360 * 60);
    EXPECT_TRUE(checkBmpExtent(bmp, bmp.size()).ok());
    for (qint64 size : {qint64(bmp.size() - 1), qint64(54 + 360), qint64(54)}) {
        const Failure cut = checkBmpExtent(bmp, size);
        ASSERT_FALSE(cut.ok()) << size;
        EXPECT_TRUE(cut.error().contains(QString::number(bmp.size()))) << cut.error().toStdString();
        EXPECT_TRUE(cut.error().contains(QString::number(size))) << cut.error().toStdString();
    }
}

TEST(BmpExtent, RowsArePaddedToFourBytesAndTopDownCounts) {
    QByteArray bmp = sample::mapPicture(1, 1, 1); // 6 x 6 pixels, rows of 18 -> 20 bytes
    ASSERT_EQ(bmp.size(), 54 + 20 * 6);
    put32(bmp, 22, quint32(-6)); // the same rows stored top-down
    EXPECT_TRUE(checkBmpExtent(bmp, bmp.size()).ok());
    EXPECT_FALSE(checkBmpExtent(bmp, bmp.size() - 2).ok());
    // Pixel data that starts later than the headers reaches further.
    put32(bmp, 10, 60);
    EXPECT_FALSE(checkBmpExtent(bmp, bmp.size()).ok());
}

TEST(BmpExtent, CompressedPicturesUseTheirStatedSize) {
    QByteArray bmp = sample::mapPicture(1, 1, 1);
    put32(bmp, 30, 1);    // RLE8
    put32(bmp, 34, 4000); // far more than the file holds
    EXPECT_FALSE(checkBmpExtent(bmp, bmp.size()).ok());
    put32(bmp, 34, 20);
    EXPECT_TRUE(checkBmpExtent(bmp, bmp.size()).ok());
}

TEST(BmpExtent, WhatIsNoBmpHeaderIsLeftToTheReader) {
    EXPECT_TRUE(checkBmpExtent(QByteArray("not a picture"), 13).ok());
    EXPECT_TRUE(checkBmpExtent(QByteArray(), 0).ok());
    EXPECT_TRUE(checkBmpExtent(sample::mapPicture(2, 2, 1).left(30), 30).ok());
    EXPECT_TRUE(checkBmpExtent(QStringLiteral("/nonexistent/map.bmp")).ok());
}

TEST(BmpExtent, ReadsTheFileItself) {
    test::TestFolder dir;
    const QByteArray bmp = sample::mapPicture(3, 2, 1);
    EXPECT_TRUE(checkBmpExtent(dir.write(QStringLiteral("whole.bmp"), bmp)).ok());
    EXPECT_FALSE(checkBmpExtent(dir.write(QStringLiteral("cut.bmp"), bmp.chopped(7))).ok());
}
