#include "analysis/modern/avi_video_detail.h"

#include "analysis/codec_config/aac_config.h"
#include "analysis/codec_config/h264_config.h"
#include "analysis/codec_config/hevc_config.h"
#include "analysis/streams/codec_family.h"

namespace tavro {
namespace {

uint32_t upper(uint32_t fourcc) {
    uint32_t out = 0;
    for (int i = 0; i < 4; ++i) {
        uint8_t c = static_cast<uint8_t>(fourcc >> (8 * i));
        if (c >= 'a' && c <= 'z') c = static_cast<uint8_t>(c - 32);
        out |= uint32_t(c) << (8 * i);
    }
    return out;
}

bool inFamily(const char* family, uint32_t fourcc) {
    const CodecKeys* keys = codecKeysFor(family);
    if (!keys) return false;
    for (uint32_t key : keys->fourccs)
        if (upper(key) == upper(fourcc)) return true;
    return false;
}

} // namespace

StreamFacts aviVideoFacts(uint32_t fourcc, const uint8_t* head, size_t size) {
    StreamFacts s;
    s.kind = StreamKind::video;
    if (!head || !size) return s;
    if (inFamily("AVC", fourcc)) {
        const H264Sps sps = findH264SpsInByteStream(head, size);
        if (!sps.ok) return s;
        s.codec = "AVC";
        s.profile = h264ProfileName(sps.profileIdc, sps.constraintFlags);
        s.level = levelText("AVC", sps.levelIdc);
        s.bitDepth = sps.bitDepthLuma;
        s.chroma = chromaText(sps.chromaFormatIdc);
        s.width = sps.width, s.height = sps.height;
    } else if (inFamily("HEVC", fourcc)) {
        const HevcSps sps = findHevcSpsInByteStream(head, size);
        if (!sps.ok) return s;
        s.codec = "HEVC";
        s.profile = hevcProfileName(sps.ptl);
        s.level = levelText("HEVC", sps.ptl.levelIdc);
        s.bitDepth = sps.bitDepthLuma;
        s.chroma = chromaText(sps.chromaFormatIdc);
        s.width = sps.width, s.height = sps.height;
    }
    return s;
}

std::string aviAudioProfile(uint16_t formatTag, const uint8_t* extra, size_t size) {
    const CodecKeys* aac = codecKeysFor("AAC");
    bool isAac = false;
    for (uint16_t tag : aac->formatTags)
        isAac = isAac || tag == formatTag;
    // ADTS and LATM carry their configuration in the stream, not in the format.
    if (!isAac || formatTag == 0x1600 || formatTag == 0x1602 || !extra || size < 4) return "";
    const size_t declared = static_cast<size_t>(extra[0] | extra[1] << 8);
    const size_t held = declared < size - 2 ? declared : size - 2;
    // MPEG-4's own HE-AAC format puts a 12-byte HEAACWAVEINFO before the record.
    const size_t skip = formatTag == 0x1610 ? 12 : 0;
    if (held <= skip) return "";
    const AacConfig config = parseAacConfig(extra + 2 + skip, held - skip);
    return config.ok ? aacProfileName(config) : "";
}

} // namespace tavro
