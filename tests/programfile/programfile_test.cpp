#include "programfile/programfile.h"
#include "samplegen/samplegame.h"
#include "support/testfiles.h"

#include <gtest/gtest.h>

using namespace lcj;
using namespace lcj::exe;

struct SwitchCase {
    quint8 first;
    quint8 fifth;
    bool on;
};
class SwitchReading : public testing::TestWithParam<SwitchCase> {};

TEST_P(SwitchReading, IsOnOnlyWhenBothBytesAreEE) {
    QByteArray bytes("\x00\x01\x02\x03\x00", 5);
    bytes[0] = char(GetParam().first);
    bytes[4] = char(GetParam().fifth);
    EXPECT_EQ(switchOn(bytes), GetParam().on);
}

INSTANTIATE_TEST_SUITE_P(Pairs, SwitchReading,
                         testing::Values(SwitchCase{0xEE, 0xEE, true},
                                         SwitchCase{0xEE, 0xE8, false},
                                         SwitchCase{0xE2, 0xEE, false},
                                         SwitchCase{0xE2, 0xE8, false},
                                         SwitchCase{0x00, 0x00, false}));

TEST(Switch, WritesItsTwoEncodingsAndKeepsTheMiddleBytes) {
    QByteArray bytes("\x01\x12\x34\x56\x02", 5);
    setSwitch(bytes, true);
    EXPECT_EQ(bytes, QByteArray("\xEE\x12\x34\x56\xEE", 5));
    setSwitch(bytes, false);
    EXPECT_EQ(bytes, QByteArray("\xE2\x12\x34\x56\xE8", 5));
}

TEST(Figures, EntryTextsAndPreviewNames) {
    EXPECT_EQ(figureEntryText(QStringLiteral("林青")), QStringLiteral("林青形象"));
    EXPECT_EQ(previewPath(QStringLiteral("/game"), 12), QStringLiteral("/game/lcjpic/x12.jpg"));
    EXPECT_EQ(previewPath(QStringLiteral("/game"), 0), QStringLiteral("/game/lcjpic/x0.jpg"));
    EXPECT_TRUE(previewPath(QStringLiteral("/game"), 30).isEmpty());
    EXPECT_TRUE(previewPath(QStringLiteral("/game"), 200).isEmpty());
}

TEST(ProgramFile, ConfirmChangesMemoryOnlyAndSaveOnlyTheRegions) {
    test::TestFolder dir;
    const QByteArray original = sample::programFile();
    const QString path = dir.write(QStringLiteral("Lcj5.exe"), original);
    ProgramFile file;
    ASSERT_TRUE(file.regions().read(path).ok());
    EXPECT_TRUE(file.switchOn());
    EXPECT_EQ(file.figure(5), 5);
    EXPECT_EQ(file.figure(173), 30);
    ASSERT_TRUE(file.confirm(173, 7, false).ok());
    EXPECT_EQ(test::readFile(path), original);
    ASSERT_TRUE(file.regions().write().ok());
    QByteArray expected = original;
    expected[24793 + 173] = 7;
    expected[269801] = char(0xE2);
    expected[269805] = char(0xE8);
    EXPECT_EQ(test::readFile(path), expected);
}

TEST(ProgramFile, ConfirmRefusesWhatCannotBeStored) {
    test::TestFolder dir;
    ProgramFile file;
    EXPECT_FALSE(file.confirm(0, 1, true).ok()); // nothing loaded
    ASSERT_TRUE(
        file.regions().read(dir.write(QStringLiteral("Lcj5.exe"), sample::programFile())).ok());
    const QByteArray before = file.regions().bytes(Figures);
    EXPECT_FALSE(file.confirm(-1, 1, false).ok());
    EXPECT_FALSE(file.confirm(174, 1, false).ok());
    EXPECT_FALSE(file.confirm(0, 256, false).ok());
    EXPECT_FALSE(file.confirm(0, -1, false).ok());
    EXPECT_EQ(file.regions().bytes(Figures), before);
    EXPECT_TRUE(file.switchOn());
}

TEST(ProgramFile, FileEndingBeforeTheSwitchIsRefused) {
    test::TestFolder dir;
    ProgramFile file;
    const QString path = dir.write(QStringLiteral("Lcj5.exe"), sample::programFile().left(269805));
    EXPECT_FALSE(file.regions().read(path).ok());
    EXPECT_FALSE(file.loaded());
}

TEST(ProgramFileSwitch, UnknownPairIsKeptUnlessTheSwitchIsTurned) {
    exe::ProgramFile file;
    QByteArray bytes = sample::programFile();
    bytes[269801] = char(0x90);
    bytes[269805] = char(0xE8);
    test::TestFolder dir;
    const QString path = dir.write(QStringLiteral("Lcj5.exe"), bytes);
    ASSERT_TRUE(file.regions().read(path).ok());
    EXPECT_FALSE(file.switchOn());
    ASSERT_TRUE(file.confirm(3, 7, false).ok()); // the box left as shown: off
    EXPECT_EQ(file.regions().bytes(exe::Switch).at(0), char(0x90));
    EXPECT_EQ(file.regions().bytes(exe::Switch).at(4), char(0xE8));
    ASSERT_TRUE(file.confirm(3, 7, true).ok());  // turned on
    ASSERT_TRUE(file.confirm(3, 7, false).ok()); // and off again: now the off encoding
    EXPECT_EQ(file.regions().bytes(exe::Switch),
              QByteArray("\xE2", 1) + bytes.mid(269802, 3) + "\xE8");
}

TEST(ProgramFile, TypedFigureAndSwitch) {
    EXPECT_EQ(*exe::parseFigure(QStringLiteral("30")), 30);
    EXPECT_EQ(exe::parseFigure(QStringLiteral("31")).error(),
              QStringLiteral("形象：请输入0到30之间的整数"));
    EXPECT_TRUE(*exe::parseSwitch(QStringLiteral("1")));
    EXPECT_FALSE(*exe::parseSwitch(QStringLiteral("0")));
    EXPECT_TRUE(exe::parseSwitch(QStringLiteral("2")).error().startsWith(exe::switchCaption()));
}
