#include "analysis/isobmff/sample_tables.h"

#include <limits>
#include <optional>

#include "analysis/isobmff/box_header.h"

namespace tavro {

namespace {

constexpr uint64_t kMax = std::numeric_limits<uint64_t>::max();

uint64_t addCapped(uint64_t a, uint64_t b) {
    return b > kMax - a ? kMax : a + b;
}
uint64_t mulCapped(uint64_t a, uint64_t b) {
    return a && b > kMax / a ? kMax : a * b;
}

uint32_t be32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
           static_cast<uint32_t>(p[2]) << 8 | p[3];
}

// A table of fixed-size entries after a header: how many entries are really there.
struct Table {
    const uint8_t* entries = nullptr;
    uint64_t count = 0;   // usable entries
    uint64_t claimed = 0; // as the box says
};

Table openTable(const TablePayload& box, size_t headerBytes, size_t entryBytes,
                uint64_t maxEntries) {
    Table t;
    if (!box.present() || box.size < headerBytes) return t;
    t.claimed = be32(box.data + headerBytes - 4);
    const uint64_t room = (box.size - headerBytes) / entryBytes;
    t.count = t.claimed;
    if (t.count > room) t.count = room;
    if (t.count > maxEntries) t.count = maxEntries;
    t.entries = box.data + headerBytes;
    return t;
}

// Sample sizes from stsz (one size for all, or one per sample) or the packed stz2.
class SampleSizes {
  public:
    SampleSizes(const SampleTableBoxes& b, uint64_t maxEntries) {
        if (b.stsz.present() && b.stsz.size >= 12) {
            constant_ = be32(b.stsz.data + 4);
            claimed_ = be32(b.stsz.data + 8);
            bits_ = 32;
            if (constant_) {
                count_ = claimed_;
            } else {
                table_ = openTable(b.stsz, 12, 4, maxEntries).entries;
                count_ = openTable(b.stsz, 12, 4, maxEntries).count;
            }
        } else if (b.stz2.present() && b.stz2.size >= 12) {
            bits_ = b.stz2.data[7];
            claimed_ = be32(b.stz2.data + 8);
            if (bits_ != 4 && bits_ != 8 && bits_ != 16) return;
            const uint64_t room = (b.stz2.size - 12) * 8 / bits_;
            count_ = claimed_ < room ? claimed_ : room;
            if (count_ > maxEntries) count_ = maxEntries;
            table_ = b.stz2.data + 12;
        }
    }
    uint64_t count() const { return count_; }
    uint64_t claimed() const { return claimed_; }
    uint32_t constant() const { return constant_; }
    uint32_t at(uint64_t i) const {
        if (constant_) return constant_;
        switch (bits_) {
        case 4:
            return i % 2 ? table_[i / 2] & 0x0f : table_[i / 2] >> 4;
        case 8:
            return table_[i];
        case 16:
            return static_cast<uint32_t>(table_[2 * i] << 8 | table_[2 * i + 1]);
        default:
            return be32(table_ + 4 * i);
        }
    }

  private:
    const uint8_t* table_ = nullptr;
    uint64_t count_ = 0, claimed_ = 0;
    uint32_t constant_ = 0;
    unsigned bits_ = 0;
};

struct Reach {
    uint64_t end = 0, pastBytes = 0, pastSamples = 0, bytes = 0;
};

// One sample run of `n` samples from `first`, laid end to end from `offset`; returns
// where the run ends.
uint64_t addChunk(const SampleSizes& sizes, uint64_t first, uint64_t n, uint64_t offset,
                  uint64_t fileSize, Reach& r) {
    if (const uint64_t s = sizes.constant()) {
        const uint64_t bytes = mulCapped(n, s);
        const uint64_t end = addCapped(offset, bytes);
        r.bytes = addCapped(r.bytes, bytes);
        if (end > r.end) r.end = end;
        if (end <= fileSize) return end;
        const uint64_t inside = offset >= fileSize ? 0 : (fileSize - offset) / s;
        r.pastSamples += n - inside;
        r.pastBytes = addCapped(r.pastBytes, end - (offset > fileSize ? offset : fileSize));
        return end;
    }
    uint64_t at = offset;
    for (uint64_t i = first; i < first + n; ++i) {
        const uint32_t s = sizes.at(i);
        const uint64_t end = addCapped(at, s);
        r.bytes = addCapped(r.bytes, s);
        if (end > fileSize) {
            ++r.pastSamples;
            r.pastBytes = addCapped(r.pastBytes, end - (at > fileSize ? at : fileSize));
        }
        at = end;
    }
    if (at > r.end) r.end = at;
    return at;
}

// A track's chunks as the map takes them, each with the decoding time of its samples
// (a cursor along stts). A track with more chunks than its share of spans has them
// joined `stride` at a time: a group keeps its bytes and lies from its first chunk
// on, near enough for a picture of that many chunks.
class ChunkRuns {
  public:
    ChunkRuns(const SampleMap& map, const Table& stts, uint32_t timescale, uint64_t chunks)
        : map_(map), stts_(stts), timescale_(timescale) {
        const uint64_t share = map.spans ? map.spans : 1;
        stride_ = chunks / share + (chunks % share != 0 ? 1 : 0);
        if (stride_ == 0) stride_ = 1;
    }
    ~ChunkRuns() { flush(); }

