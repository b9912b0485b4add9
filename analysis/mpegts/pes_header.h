// The head of a PES packet: stream id, where the payload starts, and its PTS.
#pragma once
#include <cstddef>
#include <cstdint>

namespace tavro {

struct PesHeader {
    bool ok = false;
    uint8_t streamId = 0;
    uint16_t packetLength = 0; // 0: unbounded (video)
    bool hasPts = false;
    uint64_t pts = 0;         // 33 bits, 90 kHz
    size_t payloadOffset = 0; // from the start of the PES packet
};

// Reads the PES header at the start of a unit (00 00 01 first). Stream ids without
// the optional header (padding, private stream 2, ...) give a payload at 6.
PesHeader parsePesHeader(const uint8_t* data, size_t size);

} // namespace tavro
