// Profile, level and bit depth of an AVI's H.264 or HEVC video, from the first
// parameter set in the head: what a FourCC alone does not tell about whether a
// decoder copes ("High 10", 4:2:2).
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "analysis/streams/media_streams.h"

namespace tavro {

// The stream facts the parameter set gives (codec empty when the FourCC is not an
// H.264 or HEVC one, or no parameter set parses in `head`).
StreamFacts aviVideoFacts(uint32_t fourcc, const uint8_t* head, size_t size);

// The AAC profile ("LC", "HE-AAC") of an AVI audio stream from the bytes its format
// carries past the first 16 (cbSize, then the AudioSpecificConfig); "" otherwise.
std::string aviAudioProfile(uint16_t formatTag, const uint8_t* extra, size_t size);

} // namespace tavro
