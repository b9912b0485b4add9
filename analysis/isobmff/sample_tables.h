// The sample tables of a track summarised in one pass: counts, byte and time sums,
// and how far the samples reach, without keeping any entry.
#pragma once
#include <cstddef>
#include <cstdint>

#include "analysis/isobmff/iso_file.h"
#include "analysis/streams/map_feed.h"

namespace tavro {

struct TablePayload {
    const uint8_t* data = nullptr;
    size_t size = 0;
    bool present() const { return data != nullptr; }
};

struct SampleTableBoxes {
    TablePayload stts, stsz, stz2, stsc, stco, co64;
};

// Where a track's samples go on the file map: the feed, the stream the track is, and
// how many spans of the file's budget it may take.
struct SampleMap {
    MapFeed* feed = nullptr;
    int stream = kNoSpanStream;
    uint64_t spans = 0;
};

// Fills the sample count, byte and duration sums of `track`, and where its sample
// data ends against `fileSize`. Problems found go to `file`. With `map`, each chunk
// (or, past the track's share of spans, each group of chunks) goes to the map with
// its decoding time; the track's timescale must be known by then.
void summariseSampleTables(const SampleTableBoxes& boxes, uint64_t fileSize, uint64_t maxEntries,
                           IsoTrack& track, IsoFile& file, const SampleMap* map = nullptr);

} // namespace tavro
