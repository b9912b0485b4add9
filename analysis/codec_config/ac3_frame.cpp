#include "analysis/codec_config/ac3_frame.h"

#include "analysis/codec_config/bit_reader.h"

namespace tavro {

namespace {

constexpr uint32_t kRates[3] = {48000, 44100, 32000};

// The lfeon bit sits after mix levels that only some acmods carry.
bool readLfeAfterMixLevels(BitReader& r, uint8_t acmod) {
    if ((acmod & 1) && acmod != 1) r.skip(2); // cmixlev
    if (acmod & 4) r.skip(2);                 // surmixlev
    if (acmod == 2) r.skip(2);                // dsurmod
    return r.flag();
}

Ac3FrameHeader parseAc3(const uint8_t* data, size_t size, uint8_t bsid) {
    static const uint16_t kKbps[19] = {32,  40,  48,  56,  64,  80,  96,  112, 128, 160,
                                       192, 224, 256, 320, 384, 448, 512, 576, 640};
    Ac3FrameHeader h;
    BitReader r(data, size);
    r.skip(32); // syncword, crc1
    const uint32_t fscod = r.bits(2);
    const uint32_t frmsizecod = r.bits(6);
    r.skip(5 + 3); // bsid, bsmod
    h.acmod = static_cast<uint8_t>(r.bits(3));
    h.lfe = readLfeAfterMixLevels(r, h.acmod);
    if (r.overrun() || fscod == 3 || frmsizecod > 37) return h;
    const uint32_t kbps = kKbps[frmsizecod / 2];
    uint32_t words = 0;
    if (fscod == 0)
        words = 2 * kbps;
    else if (fscod == 1)
        words = kbps * 320 / 147 + (frmsizecod & 1);
    else
        words = 3 * kbps;
    // bsid 9 and 10 are the half and quarter rate variants.
    const uint32_t shift = bsid > 8 ? bsid - 8 : 0;
    h.bsid = bsid;
    h.sampleRate = kRates[fscod] >> shift;
    h.bitRate = (kbps * 1000) >> shift;
    h.frameBytes = words * 2;
    h.samplesPerFrame = 1536;
    h.channels = ac3ChannelsOfAcmod(h.acmod) + (h.lfe ? 1 : 0);
    h.ok = true;
    return h;
}

Ac3FrameHeader parseEac3(const uint8_t* data, size_t size, uint8_t bsid) {
    static const uint32_t kBlocks[4] = {1, 2, 3, 6};
    Ac3FrameHeader h;
    h.enhanced = true;
    BitReader r(data, size);
    r.skip(16);
    h.streamType = static_cast<uint8_t>(r.bits(2));
    h.substreamId = static_cast<uint8_t>(r.bits(3));
    h.frameBytes = (r.bits(11) + 1) * 2;
    const uint32_t fscod = r.bits(2);
    uint32_t blocks = 6;
    if (fscod == 3) {
        const uint32_t fscod2 = r.bits(2);
        if (fscod2 == 3) return h;
        h.sampleRate = kRates[fscod2] / 2;
    } else {
        blocks = kBlocks[r.bits(2)];
        h.sampleRate = kRates[fscod];
    }
    h.acmod = static_cast<uint8_t>(r.bits(3));
    h.lfe = r.flag();
    if (r.overrun() || h.streamType == 3) return h;
    h.bsid = bsid;
    h.samplesPerFrame = blocks * 256;
    h.bitRate =
        static_cast<uint32_t>(uint64_t{h.frameBytes} * 8 * h.sampleRate / h.samplesPerFrame);
    h.channels = ac3ChannelsOfAcmod(h.acmod) + (h.lfe ? 1 : 0);
    h.ok = true;
    return h;
}

} // namespace

uint32_t ac3ChannelsOfAcmod(uint8_t acmod) {
    static const uint8_t kChannels[8] = {2, 1, 2, 3, 3, 4, 4, 5};
    return acmod < 8 ? kChannels[acmod] : 0;
}

Ac3FrameHeader parseAc3FrameHeader(const uint8_t* data, size_t size) {
    if (size < 6 || data[0] != 0x0B || data[1] != 0x77) return Ac3FrameHeader{};
    const uint8_t bsid = data[5] >> 3;
    if (bsid <= 10) return parseAc3(data, size, bsid);
    if (bsid <= 16) return parseEac3(data, size, bsid);
    return Ac3FrameHeader{};
}

} // namespace tavro
