#include "filters/dsp/pcm_format.h"

namespace dsp {

bool isHostablePcm(const WaveFields& wave) {
    if (wave.formatTag != 1) return false;
    if (wave.bitsPerSample != 8 && wave.bitsPerSample != 16) return false;
    if (wave.channels == 0 || wave.samplesPerSec == 0) return false;
    return wave.blockAlign == wave.channels * (wave.bitsPerSample / 8);
}

PcmFormat toPcmFormat(const WaveFields& wave) {
    PcmFormat format;
    format.channels = wave.channels;
    format.samplesPerSec = wave.samplesPerSec;
    format.bitsPerSample = wave.bitsPerSample;
    format.blockAlign = wave.blockAlign;
    return format;
}

size_t framesIn(size_t bytes, const PcmFormat& format) {
    unsigned frame = format.frameBytes();
    return frame == 0 ? 0 : bytes / frame;
}

size_t clampFrames(long returned, size_t capacityFrames) {
    if (returned <= 0) return 0;
    size_t frames = static_cast<size_t>(returned);
    return frames < capacityFrames ? frames : capacityFrames;
}

} // namespace dsp
