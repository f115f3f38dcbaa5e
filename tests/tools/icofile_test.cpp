// The .ico writer, read back by a reader of the format written here from
// scratch: the directory, and every image pixel for pixel.
#include "common/gui/appicon.h"
#include "icofilereader.h"
#include "icongen/icofile.h"

#include <gtest/gtest.h>

using namespace lcj;

namespace {

// Every pixel its own colour, alpha from clear through half to opaque, so a
// swapped channel, a row upside down or a premultiplied colour shows.
QImage testPattern(int side) {
    QImage image(side, side, QImage::Format_ARGB32);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            image.setPixel(x, y,
                           qRgba((x * 7) & 255, (y * 13) & 255, (x + y) & 255, (x * 37 + y) % 256));
    return image;
}

bool samePixels(const QImage& a, const QImage& b) {
    return a.convertToFormat(QImage::Format_ARGB32) == b.convertToFormat(QImage::Format_ARGB32);
}

} // namespace

class IcoRoundTrip : public testing::TestWithParam<std::vector<int>> {};

TEST_P(IcoRoundTrip, EveryImageReadsBackAsWritten) {
    QList<QImage> images;
    for (int side : GetParam())
        images << testPattern(side) << icons::drawAppIcon(side);
    const QByteArray file = icongen::icoFile(images);
    const test::IcoContents read = test::readIco(file);
    ASSERT_EQ(read.fault, QString()) << read.fault.toStdString();
    ASSERT_EQ(read.images.size(), images.size());
    for (qsizetype i = 0; i < images.size(); ++i) {
        const int side = images[i].width();
        EXPECT_EQ(read.png[i], side == 256) << side;
        EXPECT_TRUE(samePixels(read.images[i], images[i]))
            << "image " << i << ", " << side << " px";
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, IcoRoundTrip,
                         testing::Values(std::vector<int>{16}, std::vector<int>{1, 7, 33},
                                         std::vector<int>{16, 20, 24, 32, 40, 48, 64, 256}));

TEST(IcoFile, RefusesWhatAnIconCannotHold) {
    for (const QImage& image : {QImage(16, 20, QImage::Format_ARGB32), QImage(),
                                QImage(257, 257, QImage::Format_ARGB32)}) {
        EXPECT_TRUE(icongen::icoFile({testPattern(16), image}).isEmpty())
            << image.width() << "x" << image.height();
    }
}
