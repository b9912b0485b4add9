#include "analysis/codec_config/opus_head.h"

#include <cstring>

namespace tavro {

OpusHead parseOpusHead(const uint8_t* data, size_t size) {
    OpusHead h;
    constexpr size_t kFixedBytes = 19;
    if (size < kFixedBytes || std::memcmp(data, "OpusHead", 8) != 0) return h;
    h.version = data[8];
    h.channels = data[9];
    h.preSkip = static_cast<uint16_t>(data[10] | data[11] << 8);
    h.inputSampleRate = static_cast<uint32_t>(data[12]) | static_cast<uint32_t>(data[13]) << 8 |
                        static_cast<uint32_t>(data[14]) << 16 |
                        static_cast<uint32_t>(data[15]) << 24;
    h.outputGain = static_cast<int16_t>(static_cast<uint16_t>(data[16] | data[17] << 8));
    h.mappingFamily = data[18];
    // A higher major version is a format this reader does not know.
    if ((h.version >> 4) != 0 || h.channels == 0) return h;
    if (h.mappingFamily == 0) {
        if (h.channels > 2) return h;
        h.coupledCount = h.channels == 2 ? 1 : 0;
        h.ok = true;
        return h;
    }
    if (size - kFixedBytes < 2u + h.channels) return h;
    h.streamCount = data[19];
    h.coupledCount = data[20];
    const unsigned decoded = unsigned{h.streamCount} + h.coupledCount;
    if (h.streamCount == 0 || h.coupledCount > h.streamCount || decoded > 255) return h;
    for (unsigned i = 0; i < h.channels; ++i) {
        const uint8_t index = data[21 + i];
        if (index != 255 && index >= decoded) return h;
    }
    h.ok = true;
    return h;
}

} // namespace tavro
