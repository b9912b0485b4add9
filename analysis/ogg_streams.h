// The Ogg reader's findings copied into the AVI model and the report, so Ogg/OGM
// files go through the same video, audio and codec status fields as AVI files.
#pragma once
#include <cstddef>
#include <cstdint>

#include "analysis/analysis.h"

namespace tavro {

// 0 when the streams were read (the file is an Ogg media stream); 1 to 6 for the
// reader's failures, after which the caller shows the file as plain Ogg audio.
int readOggIntoModel(Analysis& a, const uint8_t* head, size_t length);

} // namespace tavro
