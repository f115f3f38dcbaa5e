#include "datafile/datalayout.h"
#include "datafile/datanames.h"
#include "datafile/itemform.h"
#include "samplegen/samplegame.h"

#include <gtest/gtest.h>

using namespace lcj;
using data::ItemCategory;
using data::ItemForm;

namespace {

// An item record: name 铁剑, then bytes 16..24.
QByteArray item(quint8 kind, quint8 effect, quint8 b21, quint8 b22, quint8 b23) {
    QByteArray r(25, '\0');
    r.replace(0, 4, QByteArray("\xCC\xFA\xBD\xA3", 4));
    const quint8 rest[] = {0xA1, kind, effect, 12, 7, b21, b22, b23, 0xB2};
    for (int i = 0; i < 9; ++i)
        r[16 + i] = static_cast<char>(rest[i]);
    return r;
}

quint8 at(const QByteArray& r, int i) {
    return static_cast<quint8>(r[i]);
}

} // namespace

TEST(ItemForm, WeaponShowsKindEffectAndItsThreeValues) {
    const ItemForm f = ItemForm::show(item(5, 24, 30, 4, 2));
    EXPECT_EQ(f.category, ItemCategory::Equipment);
    EXPECT_EQ(f.caption, QStringLiteral("道具类型: 武具或防具"));
    EXPECT_EQ(f.name, QStringLiteral("铁剑"));
    EXPECT_EQ(f.price, QStringLiteral("12"));
    EXPECT_EQ(f.icon, QStringLiteral("7"));
    EXPECT_EQ(f.equipmentKind, Choice::entry(5));
    EXPECT_EQ(data::lists::specialEffects()[f.effect.row], QStringLiteral("辅助攻击力(整数)"));
    EXPECT_EQ(f.ability, QStringLiteral("30"));
    EXPECT_EQ(f.effectValue, QStringLiteral("4"));
    EXPECT_EQ(f.growth, QStringLiteral("2"));
    EXPECT_EQ(ItemForm::show(item(5, 255, 0, 0, 0)).effect, Choice::entry(45)); // "无"
}

TEST(ItemForm, AuxiliaryAndConsumableShowTheirKindAsTheEffect) {
    const ItemForm aux = ItemForm::show(item(30, 9, 15, 3, 255));
    EXPECT_EQ(aux.category, ItemCategory::Auxiliary);
    EXPECT_EQ(aux.caption, QStringLiteral("道具类型: 辅助装备"));
    EXPECT_EQ(data::lists::specialEffects()[aux.effect.row], QStringLiteral("辅助MP(整数)"));
    EXPECT_EQ(aux.effectValue, QStringLiteral("15"));
    EXPECT_EQ(data::lists::suitableClasses()[aux.suitableClass.row], QStringLiteral("所有兵种"));
    EXPECT_EQ(ItemForm::show(item(30, 9, 15, 3, 26)).suitableClass, Choice::entry(26));

    const ItemForm use = ItemForm::show(item(64, 9, 40, 3, 3));
    EXPECT_EQ(use.category, ItemCategory::Consumable);
    EXPECT_EQ(use.caption, QStringLiteral("道具类型: 消耗类道具"));
    EXPECT_EQ(data::lists::consumableEffects()[use.consumableEffect.row], QStringLiteral("恢复MP"));
    EXPECT_EQ(use.effectValue, QStringLiteral("40"));
}

TEST(ItemForm, CategoryBoundaries) {
    EXPECT_EQ(data::itemCategory(17), ItemCategory::Equipment);
    EXPECT_EQ(data::itemCategory(18), ItemCategory::Auxiliary);
    EXPECT_EQ(data::itemCategory(62), ItemCategory::Auxiliary);
    EXPECT_EQ(data::itemCategory(63), ItemCategory::Consumable);
    EXPECT_EQ(data::itemCategory(255), ItemCategory::Consumable);
}

TEST(ItemForm, EveryItemOfTheSampleComesBackByteForByte) {
    const QByteArray file = sample::dataFile();
    for (int i = 0; i < data::items.count; ++i) {
        const QByteArray before = file.mid(data::items.recordOffset(i), data::items.recordSize);
        QByteArray record = before;
        ASSERT_TRUE(ItemForm::show(record).apply(record).ok()) << i;
        EXPECT_EQ(record, before) << "item " << i;
    }
}

TEST(ItemForm, WeaponEffectIsStoredOnlyOverAnEffectCode) {
    // "无" over 255 stays 255; an effect chosen over 255 is not stored.
    QByteArray record = item(3, 255, 1, 2, 3);
    ItemForm f = ItemForm::show(record);
    f.effect = Choice::entry(6);
    ASSERT_TRUE(f.apply(record).ok());
    EXPECT_EQ(at(record, 18), 255);
    // "无" over an effect writes 255.
    record = item(3, 30, 1, 2, 3);
    f = ItemForm::show(record);
    f.effect = Choice::entry(ItemForm::noEffectEntry);
    ASSERT_TRUE(f.apply(record).ok());
    EXPECT_EQ(at(record, 18), 255);
    // Another effect over an effect code.
    record = item(3, 30, 1, 2, 3);
    f = ItemForm::show(record);
    f.effect = Choice::entry(44);
    f.equipmentKind = Choice::entry(17);
    f.ability = QStringLiteral("200");
    f.effectValue = QStringLiteral("9.9");
    f.growth = QStringLiteral("0");
    ASSERT_TRUE(f.apply(record).ok());
    QByteArray expected = item(17, 62, 200, 9, 0);
    EXPECT_EQ(record, expected);
}

