#include "common/fileaccess.h"
#include "support/testfiles.h"

#include <QFile>
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
