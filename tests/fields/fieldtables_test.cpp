#include "fields/fieldtable.h"
#include "samplegen/samplegame.h"

#include <gtest/gtest.h>

using namespace lcj;
using fields::FileKind;

namespace {

// Every sample file that is one of the game's files, opened from its bytes.
struct Opened {
    QString name;
    QByteArray bytes;
    std::unique_ptr<fields::FieldFile> file;
};

QList<sample::SampleFile> gameFiles() {
    QList<sample::SampleFile> out;
    for (const sample::SampleFile& f : sample::sampleGameFiles())
        if (fields::kindOfName(f.name))
            out.append(f);
    return out;
}

Opened open(const sample::SampleFile& f) {
    auto file = fields::openFile(*fields::kindOfName(f.name), f.name, f.bytes);
    EXPECT_TRUE(file.ok()) << f.name.toStdString() << ": " << file.error().toStdString();
    return {f.name, f.bytes, file.ok() ? std::move(*file) : nullptr};
}

} // namespace

TEST(FieldFiles, EveryKindOpensFromBytesAndGivesThemBackAsTheyWere) {
    QList<FileKind> kinds;
    for (const sample::SampleFile& f : gameFiles()) {
        const Opened o = open(f);
        ASSERT_TRUE(o.file);
        kinds.append(o.file->kind());
        EXPECT_EQ(o.file->bytes(), f.bytes) << f.name.toStdString();
        EXPECT_FALSE(o.file->tables().empty()) << f.name.toStdString();
    }
    for (FileKind k : {FileKind::Data, FileKind::Save, FileKind::Imsg, FileKind::Exe,
                       FileKind::RFile, FileKind::Scenario})
        EXPECT_TRUE(kinds.contains(k)) << fields::kindName(k).toStdString();
}

// Typing every row's cells back as they show leaves every byte of the file.
TEST(FieldFiles, EveryRowWrittenAsItShowsKeepsEveryByte) {
    for (const sample::SampleFile& f : gameFiles()) {
        const Opened o = open(f);
        ASSERT_TRUE(o.file);
        for (const auto& t : o.file->tables())
            for (int r = 0; r < t->rowCount(); ++r) {
                fields::Cells cells;
                for (qsizetype c = 0; c < t->columns().size(); ++c)
                    if (!t->columns()[c].readOnly)
                        cells.insert(t->columns()[c].key, t->value(r, int(c)));
                const auto failure = t->write(r, cells);
                ASSERT_TRUE(failure.ok())
                    << t->rowName(r).toStdString() << ": " << failure.error().toStdString();
            }
        EXPECT_EQ(o.file->bytes(), f.bytes) << f.name.toStdString();
    }
}

namespace {

struct WriteCase {
    const char* file;
    const char* part;
    int row;
    const char* column; // takes `good`, then `bad` beside another good value
    const char* good;
    const char* other; // a second column of the row, or empty
    const char* otherValue;
    const char* bad;
    const char* named; // what the refusal's message names
};

class FieldWrite : public testing::TestWithParam<WriteCase> {
protected:
    QByteArray original() const {
        for (const sample::SampleFile& f : sample::sampleGameFiles())
            if (f.name == QString::fromLatin1(GetParam().file))
                return f.bytes;
        ADD_FAILURE() << "no sample " << GetParam().file;
        return {};
    }
    std::unique_ptr<fields::FieldFile> openBytes(const QByteArray& bytes) const {
        const QString name = QString::fromLatin1(GetParam().file);
        auto file = fields::openFile(*fields::kindOfName(name), name, bytes);
        EXPECT_TRUE(file.ok()) << file.error().toStdString();
        return file.ok() ? std::move(*file) : nullptr;
    }
    static QString u8(const char* s) { return QString::fromUtf8(s); }
};

} // namespace

// A written value reaches the bytes: the file opened again from them shows it.
TEST_P(FieldWrite, AWrittenValueReadsBackFromTheBytes) {
    const WriteCase& c = GetParam();
    const QByteArray before = original();
    auto file = openBytes(before);
    ASSERT_TRUE(file);
    fields::FieldTable* t = file->table(u8(c.part));
    ASSERT_TRUE(t);
    const int column = t->columnOf(u8(c.column));
    ASSERT_GE(column, 0);
    ASSERT_NE(t->read(c.row, column), u8(c.good)) << "the case must change the cell";
    const auto failure = t->write(c.row, {{u8(c.column), u8(c.good)}});
    ASSERT_TRUE(failure.ok()) << failure.error().toStdString();
    EXPECT_NE(file->bytes(), before);
    EXPECT_EQ(file->bytes().size(), before.size());

    auto again = openBytes(file->bytes());
    ASSERT_TRUE(again);
    EXPECT_EQ(again->table(u8(c.part))->read(c.row, column), u8(c.good));
}

