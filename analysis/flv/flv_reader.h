// The reader of Flash Video files: the header, then the tags walked from the head
// through a bounded window (the metadata script and each stream's first tags), and a
// bounded tail walked back by the tags' back pointers for the last timestamp.
#pragma once
#include <cstddef>
#include <cstdint>

#include "analysis/file_spans.h"
#include "analysis/flv/flv_file.h"
#include "analysis/streams/random_access.h"

namespace tavro {

struct FlvLimits {
    uint64_t headBytes = 256ull << 10;
    uint64_t tailBytes = 256ull << 10;
    uint64_t maxScriptBytes = 256ull << 10; // a metadata tag larger than this is cut
    uint64_t maxTags = 100000;
    int maxTailSteps = 64; // tags walked back from the end
    // Takes where the header and the tags read lie; null for no file map.
    SpanSink* spans = nullptr;
};

FlvFile readFlvFile(RandomAccessReader& reader, const FlvLimits& limits = FlvLimits{});

const char* flvStatusText(FlvStatus status);
const char* flvProblemText(FlvProblem problem);

} // namespace tavro
