// The movie box in memory: the movie header, the fragment defaults and every track.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "analysis/isobmff/iso_reader.h"
#include "analysis/streams/map_feed.h"

namespace tavro {

// Per-track defaults for movie fragments (trex), used when a fragment leaves them out.
struct TrackDefaults {
    uint32_t trackId = 0;
    uint32_t sampleDuration = 0;
    uint32_t sampleSize = 0;
};

// With `map`, each track's samples go to the file map as the stream of its place in
// `file.tracks`.
void readMovieBox(const uint8_t* payload, size_t size, const IsoLimits& limits, IsoFile& file,
                  std::vector<TrackDefaults>& defaults, MapFeed* map = nullptr);

// Seconds, frame rate, bit rate and missing time from the sums gathered so far.
void finishTrack(IsoTrack& track);

} // namespace tavro
