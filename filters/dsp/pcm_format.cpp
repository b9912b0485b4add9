#include "filters/dsp/pcm_format.h"

#include <cstring>

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

size_t runModule(uint8_t* data, size_t bytes, size_t capacity, const PcmFormat& format,
                 std::vector<uint8_t>& scratch, const ModifyFn& modify) {
    size_t frameBytes = format.frameBytes();
    size_t frames = framesIn(bytes, format);
    if (!data || frames == 0) return bytes;
    size_t used = frames * frameBytes;
    size_t capacityFrames = framesIn(capacity, format);
    uint8_t* work = data;
    if (capacityFrames / 2 < frames) {
        if (scratch.size() < 2 * used) scratch.resize(2 * used);
        std::memcpy(scratch.data(), data, used);
        work = scratch.data();
    }
    size_t kept = clampFrames(modify(work, frames), capacityFrames);
    if (work != data) std::memcpy(data, work, kept * frameBytes);
    return kept * frameBytes;
}

} // namespace dsp
