#include "common/fileaccess.h"
#include "support/smalldisk.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <string>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif
#include <gtest/gtest.h>

using namespace lcj;
using test::readFile;

TEST(FileAccess, RegionReadAndWriteInPlace) {
    test::TestFolder dir;
    const QString path = dir.write(QStringLiteral("f.bin"), QByteArray("0123456789"));
    EXPECT_EQ(*files::readRegion(path, 3, 4), QByteArray("3456"));
    EXPECT_FALSE(files::writeRegion(path, 8, QByteArray("ab")));
    EXPECT_EQ(readFile(path), QByteArray("01234567ab"));
}

TEST(FileAccess, RegionPastTheEndIsRefusedAndNothingWritten) {
    test::TestFolder dir;
    const QString path = dir.write(QStringLiteral("f.bin"), QByteArray("0123456789"));
    EXPECT_FALSE(files::readRegion(path, 8, 3).ok());
    const auto failure = files::writeRegion(path, 9, QByteArray("ab"));
    ASSERT_TRUE(failure);
    EXPECT_TRUE(failure->contains(QStringLiteral("太短")));
    EXPECT_EQ(readFile(path), QByteArray("0123456789"));
}

TEST(FileAccess, MissingFilesAreErrorsAndNeverCreated) {
    test::TestFolder dir;
    const QString path = dir.path(QStringLiteral("none.bin"));
    EXPECT_FALSE(files::readRegion(path, 0, 1).ok());
    EXPECT_FALSE(files::readWhole(path).ok());
    EXPECT_TRUE(files::writeRegion(path, 0, QByteArray("x")));
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_FALSE(files::readRegion(QString(), 0, 1).ok());
}

TEST(FileAccess, WholeFileWriteReplacesTheFile) {
    test::TestFolder dir;
    const QString path = dir.write(QStringLiteral("f.bin"), QByteArray("old contents"));
    EXPECT_FALSE(files::writeWhole(path, QByteArray("new")));
    EXPECT_EQ(*files::readWhole(path), QByteArray("new"));
}

TEST(FileAccess, WholeFileWriteIntoMissingFolderFailsCleanly) {
    test::TestFolder dir;
    EXPECT_TRUE(files::writeWhole(dir.path(QStringLiteral("no/such/f.bin")), QByteArray("x")));
}

TEST(FileAccess, FirstWriteKeepsABackupThatIsNeverOverwritten) {
    test::TestFolder dir;
    const QString path = dir.write(QStringLiteral("data.e5"), QByteArray("original"));
    EXPECT_FALSE(files::writeRegion(path, 0, QByteArray("O")));
    EXPECT_EQ(readFile(files::backupPath(path)), QByteArray("original"));
    EXPECT_FALSE(files::writeWhole(path, QByteArray("second")));
    EXPECT_EQ(readFile(files::backupPath(path)), QByteArray("original"));
    EXPECT_EQ(readFile(path), QByteArray("second"));
    // A new file has nothing to back up.
    EXPECT_FALSE(files::writeWhole(dir.path(QStringLiteral("new.eex")), QByteArray("x")));
    EXPECT_FALSE(QFile::exists(files::backupPath(dir.path(QStringLiteral("new.eex")))));
}

TEST(FileAccess, ReadOnlyFileIsRefused) {
    test::TestFolder dir;
    const QString path = dir.write(QStringLiteral("f.bin"), QByteArray("0123"));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadUser);
    EXPECT_TRUE(files::writeRegion(path, 0, QByteArray("x")));
    EXPECT_TRUE(files::writeWhole(path, QByteArray("x")));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(readFile(path), QByteArray("0123"));
}

namespace {

struct FaultCase {
    files::Fault fault;
    bool hitsReads; // else only writes meet it
};

class InjectedFault : public testing::TestWithParam<FaultCase> {
protected:
    void TearDown() override { files::clearFaults(); }
};

} // namespace

TEST_P(InjectedFault, FailsCleanlyAndLeavesTheFileWhole) {
    test::TestFolder dir;
    const QString path = dir.write(QStringLiteral("f.bin"), QByteArray("0123456789"));
    files::injectFault(GetParam().fault);
    if (GetParam().hitsReads)
        EXPECT_FALSE(files::readRegion(path, 0, 4).ok());
    else
        EXPECT_TRUE(files::writeRegion(path, 2, QByteArray("ab")));
    EXPECT_EQ(readFile(path), QByteArray("0123456789"));
    // The fault is used up: the next write goes through.
    EXPECT_FALSE(files::writeRegion(path, 2, QByteArray("ab")));
    EXPECT_EQ(readFile(path), QByteArray("01ab456789"));
}

INSTANTIATE_TEST_SUITE_P(Faults, InjectedFault,
                         testing::Values(FaultCase{files::Fault::OpenRefused, true},
                                         FaultCase{files::Fault::ShortRead, true},
                                         FaultCase{files::Fault::WriteError, false},
                                         FaultCase{files::Fault::CommitFailure, false}));

namespace {

QByteArray counting(qsizetype size, int seed) {
    QByteArray bytes(size, '\0');
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(i * 13 + seed);
    return bytes;
}

struct FullDiskCase {
    const char* name;
    qsizetype size;    // of the file saved
    bool backupBefore; // a backup exists from an earlier save
    qint64 free;       // bytes left free once the disk is filled
    bool backupAfter;  // whether a whole backup is there afterwards
};

class FullDisk : public testing::TestWithParam<FullDiskCase> {};

} // namespace

