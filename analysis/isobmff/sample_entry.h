// The sample description box: the first sample entry's codec, size, audio layout and
// its codec configuration record.
#pragma once
#include <cstddef>
#include <cstdint>

#include "analysis/isobmff/iso_file.h"

namespace tavro {

// Fills the codec fields of `track` from an stsd payload (version and flags first).
void readSampleDescriptions(const uint8_t* payload, size_t size, IsoTrack& track);

// The codec family a sample entry FourCC names ("AVC" for avc1/avc3); "" when unknown.
const char* codecOfSampleEntry(uint32_t type);

} // namespace tavro
