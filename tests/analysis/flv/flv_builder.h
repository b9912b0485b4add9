// FLV files built byte by byte for the reader's tests: header, tags with their back
// pointers, and AMF0 metadata.
#pragma once
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace tavro {
namespace test {

using Bytes = std::vector<uint8_t>;

inline void put32(Bytes& b, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        b.push_back(uint8_t(v >> shift));
}

// The 9-byte header and the first back pointer (0).
inline Bytes flvHeader(uint8_t flags = 0x05, uint32_t dataOffset = 9) {
    Bytes b = {'F', 'L', 'V', 1, flags};
    put32(b, dataOffset);
    put32(b, 0);
    return b;
}

// One tag and the back pointer after it.
inline Bytes flvTag(uint8_t type, uint32_t timestamp, const Bytes& data) {
    const uint32_t size = static_cast<uint32_t>(data.size());
    Bytes b = {type,
               uint8_t(size >> 16),
               uint8_t(size >> 8),
               uint8_t(size),
               uint8_t(timestamp >> 16),
               uint8_t(timestamp >> 8),
               uint8_t(timestamp),
               uint8_t(timestamp >> 24),
               0,
               0,
               0};
    b.insert(b.end(), data.begin(), data.end());
    put32(b, size + 11);
    return b;
}

inline void amfString(Bytes& b, const std::string& s) {
    b.push_back(uint8_t(s.size() >> 8));
    b.push_back(uint8_t(s.size()));
    b.insert(b.end(), s.begin(), s.end());
}

inline void amfNumber(Bytes& b, double v) {
    b.push_back(0x00);
    uint64_t bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    for (int shift = 56; shift >= 0; shift -= 8)
        b.push_back(uint8_t(bits >> shift));
}

// "onMetaData" and an ECMA array of numbers.
inline Bytes onMetaData(const std::vector<std::pair<std::string, double>>& numbers) {
    Bytes b = {0x02};
    amfString(b, "onMetaData");
    b.push_back(0x08);
    put32(b, static_cast<uint32_t>(numbers.size()));
    for (const auto& n : numbers) {
        amfString(b, n.first);
        amfNumber(b, n.second);
    }
    b.insert(b.end(), {0x00, 0x00, 0x09});
    return b;
}

// An AAC sequence header (LC, 44.1 kHz stereo) and a raw AAC frame.
inline Bytes aacSequenceHeader() {
    return {0xAF, 0x00, 0x12, 0x10};
}
inline Bytes aacFrame() {
    return {0xAF, 0x01, 0x21, 0x00, 0x03, 0x40};
}

// A Sorenson Spark key frame whose picture header gives 320x240 (size code 5).
inline Bytes sparkFrame() {
    return {0x12, 0x00, 0x00, 0x80, 0x02, 0x80, 0x00, 0x00, 0x00};
}

} // namespace test
} // namespace tavro
