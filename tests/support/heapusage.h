#pragma once

#include <QtGlobal>

// Bytes the program holds on its heap now, for tests that measure what an
// action costs in memory; -1 where the platform cannot tell.
#if defined(__SANITIZE_ADDRESS__)
#define LCJ_HEAP_FROM_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define LCJ_HEAP_FROM_SANITIZER 1
#endif
#endif

#if defined(LCJ_HEAP_FROM_SANITIZER)
#include <cstddef>
// From the sanitizer's run-time library (not every compiler ships its header).
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#elif defined(__GLIBC__)
#include <malloc.h>
#endif

namespace lcj::test {

inline qint64 heapInUse() {
#if defined(LCJ_HEAP_FROM_SANITIZER)
    return qint64(__sanitizer_get_current_allocated_bytes());
#elif defined(__GLIBC__)
    // Small blocks from the arenas, large ones mapped on their own.
    const struct mallinfo2 info = mallinfo2();
    return qint64(info.uordblks) + qint64(info.hblkhd);
#else
    return -1;
#endif
}

} // namespace lcj::test
