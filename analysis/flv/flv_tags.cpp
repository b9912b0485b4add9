#include "analysis/flv/flv_tags.h"

#include <string>

#include "analysis/codec_config/bit_reader.h"

namespace tavro {

namespace {

std::string fourccText(const uint8_t* p) {
    std::string s;
    for (int i = 0; i < 4; ++i)
        s.push_back(p[i] >= 0x20 && p[i] < 0x7F ? static_cast<char>(p[i]) : '?');
    return s;
}

const char* audioFourccCodec(const std::string& f) {
    if (f == "Opus") return "Opus";
    if (f == "fLaC") return "FLAC";
    if (f == "ac-3") return "AC-3";
    if (f == "ec-3") return "E-AC-3";
    if (f == ".mp3") return "MPEG Audio";
    if (f == "mp4a") return "AAC";
    return "";
}

const char* videoFourccCodec(const std::string& f) {
    if (f == "hvc1") return "HEVC";
    if (f == "avc1") return "AVC";
    if (f == "av01") return "AV1";
    if (f == "vp09") return "VP9";
    return "";
}

// The Sorenson H.263 picture header: start code, version, temporal reference, then
// a size code that either names a size or gives it in 8 or 16 bits.
void readSparkSize(const uint8_t* d, size_t n, FlvVideo& v) {
    BitReader br(d, n);
    if (br.bits(17) != 1) return;
    br.skip(5 + 8);
    static const uint32_t kSizes[7][2] = {{0, 0},    {0, 0},     {352, 288}, {176, 144},
                                          {128, 96}, {320, 240}, {160, 120}};
    const uint32_t code = br.bits(3);
    uint32_t w = 0, h = 0;
    if (code == 0 || code == 1) {
        const int bits = code == 0 ? 8 : 16;
        w = br.bits(bits);
        h = br.bits(bits);
    } else if (code < 7) {
        w = kSizes[code][0];
        h = kSizes[code][1];
    }
    if (!br.overrun() && w && h) {
        v.width = w;
        v.height = h;
    }
}

} // namespace

FlvTagHeader parseFlvTagHeader(const uint8_t* p) {
    FlvTagHeader h;
    h.filtered = (p[0] & 0x20) != 0;
    h.type = p[0] & 0x1F;
    h.dataSize = uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
    h.timestamp = uint32_t(p[7]) << 24 | uint32_t(p[4]) << 16 | uint32_t(p[5]) << 8 | p[6];
    h.streamId = uint32_t(p[8]) << 16 | uint32_t(p[9]) << 8 | p[10];
    return h;
}

const char* flvAudioCodec(uint8_t f) {
    switch (f) {
    case 0:
    case 3:
        return "PCM";
    case 1:
        return "ADPCM";
    case 2:
    case 14:
        return "MPEG Audio";
    case 4:
    case 5:
    case 6:
        return "Nellymoser";
    case 7:
    case 8:
        return "G.711";
    case 10:
        return "AAC";
    case 11:
        return "Speex";
    }
    return "";
}

const char* flvVideoCodec(uint8_t id) {
    switch (id) {
    case 2:
        return "Sorenson Spark";
    case 4:
    case 5:
        return "VP6";
    case 7:
        return "AVC";
    case 12:
        return "HEVC";
    }
    return "";
}

void readFlvAudioTag(const uint8_t* d, size_t n, uint32_t timestamp, FlvAudio& a) {
    if (n < 1) return;
    const uint8_t format = d[0] >> 4;
    if (!a.present) {
        a.present = true;
        a.soundFormat = format;
        a.firstTimestamp = timestamp;
        static const uint32_t kRates[4] = {5512, 11025, 22050, 44100};
        a.flagRate = kRates[d[0] >> 2 & 3];
        a.sampleBits = d[0] & 0x02 ? 16 : 8;
        a.flagChannels = d[0] & 0x01 ? 2 : 1;
        // Formats whose rate and layout are fixed whatever the bits say.
        if (format == 4 || format == 11) a.flagRate = 16000;
        if (format == 5 || format == 14) a.flagRate = 8000;
        if (format == 4 || format == 5 || format == 6 || format == 11) a.flagChannels = 1;
        if (format == 9 && n >= 5) { // enhanced: packet type, then a FourCC
            a.fourcc = fourccText(d + 1);
            a.codec = audioFourccCodec(a.fourcc);
        } else {
            a.codec = flvAudioCodec(format);
        }
    }
    // AAC packet type 0 is the AudioSpecificConfig.
    if (format == 10 && n >= 3 && d[1] == 0 && !a.aac.ok) a.aac = parseAacConfig(d + 2, n - 2);
}

void readFlvVideoTag(const uint8_t* d, size_t n, uint32_t timestamp, FlvVideo& v) {
    if (n < 1) return;
    const bool enhanced = (d[0] & 0x80) != 0;
    const uint8_t codecId = d[0] & 0x0F;
    if (!v.present) {
        v.present = true;
        v.firstTimestamp = timestamp;
        if (enhanced && n >= 5) {
            v.fourcc = fourccText(d + 1);
            v.codec = videoFourccCodec(v.fourcc);
        } else if (!enhanced) {
            v.codecId = codecId;
            v.codec = flvVideoCodec(codecId);
        }
    }
    if (enhanced) {
        // Packet type 0 (sequence start) carries the configuration record after the FourCC.
        if (n < 5 || codecId != 0) return;
        const std::string fourcc = fourccText(d + 1);
        if (fourcc == "hvc1" && !v.hevc.ok) v.hevc = parseHevcConfig(d + 5, n - 5);
        if (fourcc == "avc1" && !v.avc.ok) v.avc = parseAvcConfig(d + 5, n - 5);
        return;
    }
    // AVC and HEVC: packet type, a 24-bit composition time, then the record.
    if ((codecId == 7 || codecId == 12) && n >= 5 && d[1] == 0) {
        if (codecId == 7 && !v.avc.ok) v.avc = parseAvcConfig(d + 5, n - 5);
        if (codecId == 12 && !v.hevc.ok) v.hevc = parseHevcConfig(d + 5, n - 5);
    }
    if (codecId == 2 && v.width == 0) readSparkSize(d + 1, n - 1, v);
}

} // namespace tavro
