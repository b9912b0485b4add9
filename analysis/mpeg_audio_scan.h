// MPEG audio frame scanning over a byte range, and the summary texts of a scan.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "analysis/mpeg_scan_state.h"

namespace tavro {

void scanMpegAudio(const uint8_t* begin, size_t length, MpegScanState& state);

struct MpegAudioSummary {
    std::string kind; // "MPEG-1 Layer 3"
    std::string rate; // " 128 kbps 44100 Hz"
};
MpegAudioSummary describeMpegAudio(const MpegScanState& state);

} // namespace tavro
