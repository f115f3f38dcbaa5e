#include "common/writelock.h"
#include "support/deadlock.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace lcj;
using namespace std::chrono_literals;

namespace {

QStringList listing(const QString& folder) {
    QStringList names =
        QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

class WriteLockTest : public ::testing::Test {
protected:
    test::TestFolder dir;
    QString path = dir.write(QStringLiteral("data.e5"), QByteArray(64, 'x'));
    void SetUp() override { files::setLockWait(300ms); }
    void TearDown() override { files::setLockWait(3000ms); }
};

} // namespace

// The lock lies in the folder's workshop, never beside the game's files.
TEST_F(WriteLockTest, LockFileIsInTheWorkshopWhileHeldAndGoneAfter) {
    {
        const auto lock = files::WriteLock::take(path);
        ASSERT_TRUE(lock.ok()) << lock.error().toStdString();
        EXPECT_EQ(listing(dir.path({})),
                  (QStringList{QStringLiteral(".lcjworkshop"), QStringLiteral("data.e5")}));
        EXPECT_EQ(listing(dir.path(QStringLiteral(".lcjworkshop"))),
                  QStringList{QStringLiteral("data.e5.lock")});
    }
    EXPECT_EQ(listing(dir.path({})), QStringList{QStringLiteral("data.e5")});
}

TEST_F(WriteLockTest, HeldLockRefusesAnotherUntilReleased) {
    auto first = files::WriteLock::take(path);
    ASSERT_TRUE(first.ok());
    const auto second = files::WriteLock::take(path);
    ASSERT_FALSE(second.ok());
    EXPECT_TRUE(second.error().contains(QDir::toNativeSeparators(path)))
        << second.error().toStdString();
    EXPECT_TRUE(second.error().contains(QStringLiteral("没有写入任何内容")));
    first->release();
    EXPECT_EQ(listing(dir.path({})), QStringList{QStringLiteral("data.e5")});
    EXPECT_TRUE(files::WriteLock::take(path).ok());
}

// "./x", "sub/../x", the full path and a link to the file are one lock.
TEST_F(WriteLockTest, EverySpellingOfThePathMeetsAtOneLock) {
    ASSERT_TRUE(QDir(dir.path({})).mkdir(QStringLiteral("sub")));
    const auto held = files::WriteLock::take(path);
    ASSERT_TRUE(held.ok());
    const QString link = dir.path(QStringLiteral("sub/link.e5"));
#ifndef Q_OS_WIN
    ASSERT_TRUE(QFile::link(path, link));
#endif
    for (const QString& other :
         {dir.path(QStringLiteral("sub/../data.e5")), dir.path(QStringLiteral("./data.e5")),
#ifndef Q_OS_WIN
          link
#endif
         }) {
        EXPECT_EQ(files::lockPath(other), files::lockPath(path)) << other.toStdString();
        EXPECT_FALSE(files::WriteLock::take(other).ok()) << other.toStdString();
    }
}

// A program that died holding the lock leaves its file; the next save takes it over.
TEST_F(WriteLockTest, LockOfADeadProgramIsTakenOver) {
    ASSERT_TRUE(test::leaveLockOfADeadProgram(path));
    ASSERT_TRUE(QFile::exists(files::lockPath(path)));
    {
        const auto lock = files::WriteLock::take(path);
        ASSERT_TRUE(lock.ok()) << lock.error().toStdString();
    }
    EXPECT_EQ(listing(dir.path({})), QStringList{QStringLiteral("data.e5")});
}

// Several files: all or none. One held elsewhere leaves none locked.
TEST_F(WriteLockTest, SeveralFilesAreLockedAllOrNone) {
    const QString other = dir.write(QStringLiteral("Sv01d.e5s"), QByteArray(8, 'y'));
    {
        const auto both = files::WriteLock::take(QStringList{other, path, other});
        ASSERT_TRUE(both.ok()) << both.error().toStdString();
        EXPECT_FALSE(files::WriteLock::take(path).ok());
        EXPECT_FALSE(files::WriteLock::take(other).ok());
    }
    const auto held = files::WriteLock::take(other);
    ASSERT_TRUE(held.ok());
    EXPECT_FALSE(files::WriteLock::take(QStringList{path, other}).ok());
    EXPECT_EQ(listing(dir.path(QStringLiteral(".lcjworkshop"))),
              QStringList{QStringLiteral("Sv01d.e5s.lock")});
}
