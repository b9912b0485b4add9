#include "analysis/flac/flac_frame.h"

namespace tavro {

uint8_t flacCrc8(const uint8_t* data, size_t size) {
    uint8_t crc = 0;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int b = 0; b < 8; ++b)
            crc = static_cast<uint8_t>(crc & 0x80 ? (crc << 1) ^ 0x07 : crc << 1);
    }
    return crc;
}

namespace {

// The coded number: a UTF-8-like run of 1 to 7 bytes. False on a malformed run.
bool readCodedNumber(const uint8_t* data, size_t size, size_t& pos, int maxBytes, uint64_t& value) {
    if (pos >= size) return false;
    const uint8_t first = data[pos];
    int extra = 0;
    if (first < 0x80) {
        value = first;
    } else if (first >= 0xC0 && first < 0xE0) {
        extra = 1, value = first & 0x1F;
    } else if (first >= 0xE0 && first < 0xF0) {
        extra = 2, value = first & 0x0F;
    } else if (first >= 0xF0 && first < 0xF8) {
        extra = 3, value = first & 0x07;
    } else if (first >= 0xF8 && first < 0xFC) {
        extra = 4, value = first & 0x03;
    } else if (first >= 0xFC && first < 0xFE) {
        extra = 5, value = first & 0x01;
    } else if (first == 0xFE) {
        extra = 6, value = 0;
    } else {
        return false;
    }
    if (extra + 1 > maxBytes || size - pos - 1 < static_cast<size_t>(extra)) return false;
    ++pos;
    for (int i = 0; i < extra; ++i, ++pos) {
        if ((data[pos] & 0xC0) != 0x80) return false;
        value = value << 6 | (data[pos] & 0x3F);
    }
    return true;
}

const uint32_t kRates[12] = {0,     88200, 176400, 192000, 8000,  16000,
                             22050, 24000, 32000,  44100,  48000, 96000};
const uint32_t kBits[8] = {0, 8, 12, 0, 16, 20, 24, 32};

} // namespace

FlacFrameHeader parseFlacFrameHeader(const uint8_t* data, size_t size) {
    FlacFrameHeader h;
    if (size < 6 || data[0] != 0xFF || (data[1] & 0xFE) != 0xF8) return h;
    h.variableBlockSize = (data[1] & 1) != 0;
    const uint32_t sizeCode = data[2] >> 4, rateCode = data[2] & 0x0F;
    const uint32_t channelCode = data[3] >> 4, bitsCode = (data[3] >> 1) & 7;
    if (sizeCode == 0 || rateCode == 15 || channelCode > 10 || bitsCode == 3 || (data[3] & 1))
        return h;
    size_t pos = 4;
    // Fixed block size streams number frames (31 bits); variable ones number samples (36).
    if (!readCodedNumber(data, size, pos, h.variableBlockSize ? 7 : 6, h.number)) return h;
    if (sizeCode == 1) {
        h.blockSize = 192;
    } else if (sizeCode <= 5) {
        h.blockSize = 576u << (sizeCode - 2);
    } else if (sizeCode == 6) {
        if (pos >= size) return h;
        h.blockSize = data[pos++] + 1u;
    } else if (sizeCode == 7) {
        if (size - pos < 2) return h;
        h.blockSize = (uint32_t(data[pos]) << 8 | data[pos + 1]) + 1u;
        pos += 2;
    } else {
        h.blockSize = 256u << (sizeCode - 8);
    }
    if (rateCode < 12) {
        h.sampleRate = kRates[rateCode];
    } else if (rateCode == 12) {
        if (pos >= size) return h;
        h.sampleRate = data[pos++] * 1000u;
    } else {
        if (size - pos < 2) return h;
        const uint32_t v = uint32_t(data[pos]) << 8 | data[pos + 1];
        h.sampleRate = rateCode == 13 ? v : v * 10u;
        pos += 2;
    }
    h.channels = channelCode < 8 ? channelCode + 1 : 2;
    h.bitsPerSample = kBits[bitsCode];
    if (pos >= size || flacCrc8(data, pos) != data[pos]) return h;
    h.headerBytes = static_cast<uint32_t>(pos + 1);
    h.ok = true;
    return h;
}

} // namespace tavro
