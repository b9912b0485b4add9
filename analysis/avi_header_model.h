// The headers of an AVI (and the WAVE wrapper fields) as the RIFF walk copies them:
// raw little-endian bytes, read back through the accessors below.
#pragma once
#include <array>
#include <cstdint>

#include "analysis/byte_view.h"
#include "analysis/report_sink.h"

namespace tavro {

constexpr int kMaxAudioStreams = 3;

// First 16 bytes of a WAVEFORMAT: tag, channels, rate, bytes/s, block align, bits.
struct WaveFormatBytes {
    std::array<uint8_t, 16> raw{};
    uint16_t formatTag() const { return readLe16(&raw[0]); }
    uint16_t channels() const { return readLe16(&raw[2]); }
    uint32_t samplesPerSec() const { return readLe32(&raw[4]); }
    uint32_t avgBytesPerSec() const { return readLe32(&raw[8]); }
    uint16_t blockAlign() const { return readLe16(&raw[12]); }
    uint16_t bitsPerSample() const { return readLe16(&raw[14]); }
};

struct AviMainHeaderBytes {
    std::array<uint8_t, 56> raw{};
    uint32_t microSecPerFrame() const { return readLe32(&raw[0]); }
    uint32_t totalFrames() const { return readLe32(&raw[16]); }
    uint32_t streams() const { return readLe32(&raw[24]); }
    uint32_t width() const { return readLe32(&raw[32]); }
    uint32_t height() const { return readLe32(&raw[36]); }
};

struct StreamHeaderBytes {
    std::array<uint8_t, 64> raw{};
    const uint8_t* type() const { return &raw[0]; }
    const uint8_t* handler() const { return &raw[4]; }
    uint32_t scale() const { return readLe32(&raw[20]); }
    uint32_t rate() const { return readLe32(&raw[24]); }
    uint32_t length() const { return readLe32(&raw[32]); }
};

struct BitmapInfoBytes {
    std::array<uint8_t, 40> raw{};
    uint32_t width() const { return readLe32(&raw[4]); }
    uint32_t height() const { return readLe32(&raw[8]); }
    uint16_t bitCount() const { return readLe16(&raw[14]); }
    uint32_t compression() const { return readLe32(&raw[16]); }
};

struct AviHeaderModel {
    AviMainHeaderBytes mainHeader;
    uint32_t odmlTotalFrames = 0;
    int32_t segmentNumber = 0;
    uint32_t strlKind = 0;
    // True once a stream header of a kind we keep was seen; a `strf` after any other
    // header (text streams, a second video, a fourth audio) is ignored.
    bool strfWanted = false;
    int32_t videoStreams = 0;
    int32_t audioStreams = 0;
    StreamHeaderBytes videoHeader;
    std::array<StreamHeaderBytes, kMaxAudioStreams> audioHeader{};
    std::array<WaveFormatBytes, kMaxAudioStreams> audioFormat{};
    // Where each audio format's bytes past the first 16 lie in the head (cbSize and
    // the codec's own record, such as AAC's AudioSpecificConfig); length 0 for none.
    std::array<uint32_t, kMaxAudioStreams> audioExtraOffset{};
    std::array<uint32_t, kMaxAudioStreams> audioExtraLength{};
    BitmapInfoBytes videoFormat;
    uint32_t firstInfoChunk = kNoChunk;
    uint32_t largestJunk = kNoChunk;
    uint32_t largestJunkSize = 0;
    int32_t junkTexts = 0;
    int32_t commentRows = 0;
    uint32_t moviSize = 0;
    uint32_t recList = 0;
};

} // namespace tavro
