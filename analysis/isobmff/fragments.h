// Movie fragments: each moof's track runs added to their tracks' sample sums.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "analysis/isobmff/movie_box.h"

namespace tavro {

// With `map`, each track run's samples go to the file map, placed from the moof's
// first byte at `moofOffset` (or the base the track fragment gives).
void readMovieFragment(const uint8_t* payload, size_t size, const IsoLimits& limits,
                       const std::vector<TrackDefaults>& defaults, IsoFile& file,
                       MapFeed* map = nullptr, uint64_t moofOffset = 0);

} // namespace tavro
