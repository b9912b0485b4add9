#include "analysis/wide_scan.h"

#include <cstring>

// Not on Windows: GCC there cannot keep 32-byte values aligned on the stack.
#if defined(__GNUC__) && defined(__x86_64__) && !defined(_WIN32)
#include <immintrin.h>
#define TAVRO_WIDE_SCAN_X86 1
// The C library's header declares C's _Bool, which only GCC takes in C++.
#if defined(__GLIBC__) && !defined(__clang__) && __has_include(<sys/platform/x86.h>)
#include <sys/platform/x86.h>
#define TAVRO_WIDE_SCAN_GLIBC_CPU 1
#endif
#endif

namespace tavro {

namespace {

// The bytes from `at` on, one at a time.
void countRest(const uint8_t* data, size_t length, size_t at, LineFeeds& n) {
    for (; at < length; ++at)
        if (data[at] == 0x0A) {
            ++n.all;
            n.afterReturn += data[at - 1] == 0x0D;
        }
}

#if TAVRO_WIDE_SCAN_X86
// Each byte lane counts its hits, and is summed before it could pass 255. Jumping
// from one line feed to the next with memchr was four times slower, as each jump to a
// hit at a random place mispredicts.
__attribute__((target("avx2"))) uint64_t laneSum(__m256i v) {
    const __m128i s = _mm_add_epi64(_mm256_castsi256_si128(v), _mm256_extracti128_si256(v, 1));
    return uint64_t(_mm_cvtsi128_si64(s)) + uint64_t(_mm_cvtsi128_si64(_mm_unpackhi_epi64(s, s)));
}

__attribute__((target("avx2"))) size_t countWide(const uint8_t* data, size_t length, LineFeeds& n) {
    const __m256i feed = _mm256_set1_epi8(0x0A), ret = _mm256_set1_epi8(0x0D);
    const __m256i zero = _mm256_setzero_si256();
    size_t at = 1;
    while (length - at >= 32) {
        size_t blocks = (length - at) / 32;
        if (blocks > 255) blocks = 255;
        __m256i all = zero, after = zero;
        for (size_t k = 0; k < blocks; ++k, at += 32) {
            const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + at));
            const __m256i before =
                _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + at - 1));
            const __m256i hit = _mm256_cmpeq_epi8(v, feed);
            all = _mm256_sub_epi8(all, hit);
            after = _mm256_sub_epi8(after, _mm256_and_si256(hit, _mm256_cmpeq_epi8(before, ret)));
        }
        n.all += laneSum(_mm256_sad_epu8(all, zero));
        n.afterReturn += laneSum(_mm256_sad_epu8(after, zero));
    }
    return at;
}

// Both bytes of a sync are tested together, so only about one place in 4096 of
// compressed data stops the scan, where a jump to each 0xFF stopped at one in 256.
__attribute__((target("avx2"))) size_t findSyncWide(const uint8_t* data, size_t from, size_t size) {
    const __m256i ff = _mm256_set1_epi8(char(0xFF)), high = _mm256_set1_epi8(char(0xF0));
    size_t at = from;
    for (; size - at > 32; at += 32) { // the second load reaches one byte further
        const __m256i first = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + at));
        const __m256i second = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + at + 1));
        const __m256i hit = _mm256_and_si256(
            _mm256_cmpeq_epi8(first, ff), _mm256_cmpeq_epi8(_mm256_and_si256(second, high), high));
        const uint32_t mask = uint32_t(_mm256_movemask_epi8(hit));
        if (mask) return at + size_t(__builtin_ctz(mask));
    }
    return at;
}

bool haveAvx2() {
#if TAVRO_WIDE_SCAN_GLIBC_CPU
    // The C library has asked the processor already; the compiler's own check would
    // ask again at every start, and each question is a trap on a virtual machine.
    static const bool have = CPU_FEATURE_ACTIVE(AVX2);
#else
    static const bool have = __builtin_cpu_supports("avx2");
#endif
    return have;
}
#endif

} // namespace

LineFeeds countLineFeeds(const uint8_t* data, size_t length) {
    LineFeeds n;
    if (length < 2) return n;
    size_t at = 1;
#if TAVRO_WIDE_SCAN_X86
    if (haveAvx2()) at = countWide(data, length, n);
#endif
    countRest(data, length, at, n);
    return n;
}

size_t findMpegSync(const uint8_t* data, size_t from, size_t size) {
    size_t at = from;
#if TAVRO_WIDE_SCAN_X86
    if (at < size && haveAvx2()) at = findSyncWide(data, at, size);
#endif
    while (at + 1 < size) {
        const void* ff = std::memchr(data + at, 0xFF, size - 1 - at);
        if (!ff) break;
        at = size_t(static_cast<const uint8_t*>(ff) - data);
        if ((data[at + 1] & 0xF0) == 0xF0) return at;
        ++at;
    }
    return size;
}

} // namespace tavro
