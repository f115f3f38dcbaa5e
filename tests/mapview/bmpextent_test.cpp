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
    EXPECT_FALSE(checkBmpExtent(bmp, bmp.size()));
    for (qint64 size : {qint64(bmp.size() - 1), qint64(54 + 360), qint64(54)}) {
        const Failure cut = checkBmpExtent(bmp, size);
        ASSERT_TRUE(cut) << size;
        EXPECT_TRUE(cut->contains(QString::number(bmp.size()))) << cut->toStdString();
        EXPECT_TRUE(cut->contains(QString::number(size))) << cut->toStdString();
    }
}

TEST(BmpExtent, RowsArePaddedToFourBytesAndTopDownCounts) {
    QByteArray bmp = sample::mapPicture(1, 1, 1); // 6 x 6 pixels, rows of 18 -> 20 bytes
    ASSERT_EQ(bmp.size(), 54 + 20 * 6);
    put32(bmp, 22, quint32(-6)); // the same rows stored top-down
    EXPECT_FALSE(checkBmpExtent(bmp, bmp.size()));
    EXPECT_TRUE(checkBmpExtent(bmp, bmp.size() - 2));
    // Pixel data that starts later than the headers reaches further.
    put32(bmp, 10, 60);
    EXPECT_TRUE(checkBmpExtent(bmp, bmp.size()));
}

TEST(BmpExtent, CompressedPicturesUseTheirStatedSize) {
    QByteArray bmp = sample::mapPicture(1, 1, 1);
    put32(bmp, 30, 1);    // RLE8
    put32(bmp, 34, 4000); // far more than the file holds
    EXPECT_TRUE(checkBmpExtent(bmp, bmp.size()));
    put32(bmp, 34, 20);
    EXPECT_FALSE(checkBmpExtent(bmp, bmp.size()));
}

TEST(BmpExtent, WhatIsNoBmpHeaderIsLeftToTheReader) {
    EXPECT_FALSE(checkBmpExtent(QByteArray("not a picture"), 13));
    EXPECT_FALSE(checkBmpExtent(QByteArray(), 0));
    EXPECT_FALSE(checkBmpExtent(sample::mapPicture(2, 2, 1).left(30), 30));
    EXPECT_FALSE(checkBmpExtent(QStringLiteral("/nonexistent/map.bmp")));
}

TEST(BmpExtent, ReadsTheFileItself) {
    test::TestFolder dir;
    const QByteArray bmp = sample::mapPicture(3, 2, 1);
    EXPECT_FALSE(checkBmpExtent(dir.write(QStringLiteral("whole.bmp"), bmp)));
    EXPECT_TRUE(checkBmpExtent(dir.write(QStringLiteral("cut.bmp"), bmp.chopped(7))));
}
