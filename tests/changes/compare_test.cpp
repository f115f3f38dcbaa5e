#include "changes/compare.h"
#include "samplegen/samplegame.h"
#include "scenario/savebuilder.h"
#include "scenario/scenariodocument.h"

#include <gtest/gtest.h>

namespace lcj {
namespace {

using changes::FieldChange;

std::unique_ptr<fields::FieldFile> open(fields::FileKind kind, const QByteArray& bytes) {
    auto file = fields::openFile(kind, QStringLiteral("file"), bytes);
    EXPECT_TRUE(file.ok()) << (file.ok() ? std::string() : file.error().toStdString());
    return file.ok() ? std::move(*file) : nullptr;
}

std::string text(const QList<FieldChange>& list) {
    QStringList lines;
    for (const FieldChange& c : list)
        lines << QStringLiteral("%1|%2|%3|%4|%5")
                     .arg(c.part)
                     .arg(c.row)
                     .arg(c.column, changes::diffLine(c))
                     .arg(c.added()     ? u'+'
                          : c.removed() ? u'-'
                                        : u'=');
    return lines.join(u'\n').toStdString();
}

TEST(Compare, TheSameFileHasNoChanges) {
    const QByteArray data = sample::dataFile();
    EXPECT_TRUE(
        changes::compare(*open(fields::FileKind::Data, data), *open(fields::FileKind::Data, data))
            .isEmpty());
}

// One field typed into a record is one change, named and shown as the window
// names and shows it.
TEST(Compare, OneFieldOfARecord) {
    const QByteArray data = sample::dataFile();
    auto a = open(fields::FileKind::Data, data), b = open(fields::FileKind::Data, data);
    fields::FieldTable* characters = b->table(QStringLiteral("characters"));
    ASSERT_TRUE(characters);
    const int column = characters->columnOf(QStringLiteral("武力"));
    const QString was = characters->read(5, column);
    ASSERT_TRUE(characters->write(5, {{QStringLiteral("武力"), 76}}).ok());
    const auto list = changes::compare(*a, *b);
    ASSERT_EQ(list.size(), 1) << text(list);
    EXPECT_EQ(list[0].part, QStringLiteral("characters"));
    EXPECT_EQ(list[0].row, 5);
    EXPECT_EQ(list[0].column, QStringLiteral("武力"));
    EXPECT_EQ(list[0].before, QJsonValue(was));
    EXPECT_EQ(list[0].after, QJsonValue(QStringLiteral("76")));
    EXPECT_EQ(changes::diffLine(list[0]), QStringLiteral("人物 5 武力: %1 → 76").arg(was));
}

// The name of an undo step: one field with its values, the fields of one record counted, the
// records and fields of several; no name for no change or bytes that are no data file.
TEST(Compare, StepTexts) {
    const QByteArray data = sample::dataFile();
    struct Case {
        std::vector<std::pair<int, QString>> cells; // character, column typed 80
        QString expected;
    };
    auto b = open(fields::FileKind::Data, data);
    fields::FieldTable* characters = b->table(QStringLiteral("characters"));
    const QString force = characters->read(5, characters->columnOf(QStringLiteral("武力")));
    const Case cases[] = {
        {{}, QString()},
        {{{5, QStringLiteral("武力")}},
         QStringLiteral("修改 人物 5 武力 %1 → 80\n修改 人物 5 武力").arg(force)},
        {{{5, QStringLiteral("武力")}, {5, QStringLiteral("统率")}},
         QStringLiteral("修改 人物 5 的 2 栏")},
        {{{5, QStringLiteral("武力")}, {5, QStringLiteral("统率")}, {9, QStringLiteral("武力")}},
         QStringLiteral("修改 2 行 3 栏")},
    };
    for (const Case& c : cases) {
        auto edited = open(fields::FileKind::Data, data);
        fields::FieldTable* table = edited->table(QStringLiteral("characters"));
        for (const auto& [row, column] : c.cells)
            ASSERT_TRUE(table->write(row, {{column, 80}}).ok());
        EXPECT_EQ(changes::stepText(fields::FileKind::Data, data, edited->bytes()), c.expected);
    }
    EXPECT_EQ(changes::stepText(fields::FileKind::Data, data, data.left(100)), QString());
}

// A list that grows or shrinks: its count first, then every field of the
// entries only one copy has, in either direction.
TEST(Compare, AnEntryAddedOrRemovedWhole) {
    const QByteArray before = sample::scenarioFile(sample::ScenarioShape{});
    scenario::ScenarioDocument doc = scenario::ScenarioDocument::scan(before);
    ASSERT_TRUE(doc.appendArmyEntry());
    const auto built = scenario::buildSave(doc);
    ASSERT_TRUE(built.ok());
    auto a = open(fields::FileKind::Scenario, before);
    auto b = open(fields::FileKind::Scenario, built->bytes);
    const fields::FieldTable& armyA = *a->table(QStringLiteral("army"));
    const fields::FieldTable& armyB = *b->table(QStringLiteral("army"));
    const int n = armyA.rowCount();
    ASSERT_EQ(armyB.rowCount(), n + 1);

    for (bool grows : {true, false}) {
        SCOPED_TRACE(grows ? "grows" : "shrinks");
        const auto list = grows ? changes::compare(*a, *b) : changes::compare(*b, *a);
        ASSERT_EQ(list.size(), 1 + armyB.columns().size()) << text(list);
        EXPECT_EQ(list[0].row, -1);
        EXPECT_EQ(list[0].column, changes::countColumn);
        EXPECT_EQ(changes::diffLine(list[0]),
                  grows ? QStringLiteral("我军出场人数: %1 → %2").arg(n).arg(n + 1)
                        : QStringLiteral("我军出场人数: %1 → %2").arg(n + 1).arg(n));
        for (qsizetype c = 0; c < armyB.columns().size(); ++c) {
            const FieldChange& f = list[1 + c];
            EXPECT_EQ(f.part, QStringLiteral("army"));
            EXPECT_EQ(f.row, n);
            EXPECT_EQ(f.column, armyB.columns()[c].key);
            EXPECT_EQ(f.where, armyB.place(n, int(c)));
            EXPECT_EQ(f.added(), grows);
            EXPECT_EQ(f.removed(), !grows);
            EXPECT_EQ(grows ? f.after : f.before, armyB.value(n, int(c)));
        }
    }
}

} // namespace
} // namespace lcj
