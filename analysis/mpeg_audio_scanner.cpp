#include "analysis/mpeg_audio_scanner.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "analysis/wide_scan.h"
#include "common/fourcc_text.h"

namespace tavro {
namespace {

// kbps by [version][layer code][bitrate index]; version 0 = MPEG-2, 1 = MPEG-1;
// layer code 1 = Layer III, 2 = Layer II, 3 = Layer I. Index 0 and 15 are invalid.
constexpr uint16_t kBitrates[2][4][16] = {
    {{0},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0}},
    {{0},
     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},
     {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0}},
};

// The reserved sampling index 3 is accepted and read as 50000 Hz, so a stream
// using it is still counted rather than dropped.
constexpr uint32_t kSampleRates[2][4] = {{22050, 24000, 16000, 50000},
                                         {44100, 48000, 32000, 50000}};

constexpr const char* kVersionText[2] = {"MPEG-2", "MPEG-1"};
constexpr const char* kLayerText[4] = {"***", "Layer 3", "Layer 2", "Layer 1"};

struct FrameHeader {
    int version;
    int layerCode;
    uint32_t bitrate;
    uint32_t sampleRate;
    uint32_t length;
    uint32_t samples;
};

// Decodes the three header bytes at h; false for free format, bad bitrate index
// or the reserved layer, which the scanner skips like any non-header byte.
bool decodeHeader(const uint8_t* h, FrameHeader& out) {
    out.version = (h[1] >> 3) & 1;
    out.layerCode = (h[1] >> 1) & 3;
    const int bitrateIndex = h[2] >> 4;
    const int rateIndex = (h[2] >> 2) & 3;
    const uint32_t padding = (h[2] >> 1) & 1;
    if (out.layerCode == 0 || bitrateIndex == 0 || bitrateIndex == 15) return false;
    out.bitrate = kBitrates[out.version][out.layerCode][bitrateIndex];
    out.sampleRate = kSampleRates[out.version][rateIndex];
    if (out.bitrate == 0 || out.sampleRate == 0) return false;
    if (out.layerCode == 3) {
        out.length = (12000 * out.bitrate / out.sampleRate + padding) * 4;
        out.samples = 384;
    } else if (out.layerCode == 1 && out.version == 0) {
        out.length = 72000 * out.bitrate / out.sampleRate + padding;
        out.samples = 576;
    } else {
        out.length = 144000 * out.bitrate / out.sampleRate + padding;
        out.samples = 1152;
    }
    return out.length > 0;
}

// The shortest frame any valid header describes; a scan can count at most one frame
// per this many bytes left.
constexpr uint32_t shortestFrame() {
    uint32_t shortest = UINT32_MAX;
    for (int version = 0; version < 2; ++version)
        for (int layerCode = 1; layerCode < 4; ++layerCode)
            for (int index = 1; index < 15; ++index)
                for (uint32_t rate : kSampleRates[version]) {
                    const uint32_t kbps = kBitrates[version][layerCode][index];
                    if (kbps == 0) continue;
                    const uint32_t length = layerCode == 3 ? 12000 * kbps / rate * 4
                                            : layerCode == 1 && version == 0 ? 72000 * kbps / rate
                                                                             : 144000 * kbps / rate;
                    if (length > 0 && length < shortest) shortest = length;
                }
    return shortest;
}
constexpr uint32_t kShortestFrame = shortestFrame();
static_assert(kShortestFrame >= 1, "a frame moves the scan on");

// Looks for a VBRI or Xing header at byte 36 only (after a 4-byte MPEG-1 header and
// 32 bytes of stereo side information); a LAME tag follows a full Xing header at 156.
bool readVbrTag(const uint8_t* begin, size_t size, char* encoder, size_t encoderSize) {
    const size_t tagAt = 36;
    const size_t lameAt = 156;
    if (size < tagAt + 4) return false;
    if (startsWithNoCase(begin + tagAt, 4, "VBRI")) {
        std::snprintf(encoder, encoderSize, "%s", "Frau");
        return true;
    }
    if (!startsWithNoCase(begin + tagAt, 4, "XING")) return false;
    if (size >= lameAt + 4 && std::memcmp(begin + lameAt, "LAME", 4) == 0) {
        // The version text is followed by binary tag fields: keep printable bytes only.
        size_t n = 0;
        while (n + 1 < encoderSize && lameAt + n < size) {
            const uint8_t c = begin[lameAt + n];
            if (c <= ' ' || c >= 0x7F) break;
            encoder[n++] = static_cast<char>(c);
        }
        encoder[n] = '\0';
    }
    return true;
}

// Length of a well-formed ID3v2 tag at the range start, else 0. Its text frames
// often hold a UTF-16 byte order mark (FF FE), which reads as a valid Layer I
// header and would set the stream's kind and rate; the walk starts after it.
size_t id3v2Length(const uint8_t* begin, size_t size) {
    if (size < 10 || std::memcmp(begin, "ID3", 3) != 0 || begin[3] == 0xFF || begin[4] == 0xFF)
        return 0;
    size_t length = 0;
    for (int i = 6; i < 10; ++i) {
        if (begin[i] & 0x80) return 0;
        length = length << 7 | begin[i];
    }
    length += (begin[5] & 0x10) ? 20 : 10; // header, and the footer when flagged
    return length < size ? length : size;
}

} // namespace

