#include "common/fileaccess.h"
#include "common/virtualstore.h"
#include "support/smalldisk.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <string>

#include <chrono>
#include <thread>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif
#ifdef Q_OS_WIN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif
#include <gtest/gtest.h>

using namespace lcj;
using test::readFile;

TEST(FileAccess, RegionReadAndWriteInPlace) {
    test::TestFolder dir;
    const QString path = dir.write(QStringLiteral("f.bin"), QByteArray("0123456789"));
    EXPECT_EQ(*files::readRegion(path, 3, 4), QByteArray("3456"));
    EXPECT_TRUE(files::writeRegion(path, 8, QByteArray("ab")).ok());
    EXPECT_EQ(readFile(path), QByteArray("01234567ab"));
}

TEST(FileAccess, RegionPastTheEndIsRefusedAndNothingWritten) {
    test::TestFolder dir;
    const QString path = dir.write(QStringLiteral("f.bin"), QByteArray("0123456789"));
    EXPECT_FALSE(files::readRegion(path, 8, 3).ok());
    const auto failure = files::writeRegion(path, 9, QByteArray("ab"));
    ASSERT_FALSE(failure.ok());
    EXPECT_TRUE(failure.error().contains(QStringLiteral("太短")));
    EXPECT_EQ(readFile(path), QByteArray("0123456789"));
}

TEST(FileAccess, MissingFilesAreErrorsAndNeverCreated) {
    test::TestFolder dir;
    const QString path = dir.path(QStringLiteral("none.bin"));
    EXPECT_FALSE(files::readRegion(path, 0, 1).ok());
    EXPECT_FALSE(files::readWhole(path).ok());
    EXPECT_FALSE(files::writeRegion(path, 0, QByteArray("x")).ok());
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_FALSE(files::readRegion(QString(), 0, 1).ok());
}

TEST(FileAccess, WholeFileWriteReplacesTheFile) {
    test::TestFolder dir;
    const QString path = dir.write(QStringLiteral("f.bin"), QByteArray("old contents"));
    EXPECT_TRUE(files::writeWhole(path, QByteArray("new")).ok());
    EXPECT_EQ(*files::readWhole(path), QByteArray("new"));
}

// A save's read back: what is on the disk, the bytes written themselves (not a second copy)
// when the file holds exactly them, the file's own bytes when anything differs.
TEST(FileAccess, ReadingAgainGivesWhatIsOnTheDisk) {
    const QByteArray written(3 << 20, 'w');
    QByteArray lastChanged = written;
    lastChanged.back() = 'x';
    for (const QByteArray& onDisk :
         {written, lastChanged, written.first(written.size() - 1), written + "more"}) {
        test::TestFolder dir;
        const QString path = dir.write(QStringLiteral("f.bin"), onDisk);
        const auto again = files::readWholeAgain(path, written);
        ASSERT_TRUE(again.ok());
        EXPECT_EQ(*again, onDisk);
        EXPECT_EQ(again->isSharedWith(written), onDisk == written);
    }
}

TEST(FileAccess, WholeFileWriteIntoMissingFolderFailsCleanly) {
    test::TestFolder dir;
    EXPECT_FALSE(
        files::writeWhole(dir.path(QStringLiteral("no/such/f.bin")), QByteArray("x")).ok());
}

TEST(FileAccess, FirstWriteKeepsABackupThatIsNeverOverwritten) {
    test::TestFolder dir;
    const QString path = dir.write(QStringLiteral("data.e5"), QByteArray("original"));
    EXPECT_TRUE(files::writeRegion(path, 0, QByteArray("O")).ok());
    EXPECT_EQ(readFile(files::backupPath(path)), QByteArray("original"));
    EXPECT_TRUE(files::writeWhole(path, QByteArray("second")).ok());
    EXPECT_EQ(readFile(files::backupPath(path)), QByteArray("original"));
    EXPECT_EQ(readFile(path), QByteArray("second"));
    // A new file has nothing to back up.
    EXPECT_TRUE(files::writeWhole(dir.path(QStringLiteral("new.eex")), QByteArray("x")).ok());
    EXPECT_FALSE(QFile::exists(files::backupPath(dir.path(QStringLiteral("new.eex")))));
}

