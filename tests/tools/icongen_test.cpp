// lcjicongen as the build runs it: the icon files it writes hold the program's
// drawings at every size, in order, and the Linux package's pictures.
#include "common/gui/appicon.h"
#include "icofilereader.h"
#include "support/testfiles.h"

#include <QDir>
#include <QProcess>
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
