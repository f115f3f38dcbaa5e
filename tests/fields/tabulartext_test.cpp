#include "fields/tabulartext.h"

#include <gtest/gtest.h>

#include <ostream>

using namespace lcj;

namespace {

// A text as a spreadsheet puts it on the clipboard, and the rows it holds.
struct Tabular {
    const char* name;
    QString text;
    QList<QStringList> rows;
};

void PrintTo(const Tabular& c, std::ostream* os) {
    *os << c.name;
}

class TabularText : public testing::TestWithParam<Tabular> {};

TEST_P(TabularText, ReadsWhatSpreadsheetsWrite) {
    const Tabular& c = GetParam();
    EXPECT_EQ(fields::parseTabularText(c.text), c.rows);
    // Written back and read again, the cells are the same.
    EXPECT_EQ(fields::parseTabularText(fields::tabularText(c.rows)), c.rows);
}

INSTANTIATE_TEST_SUITE_P(
    Clipboard, TabularText,
    testing::Values(Tabular{"CrlfAndATrailingLineEnd",
                            QStringLiteral("a\tb\r\nc\td\r\n"),
                            {{QStringLiteral("a"), QStringLiteral("b")},
                             {QStringLiteral("c"), QStringLiteral("d")}}},
                    Tabular{"LfNoTrailingLineEnd",
                            QStringLiteral("甲\t乙\n丙\t丁"),
                            {{QStringLiteral("甲"), QStringLiteral("乙")},
                             {QStringLiteral("丙"), QStringLiteral("丁")}}},
                    Tabular{
                        "QuotedCellsWithATabALineBreakAndQuotes",
                        QStringLiteral("\"x\ty\"\t\"line\nbreak\"\r\n\"say \"\"hi\"\"\"\t2\r\n"),
                        {{QStringLiteral("x\ty"), QStringLiteral("line\nbreak")},
                         {QStringLiteral("say \"hi\""), QStringLiteral("2")}}},
                    Tabular{"EmptyCellsKept",
                            QStringLiteral("\t1\t\r\n"),
                            {{QString(), QStringLiteral("1"), QString()}}},
                    Tabular{"AnExtraEmptyLineAfterAWideBlock",
                            QStringLiteral("1\t2\r\n\r\n"),
                            {{QStringLiteral("1"), QStringLiteral("2")}}},
                    Tabular{"AQuoteThatNeverClosesIsText",
                            QStringLiteral("\"abc\tx\r\n"),
                            {{QStringLiteral("\"abc"), QStringLiteral("x")}}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
