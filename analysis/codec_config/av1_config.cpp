#include "analysis/codec_config/av1_config.h"

#include "analysis/codec_config/bit_reader.h"

namespace tavro {

namespace {

constexpr uint32_t kObuSequenceHeader = 1;
// A stream that repeats temporal delimiters and padding still reaches its sequence
// header early; past this many OBUs there is none worth waiting for.
constexpr int kMaxObus = 4096;

void readOperatingPoints(BitReader& r, Av1SequenceHeader& h, bool decoderModel,
                         uint32_t bufferDelayBits) {
    const bool initialDisplayDelay = r.flag();
    h.operatingPoints = static_cast<uint8_t>(r.bits(5) + 1);
    for (int i = 0; i < h.operatingPoints && !r.overrun(); ++i) {
        r.skip(12); // operating_point_idc
        const uint32_t level = r.bits(5);
        const bool tier = level > 7 ? r.flag() : false;
        if (i == 0) {
            h.level = static_cast<uint8_t>(level);
            h.highTier = tier;
        }
        if (decoderModel && r.flag()) r.skip(2 * uint64_t{bufferDelayBits} + 1);
        if (initialDisplayDelay && r.flag()) r.skip(4);
    }
}

void readColorConfig(BitReader& r, Av1SequenceHeader& h) {
    const bool highBitDepth = r.flag();
    if (h.profile == 2 && highBitDepth)
        h.bitDepth = r.flag() ? 12 : 10;
    else
        h.bitDepth = highBitDepth ? 10 : 8;
    h.monochrome = h.profile == 1 ? false : r.flag();
    if (r.flag()) { // color_description_present_flag
        h.colourPrimaries = static_cast<uint8_t>(r.bits(8));
        h.transferCharacteristics = static_cast<uint8_t>(r.bits(8));
        h.matrixCoefficients = static_cast<uint8_t>(r.bits(8));
    }
    if (h.monochrome) {
        h.fullRange = r.flag();
        h.subsamplingX = h.subsamplingY = true;
        return;
    }
    // BT.709 primaries, sRGB transfer and identity matrix: 4:4:4 RGB, no bits spent.
    if (h.colourPrimaries == 1 && h.transferCharacteristics == 13 && h.matrixCoefficients == 0) {
        h.fullRange = true;
        h.subsamplingX = h.subsamplingY = false;
    } else {
        h.fullRange = r.flag();
        if (h.profile == 0) {
            h.subsamplingX = h.subsamplingY = true;
        } else if (h.profile == 1) {
            h.subsamplingX = h.subsamplingY = false;
        } else if (h.bitDepth == 12) {
            h.subsamplingX = r.flag();
            h.subsamplingY = h.subsamplingX ? r.flag() : false;
        } else {
            h.subsamplingX = true;
            h.subsamplingY = false;
        }
        if (h.subsamplingX && h.subsamplingY) r.skip(2); // chroma_sample_position
    }
    r.skip(1); // separate_uv_delta_q
}

} // namespace

Av1SequenceHeader parseAv1SequenceHeaderPayload(const uint8_t* data, size_t size) {
    Av1SequenceHeader h;
    BitReader r(data, size);
    h.profile = static_cast<uint8_t>(r.bits(3));
    if (h.profile > 2) return h;
    h.stillPicture = r.flag();
    h.reducedStillPictureHeader = r.flag();
    if (h.reducedStillPictureHeader) {
        h.operatingPoints = 1;
        h.level = static_cast<uint8_t>(r.bits(5));
    } else {
        bool decoderModel = false;
        uint32_t bufferDelayBits = 0;
        h.hasTiming = r.flag();
        if (h.hasTiming) {
            h.numUnitsInDisplayTick = r.bits(32);
            h.timeScale = r.bits(32);
            if (r.flag()) r.uvlc(); // num_ticks_per_picture_minus_1
            decoderModel = r.flag();
            if (decoderModel) {
                bufferDelayBits = r.bits(5) + 1;
                r.skip(32 + 5 + 5);
            }
        }
        readOperatingPoints(r, h, decoderModel, bufferDelayBits);
    }
    const int widthBits = static_cast<int>(r.bits(4)) + 1;
    const int heightBits = static_cast<int>(r.bits(4)) + 1;
    h.maxWidth = r.bits(widthBits) + 1;
    h.maxHeight = r.bits(heightBits) + 1;
    if (!h.reducedStillPictureHeader && r.flag()) r.skip(4 + 3); // frame ids
    r.skip(3); // 128x128 superblocks, filter intra, intra edge filter
    if (!h.reducedStillPictureHeader) {
        r.skip(4); // interintra, masked compound, warped motion, dual filter
        const bool orderHint = r.flag();
        if (orderHint) r.skip(2); // jnt_comp, ref_frame_mvs
        uint32_t forceScreenContent = 2;
        if (!r.flag()) forceScreenContent = r.bits(1);
        if (forceScreenContent > 0 && !r.flag()) r.skip(1); // seq_force_integer_mv
        if (orderHint) r.skip(3);
    }
    r.skip(3); // superres, cdef, restoration
    readColorConfig(r, h);
    r.skip(1); // film_grain_params_present
    h.ok = !r.overrun();
    return h;
}

Av1SequenceHeader findAv1SequenceHeader(const uint8_t* data, size_t size) {
    size_t at = 0;
    for (int n = 0; n < kMaxObus && at < size; ++n) {
        const uint8_t header = data[at];
        if (header & 0x80) break; // forbidden bit
        const uint32_t type = (header >> 3) & 0x0F;
        const bool extension = header & 0x04;
        const bool hasSize = header & 0x02;
        size_t pos = at + 1 + (extension ? 1 : 0);
        if (pos > size) break;
        uint64_t payload = size - pos;
        if (hasSize) {
            size_t length = 0;
            if (!readLeb128(data + pos, size - pos, payload, length)) break;
            pos += length;
            if (payload > size - pos) break;
        }
        if (type == kObuSequenceHeader)
            return parseAv1SequenceHeaderPayload(data + pos, static_cast<size_t>(payload));
        // The cursor always moves: at least the header byte is behind it.
        at = pos + static_cast<size_t>(payload);
    }
    return Av1SequenceHeader{};
}

Av1Config parseAv1Config(const uint8_t* data, size_t size) {
    Av1Config c;
    if (size < 4 || (data[0] & 0x80) == 0) return c;
    c.version = data[0] & 0x7F;
    if (c.version != 1) return c;
    c.profile = data[1] >> 5;
    c.level = data[1] & 0x1F;
    c.highTier = data[2] & 0x80;
    const bool highBitDepth = data[2] & 0x40;
    const bool twelveBit = data[2] & 0x20;
    c.bitDepth = highBitDepth ? (twelveBit ? 12 : 10) : 8;
    c.monochrome = data[2] & 0x10;
    c.subsamplingX = data[2] & 0x08;
    c.subsamplingY = data[2] & 0x04;
    c.chromaSamplePosition = data[2] & 0x03;
    c.hasInitialPresentationDelay = data[3] & 0x10;
    if (c.hasInitialPresentationDelay)
        c.initialPresentationDelay = static_cast<uint8_t>((data[3] & 0x0F) + 1);
    c.sequenceHeader = findAv1SequenceHeader(data + 4, size - 4);
    c.ok = true;
    return c;
}

const char* av1ProfileName(uint8_t profile) {
    switch (profile) {
    case 0:
        return "Main";
    case 1:
        return "High";
    case 2:
        return "Professional";
    default:
        return "";
    }
}

} // namespace tavro
