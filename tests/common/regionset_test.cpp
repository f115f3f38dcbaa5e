#include "common/regionset.h"
#include "support/testfiles.h"

#include <QDateTime>
#include <QFile>
#include <gtest/gtest.h>

using namespace lcj;

namespace {

QByteArray counting(qsizetype size) {
    QByteArray bytes(size, '\0');
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(i * 7 + 3);
    return bytes;
}

RegionSet twoRegions() {
    return RegionSet({{10, 3}, {40, 5}});
}

} // namespace

TEST(RegionSet, StartsEmptyAndRefusesToWrite) {
    RegionSet set = twoRegions();
    EXPECT_FALSE(set.loaded());
    EXPECT_TRUE(set.path().isEmpty());
    EXPECT_EQ(set.bytes(1).size(), 5);
    EXPECT_FALSE(set.write().ok());
    EXPECT_FALSE(set.reload().ok());
}

TEST(RegionSet, ReadsEachRegionAndWritesOnlyThem) {
    test::TestFolder dir;
    const QByteArray original = counting(64);
    const QString path = dir.write(QStringLiteral("f.bin"), original);
    RegionSet set = twoRegions();
    ASSERT_TRUE(set.read(path).ok());
    EXPECT_TRUE(set.loaded());
    EXPECT_EQ(set.path(), path);
    EXPECT_EQ(set.bytes(0), original.mid(10, 3));
    EXPECT_EQ(set.bytes(1), original.mid(40, 5));

    set.bytes(0)[1] = 'x';
    set.bytes(1)[4] = 'y';
    ASSERT_TRUE(set.write().ok());
    QByteArray expected = original;
    expected[11] = 'x';
    expected[44] = 'y';
    EXPECT_EQ(test::readFile(path), expected);
}

TEST(RegionSet, UnchangedCopiesWriteTheFileBackByteForByte) {
    test::TestFolder dir;
    const QByteArray original = counting(45); // ends exactly with the last region
    const QString path = dir.write(QStringLiteral("f.bin"), original);
    RegionSet set = twoRegions();
    ASSERT_TRUE(set.read(path).ok());
    ASSERT_TRUE(set.write().ok());
    EXPECT_EQ(test::readFile(path), original);
}

TEST(RegionSet, FailedReadKeepsTheFileItHeld) {
    test::TestFolder dir;
    const QString first = dir.write(QStringLiteral("a.bin"), counting(64));
    const QString shortFile = dir.write(QStringLiteral("b.bin"), counting(44));
    RegionSet set = twoRegions();
    ASSERT_TRUE(set.read(first).ok());
    set.bytes(0)[0] = 'q';
    for (const QString& bad : {shortFile, dir.path(QStringLiteral("missing.bin")), QString()}) {
        const Failure failure = set.read(bad);
        ASSERT_FALSE(failure.ok());
        EXPECT_TRUE(set.loaded());
        EXPECT_EQ(set.path(), first);
        EXPECT_EQ(set.bytes(0)[0], 'q');
    }
    // The short file was never written.
    EXPECT_EQ(test::readFile(shortFile), counting(44));
}

TEST(RegionSet, FileThatShrankIsRefusedWithNothingWritten) {
    test::TestFolder dir;
    const QString path = dir.write(QStringLiteral("f.bin"), counting(64));
    RegionSet set = twoRegions();
    ASSERT_TRUE(set.read(path).ok());
    dir.write(QStringLiteral("f.bin"), counting(42));
    set.bytes(0)[0] = 'z';
    const Failure failure = set.write();
    ASSERT_FALSE(failure.ok());
    EXPECT_TRUE(failure.error().contains(QStringLiteral("太短")));
    EXPECT_EQ(test::readFile(path), counting(42));
}

TEST(RegionSet, ReloadDiscardsChangesAndFailedReloadKeepsThem) {
    test::TestFolder dir;
    const QByteArray original = counting(64);
    const QString path = dir.write(QStringLiteral("f.bin"), original);
    RegionSet set = twoRegions();
    ASSERT_TRUE(set.read(path).ok());
    set.bytes(1)[0] = 'm';
    ASSERT_TRUE(set.reload().ok());
    EXPECT_EQ(set.bytes(1), original.mid(40, 5));

    set.bytes(1)[0] = 'm';
    QFile::remove(path);
    EXPECT_FALSE(set.reload().ok());
    EXPECT_EQ(set.bytes(1)[0], 'm');
    // A vanished file is never created again by a write.
    EXPECT_FALSE(set.write().ok());
    EXPECT_FALSE(QFile::exists(path));
}

TEST(RegionSet, CopyOfChangedSizeIsNotWritten) {
    test::TestFolder dir;
    const QString path = dir.write(QStringLiteral("f.bin"), counting(64));
    RegionSet set = twoRegions();
    ASSERT_TRUE(set.read(path).ok());
    set.bytes(0).append('!');
    EXPECT_FALSE(set.write().ok());
    EXPECT_EQ(test::readFile(path), counting(64));
}

// The stamp tells the window whether another program changed the file since
// the set read or wrote it: by content, not by time alone.
TEST(RegionSet, KnowsWhenAnotherProgramChangedTheFile) {
    test::TestFolder dir;
    const QByteArray original = counting(64);
    const QString path = dir.write(QStringLiteral("f.bin"), original);
    RegionSet set = twoRegions();
    ASSERT_TRUE(set.read(path).ok());
    EXPECT_EQ(set.diskState(), DiskStamp::State::Unchanged);
    // Written again with the same bytes: nothing to lose.
    dir.write(QStringLiteral("f.bin"), original);
    EXPECT_EQ(set.diskState(), DiskStamp::State::Unchanged);
    QByteArray other = original;
    other[63] = 'z';
    dir.write(QStringLiteral("f.bin"), other);
    EXPECT_EQ(set.diskState(), DiskStamp::State::Changed);
    // Writing renews the stamp, from what is now on disk.
    set.bytes(0)[0] = 'x';
    ASSERT_TRUE(set.write().ok());
    EXPECT_EQ(set.diskState(), DiskStamp::State::Unchanged);
    other[10] = 'x';
    EXPECT_EQ(test::readFile(path), other);
    QFile::remove(path);
    EXPECT_EQ(set.diskState(), DiskStamp::State::Vanished);
}

// A file written again within the step of its file system's clock keeps its time: for a
// file stamped just after it was written the contents still tell. A file written long
// before is not read again while its size and time stay as they were.
TEST(RegionSet, FileWrittenAgainUnderTheSameTimeIsStillChanged) {
    for (const int agoSeconds : {0, 3600}) {
        test::TestFolder dir;
        const QString path = dir.write(QStringLiteral("f.bin"), counting(64));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        const QDateTime written = QDateTime::currentDateTimeUtc().addSecs(-agoSeconds);
        ASSERT_TRUE(file.setFileTime(written, QFileDevice::FileModificationTime));
        RegionSet set = twoRegions();
        ASSERT_TRUE(set.read(path).ok());
        ASSERT_TRUE(file.seek(41));
        ASSERT_EQ(file.write("z", 1), 1);
        file.flush();
        ASSERT_TRUE(file.setFileTime(written, QFileDevice::FileModificationTime));
        file.close();
        EXPECT_EQ(set.diskState(),
                  agoSeconds == 0 ? DiskStamp::State::Changed : DiskStamp::State::Unchanged)
            << agoSeconds;
    }
}
