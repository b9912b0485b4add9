#include "filters/video/alternative_types.h"

namespace nerrorend {
namespace {

constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;

uint16_t surfaceBitCount(VideoSubtype subtype) {
    switch (subtype) {
    case VideoSubtype::Yuy2:
    case VideoSubtype::Uyvy:
    case VideoSubtype::Rgb555:
    case VideoSubtype::Rgb565:
        return 16;
    case VideoSubtype::Yv12:
        return 12;
    case VideoSubtype::If09:
        return 9;
    case VideoSubtype::Rgb24:
        return 24;
    case VideoSubtype::Rgb32:
    case VideoSubtype::Argb32:
        return 32;
    default:
        return 0;
    }
}

int roundUp32(int64_t value) {
    const int64_t r = (value + 31) / 32 * 32;
    return r > 0x7fffffff ? 0 : int(r);
}

} // namespace

ProposalResult proposeType(const ProposalContext& c, int position, ProposedType& out) {
    out = ProposedType();
    if (!c.proposalsOn) return ProposalResult::NotImplemented;
    if (position >= kRenegotiationPosition && position < kRenegotiationPosition + 4)
        position -= kRenegotiationPosition;
    else if (position < 0)
        return ProposalResult::InvalidArgument;
    else if (!c.firstConnectDone)
        return ProposalResult::NotImplemented;
    if (position > (c.renderMode == 1 ? 3 : 0)) return ProposalResult::NoMoreItems;

    static const VideoSubtype kYuv[4] = {VideoSubtype::Yuy2, VideoSubtype::Uyvy, VideoSubtype::Yv12,
                                         VideoSubtype::If09};
    VideoSubtype subtype = kYuv[position];
    if (position == 0 && (c.renderMode == 3 || c.rgbSurfaceMode)) subtype = c.rgbSubtype;
    if (subtype == VideoSubtype::Unknown || c.pictureWidth <= 0 || c.height <= 0)
        return ProposalResult::NoMoreItems;

    out.subtype = subtype;
    out.bitCount = surfaceBitCount(subtype);
    out.compression = fourccOf(subtype);
    if (!out.compression) {
        const SurfacePixelFormat f = surfaceFormatFor(subtype);
        if (subtype == VideoSubtype::Rgb555 || subtype == VideoSubtype::Rgb565) {
            out.compression = kBiBitfields;
            out.hasMasks = true;
            out.masks[0] = f.redMask;
            out.masks[1] = f.greenMask;
            out.masks[2] = f.blueMask;
        } else {
            out.compression = kBiRgb;
        }
    }

    out.biWidth = c.pictureWidth;
    if (c.pitchPixels > 0 && c.pitchPixels != c.pictureWidth) {
        // Rows as wide as the pitch; the picture stays in its own columns.
        out.biWidth = c.pitchPixels;
        out.target = Rect{0, 0, c.pictureWidth, c.height};
    } else if (c.rgbSurfaceMode && c.videoInfo2 && c.aspectX > 0 && c.aspectY > 0) {
        const int width = roundUp32(int64_t(c.height) * c.aspectX / c.aspectY);
        if (width > 0) out.biWidth = width;
    }
    out.biHeight = c.renderMode == 3 ? -c.height : c.height;
    const int code = formatCodeOf(subtype, false);
    out.sampleSize = imageSize(code, out.biWidth, c.height + c.band);
    return ProposalResult::Ok;
}

} // namespace nerrorend