    void add(uint64_t offset, uint64_t end, uint64_t samples) {
        const uint64_t from = ticks_;
        advance(samples);
        if (grouped_ == 0) {
            groupOffset_ = offset;
            groupFrom_ = from;
            groupBytes_ = 0;
        }
        groupBytes_ = addCapped(groupBytes_, end - offset);
        if (++grouped_ == stride_) flush();
    }

  private:
    void advance(uint64_t samples) {
        while (samples > 0 && entry_ < stts_.count) {
            const uint8_t* e = stts_.entries + 8 * entry_;
            const uint64_t n = be32(e), delta = be32(e + 4);
            const uint64_t take = samples < n - used_ ? samples : n - used_;
            ticks_ = addCapped(ticks_, mulCapped(take, delta));
            samples -= take;
            used_ += take;
            if (used_ >= n) ++entry_, used_ = 0;
        }
    }

    void flush() {
        if (grouped_ == 0) return;
        grouped_ = 0;
        double start = -1, end = -1;
        if (timescale_) {
            start = static_cast<double>(groupFrom_) / timescale_;
            end = static_cast<double>(ticks_) / timescale_;
        }
        map_.feed->add(groupOffset_, groupBytes_, SpanKind::Data, map_.stream, start, end);
    }

    const SampleMap& map_;
    const Table& stts_;
    const uint32_t timescale_;
    uint64_t stride_ = 1;
    uint64_t entry_ = 0, used_ = 0, ticks_ = 0;
    uint64_t grouped_ = 0, groupOffset_ = 0, groupFrom_ = 0, groupBytes_ = 0;
};

} // namespace

void summariseSampleTables(const SampleTableBoxes& boxes, uint64_t fileSize, uint64_t maxEntries,
                           IsoTrack& track, IsoFile& file, const SampleMap* map) {
    const Table stts = openTable(boxes.stts, 8, 8, maxEntries);
    if (stts.count < stts.claimed) file.note(IsoProblem::tableTruncated);
    for (uint64_t i = 0; i < stts.count; ++i) {
        const uint64_t n = be32(stts.entries + 8 * i);
        const uint32_t delta = be32(stts.entries + 8 * i + 4);
        track.sttsSamples += n;
        track.sttsDuration = addCapped(track.sttsDuration, n * delta);
        track.deltas.add(delta, n);
    }

    const SampleSizes sizes(boxes, maxEntries);
    if (sizes.count() < sizes.claimed()) file.note(IsoProblem::tableTruncated);
    track.sampleCount = sizes.claimed();

    const bool wide = boxes.co64.present();
    const Table chunks = openTable(wide ? boxes.co64 : boxes.stco, 8, wide ? 8 : 4, maxEntries);
    const Table stsc = openTable(boxes.stsc, 8, 12, maxEntries);
    if (chunks.count < chunks.claimed || stsc.count < stsc.claimed)
        file.note(IsoProblem::tableTruncated);
    track.chunkCount = chunks.claimed;

    Reach reach;
    uint64_t sample = 0;
    uint64_t run = 0;
    std::optional<ChunkRuns> runs;
    if (map && map->feed) runs.emplace(*map, stts, track.timescale, chunks.count);
    for (uint64_t k = 0; k < chunks.count && stsc.count && sample < sizes.count(); ++k) {
        while (run + 1 < stsc.count && be32(stsc.entries + 12 * (run + 1)) <= k + 1)
            ++run;
        const uint64_t perChunk = be32(stsc.entries + 12 * run + 4);
        const uint64_t n = perChunk < sizes.count() - sample ? perChunk : sizes.count() - sample;
        const uint64_t offset =
            wide ? uint64_t{be32(chunks.entries + 8 * k)} << 32 | be32(chunks.entries + 8 * k + 4)
                 : be32(chunks.entries + 4 * k);
        const uint64_t end = addChunk(sizes, sample, n, offset, fileSize, reach);
        if (runs) runs->add(offset, end, n);
        sample += n;
    }
    runs.reset();
    if (sample < sizes.count() && sizes.count() == sizes.claimed())
        file.note(IsoProblem::tablesDisagree);
    if (sizes.constant()) {
        track.sampleBytes = mulCapped(sizes.claimed(), sizes.constant());
    } else {
        // Every size counts, placed or not; the walk above may stop early.
        for (uint64_t i = 0; i < sizes.count(); ++i)
            track.sampleBytes = addCapped(track.sampleBytes, sizes.at(i));
    }
    track.dataEnd = reach.end;
    track.bytesPastEnd = reach.pastBytes;
    track.samplesPastEnd = reach.pastSamples;
}

} // namespace tavro
