#include "filters/video/frame_buffer.h"

#include <algorithm>
#include <cstring>

namespace nerrorend {

int framePlanes(const FrameBuffer& frame, Plane planes[kMaxPlanes]) {
    const int rows = std::max(frame.rows, 0);
    const int width = std::max(frame.width, 0);
    const int base = baseFormatCode(frame.code);
    Plane& luma = planes[0];
    luma.offset = 0;
    luma.stride = frame.stride;
    luma.rows = rows;
    luma.rowBytes =
        std::min(size_t(width) * size_t(std::max(bytesPerPixel(base), 1)), frame.stride);
    if (base != kFormatYv12 && base != kFormatIf09) return 1;
    // YV12 halves the chroma planes both ways, IF09 quarters them; V comes first.
    const int divisor = base == kFormatYv12 ? 2 : 4;
    size_t offset = frame.stride * size_t(rows);
    for (int i = 1; i < 3; ++i) {
        Plane& p = planes[i];
        p.offset = offset;
        p.stride = frame.stride / divisor;
        p.rows = rows / divisor;
        p.rowBytes = std::min(size_t(width + divisor - 1) / divisor, p.stride);
        offset += p.stride * size_t(p.rows);
    }
    return 3;
}

size_t frameSpan(const FrameBuffer& frame) {
    Plane planes[kMaxPlanes];
    const int n = framePlanes(frame, planes);
    const Plane& last = planes[n - 1];
    // Strides come from checked format blocks and surface pitches; guard anyway.
    if (last.rows && last.stride > (SIZE_MAX - last.offset) / size_t(last.rows)) return 0;
    return last.offset + last.stride * size_t(last.rows);
}

uint32_t packedBlack(int code) {
    switch (baseFormatCode(code)) {
    case kFormatYuy2:
        return kBlackYuy2;
    case kFormatUyvy:
        return kBlackUyvy;
    default:
        return 0;
    }
}

namespace {

// The rows of one plane that lie wholly inside `length` bytes.
int rowsInside(const Plane& p, size_t length) {
    if (p.stride == 0 || p.offset >= length) return 0;
    const size_t room = length - p.offset;
    size_t rows = room / p.stride;
    // The last row only needs its picture bytes.
    if (rows < size_t(p.rows) && room - rows * p.stride >= p.rowBytes) ++rows;
    return int(std::min(rows, size_t(p.rows)));
}

void fillPlaneRows(uint8_t* data, size_t length, const Plane& p, int from, int to,
                   uint32_t pattern) {
    from = std::max(from, 0);
    to = std::min(to, rowsInside(p, length));
    for (int r = from; r < to; ++r) {
        uint8_t* row = data + p.offset + size_t(r) * p.stride;
        const size_t bytes = std::min(p.stride, length - p.offset - size_t(r) * p.stride);
        for (size_t i = 0; i < bytes; ++i)
            row[i] = uint8_t(pattern >> (8 * (i % 4)));
    }
}

uint32_t planeBlack(int code, int plane) {
    if (!isPlanarCode(baseFormatCode(code))) return packedBlack(code);
    return plane == 0 ? 0x10101010u : 0x80808080u;
}

// A last row may be shorter than its stride; both buffers bound the copy.
void copyRow(FrameBuffer& to, size_t toOffset, const uint8_t* from, size_t fromLength,
             size_t fromOffset, size_t bytes) {
    bytes = std::min({bytes, to.length - toOffset, fromLength - fromOffset});
    std::memcpy(to.data + toOffset, from + fromOffset, bytes);
}

} // namespace

void fillBlackRows(FrameBuffer& frame, int firstRow, int count) {
    if (!frame.data || count <= 0) return;
    Plane planes[kMaxPlanes];
    const int n = framePlanes(frame, planes);
    const int end = firstRow + count;
    for (int i = 0; i < n; ++i) {
        // Chroma rows cover two (YV12) or four (IF09) picture rows each.
        const int divisor = i == 0 ? 1
                                   : (planes[0].rows && planes[i].rows
                                          ? std::max(planes[0].rows / planes[i].rows, 1)
                                          : 1);
        fillPlaneRows(frame.data, frame.length, planes[i], firstRow / divisor,
                      (end + divisor - 1) / divisor, planeBlack(frame.code, i));
    }
}

int copyFrame(const uint8_t* sample, size_t sampleLength, size_t sampleStride, int sampleRows,
              FrameBuffer& surface, bool bottomUp, int pictureRows) {
    if (!surface.data) return 0;
    FrameBuffer source;
    source.code = surface.code;
    source.width = surface.width;
    source.rows = sampleRows;
    source.stride = sampleStride;
    Plane from[kMaxPlanes], to[kMaxPlanes];
    const int n = framePlanes(source, from);
    framePlanes(surface, to);
    int copied = 0;
    for (int i = 0; i < n; ++i) {
        const size_t rowBytes = std::min(from[i].stride, to[i].stride);
        const int held = sample ? rowsInside(from[i], sampleLength) : 0;
        const int room = rowsInside(to[i], surface.length);
        const uint32_t black = planeBlack(surface.code, i);
        int done = 0;
        if (bottomUp && n == 1) {
            // The sample's last row is the picture's top.
            const int rows = std::min({pictureRows, from[i].rows, room});
            done = std::min(held, rows);
            for (int r = 0; r < done; ++r)
                copyRow(surface, to[i].offset + size_t(rows - 1 - r) * to[i].stride, sample,
                        sampleLength, from[i].offset + size_t(r) * from[i].stride, rowBytes);
            fillPlaneRows(surface.data, surface.length, to[i], 0, rows - done, black);
            fillPlaneRows(surface.data, surface.length, to[i], rows, to[i].rows, black);
        } else {
            done = std::min(held, room);
            for (int r = 0; r < done; ++r)
                copyRow(surface, to[i].offset + size_t(r) * to[i].stride, sample, sampleLength,
                        from[i].offset + size_t(r) * from[i].stride, rowBytes);
            fillPlaneRows(surface.data, surface.length, to[i], done, to[i].rows, black);
        }
        if (i == 0) copied = done;
    }
    return copied;
}

bool canDeliverDirect(const SurfacePixelFormat& surface, VideoSubtype subtype, size_t pitch,
                      size_t sampleRowBytes, bool bottomUpRgb) {
    return !bottomUpRgb && pitch != 0 && pitch == sampleRowBytes &&
           surfaceMatchesSubtype(surface, subtype);
}

size_t copyPictureRowBytes(int code, int width, size_t pitch) {
    if (isPlanarCode(baseFormatCode(code)) || width <= 0) return 0;
    return std::min(size_t(width) * size_t(bytesPerPixel(code)), pitch);
}

size_t pluginStride(bool directMode, size_t pitch, int code, int strideWidth) {
    if (directMode) return pitch;
    return size_t(std::max(strideWidth, 0)) * size_t(bytesPerPixel(code));
}

} // namespace nerrorend
