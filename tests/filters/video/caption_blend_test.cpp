#include "filters/video/caption_blend.h"

#include <gtest/gtest.h>

#include <vector>

namespace nerrorend {
namespace {

TEST(YuvTables, StudioRangeValues) {
    const YuvTables t;
    struct Case {
        uint32_t pixel;
        int y, cb, cr;
    } cases[] = {
        {0x00ffffff, 233, 128, 128}, // white
        {0x00000000, 16, 128, 128},  // black, as the outline draws it
        {0x00ff0000, 81, 91, 239},   // red
        {0x0000ff00, 144, 54, 35},   // green
        {0x000000ff, 40, 239, 110},  // blue
        {0xff808080, 124, 129, 128}, // alpha does not matter; truncation shows
    };
    for (const Case& c : cases) {
        EXPECT_EQ(t.y(c.pixel), c.y) << std::hex << c.pixel;
        EXPECT_EQ(t.cb(c.pixel), c.cb) << std::hex << c.pixel;
        EXPECT_EQ(t.cr(c.pixel), c.cr) << std::hex << c.pixel;
    }
}

struct Bitmap {
    Bitmap(int w, int h) : pixels(size_t(w) * h, kCaptionClear) {
        view.pixels = pixels.data();
        view.width = w;
        view.rows = h;
    }
    void set(int x, int y, uint32_t p) { pixels[size_t(y) * view.width + x] = p; }
    std::vector<uint32_t> pixels;
    CaptionBitmap view;
};

TEST(CaptionBlend, Yuy2WritesLumaEverywhereAndChromaByColumn) {
    const YuvTables t;
    Bitmap bitmap(8, 4);
    bitmap.set(2, 1, 0x00ff0000); // red at an even column: Y and Cb
    bitmap.set(3, 1, 0x00ffffff); // white at an odd column: Y and Cr
    bitmap.set(5, 2, 0x00000000); // drawn black is not the clear value
    std::vector<uint8_t> frame(8 * 2 * 4, 0x55);
    FrameBuffer fb{frame.data(), frame.size(), kFormatYuy2, 8, 4, 16};
    blendCaption(t, bitmap.view, Rect{0, 0, 8, 4}, fb);
    const uint8_t* row1 = &frame[16];
    EXPECT_EQ(row1[4], 81);  // Y of red
    EXPECT_EQ(row1[5], 91);  // Cb of red
    EXPECT_EQ(row1[6], 233); // Y of white
    EXPECT_EQ(row1[7], 128); // Cr of white
    EXPECT_EQ(frame[32 + 10], 16);
    EXPECT_EQ(frame[32 + 11], 128);
    EXPECT_EQ(frame[32 + 8], 0x55) << "the undrawn neighbour keeps its value";
    size_t changed = 0;
    for (uint8_t b : frame)
        changed += b != 0x55;
    EXPECT_EQ(changed, 6u);
}

TEST(CaptionBlend, ClippedToFrameBitmapAndBuffer) {
    const YuvTables t;
    Bitmap bitmap(8, 8);
    for (uint32_t& p : bitmap.pixels)
        p = 0x00ffffff;
    // The frame has 4 rows of 4 pixels but its buffer holds only 3 rows; the
    // area runs past everything on every side.
    std::vector<uint8_t> frame(3 * 8 + 4, 0);
    FrameBuffer fb{frame.data(), 3 * 8, kFormatYuy2, 4, 4, 8};
    blendCaption(t, bitmap.view, Rect{-5, -5, 50, 50}, fb);
    for (size_t i = 0; i < 24; i += 2)
        EXPECT_EQ(frame[i], 233) << i;
    for (size_t i = 24; i < frame.size(); ++i)
        EXPECT_EQ(frame[i], 0) << "past the buffer at " << i;
}

TEST(CaptionBlend, Yv12WritesPlanesVThenU) {
    const YuvTables t;
    Bitmap bitmap(4, 4);
    bitmap.set(2, 2, 0x000000ff); // blue
    std::vector<uint8_t> frame(4 * 4 + 2 * 2 * 2, 0);
    FrameBuffer fb{frame.data(), frame.size(), kFormatYv12, 4, 4, 4};
    blendCaption(t, bitmap.view, Rect{0, 0, 4, 4}, fb);
    EXPECT_EQ(frame[2 * 4 + 2], 40);
    EXPECT_EQ(frame[16 + 1 * 2 + 1], 110) << "V plane first";
    EXPECT_EQ(frame[20 + 1 * 2 + 1], 239) << "then U";

    // A buffer too short for all three planes is left alone.
    std::vector<uint8_t> shortFrame(4 * 4 + 4, 0);
    FrameBuffer shortFb{shortFrame.data(), shortFrame.size(), kFormatYv12, 4, 4, 4};
    blendCaption(t, bitmap.view, Rect{0, 0, 4, 4}, shortFb);
    EXPECT_EQ(shortFrame[10], 0);
}

TEST(CaptionBlend, OnlyYuy2AndYv12) {
    const YuvTables t;
    Bitmap bitmap(4, 2);
    bitmap.set(0, 0, 0x00ffffff);
    for (int code : {int(kFormatUyvy), int(kFormatIf09), int(kFormatRgb32), kFormatRgb565 + 10}) {
        EXPECT_FALSE(captionsBlendInto(code));
        std::vector<uint8_t> frame(64, 7);
        FrameBuffer fb{frame.data(), frame.size(), code, 4, 2, 16};
        blendCaption(t, bitmap.view, Rect{0, 0, 4, 2}, fb);
        EXPECT_EQ(frame[0], 7) << code;
    }
}

TEST(CaptionBlend, ClearRowsIsClipped) {
    Bitmap bitmap(3, 4);
    for (uint32_t& p : bitmap.pixels)
        p = 0;
    clearCaptionRows(bitmap.view, -2, 2);
    clearCaptionRows(bitmap.view, 3, 99);
    EXPECT_EQ(bitmap.pixels[0], kCaptionClear);
    EXPECT_EQ(bitmap.pixels[5], kCaptionClear);
    EXPECT_EQ(bitmap.pixels[6], 0u);
    EXPECT_EQ(bitmap.pixels[11], kCaptionClear);
}

} // namespace
} // namespace nerrorend
