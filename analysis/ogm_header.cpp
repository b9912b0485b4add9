#include "analysis/ogm_header.h"

#include <cstring>

namespace tavro {

namespace {

uint16_t le16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint32_t le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
uint64_t le64(const uint8_t* p) {
    return le32(p) | (static_cast<uint64_t>(le32(p + 4)) << 32);
}

// Reads 32-bit lengths and the bytes they announce, never past `end`.
class Cursor {
  public:
    Cursor(const uint8_t* p, size_t n) : pos_(p), left_(n) {}
    bool u32(uint32_t& v) {
        if (left_ < 4) return false;
        v = le32(pos_);
        skip(4);
        return true;
    }
    bool text(uint32_t n, std::string& out) {
        if (n > left_) return false;
        out.assign(reinterpret_cast<const char*>(pos_), n);
        skip(n);
        return true;
    }
    bool byte(uint8_t& v) {
        if (left_ < 1) return false;
        v = *pos_;
        skip(1);
        return true;
    }
    size_t left() const { return left_; }

  private:
    void skip(size_t n) {
        pos_ += n;
        left_ -= n;
    }
    const uint8_t* pos_;
    size_t left_;
};

} // namespace

OggStreamType classifyBosPage(const uint8_t* body, size_t length) {
    if (length >= 7 && std::memcmp(body + 1, "vorbis", 6) == 0) return OggStreamType::VorbisAudio;
    if (length >= 1 + kOgmHeaderBytes && (body[0] & 7) == 1) {
        const char* type = reinterpret_cast<const char*>(body + 1);
        if (std::memcmp(type, "video", 5) == 0) return OggStreamType::Video;
        if (std::memcmp(type, "audio", 5) == 0) return OggStreamType::StandardAudio;
        if (std::memcmp(type, "text", 4) == 0) return OggStreamType::Text;
    }
    return OggStreamType::Unknown;
}

bool parseOgmHeader(const uint8_t* packet, size_t length, OgmStreamHeader& out) {
    uint8_t raw[kOgmHeaderBytes] = {};
    if (length < 2) {
        std::memset(&out, 0, sizeof out);
        return false;
    }
    const size_t have = length - 1 < kOgmHeaderBytes ? length - 1 : kOgmHeaderBytes;
    std::memcpy(raw, packet + 1, have);
    std::memcpy(out.streamType, raw, 8);
    std::memcpy(out.subtype, raw + 8, 4);
    out.size = le32(raw + 12);
    out.timeUnit = le64(raw + 16);
    out.samplesPerUnit = le64(raw + 24);
    out.defaultLength = le32(raw + 32);
    out.bufferSize = le32(raw + 36);
    out.bitsPerSample = le16(raw + 40);
    out.alignment = le16(raw + 42);
    out.widthOrAudio = le32(raw + 44);
    out.heightOrAvgRate = le32(raw + 48);
    out.reserved = le32(raw + 52);
    return true;
}

uint16_t ogmAudioFormatTag(const char subtype[4]) {
    uint32_t tag = 0;
    for (int i = 0; i < 4; ++i) {
        const char c = subtype[i];
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            break;
        tag = tag * 16 + static_cast<uint32_t>(digit);
    }
    return static_cast<uint16_t>(tag);
}

bool parseVorbisCommentPacket(const uint8_t* packet, size_t length, VorbisCommentBlock& out) {
    out = VorbisCommentBlock{};
    if (length < 7 || packet[0] != 3 || std::memcmp(packet + 1, "vorbis", 6) != 0) return false;
    Cursor cur(packet + 7, length - 7);
    VorbisCommentBlock block;
    uint32_t n = 0;
    if (!cur.u32(n) || !cur.text(n, block.vendor)) return false;
    uint32_t count = 0;
    if (!cur.u32(count)) return false;
    // Each comment takes at least its 4-byte length: a larger count is a lie.
    if (count > cur.left() / 4) return false;
    block.comments.resize(count);
    for (auto& comment : block.comments)
        if (!cur.u32(n) || !cur.text(n, comment)) return false;
    uint8_t framing = 0;
    if (!cur.byte(framing) || (framing & 1) == 0) return false;
    out = std::move(block);
    return true;
}

} // namespace tavro
