#include "common/numbernames.h"

#include <gtest/gtest.h>

using namespace lcj;

namespace {

const QStringList three{QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙")};

struct NameCase {
    const char16_t* typed;
    qint64 noneFrom;
    const char16_t* name;
};

class NameForNumber : public testing::TestWithParam<NameCase> {};

} // namespace

TEST_P(NameForNumber, NamesWhatTheBoxHolds) {
    const NameCase c = GetParam();
    EXPECT_EQ(names::nameForNumber(three, QString::fromUtf16(c.typed), c.noneFrom),
              QString::fromUtf16(c.name));
}

INSTANTIATE_TEST_SUITE_P(Cases, NameForNumber,
                         testing::Values(NameCase{u"0", names::noneWord, u"甲"},
                                         NameCase{u"2", names::noneWord, u"丙"},
                                         // Read as the box reads it: blanks dropped, rounded down.
                                         NameCase{u" 1 ", names::noneWord, u"乙"},
                                         NameCase{u"2.9", names::noneWord, u"丙"},
                                         NameCase{u"3", names::noneWord, u"（未知）"},
                                         NameCase{u"65534", names::noneWord, u"（未知）"},
                                         NameCase{u"65535", names::noneWord, u"无"},
                                         // A spoil: from 105 up means none.
                                         NameCase{u"104", 105, u"（未知）"},
                                         NameCase{u"105", 105, u"无"}, NameCase{u"255", 105, u"无"},
                                         // Text that is no number names nothing.
                                         NameCase{u"", names::noneWord, u""},
                                         NameCase{u"-1", names::noneWord, u""},
                                         NameCase{u"1x", names::noneWord, u""},
                                         NameCase{u"65536", names::noneWord, u""}));

TEST(MatchesFilter, NumberOrTextContainsWhatIsTyped) {
    EXPECT_TRUE(names::matchesFilter(137, QStringLiteral("张辽"), QStringLiteral("137")));
    EXPECT_TRUE(names::matchesFilter(137, QStringLiteral("张辽"), QStringLiteral("13")));
    EXPECT_TRUE(names::matchesFilter(137, QStringLiteral("张辽"), QStringLiteral("辽")));
    EXPECT_TRUE(names::matchesFilter(5, QStringLiteral("Abc"), QStringLiteral("aB")));
    EXPECT_TRUE(names::matchesFilter(5, QStringLiteral("张辽"), QStringLiteral("  ")));
    EXPECT_FALSE(names::matchesFilter(138, QStringLiteral("张辽"), QStringLiteral("137")));
    EXPECT_FALSE(names::matchesFilter(137, QStringLiteral("张辽"), QStringLiteral("关")));
    // An entry with no record number is found by its text only.
    EXPECT_FALSE(names::matchesFilter(-1, QStringLiteral("（未知：104）"), QStringLiteral("-1")));
    EXPECT_TRUE(names::matchesFilter(-1, QStringLiteral("（未知：104）"), QStringLiteral("104")));
}
