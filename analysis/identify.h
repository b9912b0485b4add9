// Deciding from the head and the file's size what kind of file this is, checking a
// RIFF file's length against its header, and the text-mode transfer ("cooked") test.
#pragma once
#include <cstddef>
#include <cstdint>

#include "analysis/analysis.h"

namespace tavro {

// Fills Size, File status, Type, typeCode and the container flags from the valid head.
void identify(Analysis& a, uint64_t fileSize);

// Looks into the raw CD sectors of a CD-XA `data` chunk at `chunk` (its offset in the
// head) for the first non-blank sector, and names it by signature.
void cdxaScan(Analysis& a, uint32_t chunk);

// Share of line feeds preceded by a carriage return, scaled to 256; 0 with 15 or
// fewer line feeds.
uint32_t cookedScore(const uint8_t* data, size_t length);

} // namespace tavro