TEST(FileAccess, ReadOnlyFileIsRefused) {
    test::TestFolder dir;
    const QString path = dir.write(QStringLiteral("f.bin"), QByteArray("0123"));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadUser);
    EXPECT_FALSE(files::writeRegion(path, 0, QByteArray("x")).ok());
    EXPECT_FALSE(files::writeWhole(path, QByteArray("x")).ok());
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(readFile(path), QByteArray("0123"));
}

namespace {

// Every file in the folder of `path`, hidden ones too.
QStringList entries(const QString& path) {
    return QFileInfo(path).dir().entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

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
    dir.write(QStringLiteral("f.bin.bak"), QByteArray("0123456789"));
    files::injectFault(GetParam().fault);
    if (GetParam().hitsReads)
        EXPECT_FALSE(files::readRegion(path, 0, 4).ok());
    else
        EXPECT_FALSE(files::writeRegion(path, 2, QByteArray("ab")).ok());
    EXPECT_EQ(readFile(path), QByteArray("0123456789"));
    // No new file is left behind beside it.
    EXPECT_EQ(entries(path), QStringList({QStringLiteral("f.bin"), QStringLiteral("f.bin.bak")}));
    EXPECT_FALSE(QFileInfo::exists(files::workshopOf(dir.path({}))));
    // The fault is used up: the next write goes through.
    EXPECT_TRUE(files::writeRegion(path, 2, QByteArray("ab")).ok());
    EXPECT_EQ(readFile(path), QByteArray("01ab456789"));
}

INSTANTIATE_TEST_SUITE_P(Faults, InjectedFault,
                         testing::Values(FaultCase{files::Fault::OpenRefused, true},
                                         FaultCase{files::Fault::ShortRead, true},
                                         FaultCase{files::Fault::WriteError, false},
                                         FaultCase{files::Fault::CommitFailure, false},
                                         FaultCase{files::Fault::CreateRefused, false}));

namespace {

QString busyMessage(const QString& path) {
    return QStringLiteral(
               "“%1”正被其他程序使用（游戏或杀毒软件？），请关闭它后再保存；文件保持原样。")
        .arg(QDir::toNativeSeparators(path));
}

struct BusyCase {
    const char* name;
    int busyTimes; // replaces that meet the file held open
    bool saved;
};

class BusyFile : public testing::TestWithParam<BusyCase> {
protected:
    void TearDown() override {
        files::clearFaults();
        files::setBusyWait(files::defaultBusyWait);
    }
};

} // namespace

// Another program holds the file open for a while: the save waits for it and
// goes through once the file is free, or gives up with a plain message and
// leaves the file and its folder exactly as they were.
TEST_P(BusyFile, IsWaitedForThenRefusedWithTheFileWhole) {
    const BusyCase& c = GetParam();
    test::TestFolder dir;
    const QString path = dir.write(QStringLiteral("Sv01d.e5s"), QByteArray("original"));
    files::setBusyWait(std::chrono::milliseconds(c.saved ? 2000 : 300));
    files::injectFault(files::Fault::Busy, c.busyTimes);
    const auto failure = files::writeWhole(path, QByteArray("changed!"));
    const QStringList both{QStringLiteral("Sv01d.e5s"), QStringLiteral("Sv01d.e5s.bak")};
    EXPECT_EQ(entries(path), both);
    EXPECT_EQ(readFile(files::backupPath(path)), QByteArray("original"));
    if (c.saved) {
        EXPECT_TRUE(failure.ok()) << qPrintable(failure.error());
        EXPECT_EQ(readFile(path), QByteArray("changed!"));
        return;
    }
    ASSERT_FALSE(failure.ok());
    EXPECT_EQ(failure.error(), busyMessage(path)) << qPrintable(failure.error());
    EXPECT_EQ(readFile(path), QByteArray("original"));
}

INSTANTIATE_TEST_SUITE_P(Saves, BusyFile,
                         testing::Values(BusyCase{"freed_after_three_tries", 3, true},
                                         BusyCase{"held_for_good", 1000000, false}),
                         [](const testing::TestParamInfo<BusyCase>& info) {
                             return std::string(info.param.name);
                         });

// The new file has taken the old one's place, but the system did not confirm
// that the change is on the disk: the save is not called done, and the
// message does not claim that the file stayed as it was.
TEST(FileAccess, AnUnconfirmedReplaceIsReportedAsItIs) {
    test::TestFolder dir;
    const QString path = dir.write(QStringLiteral("data.e5"), QByteArray("original"));
    files::injectFault(files::Fault::FolderUnsynced);
    const auto failure = files::writeWhole(path, QByteArray("changed!"));
    files::clearFaults();
    ASSERT_FALSE(failure.ok());
    EXPECT_TRUE(failure.error().contains(QStringLiteral("没有确认")))
        << qPrintable(failure.error());
    EXPECT_FALSE(failure.error().contains(QStringLiteral("保持原样")))
        << qPrintable(failure.error());
    EXPECT_EQ(readFile(path), QByteArray("changed!"));
    EXPECT_EQ(readFile(files::backupPath(path)), QByteArray("original"));
    EXPECT_EQ(entries(path),
              QStringList({QStringLiteral("data.e5"), QStringLiteral("data.e5.bak")}));
}

#ifdef Q_OS_UNIX
// A save through a link writes the file it leads to; the link stays a link.
TEST(FileAccess, ASaveThroughALinkWritesTheFileItLeadsTo) {
    test::TestFolder dir;
    const QString real = dir.write(QStringLiteral("real.eex"), QByteArray("original"));
    const QString link = dir.path(QStringLiteral("S_01.eex"));
    ASSERT_TRUE(QFile::link(real, link));
    ASSERT_TRUE(files::writeWhole(link, QByteArray("changed!")).ok());
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(readFile(real), QByteArray("changed!"));
    EXPECT_EQ(entries(real),
              QStringList({QStringLiteral("S_01.eex"), QStringLiteral("S_01.eex.bak"),
                           QStringLiteral("real.eex")}));
}
#endif

namespace {

class GuardedFolder : public testing::TestWithParam<bool> {
protected:
    void TearDown() override {
        files::clearFaults();
        virtualstore::setSystemFolders(std::nullopt);
    }
};

} // namespace

// A folder that refuses the new file: when it is one where Windows lets only
// an administrator write, the message says so and what to do instead.
TEST_P(GuardedFolder, ARefusedSaveNamesAdministratorRights) {
    const bool guarded = GetParam();
    test::TestFolder dir;
    const QString path = dir.write(QStringLiteral("S_01.eex"), QByteArray("original"));
    const QString folder = QFileInfo(path).absolutePath();
    virtualstore::setSystemFolders(virtualstore::Folders{
        {guarded ? folder : dir.path(QStringLiteral("elsewhere"))}, dir.path(QStringLiteral("L"))});
    files::injectFault(files::Fault::CreateRefused);
    const auto failure = files::writeWhole(path, QByteArray("changed!"));
    ASSERT_FALSE(failure.ok());
    EXPECT_EQ(failure.error().contains(QStringLiteral("需要管理员权限")), guarded)
        << qPrintable(failure.error());
    EXPECT_EQ(failure.error().contains(QStringLiteral("复制到别的文件夹")), guarded);
    EXPECT_TRUE(failure.error().contains(QStringLiteral("文件保持原样")));
    EXPECT_EQ(readFile(path), QByteArray("original"));
    EXPECT_EQ(entries(path),
              QStringList({QStringLiteral("S_01.eex"), QStringLiteral("S_01.eex.bak")}));
}

INSTANTIATE_TEST_SUITE_P(Saves, GuardedFolder, testing::Bool());

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
    int diskKib = 64;
};

