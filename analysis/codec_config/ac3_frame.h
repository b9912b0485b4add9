// AC-3 and E-AC-3 sync frame headers; bsid tells the two apart.
#pragma once
#include <cstddef>
#include <cstdint>

namespace tavro {

struct Ac3FrameHeader {
    bool ok = false;
    bool enhanced = false; // E-AC-3 (bsid 11..16)
    uint8_t bsid = 0;
    uint8_t acmod = 0;
    bool lfe = false;
    uint32_t channels = 0; // full-bandwidth channels plus the LFE
    uint32_t sampleRate = 0;
    uint32_t frameBytes = 0;
    uint32_t samplesPerFrame = 0;
    uint32_t bitRate = 0; // bits per second: nominal for AC-3, from the frame for E-AC-3
    // E-AC-3 only.
    uint8_t streamType = 0; // 0 independent, 1 dependent, 2 AC-3 converted
    uint8_t substreamId = 0;
};

// Parses the header at the start of `data` (0x0B77 first).
Ac3FrameHeader parseAc3FrameHeader(const uint8_t* data, size_t size);

// Channels of an acmod (dual mono counts 2), without the LFE.
uint32_t ac3ChannelsOfAcmod(uint8_t acmod);

} // namespace tavro
