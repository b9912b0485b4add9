// Reads arbitrary bytes as an MPEG transport stream. The first 8 input bytes are the
// file length the reader is told, fuzzed apart from the content; small head and tail
// windows let short inputs reach the tail pass.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "analysis/mpegts/ts_reader.h"
#include "analysis/mpegts/ts_streams.h"
#include "fuzz/span_check.h"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 8) return 0;
    uint64_t claimed = 0;
    for (int i = 0; i < 8; ++i)
        claimed = claimed << 8 | data[i];
    tavro::BufferReader reader(data + 8, size - 8, claimed);
    tavro::TsLimits limits;
    limits.headBytes = 4096;
    limits.tailBytes = 2048;
    limits.longTailBytes = 3072;
    limits.probeBytes = 2048;
    limits.maxStreams = 16;
    tavro::fuzz::SpanCheck spans;
    limits.spans = &spans;
    const tavro::TsFile f = tavro::readTransportStream(reader, limits);
    check(f.bytesRead <= limits.headBytes + limits.longTailBytes);
    check(f.streams.size() <= limits.maxStreams && f.streams.size() <= f.streamCount);
    check(f.status != tavro::TsStatus::ok || f.pmtCount > 0);
    check(!(f.seconds < 0));
    for (const tavro::TsStream& s : f.streams)
        check(s.ccErrors <= s.packets && s.language.size() <= 3 && s.registration.size() <= 4);
    const tavro::MediaStreams m = tavro::describeTransportStream(f);
    check(f.status == tavro::TsStatus::ok || !m.findings.empty());
    tavro::tsStatusText(f.status);
    for (tavro::TsProblem p : f.problems)
        tavro::tsProblemText(p);
    return 0;
}
