#include "scanhelpers.h"
#include "scenario/savebuilder.h"
#include "scenario/scenariodocument.h"

#include <gtest/gtest.h>
#include <random>

using namespace lcj;
using namespace lcj::scenario;
using lcj::test::buildScenario;
using lcj::test::Built;
using lcj::test::hex;

namespace {

QByteArray saved(const ScenarioDocument& doc) {
    const auto result = buildSave(doc);
    EXPECT_TRUE(result.ok()) << result.error().toStdString();
    return result.ok() ? result->bytes : QByteArray();
}

void addToHeaderWords(QByteArray& bytes, int added) {
    setWord(bytes, 14, quint16(wordAt(bytes, 14) + added));
    setWord(bytes, 18, quint16(wordAt(bytes, 18) + added));
}

// Confirms equipment entry `index` for `character` with the item choices given.
void confirmEquip(ScenarioDocument& doc, int index, int character, int weapon = 5) {
    EquipForm form;
    form.character = QString::number(character);
    form.weapon = weapon;
    ASSERT_TRUE(doc.applyEquipEntry(index, form).ok());
}

// The entry confirmEquip writes for a named character with weapon item 5.
QByteArray equipBytesFor(int character) {
    QByteArray e = hex("48000200 0000 3b00 0700 4900ffff 3c00 ffff 4900ffff 3d00 ffff");
    setWord(e, 4, quint16(character));
    return e;
}

const QByteArray appendedEntry5 =
    hex("4b000400 05000000 0400 00000000 0400 00000000 2b00 0000 2600 0000");
const QByteArray appendedEntry6 =
    hex("4b000400 06000000 0400 00000000 0400 00000000 2b00 0000 2600 0000");

} // namespace

TEST(SaveBuilder, UnchangedSaveIsIdentical) {
    for (const auto& [name, shape] : sample::sampleScenarios()) {
        const QByteArray file = sample::scenarioFile(shape);
        const auto result = buildSave(ScenarioDocument::scan(file));
        ASSERT_TRUE(result.ok()) << name.toStdString();
        EXPECT_EQ(result->bytes, file) << name.toStdString();
        EXPECT_EQ(result->insertedCount, 0);
    }
    for (int equip : {-1, 0, 1, 3}) {
        const QByteArray file = buildScenario(4, equip).bytes;
        EXPECT_EQ(saved(ScenarioDocument::scan(file)), file) << equip;
    }
    // A file without a battle header, and one shorter than the scan's window.
    for (const QByteArray& file : {QByteArray(300, '\x11'), QByteArray("abc")})
        EXPECT_EQ(saved(ScenarioDocument::scan(file)), file);
}

TEST(SaveBuilder, TwoAppendedArmyEntries) {
    const Built b = buildScenario(5, 3);
    auto doc = ScenarioDocument::scan(b.bytes);
    ASSERT_TRUE(doc.appendArmyEntry());
    ASSERT_TRUE(doc.appendArmyEntry());
    EXPECT_EQ(doc.armyEntryCount(), 7);

    QByteArray expected = b.bytes.left(b.q) + appendedEntry5 + appendedEntry6 + b.bytes.mid(b.q);
    setWord(expected, b.army, 2 + 7 * 28);
    addToHeaderWords(expected, 56);
    const auto result = buildSave(doc);
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result->insertedCount, 56);
    EXPECT_EQ(result->bytes, expected);

    const auto reread = ScenarioDocument::scan(result->bytes);
    EXPECT_EQ(reread.scan().armySlotCount, 7);
    EXPECT_EQ(reread.scan().equipEntryCount, 3);
    EXPECT_EQ(reread.armyEntry(6), appendedEntry6);
}

TEST(SaveBuilder, AppendingStopsAtFifteen) {
    auto doc = ScenarioDocument::scan(buildScenario(14, 0).bytes);
    EXPECT_TRUE(doc.appendArmyEntry());
    EXPECT_FALSE(doc.appendArmyEntry());
    EXPECT_EQ(doc.armyEntryCount(), 15);
    const auto reread = ScenarioDocument::scan(saved(doc));
    EXPECT_EQ(reread.scan().armySlotCount, 15);
    EXPECT_FALSE(reread.canAppendArmyEntry());
}

