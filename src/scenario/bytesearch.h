#pragma once

#include <QtGlobal>
#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#define LCJ_SEARCH_SSE2 1
#endif
// 32-byte vectors where the processor has them, chosen when the program runs.
// Not on Windows, whose compilers do not align such vectors on the stack.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(_WIN32)
#include <immintrin.h>
#define LCJ_SEARCH_AVX2 1
#endif

// Finding every position of two byte values in a buffer at memory speed: the
// scan of a scenario visits only the bytes that can start one of its
// signatures instead of testing every position. Three ways of one search,
// each tested against the others.
namespace lcj::scenario {

namespace bytesearch {

inline constexpr std::uint64_t ones = 0x0101010101010101ULL;
inline constexpr std::uint64_t lows = 0x7F7F7F7F7F7F7F7FULL;

// 0x80 in every byte of `x` that is zero, 0 in every other byte (exact: no
// carry runs from one byte into the next).
inline std::uint64_t zeroBytes(std::uint64_t x) {
    return ~(((x & lows) + lows) | x | lows);
}

// Bit k of the result set when byte k of the eight at `p` is `a` or `b`.
inline std::uint64_t wordMarks(const uchar* p, std::uint64_t va, std::uint64_t vb) {
    std::uint64_t x;
    std::memcpy(&x, p, 8);
    if constexpr (std::endian::native == std::endian::big)
        x = __builtin_bswap64(x);
    const std::uint64_t high = zeroBytes(x ^ va) | zeroBytes(x ^ vb);
    // Gathers the 0x80 of byte k into bit k.
    return ((high >> 7) * 0x0102040810204080ULL) >> 56;
}

template <class Visit> void visitMarks(qint64 base, std::uint64_t marks, Visit& visit) {
    while (marks) {
        visit(base + std::countr_zero(marks));
        marks &= marks - 1;
    }
}

template <class Visit>
void bytewise(const uchar* p, qint64 i, qint64 end, uchar a, uchar b, Visit& visit) {
    for (; i < end; ++i)
        if (p[i] == a || p[i] == b)
            visit(i);
}

} // namespace bytesearch

// Calls visit(i) for every i in [0, end) where bytes[i] is `a` or `b`, in
// increasing order, eight bytes at a time on any processor.
template <class Visit>
void forEachOfEitherByWords(const uchar* bytes, qint64 end, uchar a, uchar b, Visit&& visit) {
    using namespace bytesearch;
    const std::uint64_t va = ones * a;
    const std::uint64_t vb = ones * b;
    qint64 i = 0;
    for (; i + 8 <= end; i += 8)
        visitMarks(i, wordMarks(bytes + i, va, vb), visit);
    bytewise(bytes, i, end, a, b, visit);
}

#if defined(LCJ_SEARCH_SSE2)
// The same, 64 bytes at a time in 16-byte vectors (SSE2).
template <class Visit>
void forEachOfEitherSse2(const uchar* bytes, qint64 end, uchar a, uchar b, Visit&& visit) {
    using namespace bytesearch;
    const __m128i va = _mm_set1_epi8(char(a));
    const __m128i vb = _mm_set1_epi8(char(b));
    qint64 i = 0;
    for (; i + 64 <= end; i += 64) {
        const auto* q = reinterpret_cast<const __m128i*>(bytes + i);
        const __m128i x0 = _mm_loadu_si128(q);
        const __m128i x1 = _mm_loadu_si128(q + 1);
        const __m128i x2 = _mm_loadu_si128(q + 2);
        const __m128i x3 = _mm_loadu_si128(q + 3);
        const __m128i m0 = _mm_or_si128(_mm_cmpeq_epi8(x0, va), _mm_cmpeq_epi8(x0, vb));
        const __m128i m1 = _mm_or_si128(_mm_cmpeq_epi8(x1, va), _mm_cmpeq_epi8(x1, vb));
        const __m128i m2 = _mm_or_si128(_mm_cmpeq_epi8(x2, va), _mm_cmpeq_epi8(x2, vb));
        const __m128i m3 = _mm_or_si128(_mm_cmpeq_epi8(x3, va), _mm_cmpeq_epi8(x3, vb));
        // One test for 64 bytes while nothing is found.
        if (_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(m0, m1), _mm_or_si128(m2, m3))) == 0)
            continue;
        visitMarks(i,
                   std::uint64_t(unsigned(_mm_movemask_epi8(m0))) |
                       std::uint64_t(unsigned(_mm_movemask_epi8(m1))) << 16 |
                       std::uint64_t(unsigned(_mm_movemask_epi8(m2))) << 32 |
                       std::uint64_t(unsigned(_mm_movemask_epi8(m3))) << 48,
                   visit);
    }
    bytewise(bytes, i, end, a, b, visit);
}
#endif

