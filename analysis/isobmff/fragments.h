// Movie fragments: each moof's track runs added to their tracks' sample sums.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "analysis/isobmff/movie_box.h"

namespace tavro {

void readMovieFragment(const uint8_t* payload, size_t size, const IsoLimits& limits,
                       const std::vector<TrackDefaults>& defaults, IsoFile& file);

} // namespace tavro
