// Reads arbitrary bytes as a raw codec stream. The first 8 input bytes are the file
// length the reader is told, fuzzed apart from the content.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "analysis/elementary/elementary_reader.h"
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
    tavro::ElementaryLimits limits;
    limits.headBytes = 64 << 10;
    tavro::fuzz::SpanCheck spans;
    limits.spans = &spans;
    const tavro::ElementaryFile f = tavro::readElementaryStream(reader, limits);
    check(f.headBytes <= limits.headBytes);
    check((f.status == tavro::ElementaryStatus::ok) == (f.kind != tavro::ElementaryKind::unknown));
    check(f.frameBytes + f.firstFrameOffset <= f.id3Bytes + f.headBytes);
    check(std::isfinite(f.seconds) && f.seconds >= 0);
    const tavro::MediaStreams m = tavro::describeElementary(f);
    check(m.present || !m.findings.empty());
    check(m.streams.size() <= 1);
    tavro::elementaryStatusText(f.status);
    tavro::elementaryKindText(f.kind);
    for (tavro::ElementaryProblem p : f.problems)
        tavro::elementaryProblemText(p);
    return 0;
}
