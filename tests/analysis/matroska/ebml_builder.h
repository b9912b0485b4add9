// EBML elements built byte by byte for the Matroska reader's tests and fuzz seeds.
#pragma once
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

namespace tavro::test {

using Bytes = std::vector<uint8_t>;

inline Bytes cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

// A size as a variable-size integer of `length` bytes (the shortest when 0).
inline Bytes vsize(uint64_t v, int length = 0) {
    if (length == 0) {
        length = 1;
        while (length < 8 && v >= (1ull << (7 * length)) - 1)
            ++length;
    }
    Bytes b(static_cast<size_t>(length));
    for (int i = length - 1; i >= 0; --i, v >>= 8)
        b[static_cast<size_t>(i)] = static_cast<uint8_t>(v);
    b[0] |= static_cast<uint8_t>(0x80 >> (length - 1));
    return b;
}

// "Unknown size": every value bit set, in `length` bytes.
inline Bytes unknownSize(int length = 1) {
    Bytes b(static_cast<size_t>(length), 0xFF);
    b[0] = static_cast<uint8_t>((0xFF >> (length - 1)) & 0xFF);
    return b;
}

inline Bytes idOf(uint32_t id) {
    Bytes b;
    for (int s = 24; s >= 0; s -= 8)
        if (id >> s || !b.empty()) b.push_back(static_cast<uint8_t>(id >> s));
    return b;
}

inline Bytes el(uint32_t id, const Bytes& payload) {
    return cat({idOf(id), vsize(payload.size()), payload});
}
inline Bytes elSized(uint32_t id, const Bytes& size, const Bytes& payload) {
    return cat({idOf(id), size, payload});
}
// An unsigned integer in the fewest bytes, or in exactly `bytes` of them.
inline Bytes uintEl(uint32_t id, uint64_t v, int bytes = 0) {
    if (bytes == 0) {
        bytes = 1;
        while (bytes < 8 && v >> (8 * bytes))
            ++bytes;
    }
    Bytes p(static_cast<size_t>(bytes));
    for (int i = bytes - 1; i >= 0; --i, v >>= 8)
        p[static_cast<size_t>(i)] = static_cast<uint8_t>(v);
    return el(id, p);
}
inline Bytes strEl(uint32_t id, const std::string& s) {
    return el(id, Bytes(s.begin(), s.end()));
}
inline Bytes floatEl(uint32_t id, double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, 8);
    Bytes p;
    for (int s = 56; s >= 0; s -= 8)
        p.push_back(static_cast<uint8_t>(bits >> s));
    return el(id, p);
}

inline Bytes ebmlHeader(const std::string& docType = "matroska") {
    return el(0x1A45DFA3,
              cat({uintEl(0x4286, 1), uintEl(0x42F7, 1), uintEl(0x42F2, 4), uintEl(0x42F3, 8),
                   strEl(0x4282, docType), uintEl(0x4287, 4), uintEl(0x4285, 2)}));
}

inline Bytes info(double duration, const std::string& title = "Clip") {
    return el(0x1549A966, cat({uintEl(0x2AD7B1, 1000000), floatEl(0x4489, duration),
                               strEl(0x7BA9, title), strEl(0x4D80, "tavro-test")}));
}

// An OpusHead: version 1, two channels, 48 kHz, mapping family 0.
inline Bytes opusHead() {
    Bytes b = {'O', 'p', 'u', 's', 'H', 'e', 'a', 'd', 1, 2, 0x38, 0x01, 0x80, 0xBB, 0, 0, 0, 0, 0};
    return b;
}

inline Bytes videoTrack(uint64_t number) {
    return el(0xAE, cat({uintEl(0xD7, number), uintEl(0x73C5, 100 + number), uintEl(0x83, 1),
                         strEl(0x86, "V_VP8"), uintEl(0x23E383, 40000000), strEl(0x22B59C, "und"),
                         el(0xE0, cat({uintEl(0xB0, 320), uintEl(0xBA, 240)}))}));
}

inline Bytes audioTrack(uint64_t number) {
    return el(0xAE, cat({uintEl(0xD7, number), uintEl(0x73C5, 100 + number), uintEl(0x83, 2),
                         strEl(0x86, "A_OPUS"), el(0x63A2, opusHead()), uintEl(0x88, 0),
                         el(0xE1, cat({floatEl(0xB5, 48000), uintEl(0x9F, 2)}))}));
}

inline Bytes tracks() {
    return el(0x1654AE6B, cat({videoTrack(1), audioTrack(2)}));
}

// A SimpleBlock of `track` at `time` (relative to its cluster), a key frame.
inline Bytes simpleBlock(uint64_t track, int16_t time, size_t bytes = 8) {
    Bytes p = vsize(track);
    p.push_back(static_cast<uint8_t>(static_cast<uint16_t>(time) >> 8));
    p.push_back(static_cast<uint8_t>(time));
    p.push_back(0x80);
    p.resize(p.size() + bytes, 0x11);
    return el(0xA3, p);
}

inline Bytes cluster(uint64_t timestamp, int frames) {
    Bytes p = uintEl(0xE7, timestamp);
    for (int i = 0; i < frames; ++i)
        p = cat({p, simpleBlock(1, static_cast<int16_t>(40 * i))});
    return el(0x1F43B675, p);
}

inline Bytes cues() {
    return el(0x1C53BB6B, el(0xBB, cat({uintEl(0xB3, 0), el(0xB7, uintEl(0xF7, 1))})));
}

inline Bytes segment(const Bytes& payload) {
    return el(0x18538067, payload);
}

// A small whole file: header, Info (2 s), two tracks, two clusters of 25 frames, Cues.
inline Bytes smallFile(const std::string& docType = "webm") {
    return cat({ebmlHeader(docType),
                segment(cat({info(2000), tracks(), cluster(0, 25), cluster(1000, 25), cues()}))});
}

} // namespace tavro::test
