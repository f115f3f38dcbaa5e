#include "datafile/datalayout.h"
#include "datafile/shopform.h"
#include "datafile/strategyform.h"
#include "datafile/terrainform.h"
#include "datafile/trooptypeform.h"
#include "samplegen/samplegame.h"

#include <gtest/gtest.h>

using namespace lcj;
using data::ShopForm;
using data::StrategyForm;
using data::TerrainForm;
using data::TroopTypeForm;

namespace {

quint8 at(const QByteArray& r, int i) {
    return static_cast<quint8>(r[i]);
}

QByteArray shopBlock(std::initializer_list<int> equipment, std::initializer_list<int> goods) {
    QByteArray b(36, '\xFF');
    b[0] = 1;
    b[1] = 2;
    b[2] = 3;
    b[35] = 4;
    int s = 3;
    for (int i : equipment)
        b[s++] = static_cast<char>(i);
    s = 19;
    for (int i : goods)
        b[s++] = static_cast<char>(i);
    return b;
}

QList<int> range(int from, int count) {
    QList<int> l;
    for (int i = 0; i < count; ++i)
        l.append(from + i);
    return l;
}

// Every record of a table in the sample file comes back byte for byte from an
// unchanged form.
template <class Form> void expectRoundTrip(const data::Table& table) {
    const QByteArray file = sample::dataFile();
    for (int i = 0; i < table.count; ++i) {
        const QByteArray before = file.mid(table.recordOffset(i), table.recordSize);
        QByteArray record = before;
        const auto failure = Form::show(record).apply(record);
        ASSERT_TRUE(failure.ok()) << i << ": " << failure.error().toStdString();
        EXPECT_EQ(record, before) << "record " << i;
    }
}

} // namespace

TEST(SectionForms, UnchangedFormsWriteEveryRecordBack) {
    expectRoundTrip<TroopTypeForm>(data::troopTypes);
    expectRoundTrip<TerrainForm>(data::terrain);
    expectRoundTrip<StrategyForm>(data::strategies);
    expectRoundTrip<ShopForm>(data::shops);
}

// Shops

TEST(ShopForm, PacksSortedAndPadsWithEmptySlots) {
    QByteArray block = shopBlock({50}, {99});
    const ShopForm form{{40, 3, 12}, {103, 87}};
    ASSERT_TRUE(form.apply(block).ok());
    EXPECT_EQ(block, shopBlock({3, 12, 40}, {87, 103}));
}

TEST(ShopForm, NothingSelectedEmptiesAllSlots) {
    QByteArray block = shopBlock({1, 2, 3}, {90});
    ASSERT_TRUE(ShopForm{}.apply(block).ok());
    EXPECT_EQ(block, shopBlock({}, {}));
}

TEST(ShopForm, SixteenFitAndSeventeenAreRefused) {
    QByteArray block = shopBlock({}, {});
    ASSERT_TRUE((ShopForm{range(0, 16), range(87, 16)}.apply(block)).ok());
    EXPECT_EQ(block.mid(3, 16), QByteArray("\0\1\2\3\4\5\6\7\10\11\12\13\14\15\16\17", 16));
    EXPECT_EQ(at(block, 34), 102);

    for (const ShopForm& tooMany : {ShopForm{range(0, 17), {}}, ShopForm{{}, range(87, 17)}}) {
        QByteArray b = shopBlock({5}, {88});
        const auto failure = tooMany.apply(b);
        ASSERT_FALSE(failure.ok());
        EXPECT_EQ(failure.error(), QStringLiteral("每关商店所卖物品的最大数为16！"));
        EXPECT_EQ(b, shopBlock({5}, {88}));
    }
}

TEST(ShopForm, ShowsSlotsThatHoldTheOtherShopsItemsAsTheyAre) {
    const QByteArray block = shopBlock({7, 90, 2}, {20, 100});
    const ShopForm form = ShopForm::show(block);
    EXPECT_EQ(form.equipmentShop, (QList<int>{7, 90, 2}));
    EXPECT_EQ(form.itemShop, (QList<int>{20, 100}));
    QByteArray saved = block;
    ASSERT_TRUE(form.apply(saved).ok());
    EXPECT_EQ(saved, shopBlock({2, 7, 90}, {20, 100}));
}

// Troop types

namespace {

QByteArray troopType() {
    QByteArray r(27, '\0');
    const quint8 head[] = {6, 10, 20, 30, 40, 50, 60, 70, 80};
    for (int i = 0; i < 9; ++i)
        r[i] = static_cast<char>(head[i]);
    for (int k = 0; k < 18; ++k)
        r[9 + k] = static_cast<char>(k % 3 == 0 ? 1 : 0);
    return r;
}

} // namespace

