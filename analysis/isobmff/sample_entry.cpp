#include "analysis/isobmff/sample_entry.h"

#include <cstring>
#include <vector>

#include "analysis/codec_config/ac3_frame.h"
#include "analysis/codec_config/bit_reader.h"
#include "analysis/isobmff/box_header.h"

namespace tavro {

namespace {

// Entries and children are few in real files; more is garbage.
constexpr size_t kMaxEntries = 64;
constexpr size_t kMaxChildren = 64;

struct CodecName {
    const char* entry;
    const char* codec;
};

constexpr CodecName kCodecs[] = {
    {"avc1", "AVC"},
    {"avc3", "AVC"},
    {"hvc1", "HEVC"},
    {"hev1", "HEVC"},
    {"av01", "AV1"},
    {"vp08", "VP8"},
    {"vp09", "VP9"},
    {"mp4v", "MPEG-4 Visual"},
    {"mp4a", "AAC"},
    {"Opus", "Opus"},
    {"ac-3", "AC-3"},
    {"ec-3", "E-AC-3"},
    {"fLaC", "FLAC"},
    {"alac", "ALAC"},
    {".mp3", "MPEG Audio"},
    {"ipcm", "PCM"},
    {"lpcm", "PCM"},
    {"sowt", "PCM"},
    {"twos", "PCM"},
    {"in24", "PCM"},
    {"in32", "PCM"},
    {"fl32", "PCM"},
    {"fl64", "PCM"},
    {"raw ", "PCM"},
    {"tx3g", "Timed Text"},
    {"wvtt", "WebVTT"},
    {"stpp", "TTML"},
    {"c608", "EIA-608"},
    {"jpeg", "JPEG"},
    {"mjpa", "JPEG"},
    {"apcn", "ProRes"},
    {"apch", "ProRes"},
    {"s263", "H.263"},
    {"samr", "AMR"},
    {"sawb", "AMR-WB"},
    {"dtsc", "DTS"},
    {"mha1", "MPEG-H 3D Audio"},
    {"mp4s", "MPEG-4 Systems"},
};

bool isVisualEntry(uint32_t t) {
    for (const char* v : {"avc1", "avc3", "hvc1", "hev1", "av01", "vp08", "vp09", "mp4v", "jpeg",
                          "mjpa", "apcn", "apch", "s263"})
        if (t == fourCCOf(v)) return true;
    return false;
}

uint32_t be32At(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
           static_cast<uint32_t>(p[2]) << 8 | p[3];
}

// The length of an MPEG-4 descriptor: up to four bytes of seven bits each.
bool readDescriptorHeader(BeCursor& c, uint8_t& tag, size_t& length) {
    tag = c.u8();
    length = 0;
    for (int i = 0; i < 4; ++i) {
        const uint8_t b = c.u8();
        length = length << 7 | (b & 0x7f);
        if (!(b & 0x80)) break;
    }
    return !c.overrun() && length <= c.left();
}

void readDecoderConfig(BeCursor c, IsoTrack& t) {
    t.objectType = c.u8();
    c.skip(4); // stream type, buffer size
    t.maxBitrate = c.u32();
    t.avgBitrate = c.u32();
    if (c.overrun()) return;
    uint8_t tag = 0;
    size_t length = 0;
    if (!readDescriptorHeader(c, tag, length) || tag != 5) return;
    const uint8_t* info = c.take(length);
    const uint8_t oti = t.objectType;
    if (oti == 0x40 || (oti >= 0x66 && oti <= 0x68)) {
        t.codec = "AAC";
        t.aac = parseAacConfig(info, length);
        if (!t.aac.ok) return;
        t.profile = aacProfileName(t.aac);
        t.sampleRate = t.aac.outputSampleRate ? t.aac.outputSampleRate : t.aac.sampleRate;
        if (t.aac.channels) t.channels = t.aac.channels;
    }
}

void readEsds(const uint8_t* p, size_t size, IsoTrack& t) {
    BeCursor c(p, size);
    c.skip(4); // version, flags
    uint8_t tag = 0;
    size_t length = 0;
    if (!readDescriptorHeader(c, tag, length) || tag != 3) return;
    BeCursor es(c.take(length), length);
    es.skip(2); // ES_ID
    const uint8_t flags = es.u8();
    if (flags & 0x80) es.skip(2);
    if (flags & 0x40) es.skip(es.u8());
    if (flags & 0x20) es.skip(2);
    while (!es.overrun() && es.left() >= 2) {
        if (!readDescriptorHeader(es, tag, length)) return;
        const uint8_t* body = es.take(length);
        if (tag == 4) {
            readDecoderConfig(BeCursor(body, length), t);
            break;
        }
    }
    switch (t.objectType) {
    case 0x69:
    case 0x6B:
        t.codec = "MPEG Audio";
        break;
    case 0x20:
        t.codec = "MPEG-4 Visual";
        break;
    case 0x21:
        t.codec = "AVC";
        break;
    case 0xA5:
        t.codec = "AC-3";
        break;
    case 0xA6:
        t.codec = "E-AC-3";
        break;
    case 0xAD:
        t.codec = "Opus";
        break;
    default:
        break;
    }
}

uint32_t ac3Rate(uint32_t fscod) {
    static const uint32_t rates[] = {48000, 44100, 32000};
    return fscod < 3 ? rates[fscod] : 0;
}

void readDac3(const uint8_t* p, size_t size, IsoTrack& t) {
    static const uint16_t kbps[] = {32,  40,  48,  56,  64,  80,  96,  112, 128, 160,
                                    192, 224, 256, 320, 384, 448, 512, 576, 640};
    BitReader r(p, size);
    const uint32_t fscod = r.bits(2);
    r.skip(5 + 3); // bsid, bsmod
    const uint32_t acmod = r.bits(3);
    const uint32_t lfe = r.bits(1);
    const uint32_t rateCode = r.bits(5);
    if (r.overrun()) return;
    t.sampleRate = ac3Rate(fscod);
    t.channels = ac3ChannelsOfAcmod(static_cast<uint8_t>(acmod)) + lfe;
    if (rateCode < sizeof kbps / sizeof kbps[0]) t.avgBitrate = kbps[rateCode] * 1000u;
}

void readDec3(const uint8_t* p, size_t size, IsoTrack& t) {
    BitReader r(p, size);
    const uint32_t rate = r.bits(13);
    r.skip(3); // independent substreams - 1; the first one describes the main programme
    const uint32_t fscod = r.bits(2);
    r.skip(5 + 1 + 1 + 3); // bsid, reserved, asvc, bsmod
    const uint32_t acmod = r.bits(3);
    const uint32_t lfe = r.bits(1);
    if (r.overrun()) return;
    t.sampleRate = ac3Rate(fscod);
    t.channels = ac3ChannelsOfAcmod(static_cast<uint8_t>(acmod)) + lfe;
    t.avgBitrate = rate * 1000u;
}

void readAlacConfig(const uint8_t* p, size_t size, IsoTrack& t) {
    BeCursor c(p, size);
    c.skip(4 + 4 + 1); // version and flags, frame length, compatible version
    const uint8_t depth = c.u8();
    c.skip(3); // rice parameters
    const uint8_t channels = c.u8();
    c.skip(2 + 4); // max run, max frame bytes
    const uint32_t avg = c.u32();
    const uint32_t rate = c.u32();
    if (c.overrun()) return;
    t.bitDepth = depth, t.channels = channels, t.sampleRate = rate, t.avgBitrate = avg;
}

void readDfla(const uint8_t* p, size_t size, IsoTrack& t) {
    BeCursor c(p, size);
    c.skip(4);
    const uint32_t blockHeader = c.u32();
    if (c.overrun() || (blockHeader >> 24 & 0x7f) != 0 || (blockHeader & 0xffffff) < 18) return;
    const uint8_t* info = c.take(18);
    if (!info) return;
    BitReader r(info + 10, 8);
    t.sampleRate = r.bits(20);
    t.channels = r.bits(3) + 1;
    t.bitDepth = r.bits(5) + 1;
}

// dOps is OpusHead's fields big-endian; the codec library reads the Ogg form.
void readDops(const uint8_t* p, size_t size, IsoTrack& t) {
    if (size < 11) return;
    std::vector<uint8_t> head(8 + 11 + (size - 11));
    std::memcpy(head.data(), "OpusHead", 8);
    uint8_t* h = head.data() + 8;
    h[0] = 1; // the Ogg header's version; dOps counts its own from 0
    h[1] = p[1];
    h[2] = p[3], h[3] = p[2];
    h[4] = p[7], h[5] = p[6], h[6] = p[5], h[7] = p[4];
    h[8] = p[9], h[9] = p[8];
    h[10] = p[10];
    if (size > 11) std::memcpy(h + 11, p + 11, size - 11);
    t.opus = parseOpusHead(head.data(), head.size());
    if (!t.opus.ok) return;
    t.channels = t.opus.channels;
    t.sampleRate = 48000; // Opus decodes at 48 kHz whatever the input rate was
}

void readVideoConfig(uint32_t type, const uint8_t* p, size_t size, IsoTrack& t) {
    if (type == fourCC("avcC")) {
        t.avc = parseAvcConfig(p, size);
        if (!t.avc.ok) return;
        t.profile = h264ProfileName(t.avc.profileIndication, t.avc.profileCompatibility);
        t.level = t.avc.levelIndication;
        if (t.avc.sps.ok) {
            t.bitDepth = t.avc.sps.bitDepthLuma;
            t.chromaFormat = t.avc.sps.chromaFormatIdc;
        }
    } else if (type == fourCC("hvcC")) {
        t.hevc = parseHevcConfig(p, size);
        if (!t.hevc.ok) return;
        t.profile = hevcProfileName(t.hevc.ptl);
        t.level = t.hevc.ptl.levelIdc;
        t.bitDepth = t.hevc.bitDepthLuma;
        t.chromaFormat = t.hevc.chromaFormatIdc;
    } else if (type == fourCC("av1C")) {
        t.av1 = parseAv1Config(p, size);
        if (!t.av1.ok) return;
        t.profile = av1ProfileName(t.av1.profile);
        t.level = t.av1.level;
        t.bitDepth = t.av1.bitDepth;
        t.chromaFormat = t.av1.monochrome                           ? 0
                         : t.av1.subsamplingX && t.av1.subsamplingY ? 1
                         : t.av1.subsamplingX                       ? 2
                                                                    : 3;
    } else if (type == fourCC("vpcC")) {
        t.vp9 = parseVp9CodecConfig(p, size);
        if (!t.vp9.ok) return;
        t.profile = "Profile " + std::to_string(t.vp9.profile);
        t.level = t.vp9.level;
        t.bitDepth = t.vp9.bitDepth;
        t.chromaFormat = t.vp9.chromaSubsampling <= 1 ? 1u : t.vp9.chromaSubsampling;
    }
}

void readChildren(const uint8_t* p, size_t size, IsoTrack& t, bool insideWave) {
    forEachBox(p, size, kMaxChildren, [&](const BoxSpan& b) {
        const uint32_t type = b.header.type;
        const uint8_t* q = b.payload;
        const size_t n = b.payloadSize;
        if (type == fourCC("esds"))
            readEsds(q, n, t);
        else if (type == fourCC("dOps"))
            readDops(q, n, t);
        else if (type == fourCC("dac3"))
            readDac3(q, n, t);
        else if (type == fourCC("dec3"))
            readDec3(q, n, t);
        else if (type == fourCC("alac"))
            readAlacConfig(q, n, t);
        else if (type == fourCC("dfLa"))
            readDfla(q, n, t);
        else if (type == fourCC("pcmC") && n >= 6)
            t.bitDepth = q[5];
        else if (type == fourCC("btrt") && n >= 12) {
            t.maxBitrate = be32At(q + 4);
            t.avgBitrate = be32At(q + 8);
        } else if (type == fourCC("wave") && !insideWave)
            readChildren(q, n, t, true); // QuickTime keeps esds one level down
        else
            readVideoConfig(type, q, n, t);
        return true;
    });
}

void readVisualEntry(const BoxSpan& e, IsoTrack& t) {
    BeCursor c(e.payload, e.payloadSize);
    c.skip(8 + 16); // reserved, data reference index, pre-defined and reserved
    const uint16_t width = c.u16();
    const uint16_t height = c.u16();
    c.skip(12 + 2 + 32 + 4); // resolutions, reserved, frame count, compressor, depth
    if (c.overrun()) return;
    t.width = width, t.height = height;
    readChildren(c.here(), c.left(), t, false);
}

void readAudioEntry(const BoxSpan& e, IsoTrack& t) {
    BeCursor c(e.payload, e.payloadSize);
    c.skip(8);
    const uint16_t version = c.u16(); // QuickTime's sound description version
    c.skip(6);                        // revision, vendor
    const uint16_t channels = c.u16();
    const uint16_t sampleSize = c.u16();
    c.skip(4); // compression id, packet size
    const uint32_t rate = c.u32();
    if (c.overrun()) return;
    t.channels = channels, t.bitDepth = sampleSize, t.sampleRate = rate >> 16;
    if (version == 1) {
        c.skip(4);
        const uint32_t bytesPerPacket = c.u32();
        c.skip(8);
        // Version 1 leaves the old sample size at 16; for uncompressed audio a packet is
        // one sample of one channel.
        if (!c.overrun() && bytesPerPacket > 0 && bytesPerPacket <= 8 && t.codec == "PCM")
            t.bitDepth = bytesPerPacket * 8;
    } else if (version == 2) {
        c.skip(4);
        const uint64_t bits = c.u64();
        double wide = 0;
        std::memcpy(&wide, &bits, sizeof wide);
        const uint32_t wideChannels = c.u32();
        c.skip(4);
        const uint32_t depth = c.u32();
        c.skip(12);
        if (c.overrun()) return;
        if (wide >= 1 && wide < 1e7) t.sampleRate = static_cast<uint32_t>(wide);
        t.channels = wideChannels, t.bitDepth = depth;
    }
    if (c.overrun()) return;
    readChildren(c.here(), c.left(), t, false);
}

} // namespace

const char* codecOfSampleEntry(uint32_t type) {
    for (const CodecName& c : kCodecs)
        if (type == fourCCOf(c.entry)) return c.codec;
    return "";
}

void readSampleDescriptions(const uint8_t* payload, size_t size, IsoTrack& track) {
    BeCursor c(payload, size);
    c.skip(4);
    const uint32_t count = c.u32();
    if (c.overrun()) return;
    bool first = true;
    forEachBox(c.here(), c.left(), kMaxEntries, [&](const BoxSpan& e) {
        ++track.sampleEntries;
        if (!first) return true;
        first = false;
        track.sampleEntry = fourCCText(e.header.type);
        track.codec = codecOfSampleEntry(e.header.type);
        if (track.kind == TrackKind::audio)
            readAudioEntry(e, track);
        else if (track.kind == TrackKind::video || isVisualEntry(e.header.type))
            readVisualEntry(e, track);
        return track.sampleEntries < count;
    });
}

} // namespace tavro
