// The readers' side of the file map: what the RIFF walk and the MPEG audio scan tell
// the span sink set on MediaInfo (see file_spans.h). Every call does nothing when
// no sink is set or when the head holds a wrapped payload, whose offsets are not
// the file's.
#pragma once
#include <cstdint>
#include <string>

#include "analysis/file_spans.h"

namespace tavro {

class MediaInfo;

// Chunks and payload bytes met so far per interleave slot (0 video, 1..3 audio), the
// AVI streams' clocks; `named` has bit s set once slot s was named to the sink.
struct SpanClocks {
    uint64_t chunks[4] = {};
    uint64_t bytes[4] = {};
    uint32_t named = 0;
};

// The sink for this pass, or null.
SpanSink* spanSinkOf(const MediaInfo& info);

void beginFileMap(MediaInfo& info, uint64_t fileSize);

// A list's 12 header bytes at `chunk`; the root list also declares the file's end.
void mapRiffList(MediaInfo& info, uint32_t chunk, uint32_t size, bool root);

// A leaf chunk: `dataSlot` is its interleave slot when it is stream data the walk
// records, -1 otherwise. OpenDML super indexes (indx) are read for where their
// index chunks lie in the whole file and what time each covers.
void mapRiffLeaf(MediaInfo& info, uint32_t chunk, uint32_t size, const std::string& path,
                 int dataSlot);

// The frames the file-wide MPEG audio scan counted, and the bytes before the first
// (a tag, or whatever the file begins with).
void mapMpegAudioFile(MediaInfo& info);

} // namespace tavro
