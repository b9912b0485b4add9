#include "analysis/codec_config/dts_frame.h"

#include "analysis/codec_config/bit_reader.h"

namespace tavro {

DtsFrameHeader parseDtsFrameHeader(const uint8_t* data, size_t size) {
    static const uint32_t kRates[16] = {0,     8000, 16000, 32000, 0,     0,     11025, 22050,
                                        44100, 0,    0,     12000, 24000, 48000, 0,     0};
    static const uint32_t kBitRates[29] = {
        32000,   56000,   64000,   96000,   112000,  128000,  192000,  224000,  256000,  320000,
        384000,  448000,  512000,  576000,  640000,  768000,  960000,  1024000, 1152000, 1280000,
        1344000, 1408000, 1411200, 1472000, 1536000, 1920000, 2048000, 3072000, 3840000};
    static const uint8_t kChannels[16] = {1, 2, 2, 2, 2, 3, 3, 4, 4, 5, 6, 6, 6, 7, 8, 8};
    DtsFrameHeader h;
    BitReader r(data, size);
    if (r.bits(32) != 0x7FFE8001) return h;
    h.normalFrame = r.flag();
    r.skip(5 + 1); // SHORT, CPF
    const uint32_t blocks = r.bits(7) + 1;
    h.frameBytes = r.bits(14) + 1;
    h.amode = static_cast<uint8_t>(r.bits(6));
    h.sampleRate = kRates[r.bits(4)];
    h.rateIndex = static_cast<uint8_t>(r.bits(5));
    r.skip(10); // fixed bit, DYNF, TIMEF, AUXF, HDCD, EXT_AUDIO_ID, EXT_AUDIO, ASPF
    const uint32_t lff = r.bits(2);
    if (r.overrun() || blocks < 6 || h.frameBytes < 96 || h.sampleRate == 0 || lff == 3) return h;
    h.samplesPerFrame = blocks * 32;
    h.lfe = lff != 0;
    h.channels = h.amode < 16 ? kChannels[h.amode] + (h.lfe ? 1 : 0) : 0;
    h.bitRate = h.rateIndex < 29 ? kBitRates[h.rateIndex] : 0;
    h.ok = true;
    return h;
}

} // namespace tavro
