// Transport packets built byte by byte for the reader's tests: tables with their
// CRC, PES packets with a PTS, and whole small streams.
#pragma once
#include <cstdint>
#include <vector>

#include "analysis/mpegts/psi_section.h"

namespace tavro {
namespace test {

using Bytes = std::vector<uint8_t>;

struct PacketSpec {
    uint16_t pid = 0;
    bool unitStart = false;
    uint8_t cc = 0;
    uint8_t scrambling = 0;
    bool discontinuity = false;
};

// One 188-byte packet; the payload is padded by an adaptation field of stuffing (or
// cut to fit) so that a short payload ends the packet exactly.
inline Bytes packet(const PacketSpec& s, const Bytes& payload) {
    Bytes p = {0x47, uint8_t((s.unitStart ? 0x40 : 0) | (s.pid >> 8 & 0x1F)), uint8_t(s.pid),
               uint8_t(s.scrambling << 6 | 0x10 | (s.cc & 0x0F))};
    const size_t room = 184;
    if (payload.size() < room || s.discontinuity) {
        const size_t take = payload.size() < room - 2 ? payload.size() : room - 2;
        p[3] |= 0x20;
        const size_t afLength = room - 1 - take;
        p.push_back(uint8_t(afLength));
        if (afLength > 0) {
            p.push_back(s.discontinuity ? 0x80 : 0x00);
            p.insert(p.end(), afLength - 1, 0xFF);
        }
        p.insert(p.end(), payload.begin(), payload.begin() + static_cast<long>(take));
    } else {
        p.insert(p.end(), payload.begin(), payload.begin() + static_cast<long>(room));
    }
    return p;
}

// A long-form section: table id, id field, the body, and its CRC.
inline Bytes section(uint8_t tableId, uint16_t id, const Bytes& body) {
    const size_t length = 5 + body.size() + 4;
    Bytes s = {tableId,
               uint8_t(0xB0 | (length >> 8 & 0x0F)),
               uint8_t(length),
               uint8_t(id >> 8),
               uint8_t(id),
               0xC1,
               0x00,
               0x00};
    s.insert(s.end(), body.begin(), body.end());
    const uint32_t crc = mpegCrc32(s.data(), s.size());
    for (int shift = 24; shift >= 0; shift -= 8)
        s.push_back(uint8_t(crc >> shift));
    return s;
}

inline Bytes pat(const std::vector<std::pair<uint16_t, uint16_t>>& programs) {
    Bytes body;
    for (const auto& p : programs) {
        body.push_back(uint8_t(p.first >> 8));
        body.push_back(uint8_t(p.first));
        body.push_back(uint8_t(0xE0 | p.second >> 8));
        body.push_back(uint8_t(p.second));
    }
    return section(0x00, 1, body);
}

struct EsSpec {
    uint8_t type = 0;
    uint16_t pid = 0;
    Bytes descriptors;
};

inline Bytes pmt(uint16_t program, const std::vector<EsSpec>& streams) {
    Bytes body = {0xE1, 0x00, 0xF0, 0x00}; // PCR PID 0x100, no program descriptors
    for (const EsSpec& e : streams) {
        body.push_back(e.type);
        body.push_back(uint8_t(0xE0 | e.pid >> 8));
        body.push_back(uint8_t(e.pid));
        body.push_back(uint8_t(0xF0 | e.descriptors.size() >> 8));
        body.push_back(uint8_t(e.descriptors.size()));
        body.insert(body.end(), e.descriptors.begin(), e.descriptors.end());
    }
    return section(0x02, program, body);
}

// A section spread over as many packets as it needs, the first with a pointer field.
inline Bytes sectionPackets(uint16_t pid, const Bytes& sec) {
    Bytes out;
    Bytes rest = {0x00};
    rest.insert(rest.end(), sec.begin(), sec.end());
    for (uint8_t cc = 0; !rest.empty(); ++cc) {
        const size_t take = rest.size() < 184 ? rest.size() : 184;
        const Bytes part(rest.begin(), rest.begin() + static_cast<long>(take));
        const Bytes p = packet({pid, cc == 0, cc}, part);
        out.insert(out.end(), p.begin(), p.end());
        rest.erase(rest.begin(), rest.begin() + static_cast<long>(take));
    }
    return out;
}

// Pointer field 0, then the section.
inline Bytes psiPayload(const Bytes& sec) {
    Bytes p = {0x00};
    p.insert(p.end(), sec.begin(), sec.end());
    return p;
}

inline Bytes pes(uint8_t streamId, uint64_t pts, const Bytes& data) {
    Bytes p = {0, 0, 1, streamId, 0, 0, 0x80, 0x80, 5};
    p.push_back(uint8_t(0x21 | (pts >> 29 & 0x0E)));
    p.push_back(uint8_t(pts >> 22));
    p.push_back(uint8_t(0x01 | (pts >> 14 & 0xFE)));
    p.push_back(uint8_t(pts >> 7));
    p.push_back(uint8_t(0x01 | (pts << 1 & 0xFE)));
    p.insert(p.end(), data.begin(), data.end());
    return p;
}

// An MPEG-2 sequence header with its extension (Main profile at Main level, 4:2:0).
inline Bytes mpeg2Sequence(uint32_t width, uint32_t height, uint8_t rateCode) {
    // Sizes, aspect 2 and the rate code; bit rate 313 units, marker, VBV size, no matrices.
    Bytes s = {0,
               0,
               1,
               0xB3,
               uint8_t(width >> 4),
               uint8_t((width & 0xF) << 4 | height >> 8),
               uint8_t(height),
               uint8_t(0x20 | rateCode),
               0x00,
               0x4E,
               0x60,
               0x00};
    // Sequence extension: Main profile at Main level, progressive, 4:2:0.
    const Bytes ext = {0, 0, 1, 0xB5, 0x14, 0x8A, 0x00, 0x01, 0x00, 0x00};
    s.insert(s.end(), ext.begin(), ext.end());
    return s;
}

// Two ADTS frames of AAC LC, 48 kHz stereo, 16 bytes each.
inline Bytes adtsFrames() {
    const Bytes h = {0xFF, 0xF1, 0x4C, 0x80, 0x02, 0x1F, 0xFC};
    Bytes f;
    for (int k = 0; k < 2; ++k) {
        f.insert(f.end(), h.begin(), h.end());
        f.insert(f.end(), 9, 0x00);
    }
    return f;
}

} // namespace test
} // namespace tavro
