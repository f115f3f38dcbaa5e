#include "cli/csv.h"
#include "common/gbk.h"

#include <gtest/gtest.h>

using namespace lcj;

TEST(Csv, QuotesOnlyWhatNeedsIt) {
    const csv::Rows rows{{QStringLiteral("a"), QStringLiteral("b,c"), QStringLiteral("say \"hi\""),
                          QStringLiteral("two\nlines"), QString()}};
    EXPECT_EQ(csv::write(rows), QStringLiteral("a,\"b,c\",\"say \"\"hi\"\"\",\"two\nlines\",\r\n"));
}

TEST(Csv, RoundTripsEveryAwkwardField) {
    const csv::Rows rows{{QStringLiteral("序号"), QStringLiteral("姓名")},
                         {QStringLiteral("1"), QStringLiteral("逗号,引号\"换行\r\n结束")},
                         {QStringLiteral("2"), QString()},
                         {QStringLiteral(""), QStringLiteral("\"")}};
    const auto back = csv::read(csv::write(rows));
    ASSERT_TRUE(back.ok()) << back.error().toStdString();
    EXPECT_EQ(*back, rows);
}

TEST(Csv, ReadsLfLinesAndALastLineWithoutBreak) {
    const auto rows = csv::read(QStringLiteral("a,b\n1,2\n3,\"4\""));
    ASSERT_TRUE(rows.ok());
    EXPECT_EQ(*rows, (csv::Rows{{QStringLiteral("a"), QStringLiteral("b")},
                                {QStringLiteral("1"), QStringLiteral("2")},
                                {QStringLiteral("3"), QStringLiteral("4")}}));
}

TEST(Csv, RefusesBrokenQuoting) {
    EXPECT_FALSE(csv::read(QStringLiteral("a,\"open\n1,2\n")).ok());
    EXPECT_FALSE(csv::read(QStringLiteral("a,\"closed\"x,b\n")).ok());
}

TEST(Csv, UserTextMayBeUtf8WithOrWithoutBomOrGbk) {
    const QString text = QStringLiteral("序号,姓名\r\n5,林青\r\n");
    EXPECT_EQ(*csv::decodeUserText(text.toUtf8()), text);
    EXPECT_EQ(*csv::decodeUserText(QByteArray("\xEF\xBB\xBF") + text.toUtf8()), text);
    EXPECT_EQ(*csv::decodeUserText(*gbk::encode(text)), text);
}
