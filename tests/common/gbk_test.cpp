#include "common/gbk.h"

#include <gtest/gtest.h>

using namespace lcj;

namespace {

QByteArray bytes(const char* s, int n) {
    return QByteArray(s, n);
}

} // namespace

TEST(Gbk, CodecIsAvailable) {
    EXPECT_TRUE(gbk::available());
}

TEST(Gbk, FieldDecodesUpToFirstZeroAndTrims) {
    // "林青" then two blanks, a zero, then junk that must not show.
    EXPECT_EQ(gbk::decodeField(bytes("\xC1\xD6\xC7\xE0  \0\xB7\xE7\0\0\0\0", 12)),
              QStringLiteral("林青"));
    EXPECT_EQ(gbk::decodeField(bytes("  ab\0\0", 6)), QStringLiteral("ab"));
    EXPECT_EQ(gbk::decodeField(bytes("\0\0\0\0", 4)), QString());
}

TEST(Gbk, FullFieldWithoutZeroIsShownWhole) {
    const auto code = gbk::encodeField(QStringLiteral("岚川长风破浪"), 12);
    ASSERT_TRUE(code.ok());
    EXPECT_EQ(code->size(), 12);
    EXPECT_EQ(code->indexOf('\0'), -1);
    EXPECT_EQ(gbk::decodeField(*code), QStringLiteral("岚川长风破浪"));
}

TEST(Gbk, EncodeTrimsAndPadsWithZeros) {
    const auto code = gbk::encodeField(QStringLiteral("  岚川记 "), 12);
    ASSERT_TRUE(code.ok());
    EXPECT_EQ(*code, bytes("\xE1\xB0\xB4\xA8\xBC\xC7\0\0\0\0\0\0", 12));
}

TEST(Gbk, CutNeverSplitsATwoByteCharacter) {
    // a + 岚川记 is 7 bytes: in 6 bytes only "a岚川" fits (5 bytes), then one zero.
    const auto code = gbk::encodeField(QStringLiteral("a岚川记"), 6);
    ASSERT_TRUE(code.ok());
    EXPECT_EQ(*code, bytes("a\xE1\xB0\xB4\xA8\0", 6));
    // Pure ASCII is cut at the width exactly.
    EXPECT_EQ(*gbk::encodeField(QStringLiteral("abcdefgh"), 5), QByteArray("abcde"));
}

TEST(Gbk, TextGbkCannotHoldIsRefused) {
    const auto code = gbk::encodeField(QStringLiteral("岚😀"), 12);
    ASSERT_FALSE(code.ok());
    EXPECT_TRUE(code.error().contains(QStringLiteral("😀")));
    EXPECT_FALSE(gbk::encode(QStringLiteral("한")).ok());
}

TEST(Gbk, InvalidBytesDecodeWithoutCrashing) {
    const QString text = gbk::decodeField(bytes("\xFF\xFF\x81", 3));
    EXPECT_FALSE(text.isNull());
}

TEST(Gbk, ByteCountIsTheSizeOfTheGbkForm) {
    EXPECT_EQ(gbk::byteCount(u""), 0);
    EXPECT_EQ(gbk::byteCount(u"abc"), 3);
    EXPECT_EQ(gbk::byteCount(u"岚川记"), 6);
    EXPECT_EQ(gbk::byteCount(u"a岚 b"), 5);
    // A character without a GBK code counts two bytes and hides nothing else.
    EXPECT_EQ(gbk::byteCount(u"岚😀a"), 5);
    EXPECT_EQ(gbk::fieldBytes(QStringLiteral("  岚川 ")), 4);
}
