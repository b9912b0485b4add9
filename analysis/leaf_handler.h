// What the RIFF walk keeps of each leaf chunk, chosen by the chunk's path.
#pragma once
#include <cstdint>
#include <string>

#include "analysis/analysis.h"

namespace tavro {

// `chunk` is the leaf's offset in the head; its 8-byte header lies inside the head.
void onLeafChunk(Analysis& a, uint32_t chunk, const std::string& path);

} // namespace tavro
