// The raw-stream reader: one bounded read of the file's head, then the stream kind
// decided by a run of valid frames (never by one sync word), its facts, and a
// duration where the frames can honestly give one.
#pragma once
#include <cstddef>
#include <cstdint>

#include "analysis/elementary/elementary_file.h"
#include "analysis/file_spans.h"
#include "analysis/streams/media_streams.h"
#include "analysis/streams/random_access.h"

namespace tavro {

struct ElementaryLimits {
    uint32_t headBytes = 256u << 10;  // read from the start, once
    uint32_t searchBytes = 64u << 10; // where the first frame may start
    uint32_t runFrames = 3;           // consecutive valid frames that decide the kind
    uint32_t maxResyncs = 64;         // runs of junk passed over in the head
    // Takes where the tags and the frames read lie; null for no file map.
    SpanSink* spans = nullptr;
};

ElementaryFile readElementaryStream(RandomAccessReader& reader,
                                    const ElementaryLimits& limits = ElementaryLimits{});

const char* elementaryStatusText(ElementaryStatus status);
const char* elementaryKindText(ElementaryKind kind); // "AVC", "HEVC", "AAC", ...
const char* elementaryProblemText(ElementaryProblem problem);

// The common record: one stream, its facts and the findings.
MediaStreams describeElementary(const ElementaryFile& file);

} // namespace tavro
