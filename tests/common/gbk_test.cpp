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

// The same table holds on every system: ICU's GBK on Linux, code page 936 on
// Windows. Each character stands for a kind of code the game's texts use.
struct GbkPair {
    const char* what;
    const char16_t* text;
    QByteArray code;
};

class GbkPairs : public testing::TestWithParam<GbkPair> {};

TEST_P(GbkPairs, DecodeAndEncodeAgree) {
    const GbkPair& p = GetParam();
    const QString text = QString::fromUtf16(p.text);
    EXPECT_EQ(gbk::decode(p.code), text) << p.what;
    const auto code = gbk::encode(text);
    ASSERT_TRUE(code.ok()) << p.what << ": " << code.error().toStdString();
    EXPECT_EQ(*code, p.code) << p.what;
}

INSTANTIATE_TEST_SUITE_P(
    Gbk, GbkPairs,
    testing::Values(GbkPair{"hanzi", u"岚川记", QByteArray("\xE1\xB0\xB4\xA8\xBC\xC7")},
                    GbkPair{"ascii", u"Sv01d", QByteArray("Sv01d")},
                    GbkPair{"middle dot", u"\u00B7", QByteArray("\xA1\xA4")},
                    GbkPair{"em dash", u"\u2014", QByteArray("\xA1\xAA")},
                    GbkPair{"horizontal bar", u"\u2015", QByteArray("\xA8\x44")},
                    GbkPair{"ideographic space", u"\u3000", QByteArray("\xA1\xA1")},
                    GbkPair{"fullwidth tilde", u"\uFF5E", QByteArray("\xA1\xAB")},
                    GbkPair{"pinyin", u"\u00E0\u00FC", QByteArray("\xA8\xA4\xA8\xB9")},
                    GbkPair{"euro sign, one byte", u"\u20AC", QByteArray("\x80")},
                    GbkPair{"user-defined area", u"\uE000", QByteArray("\xAA\xA1")},
                    GbkPair{"user-defined area in A2", u"\uE585", QByteArray("\xA2\xA0")}));

// No look-alikes: a character without its own code is refused, never stored
// as a near match (Windows' best fit would store À as A and a no-break space
// as a space).
TEST(Gbk, CharactersWithoutACodeAreRefusedNotApproximated) {
    const char16_t* refused[] = {u"한",     u"😀",      u"\u00C0", u"\u00A0",
                                 u"\u30FB", u"\uFFFD", u"\xD800"};
    for (const char16_t* t : refused) {
        const QString text = QStringLiteral("林") + QString::fromUtf16(t) + QStringLiteral("川");
        const auto code = gbk::encode(text);
        EXPECT_FALSE(code.ok()) << "U+" << std::hex << unsigned(t[0]);
        const auto field = gbk::encodeField(text, 12);
        EXPECT_FALSE(field.ok()) << "U+" << std::hex << unsigned(t[0]);
    }
}

// Broken bytes show as U+FFFD and never swallow the character after them; a
// character cut off at the end shows too (dropping it would lose it on save).
TEST(Gbk, BrokenBytesShowAsReplacementCharacters) {
    const QChar bad(QChar::ReplacementCharacter);
    EXPECT_EQ(gbk::decode(bytes("\x81\x20", 2)), QString(bad) + u' ');
    EXPECT_EQ(gbk::decode(bytes("\x81\x7F", 2)), QString(bad) + QChar(0x7F));
    EXPECT_EQ(gbk::decode(bytes("\x81\x30\xE1\xB0", 4)), QString(bad) + QStringLiteral("0岚"));
    EXPECT_EQ(gbk::decode(bytes("a\x81", 2)), QStringLiteral("a") + bad);
    EXPECT_EQ(gbk::decode(bytes("\xE1\xB0\xE1", 3)), QStringLiteral("岚") + bad);
    EXPECT_EQ(gbk::decodeField(bytes("\xC1\xD6\xC7\0\0\0", 6)), QStringLiteral("林") + bad);
    // Such a field cannot be stored back unchanged: the edit is refused.
    EXPECT_FALSE(gbk::encodeField(gbk::decodeField(bytes("\xC1\xD6\xC7\0", 4)), 4).ok());
}

