// Variable-size integers, element headers and typed payloads.
#include <gtest/gtest.h>

#include <cmath>

#include "analysis/matroska/ebml.h"
#include "analysis/matroska/mkv_elements.h"
#include "tests/analysis/matroska/ebml_builder.h"

namespace tavro {
namespace {

using namespace test;

struct VintCase {
    Bytes bytes;
    size_t maxLength;
    VintStatus status;
    uint64_t value;
    size_t length;
    bool allOnes;
};

TEST(Ebml, VariableSizeIntegers) {
    const VintCase cases[] = {
        {{0x81}, 8, VintStatus::ok, 1, 1, false},
        {{0x80}, 8, VintStatus::ok, 0, 1, false},
        {{0xFF}, 8, VintStatus::ok, 127, 1, true},
        {{0x7F, 0xFF}, 8, VintStatus::ok, 0x3FFF, 2, true},
        {{0x40, 0x7F}, 8, VintStatus::ok, 127, 2, false}, // 127 written long: a known size
        {{0x1F, 0xFF, 0xFF, 0xFF}, 8, VintStatus::ok, 0x0FFFFFFF, 4, true},
        {{0x10, 0xFF, 0xFF, 0xFF}, 8, VintStatus::ok, 0x00FFFFFF, 4, false},
        {{0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
         8,
         VintStatus::ok,
         (1ull << 56) - 1,
         8,
         true},
        {{0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE},
         8,
         VintStatus::ok,
         (1ull << 56) - 2,
         8,
         false},
        {{0x00, 0x81}, 8, VintStatus::invalid, 0, 0, false},                   // nine bytes or more
        {{0x08, 0x00, 0x00, 0x00, 0x01}, 4, VintStatus::invalid, 0, 0, false}, // ID over 4
        {{0x40}, 8, VintStatus::shortRead, 0, 0, false},
        {{}, 8, VintStatus::shortRead, 0, 0, false},
    };
    for (const VintCase& c : cases) {
        Vint v;
        SCOPED_TRACE(c.bytes.empty() ? 0 : c.bytes[0]);
        ASSERT_EQ(readVint(c.bytes.data(), c.bytes.size(), c.maxLength, v), c.status);
        if (c.status != VintStatus::ok) continue;
        EXPECT_EQ(v.value, c.value);
        EXPECT_EQ(v.length, c.length);
        EXPECT_EQ(v.allOnes, c.allOnes);
    }
}

struct HeaderCase {
    const char* what;
    Bytes bytes;
    uint64_t parentEnd;
    HeaderStatus status;
    uint64_t size;
    bool clamped, unknown;
};

TEST(Ebml, ElementHeadersAreClampedToTheirParent) {
    const HeaderCase cases[] = {
        {"fits", cat({idOf(0xE7), vsize(2), Bytes{1, 2}}), 4, HeaderStatus::ok, 2, false, false},
        {"size zero", cat({idOf(0xE7), vsize(0)}), 2, HeaderStatus::ok, 0, false, false},
        {"past parent", cat({idOf(0xA3), vsize(100)}), 10, HeaderStatus::ok, 8, true, false},
        {"2^32-1", cat({idOf(0xA3), vsize(0xFFFFFFFFull, 8)}), 20, HeaderStatus::ok, 11, true,
         false},
        {"largest known", cat({idOf(0xA3), vsize((1ull << 56) - 2, 8)}), UINT64_MAX,
         HeaderStatus::ok, (1ull << 56) - 2, false, false},
        {"unknown, one byte", cat({idOf(0x1F43B675), unknownSize(1)}), 50, HeaderStatus::ok, 45,
         false, true},
        {"unknown, eight bytes", cat({idOf(0x1F43B675), unknownSize(8)}), 50, HeaderStatus::ok, 38,
         false, true},
        {"header past parent", cat({idOf(0x1F43B675), vsize(1)}), 3, HeaderStatus::shortRead, 0,
         false, false},
        {"zero first byte", {0x00, 0x81}, 10, HeaderStatus::invalid, 0, false, false},
        {"size cut off", {0xA3, 0x40}, 10, HeaderStatus::shortRead, 0, false, false},
    };
    for (const HeaderCase& c : cases) {
        SCOPED_TRACE(c.what);
        ElementHeader h;
        ASSERT_EQ(parseElementHeader(c.bytes.data(), c.bytes.size(), 0, c.parentEnd, h), c.status);
        if (c.status != HeaderStatus::ok) continue;
        EXPECT_EQ(h.size, c.size);
        EXPECT_EQ(h.clamped, c.clamped);
        EXPECT_EQ(h.unknownSize, c.unknown);
        EXPECT_LE(h.end(), c.parentEnd);
    }
}

TEST(Ebml, TypedPayloads) {
    const uint8_t f4[] = {0x47, 0x3B, 0x80, 0x00};          // 48000.0f
    const uint8_t f8[] = {0x40, 0x9F, 0x40, 0, 0, 0, 0, 0}; // 2000.0
    const uint8_t nine[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    EXPECT_EQ(ebmlFloat(f4, 4), 48000.0);
    EXPECT_EQ(ebmlFloat(f8, 8), 2000.0);
    EXPECT_EQ(ebmlFloat(f8, 0), 0.0);
    EXPECT_EQ(ebmlFloat(f8, 3, -1), -1.0);
    EXPECT_EQ(ebmlUint(nine, 9, 7), 7u);
    EXPECT_EQ(ebmlUint(nine, 8), 0x0102030405060708u);
    const uint8_t text[] = {'e', 'n', 'g', 0, 'x'};
    EXPECT_EQ(ebmlString(text, 5), "eng");
    EXPECT_EQ(ebmlString(text, 2), "en");
    EXPECT_EQ(ebmlString(text, 5, 1), "e");
}

TEST(Ebml, StatisticsTagDurations) {
    const struct {
        const char* text;
        double seconds;
    } cases[] = {
        {"00:00:02.023000000", 2.023},
        {"01:02:03.5", 3723.5},
        {"123:00:00", 442800},
        {"00:60:00.000", -1},
        {"00:00", -1},
        {"aa:00:00", -1},
        {"00:00:01.5x", -1},
        {"", -1},
    };
    for (const auto& c : cases) {
        const double s = parseTagDuration(c.text, std::strlen(c.text));
        EXPECT_NEAR(s, c.seconds, 1e-9) << c.text;
    }
}

} // namespace
} // namespace tavro
