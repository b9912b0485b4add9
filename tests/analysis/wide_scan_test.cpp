// The sync search goes many bytes at a time: from every start, over every length,
// across step edges and at the very end, it must stop where a byte-by-byte search would.
#include "analysis/wide_scan.h"

#include <gtest/gtest.h>

#include <vector>

namespace tavro {
namespace {

size_t syncOneByOne(const std::vector<uint8_t>& b, size_t from, size_t size) {
    for (size_t i = from; i + 1 < size; ++i)
        if (b[i] == 0xFF && (b[i + 1] & 0xF0) == 0xF0) return i;
    return size;
}

TEST(WideScan, FindsTheSyncAByteByByteSearchFinds) {
    // Dense in 0xFF and near-syncs (0xFF 0xE0 has only three of the four bits).
    std::vector<uint8_t> b(300);
    uint32_t state = 99;
    for (uint8_t& v : b) {
        state = state * 1103515245u + 12345u;
        const uint32_t r = (state >> 16) % 16;
        v = r < 3 ? 0xFF : r < 5 ? 0xE0 : r < 6 ? 0xF3 : uint8_t(state >> 8);
    }
    for (size_t size : {0, 1, 2, 3, 31, 32, 33, 34, 64, 65, 66, 97, 200, 300})
        for (size_t from = 0; from <= size; ++from)
            EXPECT_EQ(findMpegSync(b.data(), from, size), syncOneByOne(b, from, size))
                << from << " of " << size;
    const uint8_t last[] = {0x00, 0xFF};
    EXPECT_EQ(findMpegSync(last, 0, 2), 2u); // a 0xFF in the last byte starts nothing
}

} // namespace
} // namespace tavro
