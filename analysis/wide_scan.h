// Scans over a head's bytes that go 32 bytes at a time where the processor can: they
// run over every file identified, looking for patterns about one byte in 256 starts.
#pragma once
#include <cstddef>
#include <cstdint>

namespace tavro {

struct LineFeeds {
    uint64_t all = 0;
    uint64_t afterReturn = 0; // preceded by 0x0D
};

// Line feeds, and those right after a carriage return: the tell-tale of a file sent
// through a text-mode transfer. Counts positions 1 to length - 1: position 0 has no
// byte before it and is skipped.
LineFeeds countLineFeeds(const uint8_t* data, size_t length);

// The first position from `from` on where 0xFF is followed by a byte whose top four
// bits are set, the start of an MPEG audio frame sync; `size` when there is none. A
// 0xFF in the last byte is no start.
size_t findMpegSync(const uint8_t* data, size_t from, size_t size);

} // namespace tavro
