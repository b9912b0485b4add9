// Transport packet framing: which packet size a file uses, where packets start, and
// one packet's header and adaptation field.
#pragma once
#include <cstddef>
#include <cstdint>

namespace tavro {

constexpr uint32_t kTsPacketBytes = 188;
constexpr uint8_t kTsSync = 0x47;
constexpr uint16_t kNullPid = 0x1FFF;

struct TsFraming {
    uint32_t stride = 0;  // 188, 192 or 204; 0 when no framing was found
    size_t firstSync = 0; // offset of the first sync byte in the span
};

// Looks for sync bytes at a steady stride over `runLength` packets in a row, trying
// each start in the first `searchBytes` of the span; 188 is tried first, then 192
// (M2TS: a 4-byte timestamp precedes each packet) and 204 (16 parity bytes follow).
TsFraming findTsFraming(const uint8_t* data, size_t size, size_t searchBytes, int runLength);

// The first offset at or after `from` with sync bytes at `stride` for `runLength`
// packets (fewer where the span ends first, but at least one); `size` when none.
size_t findResync(const uint8_t* data, size_t size, size_t from, uint32_t stride, int runLength);

struct TsPacketHeader {
    bool transportError = false;
    bool unitStart = false;
    uint16_t pid = 0;
    uint8_t scrambling = 0;
    bool hasAdaptation = false;
    bool hasPayload = false;
    uint8_t continuity = 0;
    bool discontinuity = false; // adaptation field's discontinuity_indicator
    bool badAdaptation = false; // adaptation field longer than the packet
    uint8_t payloadOffset = 4;  // where the payload starts in the 188 bytes
};

// Reads the 188-byte packet at `p` (sync byte first; the caller checked it). Inline:
// a walk calls it for every packet.
inline TsPacketHeader parseTsPacketHeader(const uint8_t* p) {
    TsPacketHeader h;
    h.transportError = (p[1] & 0x80) != 0;
    h.unitStart = (p[1] & 0x40) != 0;
    h.pid = static_cast<uint16_t>((p[1] & 0x1F) << 8 | p[2]);
    h.scrambling = p[3] >> 6;
    h.hasAdaptation = (p[3] & 0x20) != 0;
    h.hasPayload = (p[3] & 0x10) != 0;
    h.continuity = p[3] & 0x0F;
    if (h.hasAdaptation) {
        const uint8_t length = p[4];
        if (length > kTsPacketBytes - 5) {
            h.badAdaptation = true;
            h.hasPayload = false;
            h.payloadOffset = kTsPacketBytes;
            return h;
        }
        if (length > 0) h.discontinuity = (p[5] & 0x80) != 0;
        h.payloadOffset = static_cast<uint8_t>(5 + length);
    }
    return h;
}

} // namespace tavro
