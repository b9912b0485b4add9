#include "analysis/mpegts/mpeg_audio_header.h"

namespace tavro {

namespace {

// kbps by [MPEG-1 ? 0 : 1][layer - 1][index]; index 0 (free) and 15 (bad) handled apart.
constexpr uint16_t kBitRates[2][3][15] = {
    {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}},
    {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}},
};
constexpr uint32_t kRates[3] = {44100, 48000, 32000};

} // namespace

MpegAudioHeader parseMpegAudioHeader(const uint8_t* d, size_t size) {
    MpegAudioHeader h;
    if (size < 4 || d[0] != 0xFF || (d[1] & 0xE0) != 0xE0) return h;
    const uint32_t versionBits = (d[1] >> 3) & 3, layerBits = (d[1] >> 1) & 3;
    const uint32_t rateIndex = d[2] >> 4, freqIndex = (d[2] >> 2) & 3;
    if (versionBits == 1 || layerBits == 0 || rateIndex == 15 || freqIndex == 3) return h;
    h.version = versionBits == 3 ? 1 : versionBits == 2 ? 2 : 25;
    h.layer = static_cast<uint8_t>(4 - layerBits);
    const bool mpeg1 = h.version == 1;
    h.sampleRate = kRates[freqIndex] >> (mpeg1 ? 0 : h.version == 2 ? 1 : 2);
    h.bitRate = kBitRates[mpeg1 ? 0 : 1][h.layer - 1][rateIndex] * 1000u;
    h.channels = (d[3] >> 6) == 3 ? 1 : 2;
    h.samplesPerFrame = h.layer == 1 ? 384 : (h.layer == 3 && !mpeg1) ? 576 : 1152;
    const uint32_t padding = (d[2] >> 1) & 1;
    if (h.bitRate) {
        if (h.layer == 1)
            h.frameBytes = (12 * h.bitRate / h.sampleRate + padding) * 4;
        else
            h.frameBytes = h.samplesPerFrame / 8 * h.bitRate / h.sampleRate + padding;
    }
    h.ok = true;
    return h;
}

MpegAudioHeader findMpegAudioHeader(const uint8_t* data, size_t size) {
    for (size_t i = 0; size >= 4 && i <= size - 4; ++i) {
        if (data[i] != 0xFF) continue;
        const MpegAudioHeader h = parseMpegAudioHeader(data + i, size - i);
        if (!h.ok || h.frameBytes == 0) continue;
        // A lone match in arbitrary bytes is likely; ask for the next frame to agree.
        const size_t left = size - i;
        if (h.frameBytes >= left) {
            if (i == 0) return h;
            continue;
        }
        const MpegAudioHeader next =
            parseMpegAudioHeader(data + i + h.frameBytes, left - h.frameBytes);
        if (next.ok && next.version == h.version && next.layer == h.layer &&
            next.sampleRate == h.sampleRate)
            return h;
    }
    return MpegAudioHeader{};
}

const char* mpegAudioLayerName(const MpegAudioHeader& header) {
    switch (header.layer) {
    case 1:
        return "MP1";
    case 2:
        return "MP2";
    case 3:
        return "MP3";
    }
    return "";
}

} // namespace tavro
