// FLAC frame headers: the sync code, the coded block size and rate, the UTF-8-style
// frame or sample number and the CRC-8 that closes the header.
#pragma once
#include <cstddef>
#include <cstdint>

#include "analysis/flac/flac_file.h"

namespace tavro {

// Parses a frame header at the start of `data`; ok=false unless every field is
// valid and the CRC-8 matches.
FlacFrameHeader parseFlacFrameHeader(const uint8_t* data, size_t size);

// CRC-8, polynomial x^8 + x^2 + x + 1, as the frame header uses it.
uint8_t flacCrc8(const uint8_t* data, size_t size);

} // namespace tavro
