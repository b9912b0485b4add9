#include "filters/video/caption_layout.h"

#include <gtest/gtest.h>

#include "filters/video/overlay_geometry.h"

namespace nerrorend {
namespace {

TEST(CaptionLayout, TitleSitsTwentyRowsDownCentred) {
    const CaptionLayout l = layoutTitle(100, 16, 320, 240);
    EXPECT_EQ(l.text.left, 110);
    EXPECT_EQ(l.text.top, 20);
    EXPECT_EQ(l.text.bottom, 36);
    EXPECT_EQ(l.fillTop, 18);
    EXPECT_EQ(l.fillBottom, 40);
    EXPECT_EQ(l.kept.left, 108);
    EXPECT_EQ(l.kept.bottom, 38);
}

TEST(CaptionLayout, OsdPositions) {
    struct Case {
        int measuredWidth, measuredHeight, y, width, rows;
        int left, top, fillTop, fillBottom;
        Rect kept;
    } cases[] = {
        // No band: inside the picture, 10 rows above its bottom edge.
        {100, 16, -1, 320, 240, 91, 206, 203, 233, {89, 204, 231, 232}},
        // With a band of 40 rows the bitmap is 280 rows high.
        {100, 16, -1, 320, 280, 91, 246, 243, 273, {89, 244, 231, 272}},
        // Raised by y.
        {100, 16, 50, 320, 240, 91, 156, 153, 183, {89, 154, 231, 182}},
        // Wider than the picture and too tall: clipped, never negative.
        {400, 300, -1, 320, 240, -59, -78, 0, 233, {0, 0, 320, 232}},
    };
    for (const Case& c : cases) {
        const CaptionLayout l = layoutOsd(c.measuredWidth, c.measuredHeight, c.y, c.width, c.rows);
        EXPECT_EQ(l.text.left, c.left);
        EXPECT_EQ(l.text.top, c.top);
        EXPECT_EQ(l.text.width(), c.measuredWidth + 38);
        EXPECT_EQ(l.fillTop, c.fillTop);
        EXPECT_EQ(l.fillBottom, c.fillBottom);
        EXPECT_EQ(l.kept.left, c.kept.left);
        EXPECT_EQ(l.kept.top, c.kept.top);
        EXPECT_EQ(l.kept.right, c.kept.right);
        EXPECT_EQ(l.kept.bottom, c.kept.bottom);
    }
}

TEST(CaptionLayout, OsdBelowTheBottomMovesUp) {
    // A negative y pushes the text past the bottom edge: it ends two rows above it.
    const CaptionLayout l = layoutOsd(10, 10, -20, 100, 40);
    EXPECT_EQ(l.text.bottom, 38);
    EXPECT_EQ(l.text.top, 20);
    EXPECT_EQ(l.fillBottom, 40);
    EXPECT_EQ(l.kept.bottom, 40);
}

TEST(CaptionLayout, BandClearsInThreeFrames) {
    BandClearCountdown band;
    EXPECT_FALSE(band.frame());
    band.start();
    EXPECT_TRUE(band.frame());
    EXPECT_TRUE(band.frame());
    EXPECT_TRUE(band.frame());
    EXPECT_FALSE(band.frame());
    EXPECT_FALSE(band.running());
}

TEST(CaptionLayout, OutlineOffsetsStayWithinTwoPixels) {
    for (const auto& o : kOutlineOffsets) {
        EXPECT_LE(o[0] * o[0] + o[1] * o[1], 5);
        EXPECT_FALSE(o[0] == 0 && o[1] == 0);
    }
    EXPECT_EQ(kOutlineOffsets[0][0], -2);
    EXPECT_EQ(kOutlineOffsets[19][0], 2);
}

TEST(OverlayGeometry, SourceFollowsTheVisiblePart) {
    struct Case {
        Rect destination;
        Rect source;
    } cases[] = {
        {{0, 0, 640, 480}, {0, 0, 320, 240}},
        {{-320, 0, 320, 480}, {160, 0, 320, 240}}, // left half off screen
        {{512, 384, 1152, 864}, {0, 0, 144, 108}}, // right and bottom off a 800x600 screen
        {{900, 0, 1000, 100}, {0, 0, 0, 0}},       // nothing on screen
    };
    for (const Case& c : cases) {
        const Rect s = overlaySourceFor(c.destination, 800, 600, 320, 240);
        EXPECT_EQ(s.left, c.source.left);
        EXPECT_EQ(s.top, c.source.top);
        EXPECT_EQ(s.right, c.source.right);
        EXPECT_EQ(s.bottom, c.source.bottom);
    }
}

} // namespace
} // namespace nerrorend
