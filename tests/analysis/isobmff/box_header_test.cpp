// Box header sizes at their edges: to-the-end, 64-bit, too small, past the parent.
#include <gtest/gtest.h>

#include "analysis/isobmff/box_header.h"
#include "tests/analysis/isobmff/box_builder.h"

namespace tavro {
namespace {

using test::Bytes;
using test::put32;

struct HeaderCase {
    const char* name;
    uint32_t size32;
    const char* type;
    uint64_t largeSize; // written when size32 is 1
    size_t available;   // header bytes handed over
    uint64_t parentEnd;
    BoxHeaderStatus status;
    uint64_t size; // expected whole size (after clamping) when the header parses
    uint64_t headerSize;
};

const HeaderCase kHeaders[] = {
    {"plain", 24, "free", 0, 16, 100, BoxHeaderStatus::ok, 24, 8},
    {"zero_runs_to_end", 0, "mdat", 0, 16, 100, BoxHeaderStatus::ok, 100, 8},
    {"large", 1, "mdat", 40, 16, 100, BoxHeaderStatus::ok, 40, 16},
    {"large_max", 1, "mdat", UINT64_MAX, 16, 100, BoxHeaderStatus::clamped, 100, 16},
    {"large_below_header", 1, "mdat", 15, 16, 100, BoxHeaderStatus::badSize, 0, 0},
    {"large_cut", 1, "mdat", 40, 12, 100, BoxHeaderStatus::shortRead, 0, 0},
    {"max32_past_parent", 0xFFFFFFFF, "moov", 0, 16, 100, BoxHeaderStatus::clamped, 100, 8},
    {"seven", 7, "free", 0, 16, 100, BoxHeaderStatus::badSize, 0, 0},
    {"one_past_parent", 101, "free", 0, 16, 100, BoxHeaderStatus::clamped, 100, 8},
    {"uuid", 40, "uuid", 0, 16, 100, BoxHeaderStatus::ok, 40, 24},
    {"uuid_too_small", 16, "uuid", 0, 16, 100, BoxHeaderStatus::badSize, 0, 0},
    {"seven_bytes", 8, "free", 0, 7, 100, BoxHeaderStatus::shortRead, 0, 0},
    {"parent_too_short", 8, "free", 0, 16, 7, BoxHeaderStatus::shortRead, 0, 0},
};

class Header : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(Header, SizeIsCheckedAgainstTheParent) {
    const HeaderCase& c = GetParam();
    Bytes b;
    put32(b, c.size32);
    b.insert(b.end(), c.type, c.type + 4);
    if (c.size32 == 1) {
        put32(b, c.largeSize >> 32);
        put32(b, c.largeSize & 0xFFFFFFFF);
    }
    b.resize(32, 0);
    BoxHeader h;
    EXPECT_EQ(parseBoxHeader(b.data(), c.available, 0, c.parentEnd, h), c.status);
    if (c.status == BoxHeaderStatus::ok || c.status == BoxHeaderStatus::clamped) {
        EXPECT_EQ(h.size, c.size);
        EXPECT_EQ(h.headerSize, c.headerSize);
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, Header, ::testing::ValuesIn(kHeaders),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(BeCursor, ReadPastTheEndYieldsZeroAndStaysThere) {
    const uint8_t bytes[] = {1, 2, 3, 4, 5};
    BeCursor c(bytes, sizeof bytes);
    EXPECT_EQ(c.u32(), 0x01020304u);
    EXPECT_EQ(c.u16(), 0u);
    EXPECT_TRUE(c.overrun());
    EXPECT_EQ(c.u8(), 0u); // the byte left is not handed out after an overrun
}

} // namespace
} // namespace tavro
