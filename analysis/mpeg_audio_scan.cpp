#include "analysis/mpeg_audio_scan.h"

namespace tavro {

MpegAudioSummary describeMpegAudio(const MpegScanState& state) {
    char kind[64] = {}, rate[64] = {};
    describeMpegAudio(state, kind, sizeof kind, rate, sizeof rate);
    return MpegAudioSummary{kind, rate};
}

} // namespace tavro
