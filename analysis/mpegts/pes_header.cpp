#include "analysis/mpegts/pes_header.h"

namespace tavro {

namespace {

bool hasOptionalHeader(uint8_t streamId) {
    switch (streamId) {
    case 0xBC: // program stream map
    case 0xBE: // padding
    case 0xBF: // private stream 2
    case 0xF0: // ECM
    case 0xF1: // EMM
    case 0xF2: // DSM-CC
    case 0xF8: // H.222.1 type E
    case 0xFF: // program stream directory
        return false;
    }
    return true;
}

// A PTS or DTS: 3 + 15 + 15 bits with marker bits between.
uint64_t timeStamp(const uint8_t* p) {
    return uint64_t(p[0] >> 1 & 0x07) << 30 | uint64_t(p[1]) << 22 | uint64_t(p[2] >> 1) << 15 |
           uint64_t(p[3]) << 7 | uint64_t(p[4] >> 1);
}

} // namespace

PesHeader parsePesHeader(const uint8_t* d, size_t size) {
    PesHeader h;
    if (size < 6 || d[0] != 0 || d[1] != 0 || d[2] != 1) return h;
    h.streamId = d[3];
    h.packetLength = static_cast<uint16_t>(d[4] << 8 | d[5]);
    if (!hasOptionalHeader(h.streamId)) {
        h.payloadOffset = 6;
        h.ok = true;
        return h;
    }
    if (size < 9 || (d[6] & 0xC0) != 0x80) return h; // '10' marker bits
    const size_t headerLength = d[8];
    if (headerLength > size - 9) return h;
    h.payloadOffset = 9 + headerLength;
    if ((d[7] & 0x80) && headerLength >= 5) {
        h.hasPts = true;
        h.pts = timeStamp(d + 9);
    }
    h.ok = true;
    return h;
}

} // namespace tavro
