// Recording the `movi` chunks as runs per stream, and collecting each audio stream's
// payload bytes for the MPEG audio scan.
#pragma once
#include <cstdint>

#include "analysis/media_info.h"

namespace tavro {

void recordVideoChunk(MediaInfo& info, uint32_t chunk);
void recordAudioChunk(MediaInfo& info, uint32_t chunk, int stream);
// Drops the last run, which the end of the head has most likely cut.
void closeRuns(MediaInfo& info);

} // namespace tavro
