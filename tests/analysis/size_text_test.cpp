#include "analysis/size_text.h"

#include <gtest/gtest.h>

namespace tavro {
namespace {

struct SizeCase {
    uint64_t n;
    bool compact;
    const char* text;
};

TEST(SizeText, FormatsEveryRange) {
    const SizeCase cases[] = {
        {0, true, "0 bytes"},
        {1023, true, "1,023 bytes"},
        {1024, true, "1.00 KB"},
        {1536, true, "1.50 KB"},
        {15000, true, "14.6 KB"},
        {102400, true, "100 KB"},
        {1048575, true, "1,023 KB"},
        {1048576, true, "1.00 MB"},
        {1048576, false, "1.00 MB   (1,024 KB    1,048,576 bytes)"},
        {1536, false, "1.50 KB   (1,536 bytes)"},
        {999, false, "999 bytes"},
        {734003200, true, "700 MB"},
        {15728640, true, "15.0 MB"},
        // Past 4 GiB the texts keep counting instead of wrapping.
        {5368709120ull, true, "5,120 MB"},
        {5368709120ull, false, "5,120 MB   (5,242,880 KB    5,368,709,120 bytes)"},
    };
    for (const SizeCase& c : cases)
        EXPECT_EQ(sizeText(c.n, c.compact), c.text) << c.n;
}

TEST(SizeText, GroupsDigits) {
    EXPECT_EQ(groupDigits(0), "0");
    EXPECT_EQ(groupDigits(1000), "1,000");
    EXPECT_EQ(groupDigits(1234567), "1,234,567");
    EXPECT_EQ(groupDigits(1000001), "1,000,001");
    EXPECT_EQ(kbText(1023), "");
    EXPECT_EQ(mbText(1048575), "");
}

} // namespace
} // namespace tavro
