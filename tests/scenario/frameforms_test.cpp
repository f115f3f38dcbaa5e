#include "scanhelpers.h"
#include "scenario/scenarioforms.h"

#include <gtest/gtest.h>

using namespace lcj;
using namespace lcj::scenario;
using lcj::test::hex;

namespace {

QByteArray filled(int size, char value) {
    return QByteArray(size, value);
}

SlotForm typical() {
    SlotForm f;
    f.character = QStringLiteral("12");
    f.levelBonus = QStringLiteral("-3");
    f.x = QStringLiteral("300");
    f.y = QStringLiteral("7");
    f.facing = QStringLiteral("2");
    f.tendency = QStringLiteral("4");
    f.follow = QStringLiteral("65535");
    f.runX = QStringLiteral("20");
    f.runY = QStringLiteral("21");
    f.appearance = Appearance::Story;
    return f;
}

} // namespace

class SlotForms : public ::testing::TestWithParam<const SlotLayout*> {};

TEST_P(SlotForms, ConfirmWritesEveryFieldAndTheZeroHighBytes) {
    const SlotLayout& l = *GetParam();
    QByteArray entry = filled(l.entrySize, '\x77');
    const auto result = typical().apply(l, entry);
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(*result, 12);
    QByteArray expected = filled(l.entrySize, '\x77');
    setWord(expected, 2, 12);
    setWord(expected, l.appearance, 1);
    setWord(expected, l.x, 300);
    setWord(expected, l.y, 7);
    setWord(expected, l.facing, 2);      // byte 27 (23) written 0
    setWord(expected, l.levelBonus, 53); // byte 31 (27) written 0
    setWord(expected, l.tendency, 4);    // byte 39 (35) written 0
    setWord(expected, l.follow, 0xFFFF);
    setWord(expected, l.runX, 20);
    setWord(expected, l.runY, 21);
    EXPECT_EQ(entry, expected);
    // Nothing outside the entry's own fields changed.
    EXPECT_EQ(entry.size(), l.entrySize);
}

TEST_P(SlotForms, LevelBonusRoundTrips) {
    const SlotLayout& l = *GetParam();
    struct Case {
        const char* typed;
        const char* stored;
        const char* shown;
    };
    for (const Case c :
         {Case{"-3", "3500", "-3"}, Case{"-1", "3300", "-1"}, Case{"50", "3200", "50"},
          Case{"65535", "ffff", "65535"}, Case{"0", "0000", "0"}, Case{"60", "3c00", "-10"},
          Case{"-205", "ff00", "65535"}}) {
        QByteArray entry = filled(l.entrySize, '\x01');
        SlotForm f = typical();
        f.levelBonus = QString::fromLatin1(c.typed);
        ASSERT_TRUE(f.apply(l, entry).ok()) << c.typed;
        EXPECT_EQ(entry.mid(l.levelBonus, 2), hex(c.stored)) << c.typed;
        EXPECT_EQ(SlotForm::show(l, entry).levelBonus, QString::fromLatin1(c.shown)) << c.typed;
    }
    // A stored 255 with any high byte shows 65535.
    QByteArray entry = filled(l.entrySize, '\x01');
    entry.replace(l.levelBonus, 2, hex("ff07"));
    EXPECT_EQ(SlotForm::show(l, entry).levelBonus, QStringLiteral("65535"));
}

TEST_P(SlotForms, CharacterRule) {
    const SlotLayout& l = *GetParam();
    struct Case {
        const char* typed;
        const char* stored;
        int named;
    };
    for (const Case c : {Case{"600", "ffff", -1}, Case{"513", "ffff", -1}, Case{"512", "0002", 512},
                         Case{"65535", "ffff", -1}, Case{"0", "0000", 0}}) {
        QByteArray entry = filled(l.entrySize, '\x01');
        SlotForm f = typical();
        f.character = QString::fromLatin1(c.typed);
        const auto result = f.apply(l, entry);
        ASSERT_TRUE(result.ok());
        EXPECT_EQ(*result, c.named) << c.typed;
        EXPECT_EQ(entry.mid(2, 2), hex(c.stored)) << c.typed;
    }
    QByteArray empty = filled(l.entrySize, '\x01');
    setWord(empty, 2, 0xFFFF);
    const SlotForm shown = SlotForm::show(l, empty);
    EXPECT_EQ(shown.character, QStringLiteral("65535"));
    EXPECT_EQ(shown.personRow, -1);
    setWord(empty, 2, 512);
    EXPECT_EQ(SlotForm::show(l, empty).personRow, -1); // the person list ends at 511
    setWord(empty, 2, 511);
    EXPECT_EQ(SlotForm::show(l, empty).personRow, 511);
}

TEST_P(SlotForms, InvalidFieldsAreRefusedAndNothingIsStored) {
    const SlotLayout& l = *GetParam();
    struct Case {
        QString SlotForm::*field;
        const char* typed;
        const char16_t* named;
    };
    for (const Case c :
         {Case{&SlotForm::levelBonus, "-206", l.levelBonusLabel},
          Case{&SlotForm::levelBonus, "256", l.levelBonusLabel},
          Case{&SlotForm::levelBonus, "65534", l.levelBonusLabel},
          Case{&SlotForm::character, "x", u"人物编号"}, Case{&SlotForm::facing, "256", u"朝向"},
          Case{&SlotForm::tendency, "-1", u"行动趋向"}, Case{&SlotForm::x, "65536", u"横坐标"},
          Case{&SlotForm::runY, "", u"奔向纵坐标"}}) {
        QByteArray entry = filled(l.entrySize, '\x05');
        SlotForm f = typical();
        f.*c.field = QString::fromLatin1(c.typed);
        const auto result = f.apply(l, entry);
        ASSERT_FALSE(result.ok()) << c.typed;
        EXPECT_TRUE(result.error().startsWith(QString::fromUtf16(c.named)))
            << result.error().toStdString();
        EXPECT_EQ(entry, filled(l.entrySize, '\x05'));
    }
}

