// Reading the logical streams of an Ogg/OGM head into the AVI model.
#pragma once
#include <cstddef>
#include <cstdint>

#include "analysis/analysis.h"

namespace tavro {

// 0 when the streams were read; 1 to 6 for the reader's failures, after which the
// caller shows the file as plain Ogg audio.
int readOggStreams(Analysis& a, const uint8_t* head, size_t length);

} // namespace tavro
