// The Segment's metadata elements, parsed from payloads held in memory: SeekHead,
// Info, Tracks and Tags.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "analysis/matroska/mkv_file.h"

namespace tavro {

struct MkvElementLimits {
    size_t maxChildren = 200000; // elements in one master
    size_t maxTracks = 256;
    size_t maxDepth = 16; // nested SimpleTags
    size_t maxSeekEntries = 1024;
};

struct SeekEntry {
    uint32_t id = 0;
    uint64_t position = 0; // from the Segment's data start, as written
};

std::vector<SeekEntry> parseSeekHead(const uint8_t* data, size_t size,
                                     const MkvElementLimits& limits, MkvFile& file);
void parseInfo(const uint8_t* data, size_t size, const MkvElementLimits& limits, MkvFile& file);
void parseTracks(const uint8_t* data, size_t size, const MkvElementLimits& limits, MkvFile& file);
void parseTags(const uint8_t* data, size_t size, const MkvElementLimits& limits, MkvFile& file);

// "01:02:03.500000000" (the statistics tags' DURATION) in seconds; -1 when it is not one.
double parseTagDuration(const char* text, size_t size);

} // namespace tavro
