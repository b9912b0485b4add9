#include "filters/video/alternative_types.h"

#include <gtest/gtest.h>

namespace nerrorend {
namespace {

ProposalContext overlay174() {
    ProposalContext c;
    c.proposalsOn = true;
    c.renderMode = 1;
    c.pictureWidth = 174;
    c.height = 144;
    c.pitchPixels = 176;
    return c;
}

TEST(AlternativeTypes, Positions) {
    struct Case {
        bool proposals, connected;
        int mode, position;
        ProposalResult result;
        VideoSubtype subtype;
    } cases[] = {
        {false, true, 1, 0, ProposalResult::NotImplemented, VideoSubtype::Unknown},
        {true, false, 1, 0, ProposalResult::NotImplemented, VideoSubtype::Unknown},
        {true, false, 1, -9000, ProposalResult::Ok, VideoSubtype::Yuy2},
        {true, false, 1, -8997, ProposalResult::Ok, VideoSubtype::If09},
        {true, false, 1, -8996, ProposalResult::InvalidArgument, VideoSubtype::Unknown},
        {true, true, 1, -1, ProposalResult::InvalidArgument, VideoSubtype::Unknown},
        {true, true, 1, 1, ProposalResult::Ok, VideoSubtype::Uyvy},
        {true, true, 1, 2, ProposalResult::Ok, VideoSubtype::Yv12},
        {true, true, 1, 4, ProposalResult::NoMoreItems, VideoSubtype::Unknown},
        {true, true, 2, 0, ProposalResult::Ok, VideoSubtype::Yuy2},
        {true, true, 2, 1, ProposalResult::NoMoreItems, VideoSubtype::Unknown},
    };
    for (const Case& c : cases) {
        ProposalContext ctx = overlay174();
        ctx.proposalsOn = c.proposals;
        ctx.firstConnectDone = c.connected;
        ctx.renderMode = c.mode;
        ProposedType t;
        EXPECT_EQ(proposeType(ctx, c.position, t), c.result) << c.position;
        EXPECT_EQ(t.subtype, c.subtype) << c.position;
    }
}

TEST(AlternativeTypes, PitchWideRowsKeepThePictureInTarget) {
    ProposedType t;
    ASSERT_EQ(proposeType(overlay174(), -9000, t), ProposalResult::Ok);
    EXPECT_EQ(t.biWidth, 176);
    EXPECT_EQ(t.biHeight, 144);
    EXPECT_EQ(t.bitCount, 16);
    EXPECT_EQ(t.compression, makeFourcc('Y', 'U', 'Y', '2'));
    EXPECT_EQ(t.target.right, 174);
    EXPECT_EQ(t.target.bottom, 144);
    EXPECT_EQ(t.sampleSize, 176u * 144 * 2);

    ProposalContext same = overlay174();
    same.pitchPixels = 174;
    ASSERT_EQ(proposeType(same, -9000, t), ProposalResult::Ok);
    EXPECT_EQ(t.biWidth, 174);
    EXPECT_TRUE(t.target.empty());
}

TEST(AlternativeTypes, DisplayRgbInModeThree) {
    ProposalContext c = overlay174();
    c.renderMode = 3;
    c.rgbSubtype = VideoSubtype::Rgb565;
    c.band = 16;
    ProposedType t;
    ASSERT_EQ(proposeType(c, -9000, t), ProposalResult::Ok);
    EXPECT_EQ(t.subtype, VideoSubtype::Rgb565);
    EXPECT_EQ(t.biHeight, -144) << "top-down";
    EXPECT_EQ(t.compression, 3u);
    ASSERT_TRUE(t.hasMasks);
    EXPECT_EQ(t.masks[1], 0x7e0u);
    EXPECT_EQ(t.sampleSize, 176u * 160 * 2) << "the band rows are in the buffer";

    c.rgbSubtype = VideoSubtype::Unknown;
    EXPECT_EQ(proposeType(c, -9000, t), ProposalResult::NoMoreItems);
}

TEST(AlternativeTypes, RgbSurfaceModeWidthFromAspect) {
    ProposalContext c = overlay174();
    c.renderMode = 2;
    c.rgbSurfaceMode = true;
    c.rgbSubtype = VideoSubtype::Rgb32;
    c.videoInfo2 = true;
    c.pictureWidth = 720;
    c.height = 576;
    c.pitchPixels = 720;
    c.aspectX = 16;
    c.aspectY = 9;
    ProposedType t;
    ASSERT_EQ(proposeType(c, 0, t), ProposalResult::NotImplemented);
    c.firstConnectDone = true;
    ASSERT_EQ(proposeType(c, 0, t), ProposalResult::Ok);
    EXPECT_EQ(t.biWidth, 1024);
    c.aspectY = 0; // never a division by zero
    ASSERT_EQ(proposeType(c, 0, t), ProposalResult::Ok);
    EXPECT_EQ(t.biWidth, 720);
}

} // namespace
} // namespace nerrorend
