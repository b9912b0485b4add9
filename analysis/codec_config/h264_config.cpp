#include "analysis/codec_config/h264_config.h"

#include <vector>

#include "analysis/codec_config/bit_reader.h"

namespace tavro {

namespace {

// SPS fields of interest end within a few hundred bytes even with scaling lists.
constexpr size_t kMaxSpsBytes = 4096;
constexpr uint8_t kNalSps = 7;

bool hasChromaFields(uint8_t profileIdc) {
    switch (profileIdc) {
    case 100:
    case 110:
    case 122:
    case 244:
    case 44:
    case 83:
    case 86:
    case 118:
    case 128:
    case 138:
    case 139:
    case 134:
    case 135:
        return true;
    default:
        return false;
    }
}

// Scaling lists only have to be stepped over; their values do not matter here. A
// delta outside a byte's range is damage (and would overflow the running sum).
bool skipScalingList(BitReader& r, int size) {
    int32_t last = 8, next = 8;
    for (int j = 0; j < size && !r.overrun(); ++j) {
        if (next != 0) {
            const int32_t delta = r.se();
            if (delta < -128 || delta > 127) return false;
            next = (last + delta + 256) % 256;
        }
        if (next != 0) last = next;
    }
    return true;
}

void readVuiTiming(BitReader& r, H264Sps& s) {
    if (r.flag()) { // aspect_ratio_info_present_flag
        const uint32_t idc = r.bits(8);
        static const uint8_t kSar[17][2] = {{0, 0},   {1, 1},   {12, 11}, {10, 11},  {16, 11},
                                            {40, 33}, {24, 11}, {20, 11}, {32, 11},  {80, 33},
                                            {18, 11}, {15, 11}, {64, 33}, {160, 99}, {4, 3},
                                            {3, 2},   {2, 1}};
        if (idc == 255) {
            s.sarWidth = r.bits(16);
            s.sarHeight = r.bits(16);
            s.hasSar = true;
        } else if (idc > 0 && idc < 17) {
            s.sarWidth = kSar[idc][0];
            s.sarHeight = kSar[idc][1];
            s.hasSar = true;
        }
    }
    if (r.flag()) r.skip(1); // overscan
    if (r.flag()) {          // video_signal_type_present_flag
        r.skip(4);
        if (r.flag()) r.skip(24); // colour description
    }
    if (r.flag()) { // chroma_loc_info_present_flag
        r.ue();
        r.ue();
    }
    if (r.flag()) { // timing_info_present_flag
        s.numUnitsInTick = r.bits(32);
        s.timeScale = r.bits(32);
        r.skip(1);
        if (!r.overrun() && s.numUnitsInTick != 0 && s.timeScale != 0) {
            s.hasTiming = true;
            s.frameRateNum = s.timeScale;
            s.frameRateDen = uint64_t{2} * s.numUnitsInTick;
        }
    }
}

bool readFrameSize(BitReader& r, H264Sps& s) {
    const uint64_t widthMbs = uint64_t{r.ue()} + 1;
    const uint64_t heightMapUnits = uint64_t{r.ue()} + 1;
    s.frameMbsOnly = r.flag();
    if (!s.frameMbsOnly) r.skip(1); // mb_adaptive_frame_field_flag
    r.skip(1);                      // direct_8x8_inference_flag
    uint64_t crop[4] = {0, 0, 0, 0};
    if (r.flag()) {
        for (uint64_t& c : crop)
            c = r.ue();
    }
    if (r.overrun()) return false;
    const uint64_t fieldFactor = s.frameMbsOnly ? 1 : 2;
    const uint64_t width = widthMbs * 16;
    const uint64_t height = heightMapUnits * 16 * fieldFactor;
    // Past 2^16 pixels a side no level allows it; it is damage, not a picture.
    if (width > 65536 || height > 65536) return false;

    const uint32_t chromaArrayType = s.separateColourPlanes ? 0 : s.chromaFormatIdc;
    uint64_t unitX = 1, unitY = fieldFactor;
    if (chromaArrayType != 0) {
        unitX = chromaArrayType == 3 ? 1 : 2;
        unitY = (chromaArrayType == 1 ? 2 : 1) * fieldFactor;
    }
    const uint64_t cropX = (crop[0] + crop[1]) * unitX;
    const uint64_t cropY = (crop[2] + crop[3]) * unitY;
    if (cropX >= width || cropY >= height) return false;
    s.codedWidth = static_cast<uint32_t>(width);
    s.codedHeight = static_cast<uint32_t>(height);
    s.width = static_cast<uint32_t>(width - cropX);
    s.height = static_cast<uint32_t>(height - cropY);
    return true;
}

H264Sps parseSpsRbsp(const uint8_t* rbsp, size_t size) {
    H264Sps s;
    BitReader r(rbsp, size);
    if (r.bits(1) != 0) return s;
    r.skip(2); // nal_ref_idc
    if (r.bits(5) != kNalSps) return s;
    s.profileIdc = static_cast<uint8_t>(r.bits(8));
    s.constraintFlags = static_cast<uint8_t>(r.bits(8));
    s.levelIdc = static_cast<uint8_t>(r.bits(8));
    if (r.ue() > 31) return s; // seq_parameter_set_id
    if (hasChromaFields(s.profileIdc)) {
        s.chromaFormatIdc = r.ue();
        if (s.chromaFormatIdc > 3) return s;
        if (s.chromaFormatIdc == 3) s.separateColourPlanes = r.flag();
        const uint32_t lumaMinus8 = r.ue();
        const uint32_t chromaMinus8 = r.ue();
        if (lumaMinus8 > 6 || chromaMinus8 > 6) return s;
        s.bitDepthLuma = 8 + lumaMinus8;
        s.bitDepthChroma = 8 + chromaMinus8;
        r.skip(1); // qpprime_y_zero_transform_bypass_flag
        if (r.flag()) {
            const int lists = s.chromaFormatIdc != 3 ? 8 : 12;
            for (int i = 0; i < lists && !r.overrun(); ++i) {
                if (r.flag() && !skipScalingList(r, i < 6 ? 16 : 64)) return s;
            }
        }
    }
    if (r.ue() > 12) return s; // log2_max_frame_num_minus4
    const uint32_t pocType = r.ue();
    if (pocType == 0) {
        if (r.ue() > 12) return s;
    } else if (pocType == 1) {
        r.skip(1);
        r.se();
        r.se();
        const uint32_t cycle = r.ue();
        if (cycle > 255) return s;
        for (uint32_t i = 0; i < cycle && !r.overrun(); ++i)
            r.se();
    } else if (pocType != 2) {
        return s;
    }
    r.ue();    // max_num_ref_frames
    r.skip(1); // gaps_in_frame_num_value_allowed_flag
    if (!readFrameSize(r, s)) return s;
    if (r.flag()) readVuiTiming(r, s);
    s.ok = !r.overrun();
    return s;
}

} // namespace

H264Sps parseH264Sps(const uint8_t* nal, size_t size) {
    std::vector<uint8_t> rbsp(size < kMaxSpsBytes ? size : kMaxSpsBytes);
    rbsp.resize(removeEmulationPrevention(nal, size, rbsp.data(), rbsp.size()));
    return parseSpsRbsp(rbsp.data(), rbsp.size());
}

H264Sps findH264SpsInByteStream(const uint8_t* data, size_t size) {
    return firstParsedNal<H264Sps>(
        data, size,
        [](const NalSpan& nal) { return nal.size > 0 && (nal.data[0] & 0x1F) == kNalSps; },
        parseH264Sps);
}

AvcConfig parseAvcConfig(const uint8_t* data, size_t size) {
    AvcConfig c;
    if (size < 7 || data[0] != 1) return c;
    c.version = data[0];
    c.profileIndication = data[1];
    c.profileCompatibility = data[2];
    c.levelIndication = data[3];
    c.nalLengthSize = static_cast<uint8_t>((data[4] & 3) + 1);
    if (c.nalLengthSize == 3) return c;
    c.spsCount = data[5] & 0x1F;
    size_t at = 6;
    for (int pass = 0; pass < 2; ++pass) {
        const int count = pass == 0 ? c.spsCount : data[at++];
        if (pass == 1) c.ppsCount = static_cast<uint8_t>(count);
        for (int i = 0; i < count; ++i) {
            if (size - at < 2) return c;
            const size_t length = static_cast<size_t>(data[at] << 8 | data[at + 1]);
            at += 2;
            if (length > size - at) return c;
            if (pass == 0 && i == 0) c.sps = parseH264Sps(data + at, length);
            at += length;
        }
        if (pass == 0 && at >= size) return c; // no room for the PPS count
    }
    c.ok = true;
    return c;
}

const char* h264ProfileName(uint8_t profileIdc, uint8_t constraintFlags) {
    const bool set1 = constraintFlags & 0x40;
    const bool set3 = constraintFlags & 0x10;
    switch (profileIdc) {
    case 66:
        return set1 ? "Constrained Baseline" : "Baseline";
    case 77:
        return "Main";
    case 88:
        return "Extended";
    case 100:
        return "High";
    case 110:
        return set3 ? "High 10 Intra" : "High 10";
    case 122:
        return set3 ? "High 4:2:2 Intra" : "High 4:2:2";
    case 244:
        return set3 ? "High 4:4:4 Intra" : "High 4:4:4 Predictive";
    case 44:
        return "CAVLC 4:4:4";
    case 118:
        return "Multiview High";
    case 128:
        return "Stereo High";
    case 83:
        return "Scalable Baseline";
    case 86:
        return "Scalable High";
    default:
        return "";
    }
}

} // namespace tavro
