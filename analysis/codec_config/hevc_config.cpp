#include "analysis/codec_config/hevc_config.h"

#include <vector>

#include "analysis/codec_config/bit_reader.h"

namespace tavro {

namespace {

constexpr size_t kMaxSpsBytes = 4096;
constexpr uint8_t kNalVps = 32;
constexpr uint8_t kNalSps = 33;
constexpr uint8_t kNalPps = 34;

uint8_t nalType(const uint8_t* nal) {
    return (nal[0] >> 1) & 0x3F;
}

void readGeneralPtl(BitReader& r, HevcProfileTierLevel& p) {
    p.profileSpace = static_cast<uint8_t>(r.bits(2));
    p.highTier = r.flag();
    p.profileIdc = static_cast<uint8_t>(r.bits(5));
    p.compatibilityFlags = r.bits(32);
    p.constraintFlags = r.bits64(48);
    p.levelIdc = static_cast<uint8_t>(r.bits(8));
}

void readProfileTierLevel(BitReader& r, int maxSubLayersMinus1, HevcProfileTierLevel& p) {
    readGeneralPtl(r, p);
    bool profilePresent[8] = {}, levelPresent[8] = {};
    for (int i = 0; i < maxSubLayersMinus1; ++i) {
        profilePresent[i] = r.flag();
        levelPresent[i] = r.flag();
    }
    if (maxSubLayersMinus1 > 0) r.skip(2 * (8 - maxSubLayersMinus1));
    for (int i = 0; i < maxSubLayersMinus1; ++i) {
        if (profilePresent[i]) r.skip(88);
        if (levelPresent[i]) r.skip(8);
    }
}

HevcSps parseSpsRbsp(const uint8_t* rbsp, size_t size) {
    HevcSps s;
    BitReader r(rbsp, size);
    if (r.bits(1) != 0 || r.bits(6) != kNalSps) return s;
    r.skip(9); // nuh_layer_id, nuh_temporal_id_plus1
    r.skip(4); // sps_video_parameter_set_id
    const int subLayersMinus1 = static_cast<int>(r.bits(3));
    if (subLayersMinus1 > 6) return s;
    s.maxSubLayers = static_cast<uint8_t>(subLayersMinus1 + 1);
    r.skip(1); // sps_temporal_id_nesting_flag
    readProfileTierLevel(r, subLayersMinus1, s.ptl);
    if (r.ue() > 15) return s; // sps_seq_parameter_set_id
    s.chromaFormatIdc = r.ue();
    if (s.chromaFormatIdc > 3) return s;
    if (s.chromaFormatIdc == 3) s.separateColourPlanes = r.flag();
    const uint64_t width = r.ue();
    const uint64_t height = r.ue();
    uint64_t window[4] = {0, 0, 0, 0};
    if (r.flag()) {
        for (uint64_t& w : window)
            w = r.ue();
    }
    const uint32_t lumaMinus8 = r.ue();
    const uint32_t chromaMinus8 = r.ue();
    if (r.overrun() || lumaMinus8 > 8 || chromaMinus8 > 8) return s;
    if (width == 0 || height == 0 || width > 65536 || height > 65536) return s;

    const uint32_t chromaArrayType = s.separateColourPlanes ? 0 : s.chromaFormatIdc;
    const uint64_t subWidth = chromaArrayType == 1 || chromaArrayType == 2 ? 2 : 1;
    const uint64_t subHeight = chromaArrayType == 1 ? 2 : 1;
    const uint64_t cropX = (window[0] + window[1]) * subWidth;
    const uint64_t cropY = (window[2] + window[3]) * subHeight;
    if (cropX >= width || cropY >= height) return s;
    s.codedWidth = static_cast<uint32_t>(width);
    s.codedHeight = static_cast<uint32_t>(height);
    s.width = static_cast<uint32_t>(width - cropX);
    s.height = static_cast<uint32_t>(height - cropY);
    s.bitDepthLuma = 8 + lumaMinus8;
    s.bitDepthChroma = 8 + chromaMinus8;
    s.ok = true;
    return s;
}

} // namespace

HevcSps parseHevcSps(const uint8_t* nal, size_t size) {
    std::vector<uint8_t> rbsp(size < kMaxSpsBytes ? size : kMaxSpsBytes);
    rbsp.resize(removeEmulationPrevention(nal, size, rbsp.data(), rbsp.size()));
    return parseSpsRbsp(rbsp.data(), rbsp.size());
}

HevcSps findHevcSpsInByteStream(const uint8_t* data, size_t size) {
    return firstParsedNal<HevcSps>(
        data, size,
        [](const NalSpan& nal) { return nal.size >= 2 && nalType(nal.data) == kNalSps; },
        parseHevcSps);
}

HevcConfig parseHevcConfig(const uint8_t* data, size_t size) {
    HevcConfig c;
    constexpr size_t kHeaderBytes = 23;
    if (size < kHeaderBytes || data[0] != 1) return c;
    BitReader r(data, kHeaderBytes);
    c.version = static_cast<uint8_t>(r.bits(8));
    readGeneralPtl(r, c.ptl);
    r.skip(4);
    c.minSpatialSegmentation = static_cast<uint16_t>(r.bits(12));
    r.skip(6);
    c.parallelismType = static_cast<uint8_t>(r.bits(2));
    r.skip(6);
    c.chromaFormatIdc = static_cast<uint8_t>(r.bits(2));
    r.skip(5);
    c.bitDepthLuma = static_cast<uint8_t>(8 + r.bits(3));
    r.skip(5);
    c.bitDepthChroma = static_cast<uint8_t>(8 + r.bits(3));
    c.avgFrameRate = static_cast<uint16_t>(r.bits(16));
    c.constantFrameRate = static_cast<uint8_t>(r.bits(2));
    c.numTemporalLayers = static_cast<uint8_t>(r.bits(3));
    c.temporalIdNested = r.flag();
    c.nalLengthSize = static_cast<uint8_t>(r.bits(2) + 1);
    c.arrayCount = static_cast<uint8_t>(r.bits(8));
    if (c.nalLengthSize == 3) return c;

    size_t at = kHeaderBytes;
    for (int a = 0; a < c.arrayCount; ++a) {
        if (size - at < 3) return c;
        const uint8_t type = data[at] & 0x3F;
        const size_t count = static_cast<size_t>(data[at + 1] << 8 | data[at + 2]);
        at += 3;
        for (size_t i = 0; i < count; ++i) {
            if (size - at < 2) return c;
            const size_t length = static_cast<size_t>(data[at] << 8 | data[at + 1]);
            at += 2;
            if (length > size - at) return c;
            if (type == kNalSps && !c.sps.ok && length >= 2)
                c.sps = parseHevcSps(data + at, length);
            at += length;
        }
        if (type == kNalVps) c.vpsCount += static_cast<uint32_t>(count);
        if (type == kNalSps) c.spsCount += static_cast<uint32_t>(count);
        if (type == kNalPps) c.ppsCount += static_cast<uint32_t>(count);
    }
    c.ok = true;
    return c;
}

const char* hevcProfileName(const HevcProfileTierLevel& ptl) {
    static const char* const kNames[] = {"",
                                         "Main",
                                         "Main 10",
                                         "Main Still Picture",
                                         "Rext",
                                         "High Throughput",
                                         "Multiview Main",
                                         "Scalable Main",
                                         "3D Main",
                                         "Screen Extended",
                                         "Scalable Rext",
                                         "High Throughput Screen Extended"};
    constexpr int kCount = sizeof kNames / sizeof kNames[0];
    if (ptl.profileIdc > 0 && ptl.profileIdc < kCount) return kNames[ptl.profileIdc];
    if (ptl.profileIdc == 0) {
        for (int j = 1; j < kCount; ++j) {
            if (ptl.compatibilityFlags & (0x80000000u >> j)) return kNames[j];
        }
    }
    return "";
}

} // namespace tavro
