#include "filters/video/format_code.h"

#include <gtest/gtest.h>

namespace nerrorend {
namespace {

TEST(FormatCode, TableOfSubtypes) {
    struct Case {
        VideoSubtype subtype;
        bool rgbSurface;
        int code;
        int bytes;
        uint32_t size320x240;
    } cases[] = {
        {VideoSubtype::Yuy2, false, 1, 2, 153600},   {VideoSubtype::Uyvy, true, 2, 2, 153600},
        {VideoSubtype::Yv12, false, 3, 1, 115200},   {VideoSubtype::If09, false, 4, 1, 91200},
        {VideoSubtype::Rgb32, false, 10, 4, 307200}, {VideoSubtype::Rgb32, true, 20, 4, 307200},
        {VideoSubtype::Argb32, true, 21, 4, 307200}, {VideoSubtype::Rgb24, false, 12, 3, 230400},
        {VideoSubtype::Rgb555, true, 23, 2, 153600}, {VideoSubtype::Rgb565, false, 14, 2, 153600},
    };
    for (const Case& c : cases) {
        const int code = formatCodeOf(c.subtype, c.rgbSurface);
        EXPECT_EQ(code, c.code);
        EXPECT_EQ(bytesPerPixel(code), c.bytes) << code;
        EXPECT_EQ(imageSize(code, 320, 240), c.size320x240) << code;
        EXPECT_EQ(subtypeOfCode(code), c.subtype) << code;
    }
    EXPECT_EQ(imageSize(kFormatRgb32, 40000, 40000), 0u) << "overflow gives no size";
}

TEST(FormatCode, DisplayFormatsMapToRgbSubtypesOrNothing) {
    auto rgb = [](uint32_t bits, uint32_t green) {
        SurfacePixelFormat f;
        f.bitCount = bits;
        f.greenMask = green;
        return f;
    };
    EXPECT_EQ(subtypeOfDisplay(rgb(16, 0x7e0)), VideoSubtype::Rgb565);
    EXPECT_EQ(subtypeOfDisplay(rgb(16, 0x3e0)), VideoSubtype::Rgb555);
    EXPECT_EQ(subtypeOfDisplay(rgb(24, 0xff00)), VideoSubtype::Rgb24);
    EXPECT_EQ(subtypeOfDisplay(rgb(32, 0xff00)), VideoSubtype::Rgb32);
    // A palettised primary is refused rather than guessed.
    EXPECT_EQ(subtypeOfDisplay(rgb(8, 0)), VideoSubtype::Unknown);
    EXPECT_EQ(subtypeOfDisplay(surfaceFormatFor(VideoSubtype::Yuy2)), VideoSubtype::Unknown);
}

TEST(FormatCode, SurfaceMatchesOnlyItsOwnLayout) {
    const SurfacePixelFormat yuy2 = surfaceFormatFor(VideoSubtype::Yuy2);
    EXPECT_TRUE(surfaceMatchesSubtype(yuy2, VideoSubtype::Yuy2));
    EXPECT_FALSE(surfaceMatchesSubtype(yuy2, VideoSubtype::Uyvy));
    const SurfacePixelFormat rgb565 = surfaceFormatFor(VideoSubtype::Rgb565);
    EXPECT_TRUE(surfaceMatchesSubtype(rgb565, VideoSubtype::Rgb565));
    EXPECT_FALSE(surfaceMatchesSubtype(rgb565, VideoSubtype::Rgb555));
    // RGB32 input on a 16-bit display would write twice the surface.
    EXPECT_FALSE(surfaceMatchesSubtype(rgb565, VideoSubtype::Rgb32));
    const SurfacePixelFormat rgb32 = surfaceFormatFor(VideoSubtype::Rgb32);
    EXPECT_TRUE(surfaceMatchesSubtype(rgb32, VideoSubtype::Argb32));
    EXPECT_FALSE(surfaceMatchesSubtype(rgb32, VideoSubtype::Rgb24));
}

TEST(FormatCode, FormatBlocksAreChecked) {
    EXPECT_EQ(checkFormatLength(87, false), FormatFault::BlockTooShort);
    EXPECT_EQ(checkFormatLength(88, false), FormatFault::None);
    EXPECT_EQ(checkFormatLength(88, true), FormatFault::BlockTooShort);
    EXPECT_EQ(checkFormatLength(112, true), FormatFault::None);

    struct Case {
        int code;
        int32_t width, height, targetLeft, targetRight;
        int band;
        FormatFault fault;
        int pictureWidth;
    } cases[] = {
        {kFormatYuy2, 320, 240, 0, 0, 0, FormatFault::None, 320},
        {kFormatYuy2, 176, 144, 0, 174, 0, FormatFault::None, 174}, // rcTarget inside the stride
        {kFormatYuy2, 176, 144, 0, 200, 0, FormatFault::None, 176}, // rcTarget outside: ignored
        {kFormatYuy2, 0, 240, 0, 0, 0, FormatFault::BadWidth, 0},
        {kFormatRgb32, -320, 240, 0, 0, 0, FormatFault::BadWidth, 0},
        {kFormatRgb32, 320, 0, 0, 0, 0, FormatFault::BadHeight, 0},
        {kFormatRgb32, 320, INT32_MIN, 0, 0, 0, FormatFault::BadHeight, 0},
        {kFormatYuy2, 175, 240, 0, 0, 0, FormatFault::OddWidth, 0},
        {kFormatUyvy, 176, 240, 0, 175, 0, FormatFault::OddWidth, 0},
        {kFormatYv12, 175, 240, 0, 0, 0, FormatFault::None, 175},
        {kFormatRgb32, 0x10000, 0x10000, 0, 0, 0, FormatFault::TooLarge, 0},
        {kFormatRgb32, 320, 0x7fffffff, 0, 0, 2, FormatFault::TooLarge, 0},
    };
    for (const Case& c : cases) {
        VideoGeometry g;
        EXPECT_EQ(readGeometry(c.code, c.width, c.height, c.targetLeft, c.targetRight, c.band, g),
                  c.fault)
            << c.width << "x" << c.height;
        EXPECT_EQ(g.pictureWidth, c.pictureWidth) << c.width << "x" << c.height;
    }
    VideoGeometry bottomUp, topDown;
    readGeometry(kFormatRgb24, 320, 240, 0, 0, 0, bottomUp);
    readGeometry(kFormatRgb24, 320, -240, 0, 0, 0, topDown);
    EXPECT_TRUE(bottomUp.bottomUp);
    EXPECT_FALSE(topDown.bottomUp);
    EXPECT_EQ(topDown.height, 240);
}

TEST(FormatCode, ConnectedTypeMayNotChangeSurfaces) {
    VideoGeometry a, wider, padded;
    readGeometry(kFormatYuy2, 174, 144, 0, 0, 0, a);
    readGeometry(kFormatYuy2, 176, 144, 0, 0, 0, wider);
    readGeometry(kFormatYuy2, 176, -144, 0, 174, 0, padded);
    EXPECT_EQ(checkSameConnection(VideoSubtype::Yuy2, a, VideoSubtype::Yuy2, a), FormatFault::None);
    EXPECT_EQ(checkSameConnection(VideoSubtype::Yuy2, a, VideoSubtype::Yuy2, padded),
              FormatFault::None);
    EXPECT_EQ(checkSameConnection(VideoSubtype::Yuy2, a, VideoSubtype::Yuy2, wider),
              FormatFault::Changed);
    EXPECT_EQ(checkSameConnection(VideoSubtype::Yuy2, a, VideoSubtype::Uyvy, a),
              FormatFault::Changed);
}

} // namespace
} // namespace nerrorend
