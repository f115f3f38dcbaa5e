#include "common/numberinput.h"

#include <gtest/gtest.h>

using namespace lcj;

namespace {

struct Case {
    const char16_t* text;
    Rounding rounding;
    qint64 min, max;
    std::optional<qint64> expected;
};

class ParseNumber : public testing::TestWithParam<Case> {};

} // namespace

TEST_P(ParseNumber, ConvertsOrRefuses) {
    const Case& c = GetParam();
    const auto r =
        parseNumber(QStringLiteral("武力"), QString::fromUtf16(c.text), {c.min, c.max, c.rounding});
    if (c.expected) {
        ASSERT_TRUE(r.ok()) << r.error().toStdString();
        EXPECT_EQ(*r, *c.expected);
    } else {
        ASSERT_FALSE(r.ok());
        EXPECT_TRUE(r.error().startsWith(QStringLiteral("武力：")));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseNumber,
    testing::Values(
        Case{u"75", Rounding::Down, 0, 255, 75}, Case{u" 75 ", Rounding::Down, 0, 255, 75},
        Case{u"75.9", Rounding::Down, 0, 255, 75}, Case{u"+3", Rounding::Down, 0, 255, 3},
        Case{u"007", Rounding::Down, 0, 255, 7}, Case{u".5", Rounding::Down, 0, 255, 0},
        Case{u"255", Rounding::Down, 0, 255, 255}, Case{u"256", Rounding::Down, 0, 255, {}},
        Case{u"-1", Rounding::Down, 0, 255, {}}, Case{u"-0.5", Rounding::Down, 0, 255, {}},
        Case{u"-0.5", Rounding::Down, -5, 5, -1}, Case{u"-0", Rounding::Down, 0, 5, 0},
        Case{u"", Rounding::Down, 0, 255, {}}, Case{u"   ", Rounding::Down, 0, 255, {}},
        Case{u"abc", Rounding::Down, 0, 255, {}}, Case{u"1e3", Rounding::Down, 0, 9999, {}},
        Case{u"1.2.3", Rounding::Down, 0, 255, {}}, Case{u".", Rounding::Down, 0, 255, {}},
        Case{u"１２", Rounding::Down, 0, 255, {}},
        Case{u"99999999999999999999", Rounding::Down, 0, 65535, {}},
        Case{u"2.5", Rounding::HalfEven, 0, 255, 2}, Case{u"3.5", Rounding::HalfEven, 0, 255, 4},
        Case{u"2.50001", Rounding::HalfEven, 0, 255, 3},
        Case{u"2.49999", Rounding::HalfEven, 0, 255, 2},
        Case{u"254.5", Rounding::HalfEven, 0, 255, 254},
        Case{u"255.5", Rounding::HalfEven, 0, 255, {}},
        Case{u"-0.4", Rounding::HalfEven, 0, 255, 0},
        Case{u"65535", Rounding::Down, 0, 65535, 65535},
        Case{u"65536", Rounding::Down, 0, 65535, {}}));

TEST(HalveHalfEven, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(halveHalfEven(75), 38);
    EXPECT_EQ(halveHalfEven(77), 38);
    EXPECT_EQ(halveHalfEven(76), 38);
    EXPECT_EQ(halveHalfEven(73), 36);
    EXPECT_EQ(halveHalfEven(1), 0);
    EXPECT_EQ(halveHalfEven(509), 254);
    EXPECT_EQ(halveHalfEven(510), 255);
}

TEST(ParseNumberMessage, NamesFieldAndRange) {
    const auto r = parseNumber(QStringLiteral("武力"), QStringLiteral("600"), {0, 510});
    EXPECT_EQ(r.error(), QStringLiteral("武力：请输入0到510之间的整数"));
}
