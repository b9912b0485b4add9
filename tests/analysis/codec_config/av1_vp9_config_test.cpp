#include "analysis/codec_config/av1_config.h"
#include "analysis/codec_config/vp9_config.h"

#include <gtest/gtest.h>

#include "tests/analysis/codec_config/bit_writer.h"

namespace tavro {
namespace {

using test::Bytes;

struct SeqShape {
    uint32_t profile = 0;
    bool reduced = false;
    bool timing = false; // with a decoder model and two operating points
    uint32_t level = 9;  // above 7 a tier bit follows
    bool high = false, twelve = false, mono = false;
    uint32_t width = 176, height = 144;
};

Bytes buildSequenceHeader(const SeqShape& s) {
    test::BitWriter w;
    w.bits(s.profile, 3).bits(0, 1).bits(s.reduced, 1);
    if (s.reduced) {
        w.bits(s.level, 5);
    } else {
        w.bits(s.timing, 1);
        if (s.timing) w.bits(1, 32).bits(25, 32).bits(1, 1).ue(0).bits(1, 1).bits(9, 5).bits(0, 42);
        w.bits(0, 1).bits(s.timing ? 1 : 0, 5);
        for (int op = 0; op <= (s.timing ? 1 : 0); ++op) {
            w.bits(0, 12).bits(s.level, 5);
            if (s.level > 7) w.bits(1, 1);
            if (s.timing) w.bits(1, 1).bits(0x2AB, 10 + 10 + 1);
        }
    }
    w.bits(15, 4).bits(15, 4).bits(s.width - 1, 16).bits(s.height - 1, 16);
    if (!s.reduced) w.bits(0, 1);
    w.bits(0, 3);
    if (!s.reduced) w.bits(0, 4).bits(1, 1).bits(0, 2).bits(1, 1).bits(0, 2).bits(6, 3);
    w.bits(0, 3).bits(s.high, 1);
    if (s.profile == 2 && s.high) w.bits(s.twelve, 1);
    if (s.profile != 1) w.bits(s.mono, 1);
    w.bits(0, 1).bits(0, 1); // no colour description; studio range
    if (!s.mono && s.profile == 2 && s.twelve) w.bits(1, 1).bits(1, 1);
    if (!s.mono && (s.profile == 0 || (s.profile == 2 && s.twelve))) w.bits(0, 2);
    if (!s.mono) w.bits(0, 1);
    return w.bits(0, 1).trailing().bytes();
}

TEST(Av1SequenceHeader, ReadsProfileLevelDepthAndSize) {
    struct Case {
        const char* what;
        SeqShape shape;
        uint32_t bitDepth;
        bool ssx, ssy;
    };
    auto make = [](auto change) {
        SeqShape s;
        change(s);
        return s;
    };
    const Case cases[] = {
        {"main 8-bit", SeqShape{}, 8, true, true},
        {"main 10-bit with timing and decoder model",
         make([](SeqShape& s) { s.high = true, s.timing = true; }), 10, true, true},
        {"high 4:4:4", make([](SeqShape& s) { s.profile = 1, s.level = 4; }), 8, false, false},
        {"professional 12-bit", make([](SeqShape& s) { s.profile = 2, s.high = s.twelve = true; }),
         12, true, true},
        {"professional 10-bit is 4:2:2", make([](SeqShape& s) { s.profile = 2, s.high = true; }),
         10, true, false},
        {"monochrome", make([](SeqShape& s) { s.mono = true; }), 8, true, true},
        {"reduced still picture", make([](SeqShape& s) { s.reduced = true, s.level = 1; }), 8, true,
         true},
    };
    for (const Case& c : cases) {
        const Bytes payload = buildSequenceHeader(c.shape);
        const Av1SequenceHeader h = parseAv1SequenceHeaderPayload(payload.data(), payload.size());
        ASSERT_TRUE(h.ok) << c.what;
        EXPECT_EQ(h.profile, c.shape.profile) << c.what;
        EXPECT_EQ(h.level, c.shape.level) << c.what;
        EXPECT_EQ(h.highTier, c.shape.level > 7) << c.what;
        EXPECT_EQ(h.bitDepth, c.bitDepth) << c.what;
        EXPECT_EQ(h.monochrome, c.shape.mono) << c.what;
        EXPECT_EQ(h.subsamplingX, c.ssx) << c.what;
        EXPECT_EQ(h.subsamplingY, c.ssy) << c.what;
        EXPECT_EQ(h.maxWidth, c.shape.width) << c.what;
        EXPECT_EQ(h.maxHeight, c.shape.height) << c.what;
        for (size_t n = 0; n + 1 < payload.size(); ++n)
            EXPECT_FALSE(parseAv1SequenceHeaderPayload(payload.data(), n).ok) << c.what << n;
    }
    const Bytes badProfile = {0xE0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_FALSE(parseAv1SequenceHeaderPayload(badProfile.data(), badProfile.size()).ok);
}

TEST(Av1Config, RecordFieldsAndItsConfigObus) {
    SeqShape shape;
    shape.high = true;
    const Bytes seq = buildSequenceHeader(shape);
    // A temporal delimiter, a padding OBU with an extension byte, then the header.
    Bytes record = {0x81,
                    0x09,
                    0x4C,
                    0x1A,
                    0x12,
                    0x00,
                    0x7E,
                    0x00,
                    0x02,
                    0xAA,
                    0xBB,
                    0x0A,
                    static_cast<uint8_t>(seq.size())};
    record.insert(record.end(), seq.begin(), seq.end());
    const Av1Config c = parseAv1Config(record.data(), record.size());
    ASSERT_TRUE(c.ok);
    EXPECT_EQ(c.level, 9);
    EXPECT_EQ(c.bitDepth, 10);
    EXPECT_TRUE(c.subsamplingX && c.subsamplingY);
    EXPECT_EQ(c.initialPresentationDelay, 11);
    ASSERT_TRUE(c.sequenceHeader.ok);
    EXPECT_EQ(c.sequenceHeader.maxWidth, 176u);
    record[record.size() - seq.size() - 1] = 0x7F; // OBU size past the record
    EXPECT_FALSE(parseAv1Config(record.data(), record.size()).sequenceHeader.ok);
    record[0] = 0x02; // marker bit clear
    EXPECT_FALSE(parseAv1Config(record.data(), record.size()).ok);
}

TEST(Vp9, CodecConfigAndKeyFrameHeader) {
    const Bytes vpcc = {1, 0, 0, 0, 2, 31, 0xA2, 1, 1, 1, 0, 0};
    const Vp9CodecConfig c = parseVp9CodecConfig(vpcc.data(), vpcc.size());
    ASSERT_TRUE(c.ok);
    EXPECT_EQ(c.profile, 2);
    EXPECT_EQ(c.level, 31);
    EXPECT_EQ(c.bitDepth, 10);
    EXPECT_EQ(c.chromaSubsampling, 1);
    EXPECT_FALSE(parseVp9CodecConfig(vpcc.data(), vpcc.size() - 1).ok);
    Bytes longInit = vpcc;
    longInit[11] = 1; // one byte of initialization data that is not there
    EXPECT_FALSE(parseVp9CodecConfig(longInit.data(), longInit.size()).ok);

    struct Case {
        uint32_t profile, colorSpace, depthBit;
        bool ok;
        uint32_t bitDepth;
    };
    const Case frames[] = {{0, 1, 0, true, 8},
                           {2, 2, 1, true, 12},
                           {1, 7, 0, true, 8},
                           {3, 1, 0, true, 10},
                           {0, 7, 0, false, 0}};
    for (const Case& f : frames) {
        test::BitWriter w;
        w.bits(2, 2).bits(f.profile & 1, 1).bits(f.profile >> 1, 1);
        if (f.profile == 3) w.bits(0, 1);
        w.bits(0, 1).bits(0, 1).bits(1, 1).bits(0, 1).bits(0x498342, 24);
        if (f.profile >= 2) w.bits(f.depthBit, 1);
        w.bits(f.colorSpace, 3);
        if (f.colorSpace != 7) w.bits(0, 1);
        if (f.profile & 1) w.bits(f.colorSpace == 7 ? 0 : 4, f.colorSpace == 7 ? 1 : 3);
        const Bytes frame = w.bits(175, 16).bits(143, 16).bits(0, 8).bytes();
        const Vp9FrameHeader h = parseVp9FrameHeader(frame.data(), frame.size());
        ASSERT_EQ(h.ok, f.ok) << f.profile;
        if (!f.ok) continue;
        EXPECT_EQ(h.profile, f.profile);
        EXPECT_EQ(h.bitDepth, f.bitDepth);
        EXPECT_EQ(h.width, 176u);
        EXPECT_EQ(h.height, 144u);
        for (size_t n = 0; n + 1 < frame.size(); ++n)
            EXPECT_FALSE(parseVp9FrameHeader(frame.data(), n).ok) << f.profile << " at " << n;
    }
    const Bytes interFrame = {0x86, 0, 0, 0};
    const Vp9FrameHeader inter = parseVp9FrameHeader(interFrame.data(), interFrame.size());
    EXPECT_FALSE(inter.ok || inter.keyFrame);
}

} // namespace
} // namespace tavro
