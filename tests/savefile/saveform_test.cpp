#include "samplegen/samplegame.h"
#include "savefile/saveform.h"
#include "savefile/savelayout.h"
#include "support/formfieldscheck.h"
#include "support/testfiles.h"

#include <gtest/gtest.h>

using namespace lcj;
using save::CharacterForm;

namespace {

QByteArray record() {
    QByteArray r(32, '\0');
    for (int i = 0; i < 32; ++i)
        r[i] = static_cast<char>(10 + i);
    r[3] = 0;     // joined
    r[14] = 0x2C; // hp 300
    r[15] = 0x01;
    r[17] = 7;         // troop type
    r[20] = 5;         // weapon
    r[23] = char(104); // armour: "无"
    r[26] = char(200); // accessory beyond the list
    return r;
}

} // namespace

TEST(SaveCharacterForm, ShowsEveryField) {
    const CharacterForm f = CharacterForm::show(record());
    EXPECT_EQ(f.figure, QStringLiteral("10"));
    EXPECT_EQ(f.portrait, QStringLiteral("12"));
    EXPECT_EQ(f.attack, QStringLiteral("14"));
    EXPECT_EQ(f.morale, QStringLiteral("18"));
    EXPECT_EQ(f.force, QStringLiteral("38"));
    EXPECT_EQ(f.luck, QStringLiteral("46"));
    EXPECT_EQ(f.hp, QStringLiteral("300"));
    EXPECT_EQ(f.mp, QStringLiteral("26"));
    EXPECT_EQ(f.level, QStringLiteral("28"));
    EXPECT_EQ(f.experience, QStringLiteral("29"));
    EXPECT_EQ(f.weaponLevel, QStringLiteral("31"));
    EXPECT_EQ(f.weaponExperience, QStringLiteral("32"));
    EXPECT_EQ(f.armourLevel, QStringLiteral("34"));
    EXPECT_EQ(f.armourExperience, QStringLiteral("35"));
    EXPECT_EQ(f.sorties, QStringLiteral("40"));
    EXPECT_EQ(f.retreats, QStringLiteral("41"));
    EXPECT_EQ(f.troopType, 7);
    EXPECT_EQ(f.weapon, 5);
    EXPECT_EQ(f.armour, CharacterForm::noneEntry);
    EXPECT_EQ(f.accessory, CharacterForm::noneEntry);
    EXPECT_TRUE(f.joined);
}

TEST(SaveCharacterForm, UnchangedFormKeepsEveryByteButTheNoneMarkers) {
    QByteArray r = record();
    const QByteArray before = r;
    ASSERT_TRUE(CharacterForm::show(r).apply(r).ok());
    QByteArray expected = before;
    expected[23] = char(255); // "无" is stored as 255
    expected[26] = char(255);
    EXPECT_EQ(r, expected);
}

TEST(SaveCharacterForm, StoresTypedValuesAtTheirBytes) {
    QByteArray r = record();
    CharacterForm f = CharacterForm::show(r);
    f.figure = QStringLiteral("30");
    f.hp = QStringLiteral("300");
    f.force = QStringLiteral("71");
    f.sorties = QStringLiteral("255");
    f.troopType = 52;
    f.weapon = CharacterForm::noneEntry;
    f.accessory = 103;
    f.joined = false;
    ASSERT_TRUE(f.apply(r).ok());
    EXPECT_EQ(quint8(r[0]), 30);
    EXPECT_EQ(quint8(r[3]), 255);
    EXPECT_EQ(quint8(r[9]), 36);
    EXPECT_EQ(quint8(r[14]), 44);
    EXPECT_EQ(quint8(r[15]), 1);
    EXPECT_EQ(quint8(r[17]), 52);
    EXPECT_EQ(quint8(r[20]), 255);
    EXPECT_EQ(quint8(r[26]), 103);
    EXPECT_EQ(quint8(r[30]), 255);
    // Bytes the editor does not own.
    for (int b : {1, 27, 28, 29})
        EXPECT_EQ(r[b], record()[b]) << b;
}

TEST(SaveCharacterForm, TroopTypeBeyondTheListIsKept) {
    QByteArray r = record();
    r[17] = char(60);
    const CharacterForm f = CharacterForm::show(r);
    EXPECT_EQ(f.troopType, 60);
    ASSERT_TRUE(f.apply(r).ok());
    EXPECT_EQ(quint8(r[17]), 60);
}

struct Halving {
    const char16_t* typed;
    int stored;
};
class HalvedAttribute : public testing::TestWithParam<Halving> {};

TEST_P(HalvedAttribute, RoundsHalvesToEven) {
    QByteArray r = record();
    CharacterForm f = CharacterForm::show(r);
    f.intelligence = QString::fromUtf16(GetParam().typed);
    ASSERT_TRUE(f.apply(r).ok());
    EXPECT_EQ(quint8(r[11]), GetParam().stored);
}

INSTANTIATE_TEST_SUITE_P(Typed, HalvedAttribute,
                         testing::Values(Halving{u"70", 35}, Halving{u"71", 36}, Halving{u"73", 36},
                                         Halving{u"99", 50}, Halving{u"97", 48},
                                         Halving{u"71.9", 36}, Halving{u"510", 255},
                                         Halving{u"0", 0}));

