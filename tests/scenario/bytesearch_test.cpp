#include "scenario/bytesearch.h"

#include <QByteArray>
#include <QList>
#include <gtest/gtest.h>
#include <random>

using namespace lcj::scenario;

namespace {

QList<qint64> byteByByte(const uchar* p, qint64 end, uchar a, uchar b) {
    QList<qint64> out;
    for (qint64 i = 0; i < end; ++i)
        if (p[i] == a || p[i] == b)
            out << i;
    return out;
}

using Search = QList<qint64> (*)(const uchar*, qint64, uchar, uchar);

QList<qint64> chosen(const uchar* p, qint64 end, uchar a, uchar b) {
    QList<qint64> out;
    forEachOfEither(p, end, a, b, [&](qint64 i) { out << i; });
    return out;
}

#if defined(LCJ_SEARCH_SSE2)
QList<qint64> bySse2(const uchar* p, qint64 end, uchar a, uchar b) {
    QList<qint64> out;
    forEachOfEitherSse2(p, end, a, b, [&](qint64 i) { out << i; });
    return out;
}
#endif

#if defined(LCJ_SEARCH_AVX2)
QList<qint64> byAvx2(const uchar* p, qint64 end, uchar a, uchar b) {
    QList<qint64> out;
    forEachOfEitherAvx2(p, end, a, b, [&](qint64 i) { out << i; });
    return out;
}
#endif

QList<qint64> byWords(const uchar* p, qint64 end, uchar a, uchar b) {
    QList<qint64> out;
    forEachOfEitherByWords(p, end, a, b, [&](qint64 i) { out << i; });
    return out;
}

class ForEachOfEither : public ::testing::TestWithParam<Search> {
protected:
    void SetUp() override {
#if defined(LCJ_SEARCH_AVX2)
        if (GetParam() == &byAvx2 && !haveAvx2())
            GTEST_SKIP() << "this processor has no AVX2";
#endif
    }
};

QList<Search> searches() {
    QList<Search> out{&chosen, &byWords};
#if defined(LCJ_SEARCH_SSE2)
    out << &bySse2;
#endif
#if defined(LCJ_SEARCH_AVX2)
    out << &byAvx2;
#endif
    return out;
}

} // namespace

TEST_P(ForEachOfEither, FindsWhatAByteByByteSearchFinds) {
    const Search search = GetParam();
    std::mt19937 rng(12);
    // From none to every byte, at every end around the 8 and 64 byte steps
    // of the search; the buffer starts at an odd address.
    for (int density : {0, 1, 8, 64, 256, 512}) {
        for (int size : {0, 1, 7, 8, 9, 63, 64, 65, 127, 128, 129, 191, 192, 193, 300}) {
            QByteArray buffer(size + 3, '\0');
            for (char& c : buffer) {
                const int roll = std::uniform_int_distribution<int>(0, 511)(rng);
                c = roll < density ? (roll % 2 ? '\x44' : '\x59')
                                   : char(std::uniform_int_distribution<int>(0, 0x43)(rng));
            }
            const auto* p = reinterpret_cast<const uchar*>(buffer.constData()) + 1;
            for (qint64 end = 0; end <= size; ++end)
                ASSERT_EQ(search(p, end, 0x44, 0x59), byteByByte(p, end, 0x44, 0x59))
                    << "density " << density << " size " << size << " end " << end;
        }
    }
    // Nothing at all for an end at or below 0.
    const uchar none[1] = {0x44};
    EXPECT_TRUE(search(none, 0, 0x44, 0x59).isEmpty());
    EXPECT_TRUE(search(none, -8, 0x44, 0x59).isEmpty());
}

TEST_P(ForEachOfEither, EveryByteValueBesideEveryOther) {
    const Search search = GetParam();
    // Each value next to its complement, so that a carry or a sign bit that
    // spilled into the next byte would show as a false or a missed match.
    QByteArray buffer(512 + 128, '\0');
    for (int v = 0; v < 256; ++v) {
        buffer[2 * v] = char(v);
        buffer[2 * v + 1] = char(255 - v);
    }
    const auto* p = reinterpret_cast<const uchar*>(buffer.constData());
    for (const auto& [a, b] : {std::pair{0x44, 0x59}, std::pair{0x00, 0xFF}, std::pair{0x80, 0x7F},
                               std::pair{0x01, 0x01}, std::pair{0xFE, 0x00}})
        for (qint64 from = 0; from < 128; ++from)
            ASSERT_EQ(search(p + from, 512, uchar(a), uchar(b)),
                      byteByByte(p + from, 512, uchar(a), uchar(b)))
                << a << " " << b << " from " << from;
}

INSTANTIATE_TEST_SUITE_P(Search, ForEachOfEither, ::testing::ValuesIn(searches()));
