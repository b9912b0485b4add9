// What an elementary stream holds: named from its stream_type and descriptors, then
// confirmed and measured from its first payload bytes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "analysis/mpegts/ts_file.h"

namespace tavro {

// Sets kind and codec from streamType, registration and descriptorTag.
// `programRegistration` is the program's own registration ("HDMV" on Blu-ray), which
// gives the user-private stream types their Blu-ray meaning.
void classifyTsStream(TsStream& stream, const std::string& programRegistration);

// Looks for the codec's configuration (SPS, sequence header, ADTS, AC-3 or DTS sync,
// MPEG audio header) in the payload gathered from the stream's first PES packets.
void probeTsStream(TsStream& stream, const uint8_t* data, size_t size);

// Frames per second as the configuration found says; 0 when it does not.
double configFrameRate(const TsStream& stream);

// One frame's length in 90 kHz ticks from the configuration (or frameRate); 0 unknown.
uint64_t frameTicksOf(const TsStream& stream);

// A rate counted from timestamps, put on the usual rate it is within 1% of.
double snapFrameRate(double counted);

} // namespace tavro