TEST(SaveBuilder, ConfirmedEntriesReachTheirOwnBytesOnly) {
    const Built b = buildScenario(2, 1);
    auto doc = ScenarioDocument::scan(b.bytes);
    doc.appendArmyEntry();
    ArmyEntryForm form = ArmyEntryForm::show(doc.armyEntry(1));
    form.x = QStringLiteral("33");
    ASSERT_TRUE(doc.applyArmyEntry(1, form).ok()); // loaded entry: in scenarioBytes
    EXPECT_EQ(doc.extraSlotBytes().left(28),
              appendedEntry5.left(4) + '\x02' + appendedEntry5.mid(5));
    form = ArmyEntryForm::show(doc.armyEntry(2));
    form.y = QStringLiteral("44");
    form.appearance = Appearance::Story;
    const QByteArray before = doc.bytes();
    ASSERT_TRUE(doc.applyArmyEntry(2, form).ok()); // appended entry: in extraSlotBytes
    EXPECT_EQ(doc.bytes(), before);

    QByteArray entry2 = hex("4b000400 02000000 0400 00000000 0400 2c000000 2b00 0000 2600 0100");
    QByteArray expected = b.bytes.left(b.q) + entry2 + b.bytes.mid(b.q);
    setByte(expected, b.army + 2 + 28 + 10, 33);
    setWord(expected, b.army, 2 + 3 * 28);
    addToHeaderWords(expected, 28);
    EXPECT_EQ(saved(doc), expected);
}

TEST(SaveBuilder, EquipmentEditedInPlaceKeepsTheLength) {
    const Built b = buildScenario(2, 3);
    auto doc = ScenarioDocument::scan(b.bytes);
    confirmEquip(doc, 1, 300);
    QByteArray expected = b.bytes;
    expected.replace(b.q + 23 + 26, 26, equipBytesFor(300));
    EXPECT_EQ(saved(doc), expected);

    // With an appended army entry the entries are written at their new place.
    doc.appendArmyEntry();
    QByteArray grown = expected.left(b.q) + appendedEntry5.left(4) + '\x02' +
                       appendedEntry5.mid(5) + expected.mid(b.q);
    setWord(grown, b.army, 2 + 3 * 28);
    addToHeaderWords(grown, 28);
    EXPECT_EQ(saved(doc), grown);
}

TEST(SaveBuilder, EquipmentThreeToFour) {
    const Built b = buildScenario(2, 3);
    auto doc = ScenarioDocument::scan(b.bytes);
    confirmEquip(doc, 3, 77);
    EXPECT_EQ(doc.newEquipCount(), 4);
    QByteArray expected =
        b.bytes.left(b.q + 23 + 78) + equipBytesFor(77) + b.bytes.mid(b.q + 23 + 78);
    setWord(expected, b.q + 21, 106);
    addToHeaderWords(expected, 26);
    const auto result = buildSave(doc);
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result->insertedCount, 26);
    EXPECT_EQ(result->bytes, expected);
}

TEST(SaveBuilder, EquipmentThreeToTwo) {
    const Built b = buildScenario(2, 3);
    auto doc = ScenarioDocument::scan(b.bytes);
    confirmEquip(doc, 2, 513); // the third entry becomes "无"
    EXPECT_EQ(doc.newEquipCount(), 2);
    QByteArray expected = b.bytes.left(b.q + 23 + 52) + b.bytes.mid(b.q + 23 + 78);
    setWord(expected, b.q + 21, 54);
    addToHeaderWords(expected, -26);
    const auto result = buildSave(doc);
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result->insertedCount, -26);
    EXPECT_EQ(result->bytes, expected);
    EXPECT_EQ(result->bytes.size(), b.bytes.size() - 26);
}

TEST(SaveBuilder, AnEmptiedFirstEntryDropsAlone) {
    const Built b = buildScenario(2, 3);
    auto doc = ScenarioDocument::scan(b.bytes);
    confirmEquip(doc, 0, 600); // "无" at index 0, names further down
    EXPECT_EQ(doc.newEquipCount(), 2);
    QByteArray expected = b.bytes.left(b.q + 23) + b.bytes.mid(b.q + 23 + 26);
    setWord(expected, b.q + 21, 54);
    addToHeaderWords(expected, -26);
    EXPECT_EQ(saved(doc), expected);
}

TEST(SaveBuilder, EmptiedEntriesDropAndLaterOnesMoveUp) {
    const Built b = buildScenario(2, 3);
    auto doc = ScenarioDocument::scan(b.bytes);
    confirmEquip(doc, 1, 513);
    confirmEquip(doc, 6, 77); // beyond two empty slots
    EXPECT_EQ(doc.newEquipCount(), 3);
    // Same count as loaded: the group keeps its length, its entries move.
    QByteArray expected = b.bytes;
    expected.replace(b.q + 23, 78,
                     b.bytes.mid(b.q + 23, 26) + b.bytes.mid(b.q + 23 + 52, 26) +
                         equipBytesFor(77));
    EXPECT_EQ(saved(doc), expected);
}