// Byte FF is where the two converters differ. ICU (and Windows' own code page
// 936) read it as U+F8F5 and write U+F8F5 back as FF; Wine's code page 936
// refuses FF as a lead byte yet writes U+F8F5 as FF. Either way a file's FF
// is never turned into other bytes: it shows as U+F8F5 and saves as FF, or it
// shows as U+FFFD and the edit is refused.
TEST(Gbk, ByteFfKeepsOrRefuses) {
    const QString shown = gbk::decode(bytes("\xFF", 1));
#ifdef Q_OS_WIN
    ASSERT_TRUE(shown == QString(QChar(0xF8F5)) || shown == QString(QChar(0xFFFD)))
        << std::hex << unsigned(shown[0].unicode());
#else
    ASSERT_EQ(shown, QString(QChar(0xF8F5)));
#endif
    const auto code = gbk::encode(QString(QChar(0xF8F5)));
    if (shown == QString(QChar(0xF8F5))) {
        ASSERT_TRUE(code.ok());
        EXPECT_EQ(*code, bytes("\xFF", 1));
    } else {
        EXPECT_FALSE(code.ok());
    }
}

// FF is a character of one byte: a field that holds it is stored back byte
// for byte, and a cut after it never splits the two-byte character behind it.
struct FfField {
    const char* name;
    QByteArray text; // UTF-8; U+F8F5 is how FF shows
    int width;
    QByteArray stored;
};

void PrintTo(const FfField& c, std::ostream* os) {
    *os << c.name;
}

class GbkFfField : public testing::TestWithParam<FfField> {};

TEST_P(GbkFfField, StoresWholeCharacters) {
    if (gbk::decode(bytes("\xFF", 1)) != QString(QChar(0xF8F5)))
        GTEST_SKIP() << "this converter refuses FF (see ByteFfKeepsOrRefuses)";
    const FfField& c = GetParam();
    const auto code = gbk::encodeField(QString::fromUtf8(c.text), c.width);
    ASSERT_TRUE(code.ok()) << code.error().toStdString();
    EXPECT_EQ(code->toHex(' '), c.stored.toHex(' '));
    // What is shown stores back as the same bytes.
    const auto again = gbk::encodeField(gbk::decodeField(c.stored), c.width);
    ASSERT_TRUE(again.ok());
    EXPECT_EQ(again->toHex(' '), c.stored.toHex(' '));
}

INSTANTIATE_TEST_SUITE_P(
    Gbk, GbkFfField,
    testing::Values(
        // The field the gbkfields fuzz target broke on: three FF, five 洓 (9B 9B).
        FfField{"FuzzFinding", "\uF8F5\uF8F5\uF8F5洓洓洓洓洓", 13,
                QByteArray("\xFF\xFF\xFF") + QByteArray(10, '\x9B')},
        FfField{"OneFfThenFullField", "\uF8F5岚川", 5, QByteArray("\xFF\xE1\xB0\xB4\xA8")},
        FfField{"CutAfterFf", "\uF8F5岚川", 4, QByteArray("\xFF\xE1\xB0\0", 4)},
        FfField{"FfAfterALetter", "a\uF8F5岚", 4, QByteArray("a\xFF\xE1\xB0")}),
    [](const auto& info) { return std::string(info.param.name); });

// Every two-byte code the converter knows comes back as the same two bytes,
// and the number of them is GBK's: a converter that guessed at codes, or a
// best-fit table, fails here.
TEST(Gbk, EveryTwoByteCodeRoundTrips) {
    int known = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail == 0x7F)
                continue;
            const char raw[] = {static_cast<char>(lead), static_cast<char>(trail)};
            const QByteArray pair(raw, 2);
            const QString text = gbk::decode(pair);
            if (text == QString(QChar(QChar::ReplacementCharacter)))
                continue;
            ++known;
            ASSERT_EQ(text.size(), 1) << std::hex << lead << trail;
            const auto code = gbk::encode(text);
            ASSERT_TRUE(code.ok()) << std::hex << lead << trail;
            ASSERT_EQ(*code, pair) << std::hex << lead << trail;
        }
    }
    EXPECT_EQ(known, 23940);
}
