// Reads arbitrary bytes as a FLAC file. The first 8 input bytes are the file length
// the reader is told, fuzzed apart from the content.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "analysis/flac/flac_reader.h"
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
    tavro::FlacLimits limits;
    tavro::fuzz::SpanCheck spans;
    limits.spans = &spans;
    const tavro::FlacFile f = tavro::readFlacFile(reader, limits);
    check(f.bytesRead <= limits.maxBytesRead);
    check(f.comments.size() <= limits.maxComments && f.pictures.size() <= limits.maxPictures);
    check(f.blockCount <= limits.maxBlocks);
    check(!f.has(tavro::FlacProblem::samplesExceedData) || f.samplesMissing > 0);
    check(f.status != tavro::FlacStatus::ok || f.hasStreamInfo);
    const tavro::MediaStreams m = tavro::describeFlac(f);
    check(m.present || !m.findings.empty());
    check(m.streams.size() <= 1);
    tavro::flacStatusText(f.status);
    for (tavro::FlacProblem p : f.problems)
        tavro::flacProblemText(p);
    return 0;
}
