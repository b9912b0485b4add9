#include "analysis/codec_config/aac_config.h"

#include "analysis/codec_config/bit_reader.h"

namespace tavro {

namespace {

constexpr uint32_t kSbr = 5;
constexpr uint32_t kPs = 29;
constexpr uint32_t kErBsac = 22;

uint32_t readObjectType(BitReader& r) {
    const uint32_t type = r.bits(5);
    return type == 31 ? 32 + r.bits(6) : type;
}

uint32_t readFrequency(BitReader& r) {
    const uint32_t index = r.bits(4);
    return index == 15 ? r.bits(24) : aacSampleRate(index);
}

// The object types that carry a GASpecificConfig.
bool isGeneralAudio(uint32_t type) {
    switch (type) {
    case 1:
    case 2:
    case 3:
    case 4:
    case 6:
    case 7:
    case 17:
    case 19:
    case 20:
    case 21:
    case 22:
    case 23:
        return true;
    default:
        return false;
    }
}

// A program_config_element: only its channel count matters; the rest is stepped over.
uint32_t readProgramConfigChannels(BitReader& r) {
    r.skip(4 + 2 + 4); // element_instance_tag, object_type, sampling_frequency_index
    const uint32_t front = r.bits(4), side = r.bits(4), back = r.bits(4);
    const uint32_t lfe = r.bits(2), assoc = r.bits(3), cc = r.bits(4);
    if (r.flag()) r.skip(4); // mono mixdown
    if (r.flag()) r.skip(4); // stereo mixdown
    if (r.flag()) r.skip(3); // matrix mixdown
    uint32_t channels = lfe;
    for (uint32_t i = 0; i < front + side + back; ++i) {
        channels += r.flag() ? 2 : 1;
        r.skip(4);
    }
    r.skip(4 * uint64_t{lfe + assoc} + 5 * uint64_t{cc});
    r.byteAlign();
    r.skip(8 * uint64_t{r.bits(8)}); // comment field
    return channels;
}

bool readGeneralAudioConfig(BitReader& r, uint32_t type, AacConfig& c) {
    c.frameLength960 = r.flag();
    if (r.flag()) r.skip(14); // core coder delay
    const bool extension = r.flag();
    if (c.channelConfig == 0) c.channels = readProgramConfigChannels(r);
    if (type == 6 || type == 20) r.skip(3); // layerNr
    if (extension) {
        if (type == kErBsac) r.skip(5 + 11);
        if (type == 17 || type == 19 || type == 20 || type == 23) r.skip(3);
        r.skip(1); // extensionFlag3
    }
    return !r.overrun();
}

// The backward-compatible signalling after the core config: 0x2b7 then SBR (and
// 0x548 then PS) for decoders that understand it.
void readSyncExtension(BitReader& r, AacConfig& c) {
    if (r.bitsLeft() < 16 || r.bits(11) != 0x2B7) return;
    const uint32_t extType = readObjectType(r);
    if (extType != kSbr) return;
    const bool sbr = r.flag();
    if (!sbr) return;
    const uint32_t rate = readFrequency(r);
    bool ps = false;
    if (r.bitsLeft() >= 12 && r.bits(11) == 0x548) ps = r.flag();
    if (r.overrun()) return;
    c.sbr = true;
    c.ps = ps;
    c.syncExtension = true;
    c.outputSampleRate = rate;
}

} // namespace

uint32_t aacSampleRate(uint32_t index) {
    static const uint32_t kRates[13] = {96000, 88200, 64000, 48000, 44100, 32000, 24000,
                                        22050, 16000, 12000, 11025, 8000,  7350};
    return index < 13 ? kRates[index] : 0;
}

AacConfig parseAacConfig(const uint8_t* data, size_t size) {
    AacConfig c;
    BitReader r(data, size);
    uint32_t type = readObjectType(r);
    c.sampleRate = readFrequency(r);
    c.channelConfig = static_cast<uint8_t>(r.bits(4));
    if (type == kSbr || type == kPs) {
        c.sbr = c.sbrExplicit = true;
        c.ps = type == kPs;
        c.outputSampleRate = readFrequency(r);
        type = readObjectType(r);
        if (type == kErBsac) r.skip(4); // extensionChannelConfiguration
    }
    if (r.overrun() || type == 0 || c.sampleRate == 0 || c.channelConfig > 14) return c;
    c.objectType = static_cast<uint8_t>(type > 255 ? 255 : type);
    static const uint8_t kChannels[15] = {0, 1, 2, 3, 4, 5, 6, 8, 2, 3, 4, 7, 8, 24, 8};
    c.channels = kChannels[c.channelConfig];
    if (isGeneralAudio(type)) {
        if (!readGeneralAudioConfig(r, type, c)) return c;
        // Error-resilient types carry an epConfig; the sync extension never follows them.
        if (type < 17 && !c.sbrExplicit) readSyncExtension(r, c);
    }
    if (!c.sbr) c.outputSampleRate = c.sampleRate;
    c.ok = c.outputSampleRate != 0;
    return c;
}

const char* aacProfileName(const AacConfig& c) {
    if (c.ps) return "HE-AACv2";
    if (c.sbr) return "HE-AAC";
    switch (c.objectType) {
    case 1:
        return "Main";
    case 2:
        return "LC";
    case 3:
        return "SSR";
    case 4:
        return "LTP";
    case 23:
        return "LD";
    case 39:
        return "ELD";
    default:
        return "AAC";
    }
}

AdtsHeader parseAdtsHeader(const uint8_t* data, size_t size) {
    AdtsHeader h;
    if (size < 7) return h;
    BitReader r(data, size);
    if (r.bits(12) != 0xFFF) return h;
    h.mpeg2 = r.flag();
    if (r.bits(2) != 0) return h; // layer
    h.crc = !r.flag();
    h.objectType = static_cast<uint8_t>(r.bits(2) + 1);
    h.frequencyIndex = static_cast<uint8_t>(r.bits(4));
    r.skip(1); // private_bit
    h.channelConfig = static_cast<uint8_t>(r.bits(3));
    r.skip(4); // original/copy, home, copyright bits
    h.frameLength = r.bits(13);
    h.bufferFullness = r.bits(11);
    h.rawDataBlocks = static_cast<uint8_t>(r.bits(2) + 1);
    h.sampleRate = aacSampleRate(h.frequencyIndex);
    const uint32_t headerBytes = h.crc ? 9 : 7;
    if (h.sampleRate == 0 || h.frameLength < headerBytes || size < headerBytes) return h;
    h.ok = true;
    return h;
}

} // namespace tavro