// The disk fills during the save: the save fails with a message that names
// the full disk, the file keeps every byte, and no temporary file or
// cut-short backup is left. Once there is room, the same save goes through.
TEST_P(FullDisk, SaveFailsAndTheFileKeepsEveryByte) {
    const FullDiskCase& c = GetParam();
    test::SmallDisk disk(64);
    if (!disk.mounted())
        GTEST_SKIP() << qPrintable(disk.skipReason());
    const QByteArray original = counting(c.size, 1);
    const QByteArray changed = counting(c.size, 2);
    const QString path = disk.write(QStringLiteral("f.bin"), original);
    const QString bak = files::backupPath(path);
    if (c.backupBefore)
        disk.write(QStringLiteral("f.bin.bak"), original);
    ASSERT_TRUE(disk.fill(c.free));

    const auto failure = files::writeWhole(path, changed);
    ASSERT_TRUE(failure);
    EXPECT_TRUE(failure->contains(QStringLiteral("磁盘空间不足"))) << qPrintable(*failure);
    EXPECT_EQ(readFile(path), original);
    QStringList expected{QStringLiteral("f.bin")};
    if (c.backupAfter) {
        expected.append(QStringLiteral("f.bin.bak"));
        EXPECT_EQ(readFile(bak), original);
    }
    EXPECT_EQ(disk.entries(), expected);

    disk.makeRoom();
    EXPECT_FALSE(files::writeWhole(path, changed));
    EXPECT_EQ(readFile(path), changed);
    EXPECT_EQ(readFile(bak), original);
}

INSTANTIATE_TEST_SUITE_P(
    Saves, FullDisk,
    testing::Values(FullDiskCase{"small_file_backup_kept_before", 200, true, 0, true},
                    FullDiskCase{"small_file_no_room_for_a_backup", 200, false, 0, false},
                    FullDiskCase{"room_for_the_backup_only", 16384, false, 16384, true},
                    FullDiskCase{"backup_cut_short", 16384, false, 8192, false},
                    FullDiskCase{"new_file_cut_short", 16384, true, 8192, true}),
    [](const testing::TestParamInfo<FullDiskCase>& info) { return std::string(info.param.name); });

TEST(FileAccess, RegionsOnAFullDiskAreAllOrNothing) {
    test::SmallDisk disk(64);
    if (!disk.mounted())
        GTEST_SKIP() << qPrintable(disk.skipReason());
    const QByteArray original = counting(16384, 1);
    const QString path = disk.write(QStringLiteral("Sv01d.e5s"), original);
    disk.write(QStringLiteral("Sv01d.e5s.bak"), original);
    ASSERT_TRUE(disk.fill(4096));
    EXPECT_TRUE(files::writeRegions(path, {{0, QByteArray(5000, 'a')}, {9000, QByteArray("b")}}));
    EXPECT_EQ(readFile(path), original);
}

TEST(FileAccess, SeveralRegionsAreOneReplace) {
    test::TestFolder dir;
    const QString path = dir.write(QStringLiteral("f.bin"), QByteArray("0123456789"));
    // The second replace of a save would fail: there is none.
    files::injectFault(files::Fault::CommitFailure, 1, 1);
    EXPECT_FALSE(files::writeRegions(path, {{1, QByteArray("a")}, {5, QByteArray("bc")}}));
    EXPECT_EQ(readFile(path), QByteArray("0a234bc789"));
    files::clearFaults();
    // One region past the end: none of them is written.
    EXPECT_TRUE(files::writeRegions(path, {{0, QByteArray("x")}, {9, QByteArray("yz")}}));
    EXPECT_EQ(readFile(path), QByteArray("0a234bc789"));
}

TEST(FileAccess, ABackupPlaceThatIsAFolderIsReportedAndNothingWritten) {
    test::TestFolder dir;
    const QString path = dir.write(QStringLiteral("Sv01d.e5s"), QByteArray("original"));
    ASSERT_TRUE(QDir().mkdir(files::backupPath(path)));
    const auto failure = files::writeWhole(path, QByteArray("changed!"));
    ASSERT_TRUE(failure);
    EXPECT_TRUE(failure->contains(QStringLiteral("文件夹"))) << qPrintable(*failure);
    EXPECT_EQ(readFile(path), QByteArray("original"));
}

TEST(FileAccess, ASaveKeepsTheFilesOwnerAndPermissions) {
#ifdef Q_OS_WIN
    GTEST_SKIP() << "owners and mode bits are Unix file attributes: not covered on Windows";
#endif
    test::TestFolder dir;
    const QString path = dir.write(QStringLiteral("S_01.eex"), QByteArray("original"));
    const auto mode = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    ASSERT_TRUE(QFile::setPermissions(path, mode));
#ifdef Q_OS_UNIX
    if (::geteuid() != 0)
        GTEST_SKIP() << "giving a file to another owner needs root: the owner case is not run";
    ASSERT_EQ(::chown(QFile::encodeName(path).constData(), 4321, 4322), 0);
#endif
    ASSERT_FALSE(files::writeWhole(path, QByteArray("changed")));
    EXPECT_EQ(readFile(path), QByteArray("changed"));
    const QFileInfo info(path);
    EXPECT_EQ(info.permissions() & 0x7077, mode & 0x7077); // owner, group, others
#ifdef Q_OS_UNIX
    EXPECT_EQ(info.ownerId(), 4321u);
    EXPECT_EQ(info.groupId(), 4322u);
    // The backup belongs to the same user as the file.
    EXPECT_EQ(QFileInfo(files::backupPath(path)).ownerId(), 4321u);
#endif
}