class FullDisk : public testing::TestWithParam<FullDiskCase> {};

} // namespace

// The disk fills during the save: the save fails with a message that names
// the full disk, the file keeps every byte, and no temporary file or
// cut-short backup is left. Once there is room, the same save goes through.
TEST_P(FullDisk, SaveFailsAndTheFileKeepsEveryByte) {
    const FullDiskCase& c = GetParam();
    test::SmallDisk disk(c.diskKib);
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
    ASSERT_FALSE(failure.ok());
    EXPECT_TRUE(failure.error().contains(QStringLiteral("磁盘空间不足")))
        << qPrintable(failure.error());
    EXPECT_EQ(readFile(path), original);
    QStringList expected{QStringLiteral("f.bin")};
    if (c.backupAfter) {
        expected.append(QStringLiteral("f.bin.bak"));
        EXPECT_EQ(readFile(bak), original);
    }
    EXPECT_EQ(disk.entries(), expected);

    disk.makeRoom();
    EXPECT_TRUE(files::writeWhole(path, changed).ok());
    EXPECT_EQ(readFile(path), changed);
    EXPECT_EQ(readFile(bak), original);
}

INSTANTIATE_TEST_SUITE_P(
    Saves, FullDisk,
    testing::Values(FullDiskCase{"small_file_backup_kept_before", 200, true, 0, true},
                    FullDiskCase{"small_file_no_room_for_a_backup", 200, false, 0, false},
                    FullDiskCase{"room_for_the_backup_only", 16384, false, 16384, true},
                    FullDiskCase{"backup_cut_short", 16384, false, 8192, false},
                    FullDiskCase{"new_file_cut_short", 16384, true, 8192, true},
                    // Written in pieces sent on to the disk one by one; the old file is let
                    // go after the replace.
                    FullDiskCase{"large_file_cut_short", 3 << 20, true, 1 << 20, true, 16384}),
    [](const testing::TestParamInfo<FullDiskCase>& info) { return std::string(info.param.name); });

