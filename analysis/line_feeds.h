// Counting line feeds, and those right after a carriage return, over a span of bytes:
// the tell-tale of a file sent through a text-mode transfer.
#pragma once
#include <cstddef>
#include <cstdint>

namespace tavro {

struct LineFeeds {
    uint64_t all = 0;
    uint64_t afterReturn = 0; // preceded by 0x0D
};

// Counts positions 1 to length - 1: position 0 has no byte before it and is skipped.
LineFeeds countLineFeeds(const uint8_t* data, size_t length);

} // namespace tavro
