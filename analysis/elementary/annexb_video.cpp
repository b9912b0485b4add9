#include "analysis/elementary/annexb_video.h"

#include "analysis/codec_config/bit_reader.h"

namespace tavro {

namespace {

bool validH264Header(const NalSpan& n) {
    if (n.size < 1 || (n.data[0] & 0x80)) return false;
    const uint8_t type = n.data[0] & 0x1F;
    return type >= 1 && type <= 23;
}

bool validHevcHeader(const NalSpan& n) {
    if (n.size < 2 || (n.data[0] & 0x80)) return false;
    const uint8_t type = (n.data[0] >> 1) & 0x3F;
    return (n.data[1] & 7) != 0 && type <= 47 && !(type >= 10 && type <= 15);
}

// A slice that begins a picture: first_mb_in_slice 0 (H.264), or
// first_slice_segment_in_pic_flag set (HEVC); both are the next byte's top bit.
bool startsPicture(const NalSpan& n, bool hevc) {
    if (hevc) {
        const uint8_t type = (n.data[0] >> 1) & 0x3F;
        return type <= 31 && n.size > 2 && (n.data[2] & 0x80);
    }
    const uint8_t type = n.data[0] & 0x1F;
    return (type == 1 || type == 5) && n.size > 1 && (n.data[1] & 0x80);
}

// The stream must start with a start code, after at most a few zero bytes.
bool startsWithStartCode(const uint8_t* data, size_t size) {
    size_t i = 0;
    while (i < size && i < 16 && data[i] == 0)
        ++i;
    return i >= 2 && i < size && data[i] == 1;
}

} // namespace

bool readAnnexBHead(const uint8_t* data, size_t size, uint32_t runNals, ElementaryFile& f) {
    if (!startsWithStartCode(data, size)) return false;
    // The first units decide the syntax: HEVC's two-byte headers and H.264's one-byte
    // headers rarely both read as valid for long.
    size_t offset = 0;
    NalSpan nal;
    uint32_t seen = 0, h264Run = 0, hevcRun = 0;
    bool h264Broken = false, hevcBroken = false, parameterSet = false;
    while (seen < runNals * 4 && nextStartCodeNal(data, size, offset, nal)) {
        ++seen;
        if (!h264Broken && validH264Header(nal))
            ++h264Run;
        else
            h264Broken = true;
        if (!hevcBroken && validHevcHeader(nal)) {
            ++hevcRun;
            const uint8_t type = (nal.data[0] >> 1) & 0x3F;
            parameterSet = parameterSet || type == 32 || type == 33;
        } else {
            hevcBroken = true;
        }
    }
    bool hevc = false;
    if (hevcRun >= runNals && parameterSet) {
        f.hevc = findHevcSpsInByteStream(data, size);
        hevc = f.hevc.ok;
    }
    if (!hevc) {
        if (h264Run < runNals) return false;
        f.h264 = findH264SpsInByteStream(data, size);
        if (!f.h264.ok) return false;
    }
    f.kind = hevc ? ElementaryKind::hevc : ElementaryKind::h264;
    offset = 0;
    while (nextStartCodeNal(data, size, offset, nal)) {
        ++f.nalUnits;
        if (startsPicture(nal, hevc)) ++f.pictures;
    }
    if (!hevc && f.h264.frameRateNum && f.h264.frameRateDen)
        f.frameRate =
            static_cast<double>(f.h264.frameRateNum) / static_cast<double>(f.h264.frameRateDen);
    return true;
}

} // namespace tavro