TEST(TroopTypeForm, ShowsAndStoresEveryField) {
    QByteArray record = troopType();
    TroopTypeForm f = TroopTypeForm::show(record);
    EXPECT_EQ(f.movement, QStringLiteral("6"));
    EXPECT_EQ(f.attackRange, Choice::entry(10));
    EXPECT_EQ(f.attack, QStringLiteral("20"));
    EXPECT_EQ(f.mpGrowth, QStringLiteral("80"));
    EXPECT_EQ(f.equipment[0], Qt::Checked);
    EXPECT_EQ(f.equipment[1], Qt::Unchecked);
    f.movement = QStringLiteral("20");
    f.attackRange = Choice::entry(15);
    f.defence = QStringLiteral("255");
    f.morale = QStringLiteral("0.5");
    f.equipment[17] = Qt::Checked;
    f.equipment[0] = Qt::Unchecked;
    ASSERT_TRUE(f.apply(record).ok());
    QByteArray expected = troopType();
    expected[0] = 20;
    expected[1] = 15;
    expected[3] = char(255);
    expected[6] = 0;
    expected[9] = 0;
    expected[26] = 1;
    EXPECT_EQ(record, expected);
}

TEST(TroopTypeForm, MovementOverTwentyIsRefusedInTheGamesWords) {
    for (const char16_t* text : {u"21", u"21.5", u"300"}) {
        QByteArray record = troopType();
        TroopTypeForm f = TroopTypeForm::show(record);
        f.movement = QString::fromUtf16(text);
        f.attack = QStringLiteral("99");
        const auto failure = f.apply(record);
        ASSERT_FALSE(failure.ok());
        EXPECT_EQ(failure.error(), QStringLiteral("移动力介于0到20之间"));
        EXPECT_EQ(record, troopType());
    }
    QByteArray record = troopType();
    TroopTypeForm f = TroopTypeForm::show(record);
    f.movement = QStringLiteral("20.9");
    ASSERT_TRUE(f.apply(record).ok());
    EXPECT_EQ(at(record, 0), 20);
}

TEST(TroopTypeForm, UnlistedShapeAndOddFlagsAreKept) {
    QByteArray record = troopType();
    record[1] = 16;
    record[12] = 2;
    record[26] = char(255);
    const QByteArray before = record;
    TroopTypeForm f = TroopTypeForm::show(record);
    EXPECT_EQ(f.attackRange, Choice::stored(16));
    EXPECT_EQ(f.equipment[3], Qt::PartiallyChecked);
    EXPECT_EQ(f.equipment[17], Qt::PartiallyChecked);
    ASSERT_TRUE(f.apply(record).ok());
    EXPECT_EQ(record, before);
    f.equipment[3] = Qt::Unchecked;
    ASSERT_TRUE(f.apply(record).ok());
    EXPECT_EQ(at(record, 12), 0);
}

// Each equipment kind's stored byte, as a greyed box names it: bytes 9..26 of the record.
struct StoredFlag {
    int kind;
    quint8 stored;
    Qt::CheckState shown;
};
class TroopTypeStoredFlag : public testing::TestWithParam<StoredFlag> {};