TEST(SaveBuilder, AnEntryWithoutACharacterStaysUntilTheGroupIsEdited) {
    Built b = buildScenario(2, 3);
    setWord(b.bytes, b.q + 23 + 26 + 4, 0xFFFF);
    auto doc = ScenarioDocument::scan(b.bytes);
    EXPECT_EQ(doc.newEquipCount(), 3);
    doc.appendArmyEntry();
    const auto grown = buildSave(doc);
    ASSERT_TRUE(grown.ok());
    EXPECT_EQ(grown->bytes.mid(b.q + 28, 23 + 78), b.bytes.mid(b.q, 23 + 78));
    // Once any entry is confirmed, only entries that name a character are written.
    confirmEquip(doc, 2, 30);
    EXPECT_EQ(doc.newEquipCount(), 2);
}

TEST(SaveBuilder, EquipmentCreatedFromNone) {
    const Built b = buildScenario(2, -1);
    auto doc = ScenarioDocument::scan(b.bytes);
    confirmEquip(doc, 0, 9);
    QByteArray expected = b.bytes.left(b.q + 2) + hex("0100") + b.bytes.mid(b.q + 2, 17) +
                          hex("1c00") + equipBytesFor(9) + hex("0000") + b.bytes.mid(b.q + 19);
    addToHeaderWords(expected, 32);
    const auto result = buildSave(doc);
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result->insertedCount, 32);
    EXPECT_EQ(result->bytes, expected);
    const auto reread = ScenarioDocument::scan(result->bytes);
    EXPECT_EQ(reread.scan().equipGroup, EquipGroup::Present);
    EXPECT_EQ(reread.scan().equipEntryCount, 1);
    EXPECT_EQ(reread.equipEntry(0), equipBytesFor(9));
}

TEST(SaveBuilder, EmptyGroupIsExtendedInPlace) {
    const Built b = buildScenario(2, 0);
    auto doc = ScenarioDocument::scan(b.bytes);
    confirmEquip(doc, 0, 9);
    QByteArray expected = b.bytes.left(b.q + 23) + equipBytesFor(9) + b.bytes.mid(b.q + 23);
    setWord(expected, b.q + 21, 28);
    addToHeaderWords(expected, 26);
    const auto result = buildSave(doc);
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result->insertedCount, 26);
    EXPECT_EQ(result->bytes, expected);
}

TEST(SaveBuilder, AppendedEntriesAndAGrownGroup) {
    const Built b = buildScenario(5, 3);
    auto doc = ScenarioDocument::scan(b.bytes);
    doc.appendArmyEntry();
    doc.appendArmyEntry();
    confirmEquip(doc, 3, 77);
    QByteArray expected = b.bytes.left(b.q) + appendedEntry5 + appendedEntry6 +
                          b.bytes.mid(b.q, 23 + 78) + equipBytesFor(77) +
                          b.bytes.mid(b.q + 23 + 78);
    setWord(expected, b.army, 2 + 7 * 28);
    setWord(expected, b.q + 56 + 21, 106);
    addToHeaderWords(expected, 56 + 26);
    const auto result = buildSave(doc);
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result->insertedCount, 82);
    EXPECT_EQ(result->bytes, expected);
}

TEST(SaveBuilder, AppendedEntriesAndACreatedGroup) {
    const Built b = buildScenario(5, -1);
    auto doc = ScenarioDocument::scan(b.bytes);
    doc.appendArmyEntry();
    confirmEquip(doc, 0, 9);
    QByteArray expected = b.bytes.left(b.q) + appendedEntry5 + b.bytes.mid(b.q, 2) + hex("0100") +
                          b.bytes.mid(b.q + 2, 17) + hex("1c00") + equipBytesFor(9) + hex("0000") +
                          b.bytes.mid(b.q + 19);
    setWord(expected, b.army, 2 + 6 * 28);
    addToHeaderWords(expected, 28 + 32);
    EXPECT_EQ(saved(doc), expected);
}

TEST(SaveBuilder, GroupIsNotCreatedWhereItCouldNotBeReadBack) {
    Built b = buildScenario(2, -1);
    setByte(b.bytes, b.q + 4, 0x06);
    auto doc = ScenarioDocument::scan(b.bytes);
    confirmEquip(doc, 0, 9);
    const auto result = buildSave(doc);
    ASSERT_FALSE(result.ok());
    EXPECT_TRUE(result.error().contains(QStringLiteral("个人装备")));
}

