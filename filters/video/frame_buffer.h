// Row arithmetic of the renderer's frames: planes of a buffer, black fills, the
// copy from a media sample into a surface, and the choice between copy and direct
// delivery.
#pragma once
#include <cstddef>
#include <cstdint>

#include "filters/video/format_code.h"

namespace nerrorend {

// A frame in memory: rows of the first plane `stride` bytes apart; planar
// formats put their chroma planes after it at a half (YV12) or quarter (IF09)
// stride and row count. `length` bounds every access.
struct FrameBuffer {
    uint8_t* data = nullptr;
    size_t length = 0;
    int code = kFormatNone;
    int width = 0; // pixels of picture per row
    int rows = 0;  // rows the layout has (picture + band)
    size_t stride = 0;
};

struct Plane {
    size_t offset = 0;
    size_t stride = 0;
    int rows = 0;
    size_t rowBytes = 0; // picture bytes per row
};

constexpr int kMaxPlanes = 3;
// Fills planes in buffer order (Y, V, U for planar formats); returns their count.
int framePlanes(const FrameBuffer& frame, Plane planes[kMaxPlanes]);
// Bytes the layout spans; 0 when it does not fit in size_t.
size_t frameSpan(const FrameBuffer& frame);

// 32-bit patterns of black for packed formats: Y 16 with chroma 128.
constexpr uint32_t kBlackYuy2 = 0x80108010;
constexpr uint32_t kBlackUyvy = 0x10801080;
uint32_t packedBlack(int code);

// Fills rows [firstRow, firstRow + count) of the picture with black, the matching
// chroma rows too for planar formats; clipped to the layout and the length.
void fillBlackRows(FrameBuffer& frame, int firstRow, int count);

// Copies a sample into a surface. Each plane copies the rows the sample really
// holds (at most the destination's), min(sample stride, surface pitch) bytes of
// each; rows it cannot fill are made black. A bottom-up sample fills its
// `pictureRows` from the last row up. Returns the first-plane rows copied.
int copyFrame(const uint8_t* sample, size_t sampleLength, size_t sampleStride, int sampleRows,
              FrameBuffer& surface, bool bottomUp, int pictureRows);

// Direct delivery hands the decoder the surface memory: only when the rows line
// up byte for byte.
bool canDeliverDirect(const SurfacePixelFormat& surface, VideoSubtype subtype, size_t pitch,
                      size_t sampleRowBytes, bool bottomUpRgb);

// Bytes per row CopyPicture moves: width x bytes per pixel clamped to the pitch;
// 0 for planar formats, which it does not handle.
size_t copyPictureRowBytes(int code, int width, size_t pitch);

// The stride a post-processing plug-in works with: the surface pitch when it is
// handed the surface itself, the packed row otherwise.
size_t pluginStride(bool directMode, size_t pitch, int code, int strideWidth);

} // namespace nerrorend
