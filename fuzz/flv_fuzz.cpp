// Reads arbitrary bytes as an FLV file. The first 8 input bytes are the file length
// the reader is told, fuzzed apart from the content; small windows let short inputs
// reach the tail walk.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "analysis/flv/flv_reader.h"
#include "analysis/flv/flv_streams.h"
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
    tavro::FlvLimits limits;
    limits.headBytes = 2048;
    limits.tailBytes = 1024;
    limits.maxScriptBytes = 4096;
    limits.maxTags = 10000;
    tavro::fuzz::SpanCheck spans;
    limits.spans = &spans;
    const tavro::FlvFile f = tavro::readFlvFile(reader, limits);
    check(f.bytesRead <= limits.headBytes + limits.tailBytes + limits.maxScriptBytes);
    check(f.tagsRead <= limits.maxTags);
    check(f.status != tavro::FlvStatus::ok || f.tagsRead > 0);
    check(f.metadata.entries.size() <= 256);
    for (const tavro::AmfEntry& e : f.metadata.entries)
        check(e.key.size() <= tavro::kMaxAmfText && e.value.text.size() <= tavro::kMaxAmfText);
    const tavro::MediaStreams m = tavro::describeFlv(f);
    check(f.status == tavro::FlvStatus::ok || !m.findings.empty());
    check(m.streams.size() <= 2);
    tavro::flvStatusText(f.status);
    for (tavro::FlvProblem p : f.problems)
        tavro::flvProblemText(p);
    return 0;
}
