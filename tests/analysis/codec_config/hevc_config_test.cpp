#include "analysis/codec_config/hevc_config.h"

#include <gtest/gtest.h>

#include "tests/analysis/codec_config/bit_writer.h"

namespace tavro {
namespace {

using test::Bytes;

struct SpsShape {
    uint32_t profile = 2, level = 93;
    bool highTier = false;
    uint32_t subLayersMinus1 = 0;
    uint32_t chroma = 1;
    uint32_t width = 176, height = 144;
    uint32_t window[4] = {0, 0, 0, 0};
    uint32_t bitDepth = 10;
};

Bytes buildSps(const SpsShape& s) {
    test::BitWriter w;
    w.bits(0x4201, 16).bits(0, 4).bits(s.subLayersMinus1, 3).bits(1, 1);
    w.bits(0, 2).bits(s.highTier, 1).bits(s.profile, 5).bits(0x80000000u >> s.profile, 32);
    w.bits(0x900000000000ull, 48).bits(s.level, 8);
    for (uint32_t i = 0; i < s.subLayersMinus1; ++i)
        w.bits(1, 1).bits(1, 1); // sub-layer profile and level present
    if (s.subLayersMinus1) w.bits(0, 2 * (8 - s.subLayersMinus1));
    for (uint32_t i = 0; i < s.subLayersMinus1; ++i)
        w.bits(0x5A5A5A, 24).bits(0, 64).bits(90, 8);
    w.ue(0).ue(s.chroma);
    if (s.chroma == 3) w.bits(0, 1);
    const bool window = s.window[0] || s.window[1] || s.window[2] || s.window[3];
    w.ue(s.width).ue(s.height).bits(window, 1);
    for (int i = 0; window && i < 4; ++i)
        w.ue(s.window[i]);
    w.ue(s.bitDepth - 8).ue(s.bitDepth - 8);
    return test::escapeNal(w.trailing().bytes());
}

TEST(HevcSps, ReadsProfileTierLevelSizeAndDepth) {
    struct Case {
        const char* what;
        SpsShape shape;
        bool ok;
        uint32_t width, height;
        const char* profile;
    };
    SpsShape base;
    auto with = [&](auto change) {
        SpsShape s = base;
        change(s);
        return s;
    };
    const Case cases[] = {
        {"Main 10", base, true, 176, 144, "Main 10"},
        {"window in chroma units", with([](SpsShape& s) { s.window[1] = 3, s.window[3] = 1; }),
         true, 170, 142, "Main 10"},
        {"4:4:4 window in luma units",
         with([](SpsShape& s) { s.chroma = 3, s.profile = 4, s.window[0] = 3; }), true, 173, 144,
         "Rext"},
        {"sub-layers before the size",
         with([](SpsShape& s) { s.subLayersMinus1 = 3, s.highTier = true, s.profile = 1; }), true,
         176, 144, "Main"},
        {"window eats the picture", with([](SpsShape& s) { s.window[2] = 72; }), false, 0, 0, ""},
        {"zero width", with([](SpsShape& s) { s.width = 0; }), false, 0, 0, ""},
        {"chroma_format_idc 5", with([](SpsShape& s) { s.chroma = 5; }), false, 0, 0, ""},
        {"bit depth 17", with([](SpsShape& s) { s.bitDepth = 17; }), false, 0, 0, ""},
    };
    for (const Case& c : cases) {
        const Bytes nal = buildSps(c.shape);
        const HevcSps s = parseHevcSps(nal.data(), nal.size());
        ASSERT_EQ(s.ok, c.ok) << c.what;
        if (!c.ok) continue;
        EXPECT_EQ(s.width, c.width) << c.what;
        EXPECT_EQ(s.height, c.height) << c.what;
        EXPECT_EQ(s.bitDepthLuma, c.shape.bitDepth) << c.what;
        EXPECT_EQ(s.ptl.levelIdc, c.shape.level) << c.what;
        EXPECT_EQ(s.ptl.highTier, c.shape.highTier) << c.what;
        EXPECT_STREQ(hevcProfileName(s.ptl), c.profile) << c.what;
        for (size_t n = 0; n + 1 < nal.size(); ++n) {
            const Bytes cut = test::prefix(nal, n);
            EXPECT_FALSE(parseHevcSps(cut.data(), cut.size()).ok) << c.what << " at " << n;
        }
    }
}

TEST(HevcConfig, HeaderFieldsAndTheSpsOfItsArrays) {
    const Bytes sps = buildSps(SpsShape{});
    Bytes hvcc = {1,  0x22, 0x20, 0,    0,    0,    0x90, 0, 0, 0,    0, 0,
                  93, 0xF0, 0x00, 0xFC, 0xFD, 0xFA, 0xFA, 0, 0, 0x0F, 3};
    hvcc.insert(hvcc.end(), {0xA0, 0, 1, 0, 2, 0x40, 0x01}); // VPS
    hvcc.insert(hvcc.end(), {0xA1, 0, 1, 0, static_cast<uint8_t>(sps.size())});
    hvcc.insert(hvcc.end(), sps.begin(), sps.end());
    hvcc.insert(hvcc.end(), {0xA2, 0, 2, 0, 1, 0x44, 0, 1, 0x44});
    const HevcConfig c = parseHevcConfig(hvcc.data(), hvcc.size());
    ASSERT_TRUE(c.ok);
    EXPECT_EQ(c.ptl.profileIdc, 2);
    EXPECT_EQ(c.ptl.levelIdc, 93);
    EXPECT_EQ(c.chromaFormatIdc, 1);
    EXPECT_EQ(c.bitDepthLuma, 10);
    EXPECT_EQ(c.nalLengthSize, 4);
    EXPECT_EQ(c.ppsCount, 2u);
    EXPECT_TRUE(c.sps.ok);
    EXPECT_EQ(c.sps.height, 144u);
    for (size_t n = 0; n < hvcc.size(); ++n) {
        const Bytes cut = test::prefix(hvcc, n);
        EXPECT_FALSE(parseHevcConfig(cut.data(), cut.size()).ok) << n;
    }
    // A NAL length that runs past the record ends it as a failure.
    hvcc[hvcc.size() - 2] = 9;
    EXPECT_FALSE(parseHevcConfig(hvcc.data(), hvcc.size()).ok);
}

} // namespace
} // namespace tavro
