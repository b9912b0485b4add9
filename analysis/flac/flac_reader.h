// The FLAC reader: the metadata blocks by offset, then the first frame header after
// them and the last one in a bounded tail, through a random-access reader.
#pragma once
#include <cstddef>
#include <cstdint>

#include "analysis/file_spans.h"
#include "analysis/flac/flac_file.h"
#include "analysis/streams/media_streams.h"
#include "analysis/streams/random_access.h"

namespace tavro {

struct FlacLimits {
    uint64_t maxBytesRead = 8ull << 20; // everything the reader may read, in all
    uint64_t maxBlocks = 1024;          // metadata blocks walked
    uint32_t maxCommentBlockBytes = 1u << 20;
    size_t maxComments = 256; // kept; the rest are counted
    size_t maxPictures = 16;
    uint32_t tailBytes = 256u << 10; // searched for the last frame header
    uint32_t maxId3Tags = 4;
    // Takes where the tags, metadata blocks and audio frames lie; null for no file map.
    SpanSink* spans = nullptr;
};

FlacFile readFlacFile(RandomAccessReader& reader, const FlacLimits& limits = FlacLimits{});

const char* flacStatusText(FlacStatus status);
const char* flacProblemText(FlacProblem problem);

// The common record: one audio stream and the findings.
MediaStreams describeFlac(const FlacFile& file);

} // namespace tavro
