#include "analysis/mpeg_audio_scan.h"

#include <cstdio>

namespace tavro {

void scanMpegAudio(const uint8_t* begin, size_t length, MpegScanState& state) {
    // Only resets the state for now, so every range reads as "not MPEG audio"; the
    // frame scan itself is filled by the MPEG audio scanner work.
    state.reset();
}

MpegAudioSummary describeMpegAudio(const MpegScanState& state) {
    static const char* const kVersions[] = {"MPEG-2", "MPEG-1"};
    static const char* const kLayers[] = {"***", "Layer 3", "Layer 2", "Layer 1"};
    const char* version =
        (state.version == 0 || state.version == 1) ? kVersions[state.version] : "***";
    const char* layer =
        (state.layerCode >= 0 && state.layerCode <= 3) ? kLayers[state.layerCode] : "***";
    MpegAudioSummary summary;
    summary.kind = std::string(version) + " " + layer;
    char text[64];
    if (state.verdict == 1)
        std::snprintf(text, sizeof text, " %d kbps", state.bitrate);
    else if (state.verdict == 2)
        std::snprintf(text, sizeof text, " VBR");
    else
        std::snprintf(text, sizeof text, "(?)");
    summary.rate = text;
    std::snprintf(text, sizeof text, " %d Hz", state.sampleRate);
    summary.rate += text;
    return summary;
}

} // namespace tavro
