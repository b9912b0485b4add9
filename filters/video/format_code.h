// Video formats the renderer takes: the codes its client sees, pixel sizes, the
// DirectDraw pixel formats of its surfaces, and the checks a format block must pass.
#pragma once
#include <cstdint>

namespace nerrorend {

// The numbers the client reads through GetFormatCode. RGB codes move up by
// kRgbSurfaceOffset while the renderer runs in RGB-surface mode.
enum FormatCode : int {
    kFormatNone = 0,
    kFormatYuy2 = 1,
    kFormatUyvy = 2,
    kFormatYv12 = 3,
    kFormatIf09 = 4,
    kFormatRgb32 = 10,
    kFormatArgb32 = 11,
    kFormatRgb24 = 12,
    kFormatRgb555 = 13,
    kFormatRgb565 = 14,
};
constexpr int kRgbSurfaceOffset = 10;

enum class VideoSubtype { Unknown, Yuy2, Uyvy, Yv12, If09, Rgb32, Argb32, Rgb24, Rgb555, Rgb565 };

constexpr uint32_t makeFourcc(char a, char b, char c, char d) {
    return uint32_t(uint8_t(a)) | uint32_t(uint8_t(b)) << 8 | uint32_t(uint8_t(c)) << 16 |
           uint32_t(uint8_t(d)) << 24;
}

int formatCodeOf(VideoSubtype subtype, bool rgbSurfaceMode);
VideoSubtype subtypeOfCode(int code);
// The code without the RGB-surface offset (20..24 become 10..14).
int baseFormatCode(int code);
bool isYuvCode(int code);
bool isPlanarCode(int code);
bool isRgbCode(int code);
int bytesPerPixel(int code);
// IF09 carries 9.5 bits per pixel, so sizes are counted in half bits.
int halfBitsPerPixel(int code);
// width x rows x bits / 8; 0 when the product does not fit 31 bits.
uint32_t imageSize(int code, int width, int rows);
// FOURCC of a YUV subtype (0 for RGB).
uint32_t fourccOf(VideoSubtype subtype);
VideoSubtype subtypeOfFourcc(uint32_t fourcc);

// A DirectDraw pixel format reduced to what the renderer looks at.
struct SurfacePixelFormat {
    bool fourccFormat = false;
    uint32_t fourcc = 0;
    uint32_t bitCount = 0;
    uint32_t redMask = 0, greenMask = 0, blueMask = 0;
};

// The RGB subtype a display (primary surface) format stands for; Unknown for
// palettised or other formats the renderer cannot draw into.
VideoSubtype subtypeOfDisplay(const SurfacePixelFormat& display);
// The pixel format of a surface made for the subtype: FOURCC for YUV, RGB masks
// for the RGB-surface mode codes.
SurfacePixelFormat surfaceFormatFor(VideoSubtype subtype);
// Whether samples of the subtype have the surface's pixel layout byte for byte.
bool surfaceMatchesSubtype(const SurfacePixelFormat& surface, VideoSubtype subtype);

// Why a format block is refused.
enum class FormatFault { None, BlockTooShort, BadWidth, BadHeight, OddWidth, TooLarge, Changed };

// Sizes of the two video format headers, each with its bitmap header inside.
constexpr uint32_t kVideoInfoHeaderSize = 88;
constexpr uint32_t kVideoInfoHeader2Size = 112;
constexpr uint32_t kBitmapInfoHeaderSize = 40;

// The block must hold the whole header before any field of it is read.
FormatFault checkFormatLength(uint32_t cbFormat, bool videoInfo2);

// The picture a format block describes. The stride comes from biWidth; the
// picture width from the target rectangle when one is set (a decoder writing
// into a wider surface keeps its picture inside rcTarget).
struct VideoGeometry {
    int pictureWidth = 0;
    int height = 0;
    bool bottomUp = false;
    int strideWidth = 0; // biWidth: pixels per row in the sample
};

FormatFault readGeometry(int code, int32_t biWidth, int32_t biHeight, int32_t targetLeft,
                         int32_t targetRight, int band, VideoGeometry& out);

// While connected, only a type landing in the same surfaces is taken.
FormatFault checkSameConnection(VideoSubtype current, const VideoGeometry& currentGeometry,
                                VideoSubtype offered, const VideoGeometry& offeredGeometry);

} // namespace nerrorend
