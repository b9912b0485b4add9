#include "analysis/matroska/mkv_codec.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "analysis/streams/codec_family.h"

namespace tavro {

namespace {

struct CodecName {
    const char* id; // CodecID, or its prefix when `prefix`
    bool prefix;
    const char* family;
};

// Matroska's codec IDs. Prefixes cover the variants (A_AAC/MPEG4/LC/SBR, A_DTS/EXPRESS,
// A_PCM/INT/BIG) that decode the same way.
const CodecName kCodecs[] = {
    {"V_MPEG4/ISO/AVC", false, "AVC"},
    {"V_MPEGH/ISO/HEVC", false, "HEVC"},
    {"V_VP8", false, "VP8"},
    {"V_VP9", false, "VP9"},
    {"V_AV1", false, "AV1"},
    {"V_MPEG1", false, "MPEG-1 Video"},
    {"V_MPEG2", false, "MPEG-2 Video"},
    {"V_MPEG4/ISO/", true, "MPEG-4 Visual"}, // SP, ASP, AP
    {"V_THEORA", false, "Theora"},
    {"V_PRORES", false, "ProRes"},
    {"V_MJPEG", false, "MJPEG"},
    {"A_AAC", true, "AAC"},
    {"A_OPUS", false, "Opus"},
    {"A_VORBIS", false, "Vorbis"},
    {"A_FLAC", false, "FLAC"},
    {"A_AC3", true, "AC-3"}, // A_AC3/BSID9, A_AC3/BSID10
    {"A_EAC3", false, "E-AC-3"},
    {"A_DTS", true, "DTS"},
    {"A_TRUEHD", false, "TrueHD"},
    {"A_MLP", false, "TrueHD"},
    {"A_MPEG/L", true, "MPEG Audio"},
    {"A_PCM/", true, "PCM"},
    {"A_ALAC", false, "ALAC"},
    {"S_TEXT/UTF8", false, "SubRip"},
    {"S_TEXT/ASCII", false, "SubRip"},
    {"S_TEXT/ASS", false, "ASS"},
    {"S_TEXT/SSA", false, "ASS"},
    {"S_ASS", false, "ASS"},
    {"S_SSA", false, "ASS"},
    {"S_TEXT/WEBVTT", false, "WebVTT"},
    {"D_WEBVTT/", true, "WebVTT"},
    {"S_HDMV/PGS", false, "PGS"},
    {"S_VOBSUB", false, "VobSub"},
    {"S_DVBSUB", false, "DVB Subtitle"},
};

const char* familyOfCodecId(const std::string& id) {
    for (const CodecName& c : kCodecs) {
        if (c.prefix ? id.compare(0, std::strlen(c.id), c.id) == 0 : id == c.id) return c.family;
    }
    return nullptr;
}

uint32_t le32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint16_t le16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

// The family that lists a FourCC, in the case written or in upper case.
const char* familyOfFourcc(uint32_t fourcc) {
    uint32_t upper = 0;
    for (int i = 3; i >= 0; --i) {
        uint8_t c = static_cast<uint8_t>(fourcc >> (8 * i));
        if (c >= 'a' && c <= 'z') c = static_cast<uint8_t>(c - 32);
        upper = upper << 8 | c;
    }
    for (uint32_t key : {fourcc, upper})
        for (const CodecKeys& k : codecFamilies())
            for (uint32_t f : k.fourccs)
                if (f == key) return k.family;
    return nullptr;
}

const char* familyOfFormatTag(uint16_t tag) {
    for (const CodecKeys& k : codecFamilies())
        for (uint16_t t : k.formatTags)
            if (t == tag) return k.family;
    return nullptr;
}

const char* chromaText(uint32_t format) {
    switch (format) {
    case 0:
        return "4:0:0";
    case 1:
        return "4:2:0";
    case 2:
        return "4:2:2";
    case 3:
        return "4:4:4";
    default:
        return "";
    }
}

std::string levelText(unsigned major, unsigned minor) {
    char text[16];
    std::snprintf(text, sizeof text, "%u.%u", major, minor);
    return text;
}

// ffprobe names AAC profiles without the codec's name: "LC", "Main", "HE-AAC".
std::string aacProfileText(const AacConfig& c) {
    std::string name = aacProfileName(c);
    if (name.compare(0, 4, "AAC ") == 0) name = name.substr(4);
    return name;
}

void readAvc(MkvTrack& t, const uint8_t* p, size_t n) {
    const AvcConfig c = parseAvcConfig(p, n);
    if (!c.ok) return;
    const uint8_t profile = c.sps.ok ? c.sps.profileIdc : c.profileIndication;
    const uint8_t flags = c.sps.ok ? c.sps.constraintFlags : c.profileCompatibility;
    t.profile = h264ProfileName(profile, flags);
    const uint8_t level = c.sps.ok ? c.sps.levelIdc : c.levelIndication;
    if (level) t.level = levelText(level / 10, level % 10);
    if (c.sps.ok) {
        t.codecBitDepth = c.sps.bitDepthLuma;
        t.chroma = chromaText(c.sps.chromaFormatIdc);
        t.codecWidth = c.sps.width;
        t.codecHeight = c.sps.height;
    }
}

void readHevc(MkvTrack& t, const uint8_t* p, size_t n) {
    const HevcConfig c = parseHevcConfig(p, n);
    if (!c.ok) return;
    const HevcProfileTierLevel& ptl = c.sps.ok ? c.sps.ptl : c.ptl;
    t.profile = hevcProfileName(ptl);
    if (ptl.levelIdc) t.level = levelText(ptl.levelIdc / 30, ptl.levelIdc % 30 / 3);
    t.codecBitDepth = c.sps.ok ? c.sps.bitDepthLuma : c.bitDepthLuma;
    t.chroma = chromaText(c.sps.ok ? c.sps.chromaFormatIdc : c.chromaFormatIdc);
    if (c.sps.ok) {
        t.codecWidth = c.sps.width;
        t.codecHeight = c.sps.height;
    }
}

void readAv1(MkvTrack& t, const uint8_t* p, size_t n) {
    const Av1Config c = parseAv1Config(p, n);
    if (!c.ok) return;
    t.profile = av1ProfileName(c.profile);
    t.level = levelText(2 + c.level / 4, c.level % 4);
    t.codecBitDepth = c.bitDepth;
    t.chroma = c.monochrome                       ? "4:0:0"
               : c.subsamplingX && c.subsamplingY ? "4:2:0"
               : c.subsamplingX                   ? "4:2:2"
                                                  : "4:4:4";
    if (c.sequenceHeader.ok) {
        t.codecWidth = c.sequenceHeader.maxWidth;
        t.codecHeight = c.sequenceHeader.maxHeight;
    }
}

// VP9's CodecPrivate: features of one byte ID, one byte length, then the value.
void readVp9Private(MkvTrack& t, const uint8_t* p, size_t n) {
    size_t pos = 0;
    while (n - pos >= 2) {
        const uint8_t id = p[pos], len = p[pos + 1];
        pos += 2;
        if (len > n - pos) break;
        const uint8_t v = len == 1 ? p[pos] : 0;
        if (len == 1) {
            if (id == 1) t.profile = "Profile " + std::to_string(v);
            if (id == 2 && v) t.level = levelText(v / 10, v % 10);
            if (id == 3) t.codecBitDepth = v;
            if (id == 4) t.chroma = v <= 1 ? "4:2:0" : v == 2 ? "4:2:2" : v == 3 ? "4:4:4" : "";
        }
        pos += len;
    }
}

void readAac(MkvTrack& t, const uint8_t* p, size_t n) {
    const AacConfig c = parseAacConfig(p, n);
    if (!c.ok) return;
    t.profile = aacProfileText(c);
    t.codecSampleRate = c.sbr && c.outputSampleRate ? c.outputSampleRate : c.sampleRate;
    t.codecChannels = c.channels;
}

// The profile A_AAC/MPEG4/... names when CodecPrivate is absent.
void aacProfileFromId(MkvTrack& t) {
    const std::string& id = t.codecId;
    if (id.find("/SBR") != std::string::npos)
        t.profile = "HE-AAC";
    else if (id.find("/LC") != std::string::npos)
        t.profile = "LC";
    else if (id.find("/MAIN") != std::string::npos)
        t.profile = "Main";
    else if (id.find("/LTP") != std::string::npos)
        t.profile = "LTP";
}

void readOpus(MkvTrack& t, const uint8_t* p, size_t n) {
    const OpusHead h = parseOpusHead(p, n);
    if (!h.ok) return;
    t.codecChannels = h.channels;
    t.codecSampleRate = 48000;
}

// "fLaC", then metadata blocks; STREAMINFO first.
void readFlac(MkvTrack& t, const uint8_t* p, size_t n) {
    if (n < 8 + 18 || std::memcmp(p, "fLaC", 4) != 0 || (p[4] & 0x7F) != 0) return;
    const uint8_t* s = p + 8;
    t.codecSampleRate = uint32_t(s[10]) << 12 | uint32_t(s[11]) << 4 | s[12] >> 4;
    t.codecChannels = ((s[12] >> 1) & 7) + 1u;
    t.codecBitDepth = ((s[12] & 1) << 4 | s[13] >> 4) + 1u;
}

// BITMAPINFOHEADER: biCompression at 16.
void readBitmapInfo(MkvTrack& t, const uint8_t* p, size_t n) {
    if (n < 40) return;
    t.fourcc = le32(p + 16);
    if (const char* f = familyOfFourcc(t.fourcc)) t.codec = f;
    const int32_t w = static_cast<int32_t>(le32(p + 4)), h = static_cast<int32_t>(le32(p + 8));
    if (w > 0) t.codecWidth = static_cast<uint32_t>(w);
    if (h != INT32_MIN) t.codecHeight = static_cast<uint32_t>(h < 0 ? -h : h);
}

// WAVEFORMATEX; WAVE_FORMAT_EXTENSIBLE keeps the real tag in its sub-format GUID.
void readWaveFormat(MkvTrack& t, const uint8_t* p, size_t n) {
    if (n < 16) return;
    t.formatTag = le16(p);
    if (t.formatTag == 0xFFFE && n >= 18 + 22 && le16(p + 16) >= 22) t.formatTag = le16(p + 24);
    if (const char* f = familyOfFormatTag(t.formatTag)) t.codec = f;
    t.codecChannels = le16(p + 2);
    t.codecSampleRate = le32(p + 4);
    t.codecBitDepth = le16(p + 14);
}

} // namespace

void identifyCodec(MkvTrack& t, const uint8_t* p, size_t n) {
    if (const char* family = familyOfCodecId(t.codecId)) t.codec = family;
    const std::string& id = t.codecId;
    if (id == "V_MPEG4/MS/V3") {
        // Microsoft's MPEG-4 version 3: its own decoders, known by this FourCC.
        t.fourcc = fourccOf("DIV3");
    } else if (id == "V_MS/VFW/FOURCC") {
        readBitmapInfo(t, p, n);
    } else if (id == "A_MS/ACM") {
        readWaveFormat(t, p, n);
    } else if (t.codec == "AVC") {
        readAvc(t, p, n);
    } else if (t.codec == "HEVC") {
        readHevc(t, p, n);
    } else if (t.codec == "AV1") {
        readAv1(t, p, n);
    } else if (t.codec == "VP9") {
        readVp9Private(t, p, n);
    } else if (t.codec == "AAC") {
        if (n) readAac(t, p, n);
        if (t.profile.empty()) aacProfileFromId(t);
    } else if (t.codec == "Opus") {
        readOpus(t, p, n);
    } else if (t.codec == "FLAC") {
        readFlac(t, p, n);
    }
}

bool wantsFirstFrame(const MkvTrack& t) {
    return t.codec == "VP9" && (t.profile.empty() || t.codecBitDepth == 0);
}

bool readFirstFrame(MkvTrack& t, const uint8_t* frame, size_t size) {
    if (t.codec != "VP9") return false;
    const Vp9FrameHeader h = parseVp9FrameHeader(frame, size);
    if (!h.ok) return false;
    if (t.profile.empty()) t.profile = "Profile " + std::to_string(h.profile);
    if (!t.codecBitDepth) t.codecBitDepth = h.bitDepth;
    if (t.chroma.empty())
        t.chroma = h.subsamplingX && h.subsamplingY ? "4:2:0" : h.subsamplingX ? "4:2:2" : "4:4:4";
    t.codecWidth = h.width;
    t.codecHeight = h.height;
    return true;
}

} // namespace tavro