#if defined(LCJ_SEARCH_AVX2)
// True when the processor running the program has 32-byte vectors (AVX2).
inline bool haveAvx2() {
    static const bool have = __builtin_cpu_supports("avx2");
    return have;
}

// The same, 128 bytes at a time in 32-byte vectors; only where haveAvx2().
template <class Visit>
__attribute__((target("avx2"))) void forEachOfEitherAvx2(const uchar* bytes, qint64 end, uchar a,
                                                         uchar b, Visit&& visit) {
    using namespace bytesearch;
    const __m256i va = _mm256_set1_epi8(char(a));
    const __m256i vb = _mm256_set1_epi8(char(b));
    qint64 i = 0;
    for (; i + 128 <= end; i += 128) {
        const auto* q = reinterpret_cast<const __m256i*>(bytes + i);
        const __m256i x0 = _mm256_loadu_si256(q);
        const __m256i x1 = _mm256_loadu_si256(q + 1);
        const __m256i x2 = _mm256_loadu_si256(q + 2);
        const __m256i x3 = _mm256_loadu_si256(q + 3);
        const __m256i m0 = _mm256_or_si256(_mm256_cmpeq_epi8(x0, va), _mm256_cmpeq_epi8(x0, vb));
        const __m256i m1 = _mm256_or_si256(_mm256_cmpeq_epi8(x1, va), _mm256_cmpeq_epi8(x1, vb));
        const __m256i m2 = _mm256_or_si256(_mm256_cmpeq_epi8(x2, va), _mm256_cmpeq_epi8(x2, vb));
        const __m256i m3 = _mm256_or_si256(_mm256_cmpeq_epi8(x3, va), _mm256_cmpeq_epi8(x3, vb));
        // One test for 128 bytes while nothing is found.
        const __m256i any = _mm256_or_si256(_mm256_or_si256(m0, m1), _mm256_or_si256(m2, m3));
        if (_mm256_testz_si256(any, any))
            continue;
        visitMarks(i,
                   std::uint64_t(unsigned(_mm256_movemask_epi8(m0))) |
                       std::uint64_t(unsigned(_mm256_movemask_epi8(m1))) << 32,
                   visit);
        visitMarks(i + 64,
                   std::uint64_t(unsigned(_mm256_movemask_epi8(m2))) |
                       std::uint64_t(unsigned(_mm256_movemask_epi8(m3))) << 32,
                   visit);
    }
    bytewise(bytes, i, end, a, b, visit);
}
#endif

// Calls visit(i) for every i in [0, end) where bytes[i] is `a` or `b`, in
// increasing order, with the widest vectors the processor has.
template <class Visit>
void forEachOfEither(const uchar* bytes, qint64 end, uchar a, uchar b, Visit&& visit) {
#if defined(LCJ_SEARCH_AVX2)
    if (haveAvx2())
        return forEachOfEitherAvx2(bytes, end, a, b, visit);
#endif
#if defined(LCJ_SEARCH_SSE2)
    forEachOfEitherSse2(bytes, end, a, b, visit);
#else
    forEachOfEitherByWords(bytes, end, a, b, visit);
#endif
}

} // namespace lcj::scenario
