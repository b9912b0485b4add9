// Builds RIFF trees byte by byte for tests, with sizes that may lie on purpose.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace tavro::test {

using Bytes = std::vector<uint8_t>;

inline void putLe16(Bytes& b, uint16_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}
inline void putLe32(Bytes& b, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
inline void putText(Bytes& b, const std::string& s) {
    b.insert(b.end(), s.begin(), s.end());
}
inline Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A chunk with its real size, padded to even; `sizeOverride` writes another size.
inline Bytes chunk(const std::string& code, const Bytes& payload, int64_t sizeOverride = -1) {
    Bytes b;
    putText(b, code);
    putLe32(b, sizeOverride >= 0 ? static_cast<uint32_t>(sizeOverride)
                                 : static_cast<uint32_t>(payload.size()));
    b.insert(b.end(), payload.begin(), payload.end());
    if (payload.size() % 2) b.push_back(0);
    return b;
}
inline Bytes list(const std::string& code, const std::string& type, const Bytes& children,
                  int64_t sizeOverride = -1) {
    Bytes payload;
    putText(payload, type);
    payload.insert(payload.end(), children.begin(), children.end());
    return chunk(code, payload, sizeOverride);
}
inline Bytes text(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

inline Bytes avih(uint32_t usPerFrame, uint32_t frames, uint32_t streams, uint32_t w, uint32_t h) {
    Bytes p;
    for (uint32_t v : {usPerFrame, 0u, 0u, 0x10u, frames, 0u, streams, 0u, w, h, 0u, 0u, 0u, 0u})
        putLe32(p, v);
    return chunk("avih", p);
}
inline Bytes strh(const std::string& type, const std::string& handler, uint32_t scale,
                  uint32_t rate, uint32_t length) {
    Bytes p;
    putText(p, type);
    putText(p, handler);
    for (uint32_t v : {0u, 0u, 0u, scale, rate, 0u, length, 0u, 0u, 0u, 0u, 0u, 0u, 0u})
        putLe32(p, v);
    return chunk("strh", p);
}
inline Bytes bitmapStrf(uint32_t w, uint32_t h, uint32_t compression, uint16_t bits = 24) {
    Bytes p;
    putLe32(p, 40);
    putLe32(p, w);
    putLe32(p, h);
    putLe16(p, 1);
    putLe16(p, bits);
    putLe32(p, compression);
    for (int i = 0; i < 5; ++i)
        putLe32(p, 0);
    return chunk("strf", p);
}
inline Bytes waveFormat(uint16_t tag, uint16_t channels, uint32_t rate, uint32_t avg,
                        uint16_t align, uint16_t bits) {
    Bytes p;
    putLe16(p, tag);
    putLe16(p, channels);
    putLe32(p, rate);
    putLe32(p, avg);
    putLe16(p, align);
    putLe16(p, bits);
    return p;
}
inline uint32_t fourcc(const char* s) {
    return uint32_t(uint8_t(s[0])) | uint32_t(uint8_t(s[1])) << 8 | uint32_t(uint8_t(s[2])) << 16 |
           uint32_t(uint8_t(s[3])) << 24;
}

// A small AVI: one video stream, optional PCM audio, `frames` video chunks in movi.
inline Bytes simpleAvi(const Bytes& extraHdrl = {}, const Bytes& extraRiff = {},
                       bool withAudio = true) {
    Bytes strls = list("LIST", "strl",
                       strh("vids", "MJPG", 1, 25, 10) + bitmapStrf(320, 240, fourcc("MJPG")));
    if (withAudio)
        strls = strls + list("LIST", "strl",
                             strh("auds", std::string(4, '\0'), 1, 44100, 44100) +
                                 chunk("strf", waveFormat(1, 2, 44100, 176400, 4, 16)));
    Bytes hdrl =
        list("LIST", "hdrl", avih(40000, 10, withAudio ? 2 : 1, 320, 240) + strls + extraHdrl);
    Bytes movi;
    for (int i = 0; i < 10; ++i) {
        movi = movi + chunk("00dc", Bytes(100, uint8_t(i)));
        if (withAudio) movi = movi + chunk("01wb", Bytes(64, 0x11));
    }
    return list("RIFF", "AVI ", hdrl + extraRiff + list("LIST", "movi", movi));
}

} // namespace tavro::test
