// The PCM formats a DSP module may be run over, and the sample counts it is given
// and may return. Portable: no Windows headers.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace dsp {

struct PcmFormat {
    unsigned channels = 0;
    unsigned samplesPerSec = 0;
    unsigned bitsPerSample = 0;
    unsigned blockAlign = 0;

    // Bytes of one sample frame (every channel once); 0 for no format.
    unsigned frameBytes() const { return channels * (bitsPerSample / 8); }
};

// The fields of a WAVEFORMATEX as the input pin is offered them.
struct WaveFields {
    uint16_t formatTag = 0;
    uint16_t channels = 0;
    uint32_t samplesPerSec = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
};

// 8- or 16-bit integer PCM with at least one channel, a rate, and a block
// alignment that is exactly one frame (modules step through frames by it).
bool isHostablePcm(const WaveFields& wave);
PcmFormat toPcmFormat(const WaveFields& wave);

// Whole frames in a buffer of this many bytes.
size_t framesIn(size_t bytes, const PcmFormat& format);

// A module's returned frame count, kept between 0 and what the buffer holds.
size_t clampFrames(long returned, size_t capacityFrames);

// A module call: works on 'frames' frames at 'samples' and returns the frames it
// leaves there, up to twice as many.
using ModifyFn = std::function<long(uint8_t* samples, size_t frames)>;

// Runs 'modify' over the whole frames of 'bytes' at 'data', a buffer of
// 'capacity' bytes. When the buffer cannot take twice the frames, the module
// works in 'scratch' and only what fits goes back. Returns the bytes of whole
// frames the buffer now holds (0 to capacity); without frames, 'bytes'.
size_t runModule(uint8_t* data, size_t bytes, size_t capacity, const PcmFormat& format,
                 std::vector<uint8_t>& scratch, const ModifyFn& modify);

} // namespace dsp
