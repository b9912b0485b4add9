// A picture's worth of numbers about one file: where its header, index, padding and
// each stream's data lie along the byte offsets, summed into at most a fixed number
// of equal bins whatever the file's size, and where each stream's data lies along
// its time. Fed span by span by any reader (see analysis/file_spans.h); the bins
// grow wider (pairs merged) when a span lands past them, so memory and work per span
// stay bounded and nothing is kept per span.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/file_spans.h"

namespace tavro {

constexpr int kMapStreams = 10;
constexpr int kMapByteBins = 2048;
constexpr int kMapTimeBins = 512;

// Layers of the byte band; stream s is kLayerStream0 + s.
enum MapLayer : int {
    kLayerHeader = 0,
    kLayerIndex,
    kLayerJunk,
    kLayerOther, // data of no stream the reader keeps
    kLayerStream0,
    kMapLayers = kLayerStream0 + kMapStreams,
};
const char* mapLayerKey(int layer); // "header", "index", "junk", "other", "stream0".."stream9"

// One byte bin as drawn: each layer's bytes (scaled down together when overlapping
// spans sum past the bin), and the rest split into gap (read, covered by nothing),
// unread (past what the readers walked) and missing (past the file's actual end).
struct MapBinView {
    uint64_t begin = 0;
    uint64_t end = 0;
    std::array<uint64_t, kMapLayers> layers{};
    uint64_t gap = 0;
    uint64_t unread = 0;
    uint64_t missing = 0;
};

// Where a stream's data lies in one time bin: the lowest and highest byte offsets.
struct MapTimeCell {
    uint64_t first = UINT64_MAX;
    uint64_t last = 0;
    bool used() const { return first != UINT64_MAX; }
};

class FileMap : public SpanSink {
  public:
    explicit FileMap(int byteBins = kMapByteBins, int timeBins = kMapTimeBins);

    // Back to no file at all.
    void reset();

    void beginFile(uint64_t fileSize, uint64_t readEnd) override;
    void declareEnd(uint64_t end) override;
    void readTo(uint64_t end) override;
    void nameStream(int stream, const std::string& name) override;
    void addSpan(const FileSpan& span) override;

    bool hasFile() const { return hasFile_; }
    uint64_t fileSize() const { return fileSize_; }
    uint64_t declaredEnd() const { return declaredEnd_; } // 0 when none was declared
    uint64_t readEnd() const { return readEnd_; }
    // The bytes the picture spans: the file, its declared end and every span.
    uint64_t extent() const;
    bool truncated() const { return declaredEnd_ > fileSize_; }

    uint64_t binBytes() const { return binBytes_; }
    int binCount() const;
    MapBinView bin(int index) const;
    // Every bin as bin() gives it, column by column: columns[l][b] is bin b's layer l
    // for the layers some span fed (the other rows are not written), then
    // columns[kMapLayers + 0, 1, 2] its gap, unread and missing. Each row holds
    // binCount() values. The same numbers, without a whole view per bin.
    void fillColumns(uint64_t* const* columns) const;
    uint64_t layerTotal(int layer) const { return totals_[layer]; }
    // Bit l set when any span fed layer l: the others are zero in every bin.
    uint32_t usedLayers() const { return usedLayers_; }
    uint64_t spanCount() const { return spans_; }

    bool streamSeen(int stream) const;
    std::string streamName(int stream) const;

    double timeBinSeconds() const { return timeBinSeconds_; }
    double timeExtent() const { return timeEnd_; }
    int timeBinCount() const;
    MapTimeCell timeCell(int stream, int bin) const;

  private:
    uint64_t& partial(int layer, int bin) const { return partial_[size_t(layer)][size_t(bin)]; }
    int64_t& cover(int layer, int bin) const { return cover_[size_t(layer)][size_t(bin)]; }
    // A time cell as kept: the first offset complemented, so that a zeroed cell is an
    // empty one and both halves merge by max.
    struct StoredCell {
        uint64_t notFirst = 0;
        uint64_t last = 0;
    };
    // Bin `index` into `v`; the layers no span fed are left as they are (zero in a
    // fresh view), so one view serves a walk over many bins.
    void fillBin(int index, uint64_t extent, MapBinView& v) const;
    // Turns the whole-bin covers into bytes; readers call it, so it is const.
    void settleCovers() const;
    void widenBytesTo(uint64_t end);
    void widenTimeTo(double seconds);
    void addTime(int stream, double start, double end, uint64_t first, uint64_t last);

    int byteBins_, timeBins_;
    bool hasFile_ = false;
    uint64_t fileSize_ = 0, declaredEnd_ = 0, readEnd_ = 0, spanEnd_ = 0;
    uint64_t binBytes_ = 1;
    // Per layer: bytes of spans that end inside a bin, and (as differences along the
    // bins) how many spans cover whole bins: a span over a million bins costs two
    // entries. A layer's rows exist once a span fed it.
    mutable std::array<std::vector<uint64_t>, kMapLayers> partial_;
    mutable std::array<std::vector<int64_t>, kMapLayers> cover_;
    mutable bool coversPending_ = false;
    int usedBins_ = 0; // bins past this hold nothing yet
    std::array<uint64_t, kMapLayers> totals_{};
    uint32_t usedLayers_ = 0;
    uint32_t timedStreams_ = 0; // rows of cells_ written since the last reset
    uint64_t spans_ = 0;
    std::array<std::string, kMapStreams> names_;
    uint32_t seen_ = 0;
    double timeBinSeconds_ = 0;
    double timeEnd_ = 0;
    std::array<std::vector<StoredCell>, kMapStreams> cells_; // a row once the stream is timed
};

} // namespace tavro
