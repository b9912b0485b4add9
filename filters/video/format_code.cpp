#include "filters/video/format_code.h"

#include <initializer_list>

namespace nerrorend {

int formatCodeOf(VideoSubtype subtype, bool rgbSurfaceMode) {
    const int rgb = rgbSurfaceMode ? kRgbSurfaceOffset : 0;
    switch (subtype) {
    case VideoSubtype::Yuy2:
        return kFormatYuy2;
    case VideoSubtype::Uyvy:
        return kFormatUyvy;
    case VideoSubtype::Yv12:
        return kFormatYv12;
    case VideoSubtype::If09:
        return kFormatIf09;
    case VideoSubtype::Rgb32:
        return kFormatRgb32 + rgb;
    case VideoSubtype::Argb32:
        return kFormatArgb32 + rgb;
    case VideoSubtype::Rgb24:
        return kFormatRgb24 + rgb;
    case VideoSubtype::Rgb555:
        return kFormatRgb555 + rgb;
    case VideoSubtype::Rgb565:
        return kFormatRgb565 + rgb;
    case VideoSubtype::Unknown:
        break;
    }
    return kFormatNone;
}

int baseFormatCode(int code) {
    return code >= kFormatRgb32 + kRgbSurfaceOffset && code <= kFormatRgb565 + kRgbSurfaceOffset
               ? code - kRgbSurfaceOffset
               : code;
}

VideoSubtype subtypeOfCode(int code) {
    switch (baseFormatCode(code)) {
    case kFormatYuy2:
        return VideoSubtype::Yuy2;
    case kFormatUyvy:
        return VideoSubtype::Uyvy;
    case kFormatYv12:
        return VideoSubtype::Yv12;
    case kFormatIf09:
        return VideoSubtype::If09;
    case kFormatRgb32:
        return VideoSubtype::Rgb32;
    case kFormatArgb32:
        return VideoSubtype::Argb32;
    case kFormatRgb24:
        return VideoSubtype::Rgb24;
    case kFormatRgb555:
        return VideoSubtype::Rgb555;
    case kFormatRgb565:
        return VideoSubtype::Rgb565;
    default:
        return VideoSubtype::Unknown;
    }
}

bool isYuvCode(int code) {
    return code >= kFormatYuy2 && code <= kFormatIf09;
}
bool isPlanarCode(int code) {
    return code == kFormatYv12 || code == kFormatIf09;
}
bool isRgbCode(int code) {
    const int base = baseFormatCode(code);
    return base >= kFormatRgb32 && base <= kFormatRgb565;
}

int bytesPerPixel(int code) {
    switch (baseFormatCode(code)) {
    case kFormatYuy2:
    case kFormatUyvy:
    case kFormatRgb555:
    case kFormatRgb565:
        return 2;
    case kFormatYv12:
    case kFormatIf09:
        return 1;
    case kFormatRgb32:
    case kFormatArgb32:
        return 4;
    case kFormatRgb24:
        return 3;
    default:
        return 0;
    }
}

int halfBitsPerPixel(int code) {
    switch (baseFormatCode(code)) {
    case kFormatYv12:
        return 24;
    case kFormatIf09:
        return 19;
    default:
        return bytesPerPixel(code) * 16;
    }
}

uint32_t imageSize(int code, int width, int rows) {
    if (width <= 0 || rows <= 0) return 0;
    const uint64_t size = uint64_t(width) * uint64_t(rows) * uint64_t(halfBitsPerPixel(code)) / 16;
    return size > 0x7fffffffu ? 0 : uint32_t(size);
}

uint32_t fourccOf(VideoSubtype subtype) {
    switch (subtype) {
    case VideoSubtype::Yuy2:
        return makeFourcc('Y', 'U', 'Y', '2');
    case VideoSubtype::Uyvy:
        return makeFourcc('U', 'Y', 'V', 'Y');
    case VideoSubtype::Yv12:
        return makeFourcc('Y', 'V', '1', '2');
    case VideoSubtype::If09:
        return makeFourcc('I', 'F', '0', '9');
    default:
        return 0;
    }
}

VideoSubtype subtypeOfFourcc(uint32_t fourcc) {
    for (VideoSubtype s :
         {VideoSubtype::Yuy2, VideoSubtype::Uyvy, VideoSubtype::Yv12, VideoSubtype::If09})
        if (fourccOf(s) == fourcc) return s;
    return VideoSubtype::Unknown;
}

VideoSubtype subtypeOfDisplay(const SurfacePixelFormat& display) {
    if (display.fourccFormat) return VideoSubtype::Unknown;
    switch (display.bitCount) {
    case 16:
        return display.greenMask == 0x7e0 ? VideoSubtype::Rgb565 : VideoSubtype::Rgb555;
    case 24:
        return VideoSubtype::Rgb24;
    case 32:
        return VideoSubtype::Rgb32;
    default:
        return VideoSubtype::Unknown; // 8-bit palettes and the like have no subtype
    }
}

SurfacePixelFormat surfaceFormatFor(VideoSubtype subtype) {
    SurfacePixelFormat f;
    const uint32_t fourcc = fourccOf(subtype);
    if (fourcc) {
        f.fourccFormat = true;
        f.fourcc = fourcc;
        return f;
    }
    switch (subtype) {
    case VideoSubtype::Rgb32:
    case VideoSubtype::Argb32:
    case VideoSubtype::Rgb24:
        f.bitCount = subtype == VideoSubtype::Rgb24 ? 24 : 32;
        f.redMask = 0xff0000;
        f.greenMask = 0xff00;
        f.blueMask = 0xff;
        break;
    case VideoSubtype::Rgb555:
        f.bitCount = 16;
        f.redMask = 0x7c00;
        f.greenMask = 0x3e0;
        f.blueMask = 0x1f;
        break;
    case VideoSubtype::Rgb565:
        f.bitCount = 16;
        f.redMask = 0xf800;
        f.greenMask = 0x7e0;
        f.blueMask = 0x1f;
        break;
    default:
        break;
    }
    return f;
}

bool surfaceMatchesSubtype(const SurfacePixelFormat& surface, VideoSubtype subtype) {
    if (surface.fourccFormat) return surface.fourcc != 0 && surface.fourcc == fourccOf(subtype);
    const VideoSubtype shown = subtypeOfDisplay(surface);
    if (shown == VideoSubtype::Unknown) return false;
    // ARGB32 rows have the RGB32 layout; the alpha byte is ignored on screen.
    if (subtype == VideoSubtype::Argb32) subtype = VideoSubtype::Rgb32;
    return shown == subtype;
}

FormatFault checkFormatLength(uint32_t cbFormat, bool videoInfo2) {
    return cbFormat < (videoInfo2 ? kVideoInfoHeader2Size : kVideoInfoHeaderSize)
               ? FormatFault::BlockTooShort
               : FormatFault::None;
}

FormatFault readGeometry(int code, int32_t biWidth, int32_t biHeight, int32_t targetLeft,
                         int32_t targetRight, int band, VideoGeometry& out) {
    out = VideoGeometry();
    if (biWidth <= 0) return FormatFault::BadWidth;
    if (biHeight == 0 || biHeight == INT32_MIN) return FormatFault::BadHeight;
    int width = biWidth;
    // A target rectangle inside the stride names the picture; anything else is ignored.
    if (targetRight > targetLeft && targetLeft >= 0 && targetRight <= biWidth)
        width = targetRight - targetLeft;
    // Packed YUV carries one chroma pair per two pixels.
    const int base = baseFormatCode(code);
    if ((base == kFormatYuy2 || base == kFormatUyvy) && (width % 2 || biWidth % 2))
        return FormatFault::OddWidth;
    const int height = biHeight < 0 ? -biHeight : biHeight;
    if (band < 0 || height > 0x7fffffff - band) return FormatFault::TooLarge;
    // Every buffer of the connection (stride x (height + band) at 4 bytes) must fit a LONG.
    if (uint64_t(biWidth) * uint64_t(height + band) * 4 > 0x7fffffffu) return FormatFault::TooLarge;
    out.pictureWidth = width;
    out.height = height;
    out.bottomUp = biHeight > 0;
    out.strideWidth = biWidth;
    return FormatFault::None;
}

FormatFault checkSameConnection(VideoSubtype current, const VideoGeometry& currentGeometry,
                                VideoSubtype offered, const VideoGeometry& offeredGeometry) {
    if (current != offered || currentGeometry.pictureWidth != offeredGeometry.pictureWidth ||
        currentGeometry.height != offeredGeometry.height)
        return FormatFault::Changed;
    return FormatFault::None;
}

} // namespace nerrorend
