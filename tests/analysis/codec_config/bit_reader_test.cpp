#include "analysis/codec_config/bit_reader.h"

#include <gtest/gtest.h>

#include "tests/analysis/codec_config/bit_writer.h"

namespace tavro {
namespace {

using test::Bytes;

TEST(BitReader, ExpGolombCodesRoundTripAndStopAtTheEnd) {
    for (uint32_t v : {0u, 1u, 2u, 7u, 255u, 65535u, 0x7FFFFFFEu, 0xFFFFFFFEu}) {
        const Bytes b = test::BitWriter().ue(v).bytes();
        BitReader r(b.data(), b.size());
        EXPECT_EQ(r.ue(), v);
        EXPECT_FALSE(r.overrun()) << v;
    }
    for (int32_t v : {0, 1, -1, 5, -5, 0x7FFFFFFF, -0x7FFFFFFF}) {
        const Bytes b = test::BitWriter().se(v).bytes();
        BitReader r(b.data(), b.size());
        EXPECT_EQ(r.se(), v);
    }
    // 32 leading zeros cannot be a value; nor can a code cut short.
    const Bytes zeros = {0, 0, 0, 0, 0x80};
    BitReader tooLong(zeros.data(), zeros.size());
    tooLong.ue();
    EXPECT_TRUE(tooLong.overrun());
    const Bytes cut = {0x00, 0x01}; // 15 zeros, then a suffix that is not there
    BitReader shortCode(cut.data(), cut.size());
    EXPECT_EQ(shortCode.ue(), 0u);
    EXPECT_TRUE(shortCode.overrun());
}

TEST(BitReader, FieldsPastTheEndGiveZeroAndStayOverrun) {
    const Bytes b = {0xA5, 0xFF};
    BitReader r(b.data(), b.size());
    EXPECT_EQ(r.bits(4), 0xAu);
    EXPECT_EQ(r.bits(13), 0u);
    EXPECT_TRUE(r.overrun());
    EXPECT_EQ(r.bits(1), 0u);
    EXPECT_EQ(r.bitsLeft(), 0u);
}

TEST(Leb128, DecodesUpToEightBytes) {
    struct Case {
        Bytes in;
        bool ok;
        uint64_t value;
        size_t length;
    };
    const Case cases[] = {
        {{0x00}, true, 0, 1},
        {{0x80, 0x01}, true, 128, 2},
        {{0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x01}, true, uint64_t{1} << 49, 8},
        {{0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x01}, false, 0, 0},
        {{}, false, 0, 0},
    };
    for (const Case& c : cases) {
        uint64_t value = 0;
        size_t length = 0;
        EXPECT_EQ(readLeb128(c.in.data(), c.in.size(), value, length), c.ok);
        if (c.ok) {
            EXPECT_EQ(value, c.value);
        }
        EXPECT_EQ(length, c.length);
    }
}

TEST(EmulationPrevention, DropsTheThreeAfterTwoZerosOnlyAndKeepsToCapacity) {
    const struct {
        Bytes in, out;
    } cases[] = {
        {{0x00, 0x00, 0x03, 0x01}, {0x00, 0x00, 0x01}},
        {{0x00, 0x00, 0x03, 0x00, 0x00, 0x03}, {0x00, 0x00, 0x00, 0x00}},
        {{0x00, 0x03, 0x00, 0x00, 0x03}, {0x00, 0x03, 0x00, 0x00}},
    };
    for (const auto& c : cases) {
        Bytes out(8, 0xEE);
        out.resize(removeEmulationPrevention(c.in.data(), c.in.size(), out.data(), out.size()));
        EXPECT_EQ(out, c.out);
    }
    const Bytes in(100, 0x42);
    uint8_t small[4] = {};
    EXPECT_EQ(removeEmulationPrevention(in.data(), in.size(), small, sizeof small), 4u);
}

TEST(StartCodeStream, SplitsOnThreeAndFourByteStartCodes) {
    const Bytes stream = {0x12, 0, 0, 0, 1, 0x67, 0xAA, 0, 0, 1, 0x68,
                          0,    0, 0, 0, 0, 1,    0x65, 0, 0, 1};
    std::vector<Bytes> units;
    size_t offset = 0;
    NalSpan nal;
    while (nextStartCodeNal(stream.data(), stream.size(), offset, nal))
        units.emplace_back(nal.data, nal.data + nal.size);
    const std::vector<Bytes> expected = {{0x67, 0xAA}, {0x68}, {0x65}};
    EXPECT_EQ(units, expected);
}

} // namespace
} // namespace tavro