INSTANTIATE_TEST_SUITE_P(AllyAndEnemy, SlotForms, ::testing::Values(&allySlot, &enemySlot));

TEST(SpoilsForm, ItemsAndNone) {
    QByteArray s = hex("59000400 01000000 1700 ffff 0400 00000000 0700 0400 00000000 6800");
    const SpoilsForm shown = SpoilsForm::show(s);
    EXPECT_EQ(shown.items[0], QStringLiteral("255"));
    EXPECT_EQ(shown.items[1], QStringLiteral("7"));
    EXPECT_EQ(shown.items[2], QStringLiteral("104"));
    EXPECT_EQ(spoilsItem(s, 0), -1);
    EXPECT_EQ(spoilsItem(s, 1), 7);

    const QByteArray before = s;
    ASSERT_TRUE(shown.apply(s).ok()); // unchanged: FF FF stays FF FF
    EXPECT_EQ(s, before);
    SpoilsForm typed{{QStringLiteral("105"), QStringLiteral("104"), QStringLiteral("7")}};
    ASSERT_TRUE(typed.apply(s).ok());
    EXPECT_EQ(s.mid(10, 2), hex("ffff"));
    EXPECT_EQ(s.mid(18, 2), hex("6800"));
    EXPECT_EQ(s.mid(26, 2), hex("0700"));
    SpoilsForm negative{{QStringLiteral("1"), QStringLiteral("-1"), QStringLiteral("7")}};
    const QByteArray kept = s;
    const auto failure = negative.apply(s);
    ASSERT_FALSE(failure.ok());
    EXPECT_TRUE(failure.error().startsWith(QStringLiteral("第二战利品")));
    EXPECT_EQ(s, kept);
}

TEST(EquipForm, CodesShownAsItems) {
    QByteArray e = hex("48000200 1400 3b00 0700 4900ffff 3c00 0300 4900ffff 3d00 0000");
    EquipForm f = EquipForm::show(e);
    EXPECT_EQ(f.character, QStringLiteral("20"));
    EXPECT_EQ(f.weapon, 5);
    EXPECT_EQ(f.armour, 39);
    EXPECT_EQ(f.accessory, 51);
    for (const char* code : {"0000", "0100", "ffff"}) {
        e.replace(8, 2, hex(code));
        EXPECT_EQ(EquipForm::show(e).weapon, EquipForm::noneItem) << code;
    }
}

TEST(EquipForm, ConfirmRewritesTheWholeEntry) {
    QByteArray e = filled(26, '\x11');
    EquipForm f;
    f.character = QStringLiteral("30");
    ASSERT_TRUE(f.apply(e).ok());
    EXPECT_EQ(e, hex("48000200 1e00 3b00 ffff 4900ffff 3c00 ffff 4900ffff 3d00 ffff"));
    f.weapon = 5;
    f.armour = 39;
    f.accessory = 51;
    ASSERT_TRUE(f.apply(e).ok());
    EXPECT_EQ(e, hex("48000200 1e00 3b00 0700 4900ffff 3c00 0300 4900ffff 3d00 0000"));
}

TEST(EquipForm, NoCharacterChangesOnlyTheCharacterWord) {
    QByteArray e = filled(26, '\x11');
    EquipForm f;
    f.character = QStringLiteral("513");
    f.armour = 3; // not codeable, but not looked at either
    const auto result = f.apply(e);
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(*result, -1);
    QByteArray expected = filled(26, '\x11');
    setWord(expected, 4, 0xFFFF);
    EXPECT_EQ(e, expected);
}

TEST(EquipForm, ItemsThatCannotBeCodedAreRefused) {
    for (auto [armour, accessory, field] :
         {std::tuple{35, -1, u"防具"}, std::tuple{-1, 50, u"辅助装备"}}) {
        QByteArray e = filled(26, '\x11');
        EquipForm f;
        f.character = QStringLiteral("3");
        f.armour = armour;
        f.accessory = accessory;
        const auto result = f.apply(e);
        ASSERT_FALSE(result.ok());
        EXPECT_TRUE(result.error().startsWith(QString::fromUtf16(field)));
        EXPECT_EQ(e, filled(26, '\x11'));
    }
}

TEST(EquipForm, CodesPastTheListAreWrittenBackUnchanged) {
    // Weapon code 200 (item 198), armour code 70 (item 106), accessory code 53 (item 104).
    const QByteArray e = hex("48000200 1400 3b00 c800 4900ffff 3c00 4600 4900ffff 3d00 3500");
    const EquipForm f = EquipForm::show(e);
    EXPECT_EQ(f.weapon, 198);
    EXPECT_EQ(f.armour, 106);
    EXPECT_EQ(f.accessory, 104);
    QByteArray again = e;
    ASSERT_TRUE(f.apply(again).ok());
    EXPECT_EQ(again, e);
}