TEST(SaveBuilder, HeaderWordsLeavingTheirRangeAreRefused) {
    Built b = buildScenario(2, 1);
    setWord(b.bytes, 18, 0xFFF0);
    auto doc = ScenarioDocument::scan(b.bytes);
    doc.appendArmyEntry();
    EXPECT_FALSE(buildSave(doc).ok());

    Built low = buildScenario(2, 3);
    setWord(low.bytes, 14, 20);
    auto shrink = ScenarioDocument::scan(low.bytes);
    confirmEquip(shrink, 0, 600);
    EXPECT_FALSE(buildSave(shrink).ok());
}

TEST(SaveBuilder, UnreadableGroupIsWrittenBackAsItWas) {
    Built b = buildScenario(2, 1);
    setWord(b.bytes, b.q + 21, 29);
    auto doc = ScenarioDocument::scan(b.bytes);
    EXPECT_FALSE(doc.applyEquipEntry(0, EquipForm{}).ok());
    doc.appendArmyEntry();
    QByteArray expected = b.bytes.left(b.q) + appendedEntry5.left(4) + '\x02' +
                          appendedEntry5.mid(5) + b.bytes.mid(b.q);
    setWord(expected, b.army, 2 + 3 * 28);
    addToHeaderWords(expected, 28);
    EXPECT_EQ(saved(doc), expected);
}

TEST(SaveBuilder, ArbitraryBytesScanAndSaveUnchanged) {
    // Random files with battle headers, army blocks and groups of any length
    // planted at random: the scan never reads past the end and an unchanged
    // save gives the file back.
    std::mt19937 rng(7);
    for (int round = 0; round < 200; ++round) {
        const int size = std::uniform_int_distribution<int>(0, 9000)(rng);
        QByteArray bytes(size, '\0');
        for (char& c : bytes)
            c = char(std::uniform_int_distribution<int>(0, 255)(rng));
        for (int k = 0; k < 3 && size > 10; ++k) {
            const int p = std::uniform_int_distribution<int>(0, size - 3)(rng);
            setByte(bytes, p, 0x44);
            setByte(bytes, p + 2, 0x45);
            if (p + 5590 <= size)
                setWord(bytes, p + 5588, quint16(2 + 28 * (round % 17)));
        }
        auto doc = ScenarioDocument::scan(bytes);
        const auto result = buildSave(doc);
        ASSERT_TRUE(result.ok()) << round << result.error().toStdString();
        EXPECT_EQ(result->bytes, bytes) << round;
        // Appending where the block was readable gives a file that reads back.
        if (doc.appendArmyEntry()) {
            const auto grown = buildSave(doc);
            if (grown.ok()) {
                EXPECT_EQ(grown->scanned.scan().armySlotCount, doc.armyEntryCount());
            }
        }
    }
}

// Taking the last entries out is the exact inverse of appending them, with
// every equipment group shape after the army block.
TEST(SaveBuilder, RemovingAppendedEntriesGivesTheFileBack) {
    for (int equip : {-1, 0, 3}) {
        SCOPED_TRACE(equip);
        const Built b = buildScenario(5, equip);
        auto doc = ScenarioDocument::scan(b.bytes);
        ASSERT_TRUE(doc.appendArmyEntry());
        ASSERT_TRUE(doc.appendArmyEntry());
        const QByteArray grown = saved(doc);
        ASSERT_EQ(grown.size(), b.bytes.size() + 56);
        const auto one = removeLastArmyEntries(grown, 1);
        ASSERT_TRUE(one.ok()) << one.error().toStdString();
        EXPECT_EQ(ScenarioDocument::scan(*one).scan().armySlotCount, 6);
        const auto two = removeLastArmyEntries(grown, 2);
        ASSERT_TRUE(two.ok()) << two.error().toStdString();
        EXPECT_EQ(*two, b.bytes);
    }
}

TEST(SaveBuilder, RemovingMoreEntriesThanTheBlockHoldsIsRefused) {
    const Built b = buildScenario(2, 1);
    EXPECT_FALSE(removeLastArmyEntries(b.bytes, 3).ok());
    EXPECT_FALSE(removeLastArmyEntries(b.bytes, -1).ok());
    // Without a readable army block nothing can be taken out.
    EXPECT_FALSE(removeLastArmyEntries(QByteArray(300, '\x11'), 1).ok());
    const auto none = removeLastArmyEntries(b.bytes, 0);
    ASSERT_TRUE(none.ok());
    EXPECT_EQ(*none, b.bytes);
}