TEST(FileAccess, RegionsOnAFullDiskAreAllOrNothing) {
    test::SmallDisk disk(64);
    if (!disk.mounted())
        GTEST_SKIP() << qPrintable(disk.skipReason());
    const QByteArray original = counting(16384, 1);
    const QString path = disk.write(QStringLiteral("Sv01d.e5s"), original);
    disk.write(QStringLiteral("Sv01d.e5s.bak"), original);
    ASSERT_TRUE(disk.fill(4096));
    EXPECT_FALSE(
        files::writeRegions(path, {{0, QByteArray(5000, 'a')}, {9000, QByteArray("b")}}).ok());
    EXPECT_EQ(readFile(path), original);
}

TEST(FileAccess, SeveralRegionsAreOneReplace) {
    test::TestFolder dir;
    const QString path = dir.write(QStringLiteral("f.bin"), QByteArray("0123456789"));
    // The second replace of a save would fail: there is none.
    files::injectFault(files::Fault::CommitFailure, 1, 1);
    EXPECT_TRUE(files::writeRegions(path, {{1, QByteArray("a")}, {5, QByteArray("bc")}}).ok());
    EXPECT_EQ(readFile(path), QByteArray("0a234bc789"));
    files::clearFaults();
    // One region past the end: none of them is written.
    EXPECT_FALSE(files::writeRegions(path, {{0, QByteArray("x")}, {9, QByteArray("yz")}}).ok());
    EXPECT_EQ(readFile(path), QByteArray("0a234bc789"));
}

TEST(FileAccess, ABackupPlaceThatIsAFolderIsReportedAndNothingWritten) {
    test::TestFolder dir;
    const QString path = dir.write(QStringLiteral("Sv01d.e5s"), QByteArray("original"));
    ASSERT_TRUE(QDir().mkdir(files::backupPath(path)));
    const auto failure = files::writeWhole(path, QByteArray("changed!"));
    ASSERT_FALSE(failure.ok());
    EXPECT_TRUE(failure.error().contains(QStringLiteral("文件夹"))) << qPrintable(failure.error());
    EXPECT_EQ(readFile(path), QByteArray("original"));
}

