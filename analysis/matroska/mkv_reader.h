// The reader of Matroska and WebM files: the EBML header, then the Segment's metadata
// by offset (following its SeekHead), the first cluster and the file's tail, all
// through a random-access reader within a fixed budget of bytes.
#pragma once
#include <cstddef>
#include <cstdint>

#include "analysis/file_spans.h"
#include "analysis/matroska/mkv_elements.h"
#include "analysis/matroska/mkv_file.h"
#include "analysis/streams/random_access.h"

namespace tavro {

struct MkvLimits {
    uint64_t maxBytesRead = 24ull << 20;   // everything read, in all
    uint64_t maxElementBytes = 8ull << 20; // one metadata element held in memory
    uint64_t firstClusterBytes = 256ull << 10;
    // The file's end, read for its last cluster; larger reads follow only when the
    // one before holds no whole cluster, as a fast recording's long clusters need.
    uint64_t tailBytes = 512ull << 10;
    uint64_t longTailBytes = 2ull << 20;
    uint64_t maxTailBytes = 8ull << 20;
    size_t maxSegmentElements = 4096;   // Segment children walked before the first cluster
    size_t maxClusterCandidates = 64;
    size_t maxBlocks = 100000; // children of a cluster scanned
    MkvElementLimits elements;
    // Takes where the elements and the blocks read lie; null for no file map.
    SpanSink* spans = nullptr;
};

MkvFile readMatroskaFile(RandomAccessReader& reader, const MkvLimits& limits = MkvLimits{});

const char* mkvStatusText(MkvStatus status);
const char* mkvProblemText(MkvProblem problem);

} // namespace tavro
