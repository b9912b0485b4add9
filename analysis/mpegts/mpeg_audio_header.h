// One MPEG audio (Layer I-III) frame header: version, layer, rate, channels.
#pragma once
#include <cstddef>
#include <cstdint>

namespace tavro {

struct MpegAudioHeader {
    bool ok = false;
    uint8_t version = 0;  // 1 MPEG-1, 2 MPEG-2, 25 MPEG-2.5
    uint8_t layer = 0;    // 1..3
    uint32_t bitRate = 0; // bits per second; 0 free format
    uint32_t sampleRate = 0;
    uint32_t channels = 0;
    uint32_t frameBytes = 0; // 0 for free format
    uint32_t samplesPerFrame = 0;
};

// Parses the 4-byte header at the start of `data`; reserved values fail.
MpegAudioHeader parseMpegAudioHeader(const uint8_t* data, size_t size);

// The first header in `data` whose frame is followed by another header of the same
// version, layer and rate (or ends the span); ok=false when none is.
MpegAudioHeader findMpegAudioHeader(const uint8_t* data, size_t size);

// "MP1", "MP2", "MP3" by layer; "" when unknown.
const char* mpegAudioLayerName(const MpegAudioHeader& header);

} // namespace tavro
