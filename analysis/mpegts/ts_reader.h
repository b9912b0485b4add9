// The reader of MPEG transport streams (.ts, .m2ts, .mts): finds the packet framing,
// then walks a bounded head and a bounded tail of the file packet by packet for the
// program tables, each stream's first codec bytes, its time span and the damage seen.
#pragma once
#include <cstddef>
#include <cstdint>

#include "analysis/file_spans.h"
#include "analysis/mpegts/ts_file.h"
#include "analysis/streams/random_access.h"

namespace tavro {

struct TsLimits {
    uint64_t headBytes = 512ull << 10; // read from the start: what the analysis holds
    // Read from the end, when the file is longer: the smaller first, the larger when
    // a stream the head timed starts no timed PES packet in it.
    uint64_t tailBytes = 256ull << 10;
    uint64_t longTailBytes = 1ull << 20;
    size_t syncSearchBytes = 64 << 10;
    int syncRun = 5;               // packets in a row that make a framing
    size_t probeBytes = 256 << 10; // payload kept per stream for the codec probe
    size_t maxStreams = 64;
    size_t maxPrograms = 64;
    uint64_t maxPackets = 200000; // both windows together
    // Takes where the packets read lie, per PID; null for no file map.
    SpanSink* spans = nullptr;
};

TsFile readTransportStream(RandomAccessReader& reader, const TsLimits& limits = TsLimits{});

const char* tsStatusText(TsStatus status);
const char* tsProblemText(TsProblem problem);

} // namespace tavro
