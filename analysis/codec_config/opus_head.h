// The Opus identification header (OpusHead) of Ogg, Matroska CodecPrivate and the
// extradata MP4 readers rebuild from dOps.
#pragma once
#include <cstddef>
#include <cstdint>

namespace tavro {

struct OpusHead {
    bool ok = false;
    uint8_t version = 0;
    uint8_t channels = 0;
    uint16_t preSkip = 0;         // 48 kHz samples
    uint32_t inputSampleRate = 0; // informational; Opus always decodes at 48 kHz
    int16_t outputGain = 0;       // Q7.8 dB
    uint8_t mappingFamily = 0;
    uint8_t streamCount = 1;
    uint8_t coupledCount = 0;
};

// Parses an OpusHead packet ("OpusHead" first). Checks the version's major part and
// that the channel mapping table is consistent and all there.
OpusHead parseOpusHead(const uint8_t* data, size_t size);

} // namespace tavro
