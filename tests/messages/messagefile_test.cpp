#include "messages/messagefile.h"
#include "samplegen/samplegame.h"
#include "support/testfiles.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace lcj;
using namespace lcj::imsg;

namespace {

QByteArray padded(QByteArray bytes) {
    bytes.append(slotSize - bytes.size(), '\0');
    return bytes;
}

QString chinese(int n) {
    return QString(n, QChar(u'岚'));
}

} // namespace

struct SlotCase {
    const char* name;
    QString text;
    QByteArray stored;
};
class SlotEncoding : public testing::TestWithParam<SlotCase> {};

TEST_P(SlotEncoding, StoresTheTextInExactly200Bytes) {
    const auto slot = encodeSlot(GetParam().text);
    ASSERT_TRUE(slot.ok()) << slot.error().toStdString();
    EXPECT_EQ(*slot, GetParam().stored);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SlotEncoding,
    testing::Values(SlotCase{"letters", QStringLiteral("abc"), padded("abc")},
                    SlotCase{"empty", QString(), QByteArray(200, '\0')},
                    SlotCase{"blanks", QStringLiteral("  a b  "), padded("a b")},
                    SlotCase{"lineBreak", QStringLiteral("ab\ncd"), padded("ab\r\ncd")},
                    SlotCase{"typedCrLf", QStringLiteral("ab\r\ncd"), padded("ab\r\ncd")},
                    SlotCase{"chinese100", chinese(100), QByteArray("\xE1\xB0").repeated(100)},
                    SlotCase{"oneShort", QStringLiteral("a") + chinese(99),
                             padded("a" + QByteArray("\xE1\xB0").repeated(99))},
                    SlotCase{"exactly200", QString(200, u'x'), QByteArray(200, 'x')}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Slot, DecodingShowsLineBreaksAndStopsAtTheFirstZero) {
    QByteArray slot = padded("ab\r\ncd");
    slot[150] = 'z';
    EXPECT_EQ(decodeSlot(slot), QStringLiteral("ab\ncd"));
    EXPECT_EQ(decodeSlot(QByteArray("\xE1\xB0").repeated(100)), chinese(100));
}

TEST(Slot, UnchangedTextKeepsTheBytesItWasReadFrom) {
    QByteArray slot = padded("ab\ncd"); // a lone line feed
    slot[120] = '\x7F';                 // and a byte after the first zero
    const auto same = encodeSlot(QStringLiteral("ab\ncd "), slot);
    ASSERT_TRUE(same.ok());
    EXPECT_EQ(*same, slot);
    const auto changed = encodeSlot(QStringLiteral("ab\ncde"), slot);
    ASSERT_TRUE(changed.ok());
    EXPECT_EQ(*changed, padded("ab\r\ncde"));
}

TEST(Slot, TextLongerThanTheSlotIsRefusedNotCut) {
    // 150 Chinese characters are 300 bytes; a line break takes two bytes.
    for (const QString& text :
         {chinese(150), QStringLiteral("a") + chinese(100), chinese(99) + QStringLiteral("\na")}) {
        const auto slot = encodeSlot(text);
        ASSERT_FALSE(slot.ok()) << text.toStdString();
        EXPECT_TRUE(slot.error().contains(QStringLiteral("200字节"))) << slot.error().toStdString();
    }
    EXPECT_EQ(slotBytes(chinese(99) + QStringLiteral("\na")), 201);
    EXPECT_EQ(slotBytes(QStringLiteral("  ab\ncd  ")), 6);
}

TEST(Slot, CharacterWithoutGbkCodeIsRefused) {
    const auto slot = encodeSlot(QStringLiteral("好😀"));
    ASSERT_FALSE(slot.ok());
    EXPECT_TRUE(slot.error().contains(QStringLiteral("😀")));
}

TEST(Labels, CriticalHitTypeValues) {
    const std::pair<int, QString> expected[] = {
        {0, QStringLiteral("特定人物台词")}, {20, QStringLiteral("特定人物台词")},
        {21, QStringLiteral("0")},           {23, QStringLiteral("0")},
        {24, QStringLiteral("1")},           {97, QStringLiteral("25")},
        {98, QStringLiteral("25")},
    };
    for (const auto& [row, text] : expected)
        EXPECT_EQ(criticalTypeText(row), text) << row;
    EXPECT_EQ(battleNumberText(7), QStringLiteral("关卡对应的文件剧本号7"));
}

TEST(Layout, TablesLieWhereTheGameKeepsThem) {
    const std::pair<const char16_t*, qint64> ends[] = {
        {u"List3", 20800},  {u"List6", 43600},  {u"List7", 61600},  {u"List2", 80600},
        {u"List1", 124800}, {u"List4", 139800}, {u"List5", 159800},
    };
    for (const auto& [list, end] : ends) {
        const auto it = std::find_if(categories.begin(), categories.end(), [&](const Category& c) {
            return QStringView(c.list) == QStringView(list);
        });
        ASSERT_NE(it, categories.end());
        EXPECT_EQ(it->end(), end);
    }
}

TEST(MessageFile, ReadsAndWritesOneSlot) {
    test::TestFolder dir;
    const QByteArray original = sample::messageFile();
    MessageFile file(dir.write(QStringLiteral("Imsg.e5"), original));
    const Category& biographies = categories[0];
    const auto slot = file.readSlot(biographies, 5);
    ASSERT_TRUE(slot.ok());
    EXPECT_EQ(*slot, original.mid(91000, 200));
    const auto all = file.readSlots(categories[4]);
    ASSERT_TRUE(all.ok());
    ASSERT_EQ(all->size(), 99);
    EXPECT_EQ(all->at(98), original.mid(140000 + 98 * 200, 200));

    ASSERT_TRUE(file.writeSlot(91000, padded("x")).ok());
    QByteArray expected = original;
    expected.replace(91000, 200, padded("x"));
    EXPECT_EQ(test::readFile(file.path()), expected);
    EXPECT_FALSE(file.writeSlot(91000, "short").ok());
}

TEST(MessageFile, ShortFileIsRefusedAndNotWritten) {
    test::TestFolder dir;
    const QByteArray shortened = sample::messageFile().left(150000);
    MessageFile file(dir.write(QStringLiteral("Imsg.e5"), shortened));
    EXPECT_FALSE(file.check().ok());
    EXPECT_TRUE(
        MessageFile(dir.write(QStringLiteral("full.e5"), sample::messageFile().left(159800)))
            .check()
            .ok());
    EXPECT_FALSE(MessageFile(dir.path(QStringLiteral("none.e5"))).check().ok());
    EXPECT_FALSE(file.readSlots(categories[4]).ok());
    EXPECT_FALSE(file.readSlot(categories[4], 98).ok());
    EXPECT_TRUE(file.readSlot(categories[4], 0).ok());
    EXPECT_FALSE(file.writeSlot(159600, padded("x")).ok());
    EXPECT_EQ(test::readFile(file.path()), shortened);
}

TEST(SampleGame, WritesTheRegionFilesWithATextInEverySlot) {
    test::TestFolder dir;
    ASSERT_TRUE(sample::writeSampleGame(dir.path(QStringLiteral("game"))).ok());
    const QByteArray imsg = test::readFile(dir.path(QStringLiteral("game/Imsg.e5")));
    EXPECT_EQ(imsg, sample::messageFile());
    EXPECT_EQ(test::readFile(dir.path(QStringLiteral("game/Sv01d.e5s"))).size(),
              sample::saveGameSize);
    EXPECT_EQ(test::readFile(dir.path(QStringLiteral("game/Lcj5.exe"))).size(),
              sample::programFileSize);
    for (const Category& category : categories)
        for (int i = 0; i < category.count; ++i)
            EXPECT_FALSE(
                decodeSlot(QByteArrayView(imsg).sliced(category.slotOffset(i), slotSize)).isEmpty())
                << QString::fromUtf16(category.caption).toStdString() << i;
}

// What a save writes of the texts held: the slots that differ from the file, by their
// offsets in Imsg.e5, and the slot shown even when it does not differ, first.
struct PatchCase {
    const char* name;
    std::vector<std::pair<int, int>> changed; // (category, row) given a text
    int shownCategory;                        // -1: no slot shown
    int shownRow;
    std::vector<qint64> offsets;
    int counted;
};
class SlotPatchesOfASave : public testing::TestWithParam<PatchCase> {};

TEST_P(SlotPatchesOfASave, WriteEveryChangedSlotAndTheOneShownAtTheirOffsets) {
    RegionSet onDisk(tableLayout());
    RegionSet texts(tableLayout());
    for (const auto& [c, row] : GetParam().changed)
        setSlotIn(texts, c, row, padded(QByteArray::number(c * 1000 + row)));
    const SlotPatches write =
        slotPatches(texts, onDisk, GetParam().shownCategory, GetParam().shownRow);
    EXPECT_EQ(write.changed, GetParam().counted);
    std::vector<qint64> offsets;
    for (const files::Patch& patch : write.patches) {
        offsets.push_back(patch.pos);
        // Each patch carries the slot's bytes as held.
        const auto category = std::find_if(categories.begin(), categories.end(), [&](auto& c) {
            return patch.pos >= c.offset && patch.pos < c.end();
        });
        ASSERT_NE(category, categories.end());
        const int c = int(category - categories.begin());
        const int row = int((patch.pos - category->offset) / slotSize);
        EXPECT_EQ(patch.bytes, slotIn(texts, c, row));
        EXPECT_EQ(patch.bytes.size(), slotSize);
    }
    EXPECT_EQ(offsets, GetParam().offsets);
}

INSTANTIATE_TEST_SUITE_P(
    Saves, SlotPatchesOfASave,
    testing::Values(
        PatchCase{"nothing", {}, -1, -1, {}, 0},
        PatchCase{"oneRetreatLine", {{3, 2}}, -1, -1, {130400}, 1},
        PatchCase{"shownUnchangedFirst", {{3, 2}}, 0, 5, {91000, 130400}, 1},
        PatchCase{"shownIsTheChangedOne", {{3, 2}}, 3, 2, {130400}, 1},
        PatchCase{"lastSlots", {{1, 103}, {6, 57}, {4, 98}}, -1, -1, {20600, 159600, 61400}, 3}),
    [](const auto& info) { return std::string(info.param.name); });

struct PlaceCase {
    const char* name;
    int c;
    int row;
    qsizetype fileSize;
    qint64 at; // -1: the file keeps its bytes
};
class SlotPlacedInTheFile : public testing::TestWithParam<PlaceCase> {};

TEST_P(SlotPlacedInTheFile, LandsAtItsOffsetOrNowhere) {
    QByteArray file(GetParam().fileSize, '\x11');
    QByteArray expected = file;
    const QByteArray slot = padded("slot");
    if (GetParam().at >= 0)
        expected.replace(GetParam().at, slotSize, slot);
    placeSlot(file, GetParam().c, GetParam().row, slot);
    EXPECT_EQ(file, expected);
}

INSTANTIATE_TEST_SUITE_P(Files, SlotPlacedInTheFile,
                         testing::Values(PlaceCase{"firstItem", 1, 0, minimumFileSize, 0},
                                         PlaceCase{"lastCritical", 4, 98, minimumFileSize, 159600},
                                         PlaceCase{"character", 0, 173, minimumFileSize, 124600},
                                         PlaceCase{"fileOneByteShort", 4, 98, minimumFileSize - 1,
                                                   -1}),
                         [](const auto& info) { return std::string(info.param.name); });
