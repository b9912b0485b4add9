// Reads arbitrary bytes as an ASF file. The first 8 input bytes are the file length
// the reader is told, fuzzed apart from the content.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "analysis/asf/asf_reader.h"
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
    tavro::AsfLimits limits;
    limits.maxHeaderBytes = 1 << 20;
    tavro::fuzz::SpanCheck spans;
    limits.spans = &spans;
    const tavro::AsfFile f = tavro::readAsfFile(reader, limits);
    check(f.bytesRead <= limits.maxBytesRead);
    check(f.streams.size() <= limits.maxStreams && f.tags.size() <= limits.maxTags);
    check(f.languages.size() <= limits.maxLanguages);
    check(f.dataSize <= f.dataClaimedSize);
    check(f.packetsMissing == 0 || f.has(tavro::AsfProblem::dataTruncated));
    check(f.secondsMissing <= f.seconds);
    const tavro::MediaStreams m = tavro::describeAsf(f);
    check(m.present == (f.status == tavro::AsfStatus::ok));
    check(m.present || !m.findings.empty());
    tavro::asfStatusText(f.status);
    for (tavro::AsfProblem p : f.problems)
        tavro::asfProblemText(p);
    return 0;
}
