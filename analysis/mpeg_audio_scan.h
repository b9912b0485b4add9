// The MPEG audio scan as the rest of the analysis calls it: over a byte count, and
// with its summary texts as strings.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "analysis/mpeg_audio_scanner.h"

namespace tavro {

inline void scanMpegAudio(const uint8_t* begin, size_t length, MpegScanState& state,
                          bool stopWhenNone = false) {
    scanMpegAudio(begin, begin + length, state, stopWhenNone);
}

struct MpegAudioSummary {
    std::string kind; // "MPEG-1 Layer 3"
    std::string rate; // " 128 kbps 44100 Hz"
};
MpegAudioSummary describeMpegAudio(const MpegScanState& state);

} // namespace tavro
