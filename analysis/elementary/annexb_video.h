// H.264 and HEVC byte streams (start codes before every NAL unit): which of the two
// a head holds, its sequence parameter set, and the pictures that begin in it.
#pragma once
#include <cstddef>
#include <cstdint>

#include "analysis/elementary/elementary_file.h"

namespace tavro {

// Fills kind, nalUnits, pictures, h264/hevc and frameRate when the head is a start-
// code stream whose first `runNals` units are valid for one syntax and whose SPS
// parses. False (the record untouched) otherwise.
bool readAnnexBHead(const uint8_t* data, size_t size, uint32_t runNals, ElementaryFile& file);

} // namespace tavro
