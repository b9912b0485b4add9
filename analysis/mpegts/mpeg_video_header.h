// The MPEG-1/MPEG-2 video sequence header and its MPEG-2 sequence extension: picture
// size, frame rate, aspect, profile and level.
#pragma once
#include <cstddef>
#include <cstdint>

namespace tavro {

struct MpegVideoSequence {
    bool ok = false;
    bool mpeg2 = false; // a sequence extension followed the header
    uint32_t width = 0, height = 0;
    uint8_t aspectCode = 0;
    uint8_t frameRateCode = 0;
    uint32_t frameRateNum = 0, frameRateDen = 0; // 0 when the code is reserved
    uint32_t bitRate = 0;                        // bits per second as declared; 0 unknown
    // MPEG-2 only.
    uint8_t profileAndLevel = 0;
    bool progressive = false;
    uint8_t chromaFormat = 1; // 1 4:2:0, 2 4:2:2, 3 4:4:4
};

// Parses the sequence header at the start of `data` (00 00 01 B3 first) and, when it
// follows, the sequence extension.
MpegVideoSequence parseMpegVideoSequence(const uint8_t* data, size_t size);

// The first sequence header in a stream of start codes; ok=false when none parses.
MpegVideoSequence findMpegVideoSequence(const uint8_t* data, size_t size);

// ffprobe's names: "Main", "High", "Simple", "4:2:2"...; "" when not MPEG-2 or unknown.
const char* mpeg2ProfileName(const MpegVideoSequence& seq);
// "Main", "High", "High 1440", "Low"; "" when unknown.
const char* mpeg2LevelName(const MpegVideoSequence& seq);

} // namespace tavro
