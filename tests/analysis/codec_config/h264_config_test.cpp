#include "analysis/codec_config/h264_config.h"

#include <gtest/gtest.h>

#include "tests/analysis/codec_config/bit_writer.h"

namespace tavro {
namespace {

using test::Bytes;

struct SpsShape {
    uint8_t profile = 100;
    uint32_t chroma = 1;
    uint32_t bitDepth = 8;
    bool scalingLists = false;
    int32_t firstDelta = -8;
    uint32_t pocType = 0;
    uint32_t widthMbs = 11, heightUnits = 9;
    bool frameMbsOnly = true;
    uint32_t crop[4] = {0, 0, 0, 0};
    uint32_t tick = 0, scale = 0; // VUI timing when scale is set
};

Bytes buildSps(const SpsShape& s) {
    test::BitWriter w;
    w.bits(0x67, 8).bits(s.profile, 8).bits(0x40, 8).bits(30, 8).ue(0);
    if (s.profile >= 100) {
        w.ue(s.chroma);
        if (s.chroma == 3) w.bits(0, 1);
        w.ue(s.bitDepth - 8).ue(s.bitDepth - 8).bits(0, 1).bits(s.scalingLists, 1);
        // List 0 explicit with a delta that ends it early; list 6 (8x8) in full.
        for (int i = 0; s.scalingLists && i < 8; ++i) {
            w.bits(i == 0 || i == 6, 1);
            if (i == 0) w.se(s.firstDelta);
            for (int j = 0; i == 6 && j < 64; ++j)
                w.se(j % 2 ? 3 : -2);
        }
    }
    w.ue(0).ue(s.pocType);
    if (s.pocType == 0) w.ue(2);
    if (s.pocType == 1) w.bits(1, 1).se(-3).se(2).ue(2).se(1).se(-1);
    w.ue(1).bits(0, 1).ue(s.widthMbs - 1).ue(s.heightUnits - 1).bits(s.frameMbsOnly, 1);
    if (!s.frameMbsOnly) w.bits(1, 1);
    const bool crop = s.crop[0] || s.crop[1] || s.crop[2] || s.crop[3];
    w.bits(1, 1).bits(crop, 1);
    for (int i = 0; crop && i < 4; ++i)
        w.ue(s.crop[i]);
    w.bits(s.scale != 0, 1);
    if (s.scale) {
        w.bits(1, 1).bits(255, 8).bits(4, 16).bits(3, 16); // SAR 4:3
        w.bits(0, 3).bits(1, 1).bits(s.tick, 32).bits(s.scale, 32).bits(1, 1);
    }
    return test::escapeNal(w.trailing().bytes());
}

TEST(H264Sps, ReadsSizeDepthAndRateAcrossTheSyntaxBranches) {
    struct Case {
        const char* what;
        SpsShape shape;
        bool ok;
        uint32_t width, height;
    };
    SpsShape base;
    auto with = [&](auto change) {
        SpsShape s = base;
        change(s);
        return s;
    };
    const Case cases[] = {
        {"plain 4:2:0", base, true, 176, 144},
        {"cropped 4:2:0 counts in chroma units",
         with([](SpsShape& s) { s.crop[1] = 3, s.crop[3] = 1; }), true, 170, 142},
        {"4:4:4 crops in luma units", with([](SpsShape& s) { s.chroma = 3, s.crop[1] = 3; }), true,
         173, 144},
        {"4:2:2 crops rows one by one", with([](SpsShape& s) { s.chroma = 2, s.crop[3] = 3; }),
         true, 176, 141},
        {"fields double the height and the crop",
         with([](SpsShape& s) { s.frameMbsOnly = false, s.heightUnits = 5, s.crop[3] = 2; }), true,
         176, 152},
        {"10-bit with scaling lists",
         with([](SpsShape& s) { s.bitDepth = 10, s.scalingLists = 1; }), true, 176, 144},
        {"baseline has no chroma fields", with([](SpsShape& s) { s.profile = 66; }), true, 176,
         144},
        {"poc type 1 cycle", with([](SpsShape& s) { s.pocType = 1; }), true, 176, 144},
        {"VUI timing", with([](SpsShape& s) { s.tick = 1001, s.scale = 60000; }), true, 176, 144},
        {"crop eats the picture", with([](SpsShape& s) { s.crop[0] = 88; }), false, 0, 0},
        {"scaling delta past a byte",
         with([](SpsShape& s) { s.scalingLists = true, s.firstDelta = 0x7FFFFFFF; }), false, 0, 0},
        {"poc type 3", with([](SpsShape& s) { s.pocType = 3; }), false, 0, 0},
        {"chroma_format_idc 4", with([](SpsShape& s) { s.chroma = 4; }), false, 0, 0},
        {"bit depth 15", with([](SpsShape& s) { s.bitDepth = 15; }), false, 0, 0},
        {"wider than any level", with([](SpsShape& s) { s.widthMbs = 5000; }), false, 0, 0},
    };
    for (const Case& c : cases) {
        const Bytes nal = buildSps(c.shape);
        const H264Sps s = parseH264Sps(nal.data(), nal.size());
        ASSERT_EQ(s.ok, c.ok) << c.what;
        if (!c.ok) continue;
        EXPECT_EQ(s.width, c.width) << c.what;
        EXPECT_EQ(s.height, c.height) << c.what;
        EXPECT_EQ(s.bitDepthLuma, c.shape.profile >= 100 ? c.shape.bitDepth : 8) << c.what;
        EXPECT_EQ(s.hasTiming, c.shape.scale != 0) << c.what;
        if (s.hasTiming) {
            EXPECT_EQ(s.frameRateNum, 60000u);
            EXPECT_EQ(s.frameRateDen, 2002u);
            EXPECT_EQ(s.sarWidth * 3, s.sarHeight * 4);
        }
        // Cut anywhere before the last byte, a parameter set never parses.
        for (size_t n = 0; n + 1 < nal.size(); ++n) {
            const Bytes cut = test::prefix(nal, n);
            EXPECT_FALSE(parseH264Sps(cut.data(), cut.size()).ok) << c.what << " at " << n;
        }
    }
}

TEST(H264Sps, FoundInAByteStreamAndInAvcC) {
    SpsShape shape;
    shape.tick = 1, shape.scale = 50; // the tick's zero bytes need emulation prevention
    const Bytes sps = buildSps(shape);
    Bytes stream = {0, 0, 0, 1, 0x09, 0xF0, 0, 0, 1, 0x67, 0xFF, 0, 0, 1};
    stream.insert(stream.end(), sps.begin(), sps.end());
    EXPECT_EQ(findH264SpsInByteStream(stream.data(), stream.size()).frameRateNum, 50u);

    Bytes avcc = {1, 100, 0x40, 30, 0xFF, 0xE1, 0, static_cast<uint8_t>(sps.size())};
    avcc.insert(avcc.end(), sps.begin(), sps.end());
    avcc.insert(avcc.end(), {1, 0, 2, 0x68, 0xEE});
    const AvcConfig c = parseAvcConfig(avcc.data(), avcc.size());
    ASSERT_TRUE(c.ok);
    EXPECT_EQ(c.nalLengthSize, 4);
    EXPECT_EQ(c.ppsCount, 1);
    EXPECT_TRUE(c.sps.ok);
    EXPECT_EQ(c.sps.width, 176u);
    for (size_t n = 0; n < avcc.size(); ++n) {
        const Bytes cut = test::prefix(avcc, n);
        EXPECT_FALSE(parseAvcConfig(cut.data(), cut.size()).ok) << n;
    }
    avcc[4] = 0xFE; // a three-byte length field does not exist
    EXPECT_FALSE(parseAvcConfig(avcc.data(), avcc.size()).ok);
}

} // namespace
} // namespace tavro
