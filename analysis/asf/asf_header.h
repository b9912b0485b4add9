// The objects inside the ASF Header Object, parsed from memory: file and stream
// properties, the header extension, titles and tags.
#pragma once
#include <cstddef>
#include <cstdint>

#include "analysis/asf/asf_file.h"
#include "analysis/file_spans.h"
#include "analysis/streams/map_feed.h"

namespace tavro {

struct AsfLimits {
    uint64_t maxBytesRead = 8ull << 20;   // everything the reader may read, in all
    uint64_t maxHeaderBytes = 4ull << 20; // of the Header Object held in memory
    uint64_t maxObjects = 10000;          // objects visited in the header, all levels
    uint64_t maxTopObjects = 64;          // after the header
    size_t maxStreams = 128;
    size_t maxTags = 256;
    size_t maxLanguages = 128;
    size_t maxTextBytes = 4096; // of one title, tag name or value
    // Takes where the header's objects, the data and the indexes lie; null for no
    // file map.
    SpanSink* spans = nullptr;
};

// Parses the Header Object's children: `data` holds the object's bytes from its
// first child on, which lies at `offset` of the file. With `map`, each child goes to
// the file map (padding as such).
void parseAsfHeaderObjects(const uint8_t* data, size_t size, AsfFile& file, const AsfLimits& limits,
                           MapFeed* map = nullptr, uint64_t offset = 0);

// UTF-16LE to UTF-8, up to the first NUL; unpaired surrogates become U+FFFD.
std::string asfUtf16Text(const uint8_t* data, size_t size, size_t maxBytes);

} // namespace tavro
