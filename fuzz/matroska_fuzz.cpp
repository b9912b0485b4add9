// Reads arbitrary bytes as a Matroska/WebM file and describes it. The first 8 input
// bytes are the file length the reader is told, fuzzed apart from the content.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "analysis/matroska/mkv_reader.h"
#include "analysis/matroska/mkv_streams.h"
#include "fuzz/span_check.h"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

// Counts the bytes asked for, to hold the reader to its budget.
class CountingReader : public tavro::RandomAccessReader {
  public:
    CountingReader(const uint8_t* data, size_t size, uint64_t claimed)
        : inner_(data, size, claimed) {}
    uint64_t size() const override { return inner_.size(); }
    bool readAt(uint64_t offset, void* buffer, size_t want, size_t* got) override {
        asked += want;
        return inner_.readAt(offset, buffer, want, got);
    }
    uint64_t asked = 0;

  private:
    tavro::BufferReader inner_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 8) return 0;
    uint64_t claimed = 0;
    for (int i = 0; i < 8; ++i)
        claimed = claimed << 8 | data[i];
    CountingReader reader(data + 8, size - 8, claimed);
    tavro::MkvLimits limits;
    limits.maxBytesRead = 4 << 20;
    tavro::fuzz::SpanCheck spans;
    limits.spans = &spans;
    const tavro::MkvFile f = tavro::readMatroskaFile(reader, limits);
    check(reader.asked <= limits.maxBytesRead);
    check(f.tracks.size() <= limits.elements.maxTracks && f.tracks.size() <= f.trackCount);
    check(f.docType.size() <= 32 && f.title.size() <= 512);
    check(!f.hasDuration || (std::isfinite(f.seconds) && f.seconds >= 0));
    check(std::isfinite(f.reachedSeconds) && f.reachedSeconds >= 0);
    const tavro::MediaStreams m = tavro::describeMatroska(f);
    check(m.streams.size() == f.tracks.size());
    check(m.present || !m.findings.empty());
    for (const tavro::FileFinding& finding : m.findings)
        check(!finding.code.empty() && !finding.status.empty() && !finding.detail.empty());
    tavro::mkvStatusText(f.status);
    for (tavro::MkvProblem p : f.problems)
        tavro::mkvProblemText(p);
    return 0;
}
