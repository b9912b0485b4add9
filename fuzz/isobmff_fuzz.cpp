// Reads arbitrary bytes as an ISO base media file. The first 8 input bytes are the
// file length the reader is told, fuzzed apart from the content.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "analysis/isobmff/iso_reader.h"
#include "analysis/isobmff/iso_streams.h"
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
    tavro::IsoLimits limits;
    limits.maxTopBoxes = 100000;
    tavro::fuzz::SpanCheck spans;
    limits.spans = &spans;
    const tavro::IsoFile f = tavro::readIsoFile(reader, limits);
    check(f.tracks.size() <= limits.maxTracks && f.tracks.size() <= f.trackCount);
    check((f.status == tavro::IsoStatus::ok) ==
          (f.hasMoov && f.status != tavro::IsoStatus::moovTooLarge));
    check(f.compatibleBrands.size() <= 64 && f.topBoxes.size() <= 64);
    for (const tavro::IsoTrack& t : f.tracks) {
        check(t.name.size() <= 256 && t.sampleEntry.size() <= 4);
        check(t.bytesPastEnd <= t.sampleBytes || t.sampleBytes == UINT64_MAX);
        check(t.samplesPastEnd <= t.sampleCount || t.sampleCount == 0);
    }
    tavro::isoStatusText(f.status);
    for (tavro::IsoProblem p : f.problems)
        tavro::isoProblemText(p);
    // The report's form of the same record: one stream per track read, a finding for
    // every file that is not a clean one.
    const tavro::MediaStreams m = tavro::describeIsoFile(f);
    check(m.streams.size() == f.tracks.size());
    check(f.status == tavro::IsoStatus::ok || !m.findings.empty());
    return 0;
}
