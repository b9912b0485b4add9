// Reads arbitrary bytes as an Ogg file of Opus, FLAC, Vorbis, Speex, Theora or VP8
// streams. The first 8 input bytes are the file length the reader is told.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "analysis/oggcodec/ogg_codecs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 8) return 0;
    uint64_t claimed = 0;
    for (int i = 0; i < 8; ++i)
        claimed = claimed << 8 | data[i];
    tavro::BufferReader reader(data + 8, size - 8, claimed);
    tavro::OggCodecLimits limits;
    const tavro::MediaStreams m = tavro::readOggCodecs(reader, limits);
    if (m.streams.size() > limits.maxStreams || m.seconds < 0) std::abort();
    return 0;
}
