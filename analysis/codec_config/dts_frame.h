// The DTS core frame header (16-bit big-endian words, sync 0x7FFE8001).
#pragma once
#include <cstddef>
#include <cstdint>

namespace tavro {

struct DtsFrameHeader {
    bool ok = false;
    bool normalFrame = true; // FTYPE; a termination frame is short
    uint32_t samplesPerFrame = 0;
    uint32_t frameBytes = 0;
    uint8_t amode = 0;
    uint32_t channels = 0; // AMODE's channels plus the LFE; 0 for user-defined modes
    uint32_t sampleRate = 0;
    uint8_t rateIndex = 0;
    uint32_t bitRate = 0; // bits per second; 0 for open, variable and lossless
    bool lfe = false;
};

// Parses the header at the start of `data`.
DtsFrameHeader parseDtsFrameHeader(const uint8_t* data, size_t size);

} // namespace tavro