struct BadInput {
    QString CharacterForm::*box;
    const char16_t* text;
    const char16_t* field;
};
class RefusedInput : public testing::TestWithParam<BadInput> {};

TEST_P(RefusedInput, NamesTheFieldAndChangesNothing) {
    QByteArray r = record();
    const QByteArray before = r;
    CharacterForm f = CharacterForm::show(r);
    f.weapon = 3; // a change that must not get through either
    f.*GetParam().box = QString::fromUtf16(GetParam().text);
    const Failure failure = f.apply(r);
    ASSERT_FALSE(failure.ok());
    EXPECT_TRUE(failure.error().startsWith(QString::fromUtf16(GetParam().field) + u'：'))
        << failure.error().toStdString();
    EXPECT_EQ(r, before);
}

INSTANTIATE_TEST_SUITE_P(Fields, RefusedInput,
                         testing::Values(BadInput{&CharacterForm::figure, u"", u"形象"},
                                         BadInput{&CharacterForm::portrait, u"abc", u"头像"},
                                         BadInput{&CharacterForm::attack, u"-1", u"攻击"},
                                         BadInput{&CharacterForm::mp, u"256", u"MP值"},
                                         BadInput{&CharacterForm::hp, u"65536", u"HP值"},
                                         BadInput{&CharacterForm::luck, u"511", u"运气"},
                                         BadInput{&CharacterForm::armourExperience, u"1e3",
                                                  u"防具经验"},
                                         BadInput{&CharacterForm::retreats, u"３", u"撤退"}));

class SaveGameTest : public testing::Test {
protected:
    void SetUp() override {
        original = sample::saveGame();
        path = dir.write(QStringLiteral("Sv01d.e5s"), original);
        ASSERT_TRUE(game.regions().read(path).ok());
    }
    save::SaveForm formFor(int character, int consumable) const {
        return {game.showLoyalty(), game.showCharacter(character), game.showStock(consumable)};
    }

    test::TestFolder dir;
    QByteArray original;
    QString path;
    save::SaveGame game;
};

TEST_F(SaveGameTest, ShowsTheRegionsRead) {
    EXPECT_EQ(game.showLoyalty(), QStringLiteral("37"));
    EXPECT_EQ(game.showStock(16), QString::number(quint8(original[687 + 16])));
    EXPECT_EQ(game.showCharacter(173).hp,
              QString::number(quint8(original[5340 + 32 * 173 + 14]) +
                              256 * quint8(original[5340 + 32 * 173 + 15])));
}

TEST_F(SaveGameTest, ConfirmChangesOnlyTheSelectedEntriesInMemory) {
    save::SaveForm form = formFor(9, 4);
    form.loyalty = QStringLiteral("100");
    form.stock = QStringLiteral("99");
    form.character.level = QStringLiteral("77");
    ASSERT_TRUE(game.confirm(form, 9, 4).ok());
    EXPECT_EQ(test::readFile(path), original); // nothing written yet
    ASSERT_TRUE(game.regions().write().ok());
    QByteArray expected = original;
    expected[86] = 100;
    expected[687 + 4] = 99;
    expected[5340 + 32 * 9 + 18] = 77;
    // The unchanged "无" entries of the record are stored as 255.
    for (int b : {20, 23, 26})
        if (quint8(original[5340 + 32 * 9 + b]) >= 104)
            expected[5340 + 32 * 9 + b] = char(255);
    EXPECT_EQ(test::readFile(path), expected);
}

TEST_F(SaveGameTest, ConfirmIsAllOrNothing) {
    const QByteArray characters = game.regions().bytes(save::Characters);
    save::SaveForm form = formFor(2, 1);
    form.loyalty = QStringLiteral("5");
    form.character.figure = QStringLiteral("9");
    form.stock = QStringLiteral("300");
    const Failure failure = game.confirm(form, 2, 1);
    ASSERT_FALSE(failure.ok());
    EXPECT_TRUE(failure.error().startsWith(QStringLiteral("数量：")));
    EXPECT_EQ(game.showLoyalty(), QStringLiteral("37"));
    EXPECT_EQ(game.regions().bytes(save::Characters), characters);

    form = formFor(2, 1);
    form.loyalty = QStringLiteral("256");
    form.stock = QStringLiteral("3");
    ASSERT_FALSE(game.confirm(form, 2, 1).ok());
    EXPECT_EQ(game.showStock(1), QString::number(quint8(original[688])));
}

TEST_F(SaveGameTest, ConfirmNeedsASelection) {
    EXPECT_FALSE(game.confirm(formFor(0, 0), -1, 0).ok());
    EXPECT_FALSE(game.confirm(formFor(0, 0), 0, 17).ok());
    save::SaveGame empty;
    EXPECT_FALSE(empty.confirm(formFor(0, 0), 0, 0).ok());
}

TEST(SaveCharacterForm, EveryFieldCarriesTypedTextToItsBytes) {
    test::expectDistinctFields<CharacterForm>();
    const QByteArray file = sample::saveGame();
    auto at = [&](int i) {
        return file.mid(save::characterRegion.offset + save::recordSize * i, save::recordSize);
    };
    for (int i = 0; i < save::characterCount; ++i) {
        SCOPED_TRACE(i);
        test::expectFieldsCarry<CharacterForm>(at(i), at(save::characterCount - 1 - i));
        test::expectOutOfRangeRefused<CharacterForm>(at(i));
    }
}
