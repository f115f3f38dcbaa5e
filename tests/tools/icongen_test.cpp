// lcjicongen as the build runs it: the icon files it writes hold the program's
// drawings at every size, in order, and the Linux package's pictures.
#include "common/gui/appicon.h"
#include "icofilereader.h"
#include "support/testfiles.h"

#include <QDir>
#include <QProcess>
#include <QSet>
#include <QtEndian>
#include <gtest/gtest.h>

using namespace lcj;

struct IconFile {
    const char* name;
    QImage (*draw)(int);
};

class IconGenerator : public testing::TestWithParam<IconFile> {};

TEST_P(IconGenerator, WritesTheDrawingAtEverySize) {
    test::TestFolder dir;
    const QString folder = dir.path(QStringLiteral("icons"));
    QProcess tool;
    tool.start(QStringLiteral(LCJ_ICONGEN), {folder});
    ASSERT_TRUE(tool.waitForFinished(60000));
    ASSERT_EQ(tool.exitStatus(), QProcess::NormalExit);
    ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();

    const IconFile icon = GetParam();
    const QByteArray bytes = test::readFile(QDir(folder).filePath(QString::fromLatin1(icon.name)));
    const test::IcoContents read = test::readIco(bytes);
    ASSERT_EQ(read.fault, QString()) << read.fault.toStdString();
    const QList<int> sizes{16, 20, 24, 32, 40, 48, 64, 256};
    ASSERT_EQ(read.images.size(), sizes.size());
    for (qsizetype i = 0; i < sizes.size(); ++i) {
        const QImage drawn = icon.draw(sizes[i]).convertToFormat(QImage::Format_ARGB32);
        EXPECT_EQ(read.images[i], drawn) << icon.name << " at " << sizes[i] << " px";
    }
}

INSTANTIATE_TEST_SUITE_P(Files, IconGenerator,
                         testing::Values(IconFile{"lcjworkshop.ico", icons::drawAppIcon},
                                         IconFile{"lcjpatch.ico", icons::drawPatchIcon}),
                         [](const auto& info) {
                             return std::string(info.param.name).substr(0, 6);
                         });

TEST(IconGenerator, WritesTheDesktopPictures) {
    test::TestFolder dir;
    const QString folder = dir.path(QStringLiteral("icons"));
    ASSERT_EQ(QProcess::execute(QStringLiteral(LCJ_ICONGEN), {folder}), 0);
    for (int side : {16, 24, 32, 48, 64, 128, 256}) {
        const QImage png(
            QDir(folder).filePath(QStringLiteral("hicolor/%1x%1/apps/lcjworkshop.png").arg(side)));
        EXPECT_EQ(png.convertToFormat(QImage::Format_ARGB32),
                  icons::drawAppIcon(side).convertToFormat(QImage::Format_ARGB32))
            << side << " px";
    }
}

namespace {

quint32 le32(const QByteArray& bytes, int at) {
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

quint16 le16(const QByteArray& bytes, int at) {
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

} // namespace

// The setup program's picture: a bitmap its pages can load (24 bits, bottom up,
// uncompressed), twice the page's design size, holding the drawing.
TEST(IconGenerator, WritesTheSetupPicture) {
    test::TestFolder dir;
    const QString folder = dir.path(QStringLiteral("icons"));
    ASSERT_EQ(QProcess::execute(QStringLiteral(LCJ_ICONGEN), {folder}), 0);
    const QByteArray bmp = test::readFile(QDir(folder).filePath(QStringLiteral("lcjsetup.bmp")));
    ASSERT_GE(bmp.size(), 54);
    EXPECT_EQ(bmp.left(2), QByteArray("BM"));
    EXPECT_EQ(le32(bmp, 2), quint32(bmp.size()));
    ASSERT_EQ(le32(bmp, 10), 54u); // pixels right after the headers
    EXPECT_EQ(le32(bmp, 14), 40u); // BITMAPINFOHEADER
    const int width = int(le32(bmp, 18));
    const int height = int(le32(bmp, 22)); // positive: bottom up
    EXPECT_EQ(width, 328);
    EXPECT_EQ(height, 628);
    EXPECT_EQ(le16(bmp, 26), 1);
    EXPECT_EQ(le16(bmp, 28), 24);
    EXPECT_EQ(le32(bmp, 30), 0u); // no compression
    const int stride = (width * 3 + 3) / 4 * 4;
    ASSERT_EQ(le32(bmp, 34), quint32(stride * height));
    ASSERT_EQ(bmp.size(), 54 + stride * height);

    // Row by row, bottom up, the drawing's colours.
    const QImage drawn = icons::drawSetupPicture(2).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(drawn.size(), QSize(width, height));
    QSet<QRgb> colours;
    int differing = 0;
    for (int y = 0; y < height; ++y) {
        const char* row = bmp.constData() + 54 + (height - 1 - y) * stride;
        for (int x = 0; x < width; ++x) {
            const QRgb pixel =
                qRgb(uchar(row[3 * x + 2]), uchar(row[3 * x + 1]), uchar(row[3 * x]));
            colours.insert(pixel);
            if (pixel != drawn.pixel(x, y))
                ++differing;
        }
    }
    EXPECT_EQ(differing, 0);
    // Drawn, not blank: the sky at the top, the darkest hills at the bottom, the
    // icon's evening blue in between, and the gradients' many shades.
    EXPECT_GT(colours.size(), 500);
    auto at = [&](int x, int y) {
        const char* row = bmp.constData() + 54 + (height - 1 - y) * stride;
        return qRgb(uchar(row[3 * x + 2]), uchar(row[3 * x + 1]), uchar(row[3 * x]));
    };
    EXPECT_GT(qBlue(at(4, 4)), 0xe0);                    // light sky
    EXPECT_LT(qRed(at(width / 2, height - 40)), 0x90);   // hills
    EXPECT_LT(qGray(at(width / 2, 56 * 2 + 112)), 0x60); // the icon's dark sky
}