// A refused cell leaves the whole row, and every byte, as they were, even
// beside a cell that alone would be taken; the message names the field.
TEST_P(FieldWrite, ARefusedWriteChangesNoByte) {
    const WriteCase& c = GetParam();
    const QByteArray before = original();
    auto file = openBytes(before);
    ASSERT_TRUE(file);
    fields::FieldTable* t = file->table(u8(c.part));
    ASSERT_TRUE(t);
    const QStringList shown = t->readRow(c.row);
    fields::Cells cells{{u8(c.column), u8(c.bad)}};
    if (*c.other)
        cells.insert(u8(c.other), u8(c.otherValue));
    const auto failure = t->write(c.row, cells);
    ASSERT_FALSE(failure.ok());
    EXPECT_TRUE(failure.error().contains(u8(c.named))) << failure.error().toStdString();
    EXPECT_EQ(file->bytes(), before);
    EXPECT_EQ(t->readRow(c.row), shown);
    if (*c.other) {
        // The other cell alone is taken, so it was the bad one that stopped the row.
        ASSERT_TRUE(t->write(c.row, {{u8(c.other), u8(c.otherValue)}}).ok());
        EXPECT_NE(file->bytes(), before);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, FieldWrite,
    testing::Values(
        WriteCase{"data.e5", "characters", 5, "武力", "76", "统率", "62", "abc", "武力"},
        WriteCase{"Sv01d.e5s", "characters", 3, "武力", "74", "统率", "61", "abc", "武力"},
        WriteCase{"Sv01d.e5s", "loyalty", 0, "忠奸度", "7", "", "", "abc", "忠奸度"},
        WriteCase{"Imsg.e5", "liezhuan", 2, "人物列传", "新的列传", "", "", "表情😀", "文本"},
        WriteCase{"Lcj5.exe", "figures", 4, "形象", "3", "", "", "999", "形象"},
        WriteCase{"R_01.eex", "limits", 0, "强制出场人员1", "12", "本关出场人数", "5", "abc",
                  "强制出场人员1"},
        WriteCase{"S_01.eex", "enemies", 2, "x", "21", "y", "9", "abc", "横坐标"}));

namespace {

struct PlaceCase {
    const char* file;
    const char* part;
    int row;
    const char* column;
    const char* place; // in the windows' words: records from 0, list entries from 1
};

class FieldPlace : public testing::TestWithParam<PlaceCase> {};

} // namespace

TEST_P(FieldPlace, NamesACellAsTheWindowsDo) {
    const PlaceCase& c = GetParam();
    const QString name = QString::fromLatin1(c.file);
    for (const sample::SampleFile& f : sample::sampleGameFiles()) {
        if (f.name != name)
            continue;
        const auto file = fields::openFile(*fields::kindOfName(name), name, f.bytes);
        ASSERT_TRUE(file.ok()) << file.error().toStdString();
        const fields::FieldTable* t = (*file)->table(QString::fromUtf8(c.part));
        ASSERT_TRUE(t);
        ASSERT_LT(c.row, t->rowCount());
        const int column = t->columnOf(QString::fromUtf8(c.column));
        ASSERT_GE(column, 0);
        EXPECT_EQ(t->place(c.row, column), QString::fromUtf8(c.place));
        return;
    }
    FAIL() << "no sample " << c.file;
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, FieldPlace,
    testing::Values(PlaceCase{"data.e5", "characters", 5, "武力", "人物 5 武力"},
                    PlaceCase{"data.e5", "troops", 0, "移动力", "兵种 0 移动力"},
                    PlaceCase{"Sv01d.e5s", "characters", 3, "武具", "人物 3 武具"},
                    PlaceCase{"Sv01d.e5s", "loyalty", 0, "忠奸度", "忠奸度"},
                    PlaceCase{"Imsg.e5", "liezhuan", 2, "人物列传", "人物列传 2"},
                    PlaceCase{"Lcj5.exe", "switch", 0, "敌军小兵自动升级兵种",
                              "开关 敌军小兵自动升级兵种"},
                    PlaceCase{"R_01.eex", "limits", 0, "本关出场人数", "出场人物数 本关出场人数"},
                    PlaceCase{"S_01.eex", "battle", 0, "turns", "战役 回合数"},
                    PlaceCase{"S_01.eex", "enemies", 2, "x", "敌军 3 横坐标"},
                    PlaceCase{"S_01.eex", "army", 0, "facing", "我军出场人物 1 朝向"},
                    PlaceCase{"S_01.eex", "spoils", 1, "items", "战利品 2"}));
