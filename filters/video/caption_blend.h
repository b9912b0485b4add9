// Blending the caption bitmap into YUV frames.
#pragma once
#include <cstdint>

#include "filters/video/caption_layout.h"
#include "filters/video/frame_buffer.h"
#include "filters/video/yuv_tables.h"

namespace nerrorend {

// The caption bitmap: 32-bit top-down pixels 0xAARRGGBB, `width` per row.
struct CaptionBitmap {
    uint32_t* pixels = nullptr;
    int width = 0;
    int rows = 0;
};

// The value that marks a pixel nothing was drawn on.
constexpr uint32_t kCaptionClear = 0xff000000;

// Sets rows [top, bottom) of the bitmap to kCaptionClear, clipped to it.
void clearCaptionRows(CaptionBitmap& bitmap, int top, int bottom);

// Whether a frame of this code gets captions at all (YUY2 and YV12 only).
bool captionsBlendInto(int code);

// Writes every drawn bitmap pixel inside `area` into the frame: Y per pixel,
// Cb at even and Cr at odd columns for YUY2, one Cb/Cr per 2x2 block for YV12.
// Clipped to the bitmap, the frame's width, rows and length.
void blendCaption(const YuvTables& tables, const CaptionBitmap& bitmap, const Rect& area,
                  FrameBuffer& frame);

} // namespace nerrorend
