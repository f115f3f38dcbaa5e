#include "mapview/folderlisting.h"
#include "support/testfiles.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace lcj;
using namespace lcj::mapview;

namespace {

struct NameCase {
    const char16_t* folder;
    const char16_t* expected;
};

class FullName : public testing::TestWithParam<NameCase> {};

} // namespace

TEST_P(FullName, AddsASeparatorOnlyWhereNoneIs) {
    EXPECT_EQ(fullName(QString::fromUtf16(GetParam().folder), QStringLiteral("map01.bmp")),
              QString::fromUtf16(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(FolderList, FullName,
                         testing::Values(NameCase{u"C:/", u"C:/map01.bmp"},
                                         NameCase{u"C:\\", u"C:\\map01.bmp"},
                                         NameCase{u"/", u"/map01.bmp"},
                                         NameCase{u"/media/", u"/media/map01.bmp"},
                                         NameCase{u"C:/maps", u"C:/maps/map01.bmp"},
                                         NameCase{u"/home/地图", u"/home/地图/map01.bmp"}));

TEST(FolderList, FullNamesOfFilesInARootAndASubFolderAreFound) {
    test::TestFolder dir;
    const QString inRoot = dir.write(QStringLiteral("a.bmp"), "BM");
    QDir(dir.path({})).mkdir(QStringLiteral("sub"));
    const QString inSub = dir.write(QStringLiteral("sub/b.bmp"), "BM");
    // The folder with and without its closing separator, and a sub-folder.
    const QString root = QDir::cleanPath(dir.path({}));
    EXPECT_TRUE(QFile::exists(fullName(root, QStringLiteral("a.bmp"))));
    EXPECT_TRUE(QFile::exists(fullName(root + u'/', QStringLiteral("a.bmp"))));
    EXPECT_EQ(fullName(root + u'/', QStringLiteral("a.bmp")), QDir::cleanPath(inRoot));
    EXPECT_EQ(fullName(fullName(root, QStringLiteral("sub")), QStringLiteral("b.bmp")),
              QDir::cleanPath(inSub));
}

TEST(FolderList, FileListHoldsBmpFilesOfAnyCaseOnly) {
    test::TestFolder dir;
    for (const char* name : {"b.bmp", "A.BMP", "c.Bmp", "d.bmp.txt", "e.png", "bmp"})
        dir.write(QString::fromLatin1(name), "x");
    QDir(dir.path({})).mkdir(QStringLiteral("f.bmp")); // a folder, not a file
    EXPECT_EQ(bmpFiles(dir.path({})), (QStringList{QStringLiteral("A.BMP"), QStringLiteral("b.bmp"),
                                                   QStringLiteral("c.Bmp")}));
    EXPECT_TRUE(bmpFiles(dir.path(QStringLiteral("missing"))).isEmpty());
}

TEST(FolderList, FolderListShowsTheChainThenTheSubFolders) {
    test::TestFolder dir;
    QDir base(dir.path({}));
    base.mkpath(QStringLiteral("maps/beta"));
    base.mkpath(QStringLiteral("maps/Alpha"));
    const QString maps = QDir::cleanPath(base.filePath(QStringLiteral("maps")));

    const QVector<FolderEntry> entries = folderEntries(maps);
    ASSERT_GE(entries.size(), 3);
    EXPECT_EQ(entries.first().path, QDir::rootPath());
    EXPECT_EQ(entries.first().depth, 0);
    // The current folder closes the chain, one level per folder.
    const int here = int(entries.size()) - 3;
    EXPECT_EQ(entries[here].path, maps);
    EXPECT_EQ(entries[here].name, QStringLiteral("maps"));
    EXPECT_TRUE(entries[here].current);
    EXPECT_EQ(entries[here].depth, here);
    for (int i = 1; i <= here; ++i)
        EXPECT_EQ(QDir::cleanPath(entries[i].path + QStringLiteral("/..")), entries[i - 1].path);
    EXPECT_EQ(entries[here + 1].name, QStringLiteral("Alpha"));
    EXPECT_EQ(entries[here + 1].path, maps + QStringLiteral("/Alpha"));
    EXPECT_EQ(entries[here + 2].name, QStringLiteral("beta"));
    EXPECT_EQ(entries[here + 2].depth, here + 1);
    EXPECT_FALSE(entries[here + 2].current);
}

TEST(FolderList, DriveListHoldsTheRootAndFindsTheDriveOfAPath) {
    const QStringList roots = drives();
    ASSERT_FALSE(roots.isEmpty());
    EXPECT_TRUE(roots.contains(QDir::rootPath()));
    EXPECT_EQ(roots.size(), QSet<QString>(roots.begin(), roots.end()).size());
    const QStringList made{QStringLiteral("/"), QStringLiteral("/media/usb"),
                           QStringLiteral("/media/usb2")};
    EXPECT_EQ(driveOf(QStringLiteral("/media/usb2/maps"), made), QStringLiteral("/media/usb2"));
    EXPECT_EQ(driveOf(QStringLiteral("/media/usb"), made), QStringLiteral("/media/usb"));
    EXPECT_EQ(driveOf(QStringLiteral("/media/usbx"), made), QStringLiteral("/"));
    EXPECT_EQ(driveOf(QStringLiteral("C:/maps"), {QStringLiteral("C:/"), QStringLiteral("D:/")}),
              QStringLiteral("C:/"));
}
