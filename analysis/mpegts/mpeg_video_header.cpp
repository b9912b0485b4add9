#include "analysis/mpegts/mpeg_video_header.h"

#include "analysis/codec_config/bit_reader.h"

namespace tavro {

namespace {

constexpr uint8_t kSequenceHeader = 0xB3;
constexpr uint8_t kExtension = 0xB5;

bool startCodeAt(const uint8_t* p, size_t left, uint8_t code) {
    return left >= 4 && p[0] == 0 && p[1] == 0 && p[2] == 1 && p[3] == code;
}

void rateOfCode(uint8_t code, uint32_t& num, uint32_t& den) {
    static const uint32_t kRates[9][2] = {{0, 0},  {24000, 1001}, {24, 1},
                                          {25, 1}, {30000, 1001}, {30, 1},
                                          {50, 1}, {60000, 1001}, {60, 1}};
    if (code >= 1 && code <= 8) {
        num = kRates[code][0];
        den = kRates[code][1];
    }
}

// Where the sequence extension would begin: past the header and its optional matrices.
size_t headerLength(BitReader& br) {
    br.skip(10 + 1);                // vbv_buffer_size, constrained_parameters_flag
    if (br.flag()) br.skip(64 * 8); // intra quantiser matrix
    if (br.flag()) br.skip(64 * 8); // non-intra quantiser matrix
    return static_cast<size_t>((br.position() + 7) / 8);
}

} // namespace

MpegVideoSequence parseMpegVideoSequence(const uint8_t* data, size_t size) {
    MpegVideoSequence seq;
    if (!startCodeAt(data, size, kSequenceHeader)) return seq;
    BitReader br(data + 4, size - 4);
    seq.width = br.bits(12);
    seq.height = br.bits(12);
    seq.aspectCode = static_cast<uint8_t>(br.bits(4));
    seq.frameRateCode = static_cast<uint8_t>(br.bits(4));
    const uint32_t rate = br.bits(18);
    if (!br.flag()) return MpegVideoSequence{}; // marker bit
    const size_t length = 4 + headerLength(br);
    if (br.overrun() || seq.width == 0 || seq.height == 0) return MpegVideoSequence{};
    rateOfCode(seq.frameRateCode, seq.frameRateNum, seq.frameRateDen);
    uint32_t rateUnits = rate == 0x3FFFF ? 0 : rate; // all ones: variable bitrate (MPEG-1)
    seq.ok = true;

    if (length <= size && startCodeAt(data + length, size - length, kExtension)) {
        BitReader ext(data + length + 4, size - length - 4);
        if (ext.bits(4) == 1) { // sequence extension
            const uint8_t profileAndLevel = static_cast<uint8_t>(ext.bits(8));
            const bool progressive = ext.flag();
            const uint8_t chroma = static_cast<uint8_t>(ext.bits(2));
            const uint32_t widthExt = ext.bits(2), heightExt = ext.bits(2);
            const uint32_t rateExt = ext.bits(12);
            ext.skip(1 + 8 + 1); // marker, vbv_buffer_size_extension, low_delay
            const uint32_t rateN = ext.bits(2), rateD = ext.bits(5);
            if (!ext.overrun()) {
                seq.mpeg2 = true;
                seq.profileAndLevel = profileAndLevel;
                seq.progressive = progressive;
                seq.chromaFormat = chroma ? chroma : 1;
                seq.width |= widthExt << 12;
                seq.height |= heightExt << 12;
                rateUnits |= rateExt << 18;
                if (seq.frameRateDen) {
                    seq.frameRateNum *= rateN + 1;
                    seq.frameRateDen *= rateD + 1;
                }
            }
        }
    }
    seq.bitRate = rateUnits > UINT32_MAX / 400 ? 0 : rateUnits * 400;
    return seq;
}

MpegVideoSequence findMpegVideoSequence(const uint8_t* data, size_t size) {
    for (size_t i = 0; size >= 4 && i <= size - 4; ++i) {
        if (data[i] != 0 || !startCodeAt(data + i, size - i, kSequenceHeader)) continue;
        MpegVideoSequence seq = parseMpegVideoSequence(data + i, size - i);
        if (seq.ok) return seq;
    }
    return MpegVideoSequence{};
}

const char* mpeg2ProfileName(const MpegVideoSequence& seq) {
    if (!seq.mpeg2) return "";
    if (seq.profileAndLevel & 0x80) {
        switch (seq.profileAndLevel & 0x0F) {
        case 0x5:
        case 0x2:
            return "4:2:2";
        case 0xE:
        case 0xD:
        case 0xB:
        case 0xA:
            return "Multiview";
        }
        return "";
    }
    switch ((seq.profileAndLevel >> 4) & 7) {
    case 1:
        return "High";
    case 2:
        return "Spatially Scalable";
    case 3:
        return "SNR Scalable";
    case 4:
        return "Main";
    case 5:
        return "Simple";
    }
    return "";
}

const char* mpeg2LevelName(const MpegVideoSequence& seq) {
    if (!seq.mpeg2 || (seq.profileAndLevel & 0x80)) return "";
    switch (seq.profileAndLevel & 0x0F) {
    case 4:
        return "High";
    case 6:
        return "High 1440";
    case 8:
        return "Main";
    case 10:
        return "Low";
    }
    return "";
}

} // namespace tavro
