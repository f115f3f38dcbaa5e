#include "common/gbk.h"
#include "common/nametables.h"
#include "datafile/datalayout.h"
#include "datafile/datanames.h"
#include "fields/datatable.h"
#include "samplegen/samplegame.h"

#include <gtest/gtest.h>

using namespace lcj;
using fields::Column;
using fields::Entry;
using fields::FieldTable;
using Editor = Column::Editor;

namespace {

struct DataTables {
    QByteArray bytes = sample::dataFile();
    std::vector<std::unique_ptr<FieldTable>> tables = fields::dataFieldTables(bytes);

    FieldTable& part(const QString& name) {
        for (const auto& t : tables)
            if (t->part() == name)
                return *t;
        ADD_FAILURE() << name.toStdString();
        return *tables.front();
    }
};

int column(const FieldTable& t, const QString& caption) {
    const int c = t.columnOf(caption);
    EXPECT_GE(c, 0) << caption.toStdString();
    return c;
}

// The entries a fixed list of the window stands for: entry p is code p + first,
// entry `none` is 255.
QList<Entry> listOf(const QStringList& texts, int first = 0, int none = -1) {
    QList<Entry> out;
    for (int p = 0; p < texts.size(); ++p)
        out.append({texts[p], QString::number(p == none ? 255 : p + first)});
    return out;
}

QString itemName(const QByteArray& bytes, int item) {
    return gbk::decodeField(QByteArrayView(bytes).sliced(data::items.recordOffset(item), 16));
}

struct ListCase {
    const char* part;
    const char16_t* caption;
    std::function<QList<Entry>()> entries;
};

class FixedLists : public testing::TestWithParam<int> {};

const std::vector<ListCase>& fixedLists() {
    static const std::vector<ListCase> all{
        {"characters", u"兵种", [] { return listOf(names::troopTypes()); }},
        {"items", u"武具/防具类型", [] { return listOf(names::equipmentKinds()); }},
        {"items", u"特殊效果", [] { return listOf(data::lists::specialEffects(), 18, 45); }},
        {"items", u"消耗类道具效果", [] { return listOf(data::lists::consumableEffects(), 63); }},
        {"items", u"适合兵种", [] { return listOf(data::lists::suitableClasses(), 0, 27); }},
        {"troops", u"攻击范围", [] { return listOf(data::lists::attackRanges()); }},
        {"strategies", u"施展对象", [] { return listOf(data::lists::strategyTargets()); }},
        {"strategies", u"施展范围", [] { return listOf(data::lists::castingRanges()); }},
        {"strategies", u"效果范围", [] { return listOf(data::lists::effectAreas()); }},
    };
    return all;
}

} // namespace

// Each list column offers the window's own entries, standing for the codes
// the form stores.
TEST_P(FixedLists, OfferTheWindowsEntriesAndCodes) {
    const ListCase& c = fixedLists()[std::size_t(GetParam())];
    DataTables d;
    FieldTable& t = d.part(QString::fromLatin1(c.part));
    const int col = column(t, QString::fromUtf16(c.caption));
    ASSERT_GE(col, 0);
    EXPECT_EQ(t.columns()[col].editor, Editor::List);
    const QList<Entry> expected = c.entries();
    ASSERT_FALSE(expected.isEmpty());
    EXPECT_EQ(t.entries(col), expected);
}
INSTANTIATE_TEST_SUITE_P(DataSections, FixedLists, testing::Range(0, int(fixedLists().size())));