// A file where the workshop goes leaves no place to write the new file in.
TEST(FileAccess, AWorkshopPlaceThatIsAFileIsReportedAndNothingWritten) {
    test::TestFolder dir;
    const QString path = dir.write(QStringLiteral("Sv01d.e5s"), QByteArray("original"));
    dir.write(QStringLiteral(".lcjworkshop"), QByteArray("mine"));
    const auto failure = files::writeWhole(path, QByteArray("changed!"));
    ASSERT_FALSE(failure.ok());
    EXPECT_TRUE(failure.error().contains(QStringLiteral(".lcjworkshop")))
        << qPrintable(failure.error());
    EXPECT_EQ(readFile(path), QByteArray("original"));
    EXPECT_EQ(readFile(dir.path(QStringLiteral(".lcjworkshop"))), QByteArray("mine"));
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
    ASSERT_TRUE(files::writeWhole(path, QByteArray("changed")).ok());
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

// What Windows does to a file held open by another program, for real: the
// game or a virus scanner opens it without letting anyone replace it.
#ifdef Q_OS_WIN
namespace {

// Opens `path` the way such a program does: others may read it, nothing more.
HANDLE holdOpen(const QString& path) {
    return ::CreateFileW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(path).utf16()),
                         GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
}

DWORD marksOf(const QString& path) {
    return ::GetFileAttributesW(
        reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(path).utf16()));
}

} // namespace
#endif

TEST(FileAccessWindows, AFileHeldOpenIsWaitedForThenRefusedWithEveryByteKept) {
#ifndef Q_OS_WIN
    GTEST_SKIP() << "a file held open blocks a replace on Windows only: run under Wine";
#else
    test::TestFolder dir;
    const QString path = dir.write(QStringLiteral("Sv01d.e5s"), QByteArray("original"));
    const HANDLE held = holdOpen(path);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const auto failure = files::writeWhole(path, QByteArray("changed!"));
    ::CloseHandle(held);
    ASSERT_FALSE(failure.ok());
    EXPECT_EQ(failure.error(), busyMessage(path)) << qPrintable(failure.error());
    EXPECT_EQ(readFile(path), QByteArray("original"));
    EXPECT_EQ(readFile(files::backupPath(path)), QByteArray("original"));
    EXPECT_EQ(entries(path),
              QStringList({QStringLiteral("Sv01d.e5s"), QStringLiteral("Sv01d.e5s.bak")}));
#endif
}

TEST(FileAccessWindows, AFileLetGoWhileTheSaveWaitsIsSaved) {
#ifndef Q_OS_WIN
    GTEST_SKIP() << "a file held open blocks a replace on Windows only: run under Wine";
#else
    test::TestFolder dir;
    const QString path = dir.write(QStringLiteral("Sv01d.e5s"), QByteArray("original"));
    const HANDLE held = holdOpen(path);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::thread letGo([held] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        ::CloseHandle(held);
    });
    const auto failure = files::writeWhole(path, QByteArray("changed!"));
    letGo.join();
    EXPECT_TRUE(failure.ok()) << qPrintable(failure.error());
    EXPECT_EQ(readFile(path), QByteArray("changed!"));
    EXPECT_EQ(entries(path),
              QStringList({QStringLiteral("Sv01d.e5s"), QStringLiteral("Sv01d.e5s.bak")}));
#endif
}

TEST(FileAccessWindows, ASaveKeepsTheHiddenAndSystemMarks) {
#ifndef Q_OS_WIN
    GTEST_SKIP() << "hidden and system marks are Windows file attributes: run under Wine";
#else
    test::TestFolder dir;
    const QString path = dir.write(QStringLiteral("Sv01d.e5s"), QByteArray("original"));
    const DWORD marks = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    ASSERT_TRUE(::SetFileAttributesW(
        reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(path).utf16()), marks));
    ASSERT_TRUE(files::writeWhole(path, QByteArray("changed!")).ok());
    EXPECT_EQ(readFile(path), QByteArray("changed!"));
    EXPECT_EQ(marksOf(path) & marks, marks);
    EXPECT_EQ(entries(path),
              QStringList({QStringLiteral("Sv01d.e5s"), QStringLiteral("Sv01d.e5s.bak")}));
#endif
}
