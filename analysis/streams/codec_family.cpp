#include "analysis/streams/codec_family.h"

#include <cstdio>
#include <cstring>

namespace tavro {

const std::vector<CodecKeys>& codecFamilies() {
    using K = StreamKind;
    // FourCCs as splitters hand them to DirectShow and as AVI files carry them; the
    // audio tags as WAVEFORMATEX carries them (0x00FF raw AAC, 0x1610 HE-AAC, 0x1600 ADTS,
    // 0x1602 LATM). A family without a key is named but cannot be looked up.
    static const std::vector<CodecKeys> kTable = {
        {"AVC",
         K::video,
         {fourccOf("H264"), fourccOf("AVC1"), fourccOf("avc1"), fourccOf("h264"), fourccOf("X264"),
          fourccOf("x264"), fourccOf("DAVC"), fourccOf("CCV1")},
         {}},
        {"HEVC",
         K::video,
         {fourccOf("HEVC"), fourccOf("HVC1"), fourccOf("hvc1"), fourccOf("HEV1"), fourccOf("hev1"),
          fourccOf("H265")},
         {}},
        {"VP8", K::video, {fourccOf("VP80")}, {}},
        {"VP9", K::video, {fourccOf("VP90"), fourccOf("vp09")}, {}},
        {"AV1", K::video, {fourccOf("AV01"), fourccOf("av01")}, {}},
        {"MPEG-1 Video", K::video, {fourccOf("MPG1"), fourccOf("mpg1")}, {}},
        {"MPEG-2 Video", K::video, {fourccOf("MPG2"), fourccOf("mpg2"), fourccOf("MP2V")}, {}},
        {"MPEG-4 Visual",
         K::video,
         {fourccOf("MP4V"), fourccOf("mp4v"), fourccOf("FMP4"), fourccOf("XVID"), fourccOf("DIVX"),
          fourccOf("DX50")},
         {}},
        {"ProRes",
         K::video,
         {fourccOf("apcn"), fourccOf("apch"), fourccOf("apcs"), fourccOf("apco"), fourccOf("ap4h")},
         {}},
        {"VC-1", K::video, {fourccOf("WVC1"), fourccOf("WMV3"), fourccOf("WMVA")}, {}},
        {"WMV1", K::video, {fourccOf("WMV1")}, {}},
        {"WMV2", K::video, {fourccOf("WMV2")}, {}},
        {"Sorenson Spark", K::video, {fourccOf("FLV1")}, {}},
        {"VP6", K::video, {fourccOf("VP6F"), fourccOf("FLV4"), fourccOf("VP6A")}, {}},
        {"Theora", K::video, {fourccOf("THEO"), fourccOf("theo")}, {}},
        {"MJPEG", K::video, {fourccOf("MJPG"), fourccOf("mjpa"), fourccOf("jpeg")}, {}},
        {"AAC", K::audio, {}, {0x00FF, 0x1610, 0x1600, 0x1602, 0x706D}},
        {"Opus", K::audio, {}, {0x704F}},
        {"FLAC", K::audio, {}, {0xF1AC}},
        {"ALAC", K::audio, {}, {0x6C61}},
        {"AC-3", K::audio, {}, {0x2000}},
        {"E-AC-3", K::audio, {}, {0x2000}},
        {"DTS", K::audio, {}, {0x2001, 0x0008}},
        {"TrueHD", K::audio, {}, {}},
        {"Vorbis", K::audio, {}, {0x566F, 0x674F, 0x6750, 0x6751}},
        {"MPEG Audio", K::audio, {}, {0x0055, 0x0050}},
        {"PCM", K::audio, {}, {0x0001, 0x0003}},
        {"WMA", K::audio, {}, {0x0161, 0x0160}},
        {"WMA Pro", K::audio, {}, {0x0162}},
        {"WMA Lossless", K::audio, {}, {0x0163}},
        {"Speex", K::audio, {}, {0xA109}},
        {"Nellymoser", K::audio, {}, {}},
        {"ADPCM", K::audio, {}, {0x0002, 0x0011}},
        {"G.711", K::audio, {}, {0x0006, 0x0007}},
    };
    return kTable;
}

const CodecKeys* codecKeysFor(const char* family) {
    if (!family) return nullptr;
    for (const CodecKeys& keys : codecFamilies())
        if (std::strcmp(keys.family, family) == 0) return &keys;
    return nullptr;
}

std::string levelText(const char* family, uint32_t coded) {
    if (!family || coded == 0) return "";
    uint32_t major = 0, minor = 0;
    if (!std::strcmp(family, "AVC") || !std::strcmp(family, "VP9")) {
        // AVC level 1b is coded 9 (or 11 with a flag the caller does not pass on).
        if (coded == 9) return "1b";
        major = coded / 10, minor = coded % 10;
    } else if (!std::strcmp(family, "HEVC")) {
        // general_level_idc is thirty times the level.
        major = coded / 30, minor = coded % 30 / 3;
    } else if (!std::strcmp(family, "AV1")) {
        if (coded >= 31) return "";
        major = 2 + (coded >> 2), minor = coded & 3;
    } else {
        return "";
    }
    char text[24];
    std::snprintf(text, sizeof text, "%u.%u", major, minor);
    return text;
}

const char* chromaText(uint32_t chromaFormat) {
    static const char* const kTexts[] = {"4:0:0", "4:2:0", "4:2:2", "4:4:4"};
    return chromaFormat < 4 ? kTexts[chromaFormat] : "";
}

} // namespace tavro
