// Boxes built byte by byte for the reader's tests and fuzz seeds.
#pragma once
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <vector>

namespace tavro::test {

using Bytes = std::vector<uint8_t>;

inline void put32(Bytes& b, uint64_t v) {
    for (int s = 24; s >= 0; s -= 8)
        b.push_back(static_cast<uint8_t>(v >> s));
}
inline void put16(Bytes& b, uint32_t v) {
    b.push_back(static_cast<uint8_t>(v >> 8));
    b.push_back(static_cast<uint8_t>(v));
}

inline Bytes cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

inline Bytes box(const char* type, const Bytes& payload) {
    Bytes b;
    put32(b, payload.size() + 8);
    b.insert(b.end(), type, type + 4);
    b.insert(b.end(), payload.begin(), payload.end());
    return b;
}

// A full box: version and flags, then the 32-bit fields given.
inline Bytes fullBox(const char* type, uint32_t versionFlags, std::initializer_list<uint64_t> u32s,
                     const Bytes& tail = {}) {
    Bytes p;
    put32(p, versionFlags);
    for (uint64_t v : u32s)
        put32(p, v);
    p.insert(p.end(), tail.begin(), tail.end());
    return box(type, p);
}

// A video track of `n` samples, 25 per second, whose stsd is followed by `tables`.
inline Bytes videoTrakWith(uint32_t id, uint32_t n, const Bytes& tables) {
    Bytes tkhdTail(52, 0);
    put32(tkhdTail, 176u << 16);
    put32(tkhdTail, 144u << 16);
    Bytes mdhdTail;
    put16(mdhdTail, (('e' - 0x60) << 10) | (('n' - 0x60) << 5) | ('g' - 0x60));
    put16(mdhdTail, 0);
    Bytes hdlrTail(12, 0);
    for (uint8_t c : {uint8_t{'C'}, uint8_t{'a'}, uint8_t{'m'}, uint8_t{0}})
        hdlrTail.push_back(c);
    Bytes visual(24, 0);
    visual[7] = 1;
    put16(visual, 176);
    put16(visual, 144);
    visual.resize(visual.size() + 50, 0);
    const Bytes stbl = box("stbl", cat({fullBox("stsd", 0, {1}, box("avc1", visual)), tables}));
    return box("trak", cat({fullBox("tkhd", 1, {0, 0, id, 0, 0}, tkhdTail),
                            box("mdia", cat({fullBox("mdhd", 0, {0, 0, 12800, n * 512}, mdhdTail),
                                             fullBox("hdlr", 0, {0, 0x76696465}, hdlrTail),
                                             box("minf", stbl)}))}));
}

// A video track of `sizes.size()` samples of one chunk at `chunkOffset`, 25 per second.
inline Bytes videoTrak(uint32_t id, const std::vector<uint32_t>& sizes, uint32_t chunkOffset) {
    Bytes stszTail;
    for (uint32_t s : sizes)
        put32(stszTail, s);
    const auto n = static_cast<uint32_t>(sizes.size());
    return videoTrakWith(
        id, n,
        cat({fullBox("stts", 0, {1, n, 512}), fullBox("stsz", 0, {0, n}, stszTail),
             fullBox("stsc", 0, {1, 1, n, 1}), fullBox("stco", 0, {1, chunkOffset})}));
}

inline Bytes ftyp() {
    Bytes p;
    for (const char* t : {"isom", "\0\0\2\0", "isom", "mp41"})
        p.insert(p.end(), t, t + 4);
    return box("ftyp", p);
}

// ftyp, moov, mdat: a three-sample track whose samples fill the mdat exactly.
inline Bytes smallMovie() {
    const std::vector<uint32_t> sizes = {10, 20, 30};
    const Bytes mvhd = fullBox("mvhd", 0, {0, 0, 1000, 120});
    const Bytes probe = cat({ftyp(), box("moov", cat({mvhd, videoTrak(1, sizes, 0)}))});
    const auto chunk = static_cast<uint32_t>(probe.size() + 8);
    return cat({ftyp(), box("moov", cat({mvhd, videoTrak(1, sizes, chunk)})),
                box("mdat", Bytes(60, 0xAB))});
}

// A fragmented movie: defaults in trex, one fragment of two samples (512 ticks each,
// 150 and 50 bytes), and a movie extends header of 2000 ms.
inline Bytes fragmentedMovie() {
    const Bytes mvex =
        box("mvex", cat({fullBox("mehd", 0, {2000}), fullBox("trex", 0, {1, 1, 512, 100, 0})}));
    const Bytes moov =
        box("moov", cat({fullBox("mvhd", 0, {0, 0, 1000, 0}), videoTrak(1, {}, 0), mvex}));
    const Bytes traf =
        box("traf", cat({fullBox("tfhd", 0x20000, {1}), fullBox("trun", 0x201, {2, 0, 150, 50})}));
    const Bytes moof = box("moof", cat({fullBox("mfhd", 0, {1}), traf}));
    return cat({ftyp(), moov, moof, box("mdat", Bytes(200, 0))});
}

} // namespace tavro::test
