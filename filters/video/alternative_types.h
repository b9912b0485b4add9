// The media types the renderer's video pin proposes, so that a decoder can write
// rows that line up with the surface pitch.
#pragma once
#include <cstdint>

#include "filters/video/caption_layout.h"
#include "filters/video/format_code.h"

namespace nerrorend {

enum class ProposalResult { Ok, NotImplemented, InvalidArgument, NoMoreItems };

// Positions from this one up name the proposals 0..3 even before the first
// connection is complete; the renderer itself asks for them there.
constexpr int kRenegotiationPosition = -9000;

struct ProposalContext {
    bool proposalsOn = false;
    bool firstConnectDone = false;
    int renderMode = 1;
    bool rgbSurfaceMode = false;
    // The display's RGB subtype (mode 3) or the forced one (RGB-surface mode).
    VideoSubtype rgbSubtype = VideoSubtype::Unknown;
    bool videoInfo2 = false;
    int pictureWidth = 0;
    int height = 0;
    int band = 0;
    int pitchPixels = 0; // the surface pitch in pixels, 0 when unknown
    int aspectX = 0, aspectY = 0;
};

struct ProposedType {
    VideoSubtype subtype = VideoSubtype::Unknown;
    uint32_t compression = 0; // a FOURCC, BI_RGB (0) or BI_BITFIELDS (3)
    int32_t biWidth = 0;
    int32_t biHeight = 0;
    uint16_t bitCount = 0;
    bool hasMasks = false;
    uint32_t masks[3] = {0, 0, 0};
    uint32_t sampleSize = 0;
    // The picture inside the wider rows; empty when the rows are the picture.
    Rect target;
};

ProposalResult proposeType(const ProposalContext& context, int position, ProposedType& out);

} // namespace nerrorend
