#include "datafile/characterform.h"

#include <gtest/gtest.h>

using namespace lcj;
using data::CharacterForm;

namespace {

QByteArray sampleRecord() {
    QByteArray r(32, '\0');
    r.replace(0, 4, QByteArray("\xC1\xD6\xC7\xE0", 4)); // 林青
    const quint8 rest[] = {0xAA, 7,    0xBB, 12, 3, 0,  37, 40, 41,  42,
                           43,   0x2C, 0x01, 50, 9, 10, 11, 5,  104, 255};
    for (int i = 0; i < 20; ++i)
        r[12 + i] = static_cast<char>(rest[i]);
    return r;
}

} // namespace

TEST(CharacterForm, ShowsEveryField) {
    const CharacterForm f = CharacterForm::show(sampleRecord());
    EXPECT_EQ(f.name, QStringLiteral("林青"));
    EXPECT_EQ(f.portrait, QStringLiteral("7"));
    EXPECT_EQ(f.figure, QStringLiteral("12"));
    EXPECT_EQ(f.criticalLine, QStringLiteral("3"));
    EXPECT_EQ(f.forcedJoin, Qt::Checked);
    EXPECT_EQ(f.force, QStringLiteral("74"));
    EXPECT_EQ(f.luck, QStringLiteral("86"));
    EXPECT_EQ(f.hp, QStringLiteral("300"));
    EXPECT_EQ(f.mp, QStringLiteral("50"));
    EXPECT_EQ(f.troopType, 9);
    EXPECT_EQ(f.level, QStringLiteral("10"));
    EXPECT_EQ(f.experience, QStringLiteral("11"));
    EXPECT_EQ(f.weapon, 5);
    EXPECT_EQ(f.armour, 104); // 104 and above show "无"
    EXPECT_EQ(f.auxiliary, 104);
}

TEST(CharacterForm, UnchangedFormWritesTheRecordBackExceptNoneCodes) {
    QByteArray record = sampleRecord();
    ASSERT_TRUE(CharacterForm::show(record).apply(record).ok());
    QByteArray expected = sampleRecord();
    expected[30] = '\xFF'; // a stored 104 is saved as 255 through "无"
    EXPECT_EQ(record, expected);
}

TEST(CharacterForm, StoresEachFieldAtItsOffset) {
    QByteArray record = sampleRecord();
    CharacterForm f = CharacterForm::show(record);
    f.name = QStringLiteral("岚川记");
    f.force = QStringLiteral("75");          // halves to even: 38
    f.command = QStringLiteral("77");        // 38
    f.intelligence = QStringLiteral("76.9"); // rounded down first: 76 → 38
    f.hp = QStringLiteral("65535");
    f.troopType = 52;
    f.weapon = 104;
    f.armour = 0;
    f.forcedJoin = Qt::Unchecked;
    ASSERT_TRUE(f.apply(record).ok());
    EXPECT_EQ(record.left(12), QByteArray("\xE1\xB0\xB4\xA8\xBC\xC7\0\0\0\0\0\0", 12));
    EXPECT_EQ(quint8(record[12]), 0xAA); // not interpreted, kept
    EXPECT_EQ(quint8(record[14]), 0xBB);
    EXPECT_EQ(quint8(record[17]), 255);
    EXPECT_EQ(quint8(record[18]), 38);
    EXPECT_EQ(quint8(record[19]), 38);
    EXPECT_EQ(quint8(record[20]), 38);
    EXPECT_EQ(quint8(record[23]), 0xFF);
    EXPECT_EQ(quint8(record[24]), 0xFF);
    EXPECT_EQ(quint8(record[26]), 52);
    EXPECT_EQ(quint8(record[29]), 255);
    EXPECT_EQ(quint8(record[30]), 0);
}

TEST(CharacterForm, GreyedCheckBoxLeavesTheFlag) {
    QByteArray record = sampleRecord();
    record[17] = 7;
    CharacterForm f = CharacterForm::show(record);
    f.forcedJoin = Qt::PartiallyChecked;
    ASSERT_TRUE(f.apply(record).ok());
    EXPECT_EQ(quint8(record[17]), 7);
}

TEST(CharacterForm, TroopTypeBeyondTheListIsKept) {
    QByteArray record = sampleRecord();
    record[26] = 60;
    const CharacterForm f = CharacterForm::show(record);
    EXPECT_EQ(f.troopType, 60);
    ASSERT_TRUE(f.apply(record).ok());
    EXPECT_EQ(quint8(record[26]), 60);
}

namespace {

struct Bad {
    QString CharacterForm::*box;
    const char16_t* text;
    const char16_t* field;
};

class CharacterFormRefuses : public testing::TestWithParam<Bad> {};

} // namespace

TEST_P(CharacterFormRefuses, BadTextChangesNothing) {
    const Bad& b = GetParam();
    const QByteArray before = sampleRecord();
    QByteArray record = before;
    CharacterForm f = CharacterForm::show(record);
    f.name = QStringLiteral("新名字"); // a valid change elsewhere must not land either
    f.*b.box = QString::fromUtf16(b.text);
    const auto failure = f.apply(record);
    ASSERT_FALSE(failure.ok());
    EXPECT_TRUE(failure.error().startsWith(QString::fromUtf16(b.field) + u'：'))
        << failure.error().toStdString();
    EXPECT_EQ(record, before);
}

INSTANTIATE_TEST_SUITE_P(Fields, CharacterFormRefuses,
                         testing::Values(Bad{&CharacterForm::force, u"abc", u"武力"},
                                         Bad{&CharacterForm::force, u"511", u"武力"},
                                         Bad{&CharacterForm::luck, u"-2", u"运气"},
                                         Bad{&CharacterForm::portrait, u"256", u"头像"},
                                         Bad{&CharacterForm::experience, u"", u"经验"},
                                         Bad{&CharacterForm::hp, u"65536", u"初始HP值"},
                                         Bad{&CharacterForm::criticalLine, u"1,5",
                                             u"人物致命一击台词类型"},
                                         Bad{&CharacterForm::name, u"岚😀", u"姓名"}));