TEST_P(TroopTypeStoredFlag, IsTheKindsOwnByte) {
    QByteArray record(27, '\0');
    for (int i = 0; i < record.size(); ++i)
        record[i] = char(i * 7);
    EXPECT_EQ(TroopTypeForm::storedFlag(record, GetParam().kind), GetParam().stored);
    EXPECT_EQ(TroopTypeForm::show(record).equipment[GetParam().kind], GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Kinds, TroopTypeStoredFlag,
                         testing::Values(StoredFlag{0, 63, Qt::PartiallyChecked},
                                         StoredFlag{5, 98, Qt::PartiallyChecked},
                                         StoredFlag{17, 182, Qt::PartiallyChecked}));

TEST(TroopTypeForm, PicturePathOfEachShape) {
    EXPECT_EQ(data::attackRangePicture(QStringLiteral("/ed"), 6),
              QStringLiteral("/ed/lcjpic/攻击范围6.jpg"));
    EXPECT_EQ(data::attackRangePicture(QStringLiteral("/ed"), 15),
              QStringLiteral("/ed/lcjpic/攻击范围15.jpg"));
    EXPECT_TRUE(data::attackRangePicture(QStringLiteral("/ed"), 16).isEmpty());
    EXPECT_TRUE(data::attackRangePicture(QStringLiteral("/ed"), Choice::unlisted).isEmpty());
}

namespace {

struct BadTroop {
    QString TroopTypeForm::*box;
    const char16_t* text;
    const char16_t* field;
};

class TroopTypeFormRefuses : public testing::TestWithParam<BadTroop> {};

} // namespace

TEST_P(TroopTypeFormRefuses, BadTextChangesNothing) {
    const BadTroop& b = GetParam();
    QByteArray record = troopType();
    TroopTypeForm f = TroopTypeForm::show(record);
    f.equipment[1] = Qt::Checked;
    f.*b.box = QString::fromUtf16(b.text);
    const auto failure = f.apply(record);
    ASSERT_FALSE(failure.ok());
    EXPECT_TRUE(failure.error().startsWith(QString::fromUtf16(b.field) + u'：'))
        << failure.error().toStdString();
    EXPECT_EQ(record, troopType());
}

INSTANTIATE_TEST_SUITE_P(Fields, TroopTypeFormRefuses,
                         testing::Values(BadTroop{&TroopTypeForm::movement, u"", u"移动力"},
                                         BadTroop{&TroopTypeForm::movement, u"-1", u"移动力"},
                                         BadTroop{&TroopTypeForm::movement, u"五", u"移动力"},
                                         BadTroop{&TroopTypeForm::attack, u"256", u"攻击力"},
                                         BadTroop{&TroopTypeForm::burst, u"x", u"爆发力"},
                                         BadTroop{&TroopTypeForm::hpGrowth, u"-3", u"HP增长率"},
                                         BadTroop{&TroopTypeForm::mpGrowth, u"", u"MP增长率"}));

// Terrain

TEST(TerrainForm, RoundsToNearestWithHalvesToEven) {
    QByteArray record(60, '\x05');
    TerrainForm f = TerrainForm::show(record);
    EXPECT_EQ(f.values[9], QStringLiteral("5"));
    f.values[0] = QStringLiteral("2.5");
    f.values[1] = QStringLiteral("3.5");
    f.values[2] = QStringLiteral("3.49");
    f.values[3] = QStringLiteral("3.51");
    f.values[39] = QStringLiteral("255");
    f.values[59] = QStringLiteral("254.5");
    ASSERT_TRUE(f.apply(record).ok());
    EXPECT_EQ(at(record, 0), 2);
    EXPECT_EQ(at(record, 1), 4);
    EXPECT_EQ(at(record, 2), 3);
    EXPECT_EQ(at(record, 3), 4);
    EXPECT_EQ(at(record, 39), 255);
    EXPECT_EQ(at(record, 59), 254);
    EXPECT_EQ(at(record, 40), 5);
}

TEST(TerrainForm, BadBoxIsRefusedByItsTerrainName) {
    struct Case {
        int box;
        const char16_t* text;
        const char16_t* field;
    };
    for (const Case& c :
         {Case{9, u"", u"浅滩（地形效果）"}, Case{10, u"-1", u"沼泽（地形效果）"},
          Case{39, u"255.5", u"浅滩（消耗移动力）"}, Case{59, u"abc", u"地下（消耗移动力）"}}) {
        const QByteArray before(60, '\x07');
        QByteArray record = before;
        TerrainForm f = TerrainForm::show(record);
        f.values[0] = QStringLiteral("100");
        f.values[c.box] = QString::fromUtf16(c.text);
        const auto failure = f.apply(record);
        ASSERT_FALSE(failure.ok()) << c.box;
        EXPECT_TRUE(failure.error().startsWith(QString::fromUtf16(c.field) + u'：'))
            << failure.error().toStdString();
        EXPECT_EQ(record, before);
    }
}

// Strategies

namespace {

QByteArray strategy() {
    QByteArray r(70, '\0');
    r.replace(0, 4, QByteArray("\xD7\xC6\xC8\xC8", 4)); // 灼热
    const quint8 rest[] = {0xC3, 4, 1, 11, 6, 12, 33};
    for (int i = 0; i < 7; ++i)
        r[10 + i] = static_cast<char>(rest[i]);
    for (int t = 0; t < 53; ++t)
        r[17 + t] = static_cast<char>(t % 4 == 0 ? t : 0);
    return r;
}

} // namespace

TEST(StrategyForm, ShowsAndStoresEveryField) {
    QByteArray record = strategy();
    StrategyForm f = StrategyForm::show(record);
    EXPECT_EQ(f.name, QStringLiteral("灼热"));
    EXPECT_EQ(f.type, QStringLiteral("4"));
    EXPECT_EQ(f.target, Choice::entry(1));
    EXPECT_EQ(f.castingRange, Choice::entry(11));
    EXPECT_EQ(f.effectArea, Choice::entry(6));
    EXPECT_EQ(f.mp, QStringLiteral("12"));
    EXPECT_EQ(f.icon, QStringLiteral("33"));
    EXPECT_EQ(f.levels[0], QStringLiteral("0"));
    EXPECT_EQ(f.levels[52], QStringLiteral("52"));
    f.name = QStringLiteral("岚川记数据工"); // 12 bytes of GBK: refused below
    {
        QByteArray untouched = record;
        const Failure refused = f.apply(untouched);
        ASSERT_FALSE(refused.ok());
        EXPECT_TRUE(refused.error().startsWith(QStringLiteral("策略名称：")))
            << refused.error().toStdString();
        EXPECT_EQ(untouched, record);
    }
    f.name = QStringLiteral("岚川记数据"); // exactly the 10 bytes of the field
    f.target = Choice::entry(2);
    f.castingRange = Choice::entry(0);
    f.mp = QStringLiteral("12.9");
    f.levels[1] = QStringLiteral("7");
    f.levels[52] = QStringLiteral("0");
    ASSERT_TRUE(f.apply(record).ok());
    QByteArray expected = strategy();
    expected.replace(0, 10, QByteArray("\xE1\xB0\xB4\xA8\xBC\xC7\xCA\xFD\xBE\xDD", 10));
    expected[12] = 2;
    expected[13] = 0;
    expected[15] = 12;
    expected[18] = 7;
    expected[69] = 0;
    EXPECT_EQ(record, expected);
    EXPECT_EQ(at(record, 10), 0xC3); // not interpreted, kept
}

TEST(StrategyForm, UnlistedListValuesAreKept) {
    QByteArray record = strategy();
    record[12] = 3;
    record[13] = 16;
    record[14] = char(200);
    const QByteArray before = record;
    const StrategyForm f = StrategyForm::show(record);
    EXPECT_EQ(f.target, Choice::stored(3));
    EXPECT_EQ(f.castingRange, Choice::stored(16));
    EXPECT_EQ(f.effectArea, Choice::stored(200));
    ASSERT_TRUE(f.apply(record).ok());
    EXPECT_EQ(record, before);
}

TEST(StrategyForm, CommitRoundsDownAndRefusesWhatCannotBeStored) {
    EXPECT_EQ(*StrategyForm::commitLevel(0, QStringLiteral("12.9")), QStringLiteral("12"));
    EXPECT_EQ(*StrategyForm::commitLevel(0, QStringLiteral("7")), QStringLiteral("7"));
    EXPECT_EQ(*StrategyForm::commitLevel(0, QStringLiteral(" 0 ")), QStringLiteral("0"));
    EXPECT_EQ(*StrategyForm::commitLevel(0, QStringLiteral("255.99")), QStringLiteral("255"));
    for (const char16_t* bad : {u"", u"-1", u"256", u"x7"}) {
        const auto r = StrategyForm::commitLevel(52, QString::fromUtf16(bad));
        ASSERT_FALSE(r.ok());
        EXPECT_TRUE(r.error().startsWith(QStringLiteral("百姓学会此计策的等级：")))
            << r.error().toStdString();
    }
}

TEST(StrategyForm, BadFieldChangesNothing) {
    struct Case {
        QString StrategyForm::*box;
        const char16_t* text;
        const char16_t* field;
    };
    for (const Case& c :
         {Case{&StrategyForm::type, u"256", u"策略类型"}, Case{&StrategyForm::mp, u"", u"消耗MP"},
          Case{&StrategyForm::icon, u"-5", u"图标"},
          Case{&StrategyForm::name, u"火😀", u"策略名称"}}) {
        QByteArray record = strategy();
        StrategyForm f = StrategyForm::show(record);
        f.levels[0] = QStringLiteral("9");
        f.*c.box = QString::fromUtf16(c.text);
        const auto failure = f.apply(record);
        ASSERT_FALSE(failure.ok());
        EXPECT_TRUE(failure.error().startsWith(QString::fromUtf16(c.field) + u'：'))
            << failure.error().toStdString();
        EXPECT_EQ(record, strategy());
    }
    QByteArray record = strategy();
    StrategyForm f = StrategyForm::show(record);
    f.levels[3] = QStringLiteral("abc");
    const auto failure = f.apply(record);
    ASSERT_FALSE(failure.ok());
    EXPECT_TRUE(failure.error().startsWith(QStringLiteral("轻步兵学会此计策的等级：")));
    EXPECT_EQ(record, strategy());
}
