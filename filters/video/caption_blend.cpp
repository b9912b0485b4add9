#include "filters/video/caption_blend.h"

#include <algorithm>

namespace nerrorend {

void clearCaptionRows(CaptionBitmap& bitmap, int top, int bottom) {
    if (!bitmap.pixels || bitmap.width <= 0) return;
    top = std::max(top, 0);
    bottom = std::min(bottom, bitmap.rows);
    for (int r = top; r < bottom; ++r)
        std::fill_n(bitmap.pixels + size_t(r) * size_t(bitmap.width), bitmap.width, kCaptionClear);
}

bool captionsBlendInto(int code) {
    return code == kFormatYuy2 || code == kFormatYv12;
}

namespace {

// The part of `area` that lies inside both the bitmap and the frame's picture rows.
Rect blendArea(const CaptionBitmap& bitmap, const Rect& area, const FrameBuffer& frame,
               int frameRows) {
    Rect r = intersect(area, Rect{0, 0, bitmap.width, bitmap.rows});
    return intersect(r, Rect{0, 0, frame.width, frameRows});
}

void blendYuy2(const YuvTables& t, const CaptionBitmap& bitmap, const Rect& area,
               FrameBuffer& frame) {
    const Plane plane = [&] {
        Plane p[kMaxPlanes];
        framePlanes(frame, p);
        return p[0];
    }();
    // Rows wholly inside the buffer; the stride must hold every pixel pair written.
    const size_t fullRows = plane.stride ? frame.length / plane.stride : 0;
    const int rows = int(std::min(size_t(std::max(frame.rows, 0)), fullRows));
    const int columns = int(std::min(size_t(frame.width), plane.stride / 4 * 2));
    const Rect r = blendArea(bitmap, area, frame, rows);
    const int right = std::min(r.right, columns);
    for (int y = r.top; y < r.bottom; ++y) {
        const uint32_t* src = bitmap.pixels + size_t(y) * size_t(bitmap.width);
        uint8_t* row = frame.data + size_t(y) * plane.stride;
        for (int x = r.left; x < right; ++x) {
            const uint32_t p = src[x];
            if (p == kCaptionClear) continue;
            uint8_t* pair = row + size_t(x / 2) * 4;
            if (x % 2 == 0) {
                pair[0] = t.y(p);
                pair[1] = t.cb(p);
            } else {
                pair[2] = t.y(p);
                pair[3] = t.cr(p);
            }
        }
    }
}

void blendYv12(const YuvTables& t, const CaptionBitmap& bitmap, const Rect& area,
               FrameBuffer& frame) {
    Plane p[kMaxPlanes];
    framePlanes(frame, p);
    // The planes hang together: a buffer too short for all three gets nothing.
    const size_t span = frameSpan(frame);
    if (span == 0 || span > frame.length || p[1].stride == 0) return;
    const Rect r = blendArea(bitmap, area, frame, frame.rows);
    const int right = std::min(r.right, int(std::min(size_t(frame.width), p[0].stride)));
    for (int y = r.top; y < r.bottom; ++y) {
        const uint32_t* src = bitmap.pixels + size_t(y) * size_t(bitmap.width);
        uint8_t* luma = frame.data + size_t(y) * p[0].stride;
        const bool chromaRow = y / 2 < p[1].rows;
        uint8_t* v = frame.data + p[1].offset + size_t(y / 2) * p[1].stride;
        uint8_t* u = frame.data + p[2].offset + size_t(y / 2) * p[2].stride;
        for (int x = r.left; x < right; ++x) {
            const uint32_t px = src[x];
            if (px == kCaptionClear) continue;
            luma[x] = t.y(px);
            if (x % 2 == 0 && chromaRow && size_t(x / 2) < p[1].stride) {
                v[x / 2] = t.cr(px);
                u[x / 2] = t.cb(px);
            }
        }
    }
}

} // namespace

void blendCaption(const YuvTables& tables, const CaptionBitmap& bitmap, const Rect& area,
                  FrameBuffer& frame) {
    if (!bitmap.pixels || !frame.data) return;
    switch (frame.code) {
    case kFormatYuy2:
        blendYuy2(tables, bitmap, area, frame);
        break;
    case kFormatYv12:
        blendYv12(tables, bitmap, area, frame);
        break;
    default:
        break; // other formats show no captions
    }
}

} // namespace nerrorend
