// The reader of ISO base media files (MP4, M4A, MOV, 3GP): a bounded walk of the top
// level by offset, then the movie box and fragment boxes parsed in memory.
#pragma once
#include <cstddef>
#include <cstdint>

#include "analysis/file_spans.h"
#include "analysis/isobmff/iso_file.h"
#include "analysis/streams/random_access.h"

namespace tavro {

struct IsoLimits {
    uint64_t maxMoovBytes = 64ull << 20;
    uint64_t maxMoofBytes = 16ull << 20;
    uint64_t maxTopBoxes = 1000000;
    size_t maxChildren = 200000; // boxes in one parent
    size_t maxTracks = 256;
    uint64_t maxTableEntries = 1ull << 24;
    // Takes where the boxes and every track's samples lie; null for no file map.
    SpanSink* spans = nullptr;
};

// Reads the file's boxes through `reader`: the top level by offset (sample data is
// skipped, never read), then the movie box and any fragment boxes in memory.
IsoFile readIsoFile(RandomAccessReader& reader, const IsoLimits& limits = IsoLimits{});

const char* isoStatusText(IsoStatus status);
const char* isoProblemText(IsoProblem problem);

} // namespace tavro
