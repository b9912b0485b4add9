// VP9: the vpcC record of MP4 and the uncompressed header that opens a key frame.
#pragma once
#include <cstddef>
#include <cstdint>

namespace tavro {

struct Vp9CodecConfig {
    bool ok = false;
    uint8_t version = 0;
    uint8_t profile = 0;
    uint8_t level = 0; // 10 times the level number, as 31 for 3.1
    uint8_t bitDepth = 0;
    uint8_t chromaSubsampling = 0; // 0/1 4:2:0 vertical/colocated, 2 4:2:2, 3 4:4:4
    bool fullRange = false;
    uint8_t colourPrimaries = 0;
    uint8_t transferCharacteristics = 0;
    uint8_t matrixCoefficients = 0;
    uint16_t initDataSize = 0;
};

// Parses a version-1 vpcC payload: version and flags first, then the fields.
Vp9CodecConfig parseVp9CodecConfig(const uint8_t* data, size_t size);

struct Vp9FrameHeader {
    bool ok = false;       // a key frame whose header reads to its frame size
    bool keyFrame = false; // false also for a frame that shows an earlier one
    uint8_t profile = 0;
    uint8_t bitDepth = 8;
    uint8_t colorSpace = 0; // 7 = RGB
    bool fullRange = false;
    bool subsamplingX = true;
    bool subsamplingY = true;
    uint32_t width = 0;
    uint32_t height = 0;
};

// Reads the uncompressed header at the start of a frame (or superframe).
Vp9FrameHeader parseVp9FrameHeader(const uint8_t* data, size_t size);

} // namespace tavro