void resetMpegScan(MpegScanState& state) {
    uint32_t* table = state.frameTable;
    size_t dirty = kMpegFrameTableSize;
    if (table == state.zeroedTable && state.tableCount >= 0 &&
        state.tableCount < kMpegFrameTableSize)
        dirty = size_t(state.tableCount) + 1;
    state = MpegScanState{};
    state.frameTable = table;
    state.zeroedTable = table;
    if (table) std::memset(table, 0, sizeof(uint32_t) * dirty);
}

void scanMpegAudio(const uint8_t* begin, const uint8_t* end, MpegScanState& state,
                   bool stopWhenNone) {
    resetMpegScan(state);
    const size_t size = (begin && end > begin) ? static_cast<size_t>(end - begin) : 0;
    const bool vbrTag = readVbrTag(begin, size, state.encoder, sizeof state.encoder);

    bool havePrevious = false;
    FrameHeader previous{};
    int bitrateChanges = 0;
    size_t pos = id3v2Length(begin, size);
    while (pos < size) {
        // Only a sync (0xFF and a byte with its top bits set) can start a header; skip
        // to one in one go, each skipped byte being a position that started no frame.
        const size_t next = findMpegSync(begin, pos, size);
        if (state.frameCount > 0) state.strayBytes += static_cast<int32_t>(next - pos);
        pos = next;
        if (pos >= size) break;
        // Stray bytes only grow, so once even a frame in every shortest-frame step of
        // what is left would stay under the threshold, the verdict is settled.
        if (stopWhenNone && !vbrTag && state.frameCount > 0) {
            const int64_t reachable = int64_t(state.frameCount) + (size - pos) / kShortestFrame + 1;
            const int64_t threshold = std::max<int64_t>(16, state.strayBytes / 2);
            if (reachable < threshold) break;
        }

        FrameHeader h;
        // A header needs three bytes inside the range; one at the very end is no header.
        if (size - pos >= 3 && (begin[pos + 1] & 0xF0) == 0xF0 && decodeHeader(begin + pos, h)) {
            if (havePrevious && previous.bitrate != h.bitrate) ++bitrateChanges;
            bool counted = false;
            if (!havePrevious) {
                state.version = h.version;
                state.layerCode = h.layerCode;
                state.bitrate = static_cast<int32_t>(h.bitrate);
                state.sampleRate = static_cast<int32_t>(h.sampleRate);
                state.firstFrame = begin + pos;
                state.frameDuration = static_cast<double>(h.samples) / h.sampleRate;
                counted = true;
            } else {
                counted = h.sampleRate == previous.sampleRate &&
                          h.layerCode == previous.layerCode && h.version == previous.version;
            }
            previous = h;
            havePrevious = true;
            if (counted) {
                ++state.frameCount;
                state.playTime += state.frameDuration;
                const uint64_t frameEnd = static_cast<uint64_t>(pos) + h.length;
                if (state.frameTable && state.frameCount < kMpegFrameTableSize) {
                    state.frameTable[state.frameCount] = static_cast<uint32_t>(frameEnd);
                    state.tableCount = state.frameCount;
                }
                pos = frameEnd < size ? static_cast<size_t>(frameEnd) : size;
                continue;
            }
        }
        if (state.frameCount > 0) ++state.strayBytes;
        ++pos;
    }

    if (vbrTag) {
        state.verdict = kMpegVbr;
        return;
    }
    int32_t threshold = state.strayBytes / 2;
    if (threshold < 16) threshold = 16;
    if (state.frameCount < threshold)
        state.verdict = kMpegNone;
    else
        state.verdict = bitrateChanges > 0 ? kMpegVbr : kMpegCbr;
}

void describeMpegAudio(const MpegScanState& state, char* kind, size_t kindSize, char* rate,
                       size_t rateSize) {
    // A tag without a counted frame leaves version 3; it must not index the table.
    const char* version =
        (state.version == 0 || state.version == 1) ? kVersionText[state.version] : "MPEG-?";
    const char* layer = (state.layerCode >= 0 && state.layerCode <= 3) ? kLayerText[state.layerCode]
                                                                       : kLayerText[0];
    if (kind && kindSize > 0) std::snprintf(kind, kindSize, "%s %s", version, layer);
    if (!rate || rateSize == 0) return;
    char mode[24];
    if (state.verdict == kMpegCbr)
        std::snprintf(mode, sizeof mode, " %d kbps", state.bitrate);
    else if (state.verdict == kMpegVbr)
        std::snprintf(mode, sizeof mode, " VBR");
    else
        std::snprintf(mode, sizeof mode, "(?)");
    std::snprintf(rate, rateSize, "%s %d Hz", mode, state.sampleRate);
}

} // namespace tavro
