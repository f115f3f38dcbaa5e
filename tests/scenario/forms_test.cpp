#include "scanhelpers.h"
#include "scenario/scenarioforms.h"
#include "support/formfieldscheck.h"

#include <gtest/gtest.h>

using namespace lcj;
using namespace lcj::scenario;
using lcj::test::hex;

namespace {
const QByteArray armyEntry =
    hex("4b000400 03000000 0400 0c010203 0400 0d040506 2b00 0207 2600 0000");
}

TEST(ArmyEntryForm, ShowsAndStoresOnlyTheLowBytes) {
    auto form = ArmyEntryForm::show(armyEntry);
    EXPECT_EQ(form.x, QStringLiteral("12"));
    EXPECT_EQ(form.y, QStringLiteral("13"));
    EXPECT_EQ(form.facing, QStringLiteral("2"));
    EXPECT_EQ(form.appearance, Appearance::Initial);
    form.x = QStringLiteral("200.9");
    form.y = QStringLiteral("0");
    form.facing = QStringLiteral("3");
    form.appearance = Appearance::Story;
    QByteArray entry = armyEntry;
    ASSERT_TRUE(form.apply(entry).ok());
    EXPECT_EQ(entry, hex("4b000400 03000000 0400 c8010203 0400 00040506 2b00 0307 2600 0100"));
}

TEST(ArmyEntryForm, AppearanceFromEveryStoredValue) {
    struct Case {
        const char* bytes;
        Appearance shown;
        const char* confirmedNeither; // what a confirm with both options clear writes
    };
    for (const Case c :
         {Case{"0000", Appearance::Initial, "ffff"}, Case{"0100", Appearance::Story, "ffff"},
          Case{"ffff", Appearance::Neither, "ffff"}, Case{"0201", Appearance::Kept, "0201"}}) {
        QByteArray entry = armyEntry;
        entry.replace(26, 2, hex(c.bytes));
        auto form = ArmyEntryForm::show(entry);
        EXPECT_EQ(form.appearance, c.shown) << c.bytes;
        if (form.appearance != Appearance::Kept)
            form.appearance = Appearance::Neither;
        ASSERT_TRUE(form.apply(entry).ok());
        EXPECT_EQ(entry.mid(26), hex(c.confirmedNeither)) << c.bytes;
    }
}

TEST(ArmyEntryForm, InvalidNumbersAreRefusedNamingTheField) {
    struct Case {
        const char* x;
        const char* y;
        const char* facing;
        const char16_t* field;
    };
    for (const Case c : {Case{"256", "1", "1", u"横坐标"}, Case{"1", "abc", "1", u"纵坐标"},
                         Case{"1", "1", "-1", u"朝向"}, Case{"", "1", "1", u"横坐标"}}) {
        ArmyEntryForm form{QString::fromLatin1(c.x), QString::fromLatin1(c.y),
                           QString::fromLatin1(c.facing), Appearance::Initial};
        QByteArray entry = armyEntry;
        const auto failure = form.apply(entry);
        ASSERT_FALSE(failure.ok());
        EXPECT_TRUE(failure.error().startsWith(QString::fromUtf16(c.field)))
            << failure.error().toStdString();
        EXPECT_EQ(entry, armyEntry);
    }
}

TEST(RLimitsForm, ShowsAndStoresTheElevenValues) {
    QByteArray record(50, '\x07');
    record.replace(0, 5, hex("2e00010004"));
    setByte(record, 6, 8);
    for (int k = 0; k < 10; ++k)
        setWord(record, 12 + 4 * k, quint16(k == 0 ? 0xFFFF : k == 1 ? 0x8001 : 100 + k));
    auto form = RLimitsForm::show(record);
    EXPECT_EQ(form.deployCount, QStringLiteral("8"));
    EXPECT_EQ(form.forced[0], QStringLiteral("65535"));
    EXPECT_EQ(form.forced[1], QStringLiteral("32769"));
    EXPECT_EQ(form.restricted[4], QStringLiteral("109"));

    QByteArray same = record;
    ASSERT_TRUE(form.apply(same).ok());
    EXPECT_EQ(same, record); // 0x8001 and FF FF written back unchanged

    form.deployCount = QStringLiteral("12");
    form.forced[2] = QStringLiteral("65535");
    form.restricted[0] = QStringLiteral("300");
    ASSERT_TRUE(form.apply(same).ok());
    QByteArray expected = record;
    setByte(expected, 6, 12);
    setWord(expected, 20, 0xFFFF);
    setWord(expected, 32, 300);
    EXPECT_EQ(same, expected);

    form.restricted[3] = QStringLiteral("65536");
    QByteArray refused = record;
    const auto failure = form.apply(refused);
    ASSERT_FALSE(failure.ok());
    EXPECT_TRUE(failure.error().startsWith(QStringLiteral("限制出场人员4")));
    EXPECT_EQ(refused, record);
}

TEST(BattleForm, StoresTheSixBytes) {
    QByteArray header(38, '\x33');
    struct Case {
        const char* bonus;
        quint8 stored;
    };
    for (const Case c : {Case{"-3", 53}, Case{"0", 0}, Case{"14", 14}, Case{"-205", 255}}) {
        BattleForm form{QString::fromLatin1(c.bonus), QStringLiteral("25"), QStringLiteral("600"),
                        QStringLiteral("12"), 0};
        QByteArray h = header;
        ASSERT_TRUE(form.apply(h).ok());
        QByteArray expected = header;
        setByte(expected, 20, c.stored);
        setByte(expected, 14, 25);
        setWord(expected, 28, 0xFFFF);
        setWord(expected, 36, 12);
        EXPECT_EQ(h, expected) << c.bonus;
    }
    BattleForm bad{QStringLiteral("-206"), QStringLiteral("1"), QStringLiteral("1"),
                   QStringLiteral("1"), 0};
    QByteArray h = header;
    EXPECT_FALSE(bad.apply(h).ok());
    EXPECT_EQ(h, header);
}

TEST(RLimitsForm, EveryFieldCarriesTypedTextToItsBytes) {
    QByteArray a(50, '\x07');
    QByteArray b = a;
    setByte(a, 6, 8);
    setByte(b, 6, 9);
    for (int k = 0; k < 10; ++k) {
        setWord(a, 12 + 4 * k, quint16(100 + k));
        setWord(b, 12 + 4 * k, quint16(300 + k));
    }
    test::expectDistinctFields<RLimitsForm>();
    test::expectFieldsCarry<RLimitsForm>(a, b);
    test::expectOutOfRangeRefused<RLimitsForm>(a);
}
