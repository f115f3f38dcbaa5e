#include "common/bytes.h"
#include "samplegen/samplegame.h"
#include "scenario/rfile.h"
#include "support/testfiles.h"

#include <gtest/gtest.h>

using namespace lcj;
using namespace lcj::scenario;

TEST(RFile, PathFromTheScenarioPath) {
    EXPECT_EQ(*RFile::pathFor(QStringLiteral("/game/S_12.eex")), QStringLiteral("/game/R_12.eex"));
    EXPECT_EQ(*RFile::pathFor(QStringLiteral("/g/S_05.eex")), QStringLiteral("/g/R_05.eex"));
    // Names of another length: the leading S of the file name becomes R.
    EXPECT_EQ(*RFile::pathFor(QStringLiteral("/a/Sx/S_100.eex")),
              QStringLiteral("/a/Sx/R_100.eex"));
    EXPECT_EQ(*RFile::pathFor(QStringLiteral("s1.eex")), QStringLiteral("R1.eex"));
    const auto none = RFile::pathFor(QStringLiteral("/a/S/battle.eex"));
    ASSERT_FALSE(none.ok());
    EXPECT_TRUE(none.error().startsWith(rFileNotFoundMessage()));
}

TEST(RFile, TheLastRecordIsShownAndSaved) {
    test::TestFolder dir;
    const QByteArray bytes = sample::rFile(2, 1);
    const QString path = dir.write(QStringLiteral("R_01.eex"), bytes);
    auto file = RFile::read(path);
    ASSERT_TRUE(file.ok()) << file.error().toStdString();
    const qint64 first = bytes.indexOf(QByteArray("\x2E\x00\x01\x00\x04", 5));
    EXPECT_GT(file->rLimitPos(), first);
    auto form = file->show();
    EXPECT_EQ(form.deployCount, QStringLiteral("7")); // the second record's count

    form.deployCount = QStringLiteral("9");
    form.forced[4] = QStringLiteral("65535");
    form.restricted[1] = QStringLiteral("258");
    ASSERT_TRUE(file->save(form).ok());
    QByteArray expected = bytes;
    const qint64 p = file->rLimitPos();
    setByte(expected, p + 6, 9);
    setWord(expected, p + 28, 0xFFFF);
    setWord(expected, p + 36, 258);
    EXPECT_EQ(test::readFile(path), expected);
}

TEST(RFile, RefusedValuesWriteNothing) {
    test::TestFolder dir;
    const QByteArray bytes = sample::rFile(1, 3);
    const QString path = dir.write(QStringLiteral("R_03.eex"), bytes);
    auto file = RFile::read(path);
    ASSERT_TRUE(file.ok());
    auto form = file->show();
    form.deployCount = QStringLiteral("256");
    EXPECT_FALSE(file->save(form).ok());
    EXPECT_EQ(test::readFile(path), bytes);
}

TEST(RFile, FilesWithoutARecordAreNotRead) {
    test::TestFolder dir;
    QByteArray cut = sample::rFile(1, 1);
    cut.chop(30 + 10); // the record runs past the end
    const QByteArray noRecord(80, '\x01');
    for (const auto& [name, bytes] : {std::pair{QStringLiteral("R_empty.eex"), QByteArray()},
                                      std::pair{QStringLiteral("R_cut.eex"), cut},
                                      std::pair{QStringLiteral("R_none.eex"), noRecord}}) {
        const QString path = dir.write(name, bytes);
        const auto file = RFile::read(path);
        EXPECT_FALSE(file.ok()) << name.toStdString();
        EXPECT_TRUE(file.error().startsWith(rFileNotFoundMessage()));
        EXPECT_EQ(test::readFile(path), bytes);
    }
    EXPECT_FALSE(RFile::read(dir.path(QStringLiteral("R_missing.eex"))).ok());
}
