#include "filters/video/frame_buffer.h"

#include <gtest/gtest.h>

#include <vector>

namespace nerrorend {
namespace {

uint32_t word(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
           uint32_t(b[at + 3]) << 24;
}

TEST(FrameBuffer, BlackIsBlack) {
    struct Case {
        int code;
        uint32_t first;
    } cases[] = {{kFormatYuy2, 0x80108010},
                 {kFormatUyvy, 0x10801080},
                 {kFormatRgb32, 0},
                 {kFormatRgb565 + 10, 0}};
    for (const Case& c : cases) {
        std::vector<uint8_t> b(8 * 4, 0xaa);
        FrameBuffer f{b.data(), b.size(), c.code, 4, 4, 8};
        fillBlackRows(f, 1, 2);
        EXPECT_EQ(word(b, 0), 0xaaaaaaaau) << c.code;
        EXPECT_EQ(word(b, 8), c.first) << c.code;
        EXPECT_EQ(word(b, 20), c.first) << c.code;
        EXPECT_EQ(word(b, 24), 0xaaaaaaaau) << c.code;
    }
    // YV12: Y 16 and chroma 128 in both chroma planes, the rows matching.
    std::vector<uint8_t> b(4 * 4 + 2 * 2 * 2, 0xaa);
    FrameBuffer f{b.data(), b.size(), kFormatYv12, 4, 4, 4};
    fillBlackRows(f, 2, 2);
    EXPECT_EQ(b[7], 0xaa);
    EXPECT_EQ(b[8], 0x10);
    EXPECT_EQ(b[15], 0x10);
    EXPECT_EQ(b[16 + 1], 0xaa);
    EXPECT_EQ(b[16 + 2], 0x80);
    EXPECT_EQ(b[20 + 3], 0x80);
    // Rows past the buffer are not touched.
    std::vector<uint8_t> small(10, 0xaa);
    FrameBuffer s{small.data(), 8, kFormatYuy2, 4, 4, 8};
    fillBlackRows(s, 0, 4);
    EXPECT_EQ(small[8], 0xaa);
}

TEST(FrameBuffer, CopyTakesOnlyWhatTheSampleHolds) {
    // A 4x4 YUY2 picture with a band of 2 rows; the surface pitch is wider than the row.
    std::vector<uint8_t> surface(12 * 6, 0xee);
    FrameBuffer to{surface.data(), surface.size(), kFormatYuy2, 4, 6, 12};
    std::vector<uint8_t> sample(8 * 4);
    for (size_t i = 0; i < sample.size(); ++i)
        sample[i] = uint8_t(i);
    // The sample claims height + band rows but its actual length holds 3.
    EXPECT_EQ(copyFrame(sample.data(), 8 * 3, 8, 6, to, false, 4), 3);
    EXPECT_EQ(surface[12 + 0], 8);
    EXPECT_EQ(surface[24 + 7], 23);
    EXPECT_EQ(surface[24 + 8], 0xee) << "padding past the row stays";
    EXPECT_EQ(word(surface, 36), kBlackYuy2) << "rows the sample lacks are black";
    EXPECT_EQ(word(surface, 60), kBlackYuy2) << "the band too";

    // A sample whose stride is wider than the surface pitch copies the pitch.
    std::vector<uint8_t> narrow(6 * 2, 0);
    FrameBuffer n{narrow.data(), narrow.size(), kFormatRgb24, 2, 2, 6};
    std::vector<uint8_t> wide(16 * 2, 9);
    EXPECT_EQ(copyFrame(wide.data(), wide.size(), 16, 2, n, false, 2), 2);
    EXPECT_EQ(narrow[11], 9);
    EXPECT_EQ(copyFrame(nullptr, 0, 16, 2, n, false, 2), 0);
    EXPECT_EQ(narrow[11], 0);
}

TEST(FrameBuffer, BottomUpRowsAreFlipped) {
    std::vector<uint8_t> surface(4 * 4, 0xee);
    FrameBuffer to{surface.data(), surface.size(), kFormatRgb32, 1, 4, 4};
    // Three picture rows and a band row; the sample rows are numbered bottom first.
    const uint8_t sample[12] = {1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3};
    EXPECT_EQ(copyFrame(sample, sizeof sample, 4, 3, to, true, 3), 3);
    EXPECT_EQ(surface[0], 3);
    EXPECT_EQ(surface[4], 2);
    EXPECT_EQ(surface[8], 1);
    EXPECT_EQ(surface[12], 0) << "band row black";
    // A short bottom-up sample fills the bottom rows and blacks the top.
    EXPECT_EQ(copyFrame(sample, 4, 4, 3, to, true, 3), 1);
    EXPECT_EQ(surface[0], 0);
    EXPECT_EQ(surface[8], 1);
}

TEST(FrameBuffer, Yv12PlanesCopyAtTheirOwnPitch) {
    // 4x2 picture; packed sample stride 4, surface pitch 8.
    const uint8_t sample[12] = {1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 20, 21};
    std::vector<uint8_t> surface(8 * 2 + 4 * 1 * 2, 0xee);
    FrameBuffer to{surface.data(), surface.size(), kFormatYv12, 4, 2, 8};
    EXPECT_EQ(copyFrame(sample, sizeof sample, 4, 2, to, false, 2), 2);
    EXPECT_EQ(surface[8 + 3], 8);
    EXPECT_EQ(surface[16], 10) << "V plane after the Y plane";
    EXPECT_EQ(surface[17], 11);
    EXPECT_EQ(surface[20], 20) << "U plane after V";
}

TEST(FrameBuffer, DirectOnlyWhenRowsLineUp) {
    const SurfacePixelFormat yuy2 = surfaceFormatFor(VideoSubtype::Yuy2);
    const SurfacePixelFormat rgb565 = surfaceFormatFor(VideoSubtype::Rgb565);
    EXPECT_TRUE(canDeliverDirect(yuy2, VideoSubtype::Yuy2, 640, 640, false));
    EXPECT_FALSE(canDeliverDirect(yuy2, VideoSubtype::Yuy2, 352, 348, false));
    EXPECT_FALSE(canDeliverDirect(yuy2, VideoSubtype::Yuy2, 344, 348, false));
    EXPECT_FALSE(canDeliverDirect(yuy2, VideoSubtype::Uyvy, 640, 640, false));
    EXPECT_FALSE(canDeliverDirect(rgb565, VideoSubtype::Rgb32, 1280, 1280, false));
    EXPECT_FALSE(canDeliverDirect(rgb565, VideoSubtype::Rgb565, 640, 640, true));
}

TEST(FrameBuffer, CopyPictureAndPluginStrides) {
    EXPECT_EQ(copyPictureRowBytes(kFormatYuy2, 175, 400), 350u);
    EXPECT_EQ(copyPictureRowBytes(kFormatRgb24, 100, 400), 300u);
    EXPECT_EQ(copyPictureRowBytes(kFormatRgb32 + 10, 200, 640), 640u) << "clamped to the pitch";
    EXPECT_EQ(copyPictureRowBytes(kFormatYv12, 320, 320), 0u);
    EXPECT_EQ(copyPictureRowBytes(kFormatIf09, 320, 320), 0u);
    EXPECT_EQ(pluginStride(true, 352, kFormatYuy2, 174), 352u);
    EXPECT_EQ(pluginStride(false, 352, kFormatYuy2, 174), 348u);
    EXPECT_EQ(pluginStride(false, 352, kFormatYv12, 174), 174u);
}

} // namespace
} // namespace nerrorend