// Every entry of a list column, written to a record that uses the field, is
// taken and reads back as its own value: the values are the form's codes.
TEST(ColumnEditors, EveryEntryOfACharacterOrTroopOrStrategyListIsTakenAsItsValue) {
    DataTables d;
    for (const char16_t* name : {u"characters", u"troops", u"strategies"}) {
        const QString part = QString::fromUtf16(name);
        FieldTable& t = d.part(part);
        for (int c = 0; c < int(t.columns().size()); ++c) {
            if (t.columns()[c].editor != Editor::List)
                continue;
            for (const Entry& e : t.entries(c)) {
                const QByteArray before = d.bytes;
                ASSERT_TRUE(t.write(3, {{t.columns()[c].key, e.value}}).ok())
                    << t.place(3, c).toStdString() << " " << e.text.toStdString();
                EXPECT_EQ(t.read(3, c), e.value) << e.text.toStdString();
                // Only the record's byte of that field changed, if any.
                int changed = 0;
                for (qsizetype i = 0; i < before.size(); ++i)
                    changed += before[i] != d.bytes[i];
                EXPECT_LE(changed, 1) << t.place(3, c).toStdString();
            }
        }
    }
}

TEST(ColumnEditors, CharacterEquipmentListsTheFilesOwnItemNamesThenNone) {
    DataTables d;
    FieldTable& t = d.part(QStringLiteral("characters"));
    for (const char16_t* name : {u"武具", u"防具", u"辅助"}) {
        const QString caption = QString::fromUtf16(name);
        const int col = column(t, caption);
        ASSERT_GE(col, 0);
        EXPECT_EQ(t.columns()[col].editor, Editor::List);
        const QList<Entry> entries = t.entries(col);
        ASSERT_EQ(entries.size(), 105);
        for (int i = 0; i < 104; ++i)
            EXPECT_EQ(entries[i], (Entry{itemName(d.bytes, i), QString::number(i)}));
        EXPECT_EQ(entries[104], (Entry{QStringLiteral("无"), QStringLiteral("255")}));
    }
    // A name changed in the file shows in the lists at once.
    FieldTable& items = d.part(QStringLiteral("items"));
    ASSERT_TRUE(items.write(7, {{QStringLiteral("道具名称"), QStringLiteral("青釭剑")}}).ok());
    EXPECT_EQ(t.entries(column(t, QStringLiteral("武具")))[7].text, QStringLiteral("青釭剑"));
}

TEST(ColumnEditors, NamesFlagsAndBoxes) {
    DataTables d;
    struct Expect {
        const char* part;
        const char16_t* caption;
        Editor editor;
        int width;
    };
    for (const Expect& e : std::initializer_list<Expect>{
             {"characters", u"姓名", Editor::Name, 12},
             {"characters", u"强行加入我军", Editor::Flag, 0},
             {"characters", u"武力", Editor::Box, 0},
             {"items", u"道具名称", Editor::Name, 16},
             {"items", u"价值/100", Editor::Box, 0},
             {"strategies", u"策略名称", Editor::Name, 10},
             {"troops", u"移动力", Editor::Box, 0},
         }) {
        FieldTable& t = d.part(QString::fromLatin1(e.part));
        const int col = column(t, QString::fromUtf16(e.caption));
        ASSERT_GE(col, 0);
        EXPECT_EQ(t.columns()[col].editor, e.editor) << t.place(0, col).toStdString();
        EXPECT_EQ(t.columns()[col].width, e.width) << t.place(0, col).toStdString();
        EXPECT_TRUE(t.entries(col).isEmpty());
    }
    // Every equipment kind of a troop type is a tick box.
    FieldTable& troops = d.part(QStringLiteral("troops"));
    for (const QString& kind : names::equipmentKinds())
        EXPECT_EQ(troops.columns()[column(troops, kind)].editor, Editor::Flag)
            << kind.toStdString();
}

// A stored code no entry stands for still reads as the code, as exports have it.
TEST(ColumnEditors, CellValuesStayTheStoredCodes) {
    DataTables d;
    FieldTable& t = d.part(QStringLiteral("characters"));
    d.bytes[int(data::characters.recordOffset(9) + 29)] = char(200);
    EXPECT_EQ(t.read(9, column(t, QStringLiteral("武具"))), QStringLiteral("200"));
    d.bytes[int(data::characters.recordOffset(9) + 26)] = char(6);
    EXPECT_EQ(t.read(9, column(t, QStringLiteral("兵种"))), QStringLiteral("6"));
}