TEST(ItemForm, UnlistedCodesAreShownAsThemselvesAndKept) {
    struct Case {
        QByteArray record;
        Choice ItemForm::*control;
        int code;
    };
    const Case cases[] = {
        {item(2, 70, 1, 2, 3), &ItemForm::effect, 70},           // effect code past the list
        {item(2, 4, 1, 2, 3), &ItemForm::effect, 4},             // below the effect codes
        {item(80, 9, 1, 2, 3), &ItemForm::consumableEffect, 80}, // consumable kind past 76
        {item(40, 9, 1, 2, 28), &ItemForm::suitableClass, 28},   // troop class past 26
        {item(40, 9, 1, 2, 254), &ItemForm::suitableClass, 254},
    };
    for (const Case& c : cases) {
        const ItemForm f = ItemForm::show(c.record);
        EXPECT_EQ(f.*c.control, Choice::stored(c.code));
        QByteArray record = c.record;
        ASSERT_TRUE(f.apply(record).ok());
        EXPECT_EQ(record, c.record) << c.code;
    }
    // Chosen over a low unknown code, an effect is stored; over a high one it is not.
    QByteArray record = item(2, 4, 1, 2, 3);
    ItemForm f = ItemForm::show(record);
    f.effect = Choice::entry(3);
    ASSERT_TRUE(f.apply(record).ok());
    EXPECT_EQ(at(record, 18), 21);
    record = item(80, 9, 1, 2, 3);
    f = ItemForm::show(record);
    f.consumableEffect = Choice::entry(13);
    ASSERT_TRUE(f.apply(record).ok());
    EXPECT_EQ(at(record, 17), 76);
}

TEST(ItemForm, SaveKeepsTheCategoryAndTheBytesItDoesNotUse) {
    // A consumable keeps bytes 16, 18, 22, 23, 24 whatever the other controls hold.
    QByteArray record = item(70, 9, 40, 3, 4);
    ItemForm f = ItemForm::show(record);
    f.consumableEffect = Choice::entry(0);
    f.effectValue = QStringLiteral("99");
    f.equipmentKind = Choice::entry(2); // a disabled list: ignored
    f.effect = Choice::entry(0);
    f.suitableClass = Choice::entry(3);
    f.ability = QStringLiteral("abc"); // disabled boxes are not read
    f.growth = QString();
    ASSERT_TRUE(f.apply(record).ok());
    EXPECT_EQ(record, item(63, 9, 99, 3, 4));

    // An auxiliary item keeps bytes 18 and 22, and stays auxiliary.
    record = item(20, 9, 40, 3, 4);
    f = ItemForm::show(record);
    f.effect = Choice::entry(44);
    f.suitableClass = Choice::entry(ItemForm::allClassesEntry);
    f.equipmentKind = Choice::entry(0);
    ASSERT_TRUE(f.apply(record).ok());
    EXPECT_EQ(record, item(62, 9, 40, 3, 255));
}

TEST(ItemForm, AuxiliaryRefusesNoEffect) {
    const QByteArray before = item(30, 9, 15, 3, 2);
    QByteArray record = before;
    ItemForm f = ItemForm::show(record);
    f.effect = Choice::entry(ItemForm::noEffectEntry);
    const auto failure = f.apply(record);
    ASSERT_FALSE(failure.ok());
    EXPECT_TRUE(failure.error().startsWith(QStringLiteral("特殊效果：")))
        << failure.error().toStdString();
    EXPECT_EQ(record, before);
}

namespace {

struct Bad {
    quint8 kind;
    QString ItemForm::*box;
    const char16_t* text;
    const char16_t* field;
};

class ItemFormRefuses : public testing::TestWithParam<Bad> {};

} // namespace

TEST_P(ItemFormRefuses, BadTextChangesNothing) {
    const Bad& b = GetParam();
    const QByteArray before = item(b.kind, 30, 1, 2, 3);
    QByteArray record = before;
    ItemForm f = ItemForm::show(record);
    f.name = QStringLiteral("新名"); // a valid change must not land either
    f.*b.box = QString::fromUtf16(b.text);
    const auto failure = f.apply(record);
    ASSERT_FALSE(failure.ok());
    EXPECT_TRUE(failure.error().startsWith(QString::fromUtf16(b.field) + u'：'))
        << failure.error().toStdString();
    EXPECT_EQ(record, before);
}

INSTANTIATE_TEST_SUITE_P(Fields, ItemFormRefuses,
                         testing::Values(Bad{0, &ItemForm::price, u"256", u"价值/100"},
                                         Bad{20, &ItemForm::price, u"", u"价值/100"},
                                         Bad{70, &ItemForm::icon, u"-1", u"道具图标"},
                                         Bad{0, &ItemForm::ability, u"x", u"武具/防具初始能力"},
                                         Bad{0, &ItemForm::effectValue, u"300", u"特殊效果值"},
                                         Bad{0, &ItemForm::growth, u"1e3", u"升级成长值"},
                                         Bad{20, &ItemForm::effectValue, u"", u"特殊效果值"},
                                         Bad{90, &ItemForm::effectValue, u"abc", u"特殊效果值"},
                                         Bad{90, &ItemForm::name, u"岚😀", u"道具名称"}));
