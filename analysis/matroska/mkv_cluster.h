// Clusters: the time a cluster starts, the blocks in it, and the search of a file's
// tail for its last complete cluster.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>

namespace tavro {

struct ClusterScan {
    bool hasTimestamp = false;
    uint64_t timestamp = 0; // timestamp units
    bool hasBlock = false;
    int64_t lastBlockTime = 0; // relative to the cluster, of the latest block
    uint64_t lastBlockTrack = 0;
    uint64_t lastBlockDuration = 0; // BlockDuration of that block; 0 when not given
    size_t blocks = 0;
    size_t end = 0;        // where the cluster's bytes ended in the span
    bool cutShort = false; // a child ran past the span
};

// Called with each unlaced frame: track number and the frame's bytes.
using BlockSink = std::function<void(uint64_t track, const uint8_t* frame, size_t size)>;

// One whole child of a cluster, for the file map: where it lies in the span and, for a
// SimpleBlock or BlockGroup, its track, its time (the cluster's Timestamp as read so
// far, and the block's own relative time), its BlockDuration (0 when not given) and
// its frames.
struct ClusterChild {
    size_t offset = 0;
    size_t size = 0;
    bool block = false;
    uint64_t track = 0;
    bool hasTimestamp = false;
    uint64_t timestamp = 0;
    int16_t time = 0;
    uint64_t duration = 0;
    uint32_t frames = 1; // a laced block holds several
};
using ClusterChildSink = std::function<void(const ClusterChild&)>;

// Walks a cluster's payload in memory. `unknownSize` clusters end at the first element
// that belongs to the Segment. At most `maxChildren` children.
ClusterScan scanCluster(const uint8_t* data, size_t size, bool unknownSize, size_t maxChildren,
                        const BlockSink& sink = nullptr,
                        const ClusterChildSink& children = nullptr);

struct LastCluster {
    bool found = false;
    bool complete = false; // all its bytes are in the file
    uint64_t offset = 0;   // within the span
    uint64_t end = 0;      // where it ends within the span
    ClusterScan scan;
    // A cluster cut short after it (or instead of it, when `complete` is false): the
    // file ends inside it. Its whole blocks are still there.
    bool cutAfter = false;
    ClusterScan cut;
};

// Searches `data` (the file's bytes from some point to its end) from the back for the
// last cluster that is whole and opens with its Timestamp; failing that, the last that
// opens so. `maxCandidates` bounds the cluster IDs tried.
LastCluster findLastCluster(const uint8_t* data, size_t size, size_t maxCandidates,
                            size_t maxChildren);

} // namespace tavro
