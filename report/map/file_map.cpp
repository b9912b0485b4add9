#include "report/map/file_map.h"

#include <algorithm>
#include <cmath>

namespace tavro {
namespace {

constexpr double kFirstTimeBin = 1.0 / 64;
// Times past this (a broken rate or a hostile header) are left out of the time band.
constexpr double kLongestSeconds = 1e7;

uint64_t saturatingAdd(uint64_t a, uint64_t b) {
    return a > UINT64_MAX - b ? UINT64_MAX : a + b;
}

// The bytes of [begin, end) that lie inside [from, to).
uint64_t overlap(uint64_t begin, uint64_t end, uint64_t from, uint64_t to) {
    const uint64_t lo = std::max(begin, from), hi = std::min(end, to);
    return hi > lo ? hi - lo : 0;
}

int layerOf(const FileSpan& span) {
    switch (span.kind) {
    case SpanKind::Header:
        return kLayerHeader;
    case SpanKind::Index:
        return kLayerIndex;
    case SpanKind::Junk:
        return kLayerJunk;
    case SpanKind::Data:
        break;
    }
    return span.stream >= 0 && span.stream < kMapStreams ? kLayerStream0 + span.stream
                                                         : kLayerOther;
}

} // namespace

const char* mapLayerKey(int layer) {
    static const char* const kKeys[kMapLayers] = {
        "header",  "index",   "junk",    "other",   "stream0", "stream1", "stream2",
        "stream3", "stream4", "stream5", "stream6", "stream7", "stream8", "stream9"};
    return layer >= 0 && layer < kMapLayers ? kKeys[layer] : "";
}

FileMap::FileMap(int byteBins, int timeBins)
    : byteBins_(std::max(byteBins, 2)), timeBins_(std::max(timeBins, 2)) {
    reset();
}

void FileMap::reset() {
    hasFile_ = false;
    fileSize_ = declaredEnd_ = readEnd_ = spanEnd_ = 0;
    binBytes_ = 1;
    // Rows are made when a span first feeds their layer or stream, and kept: a batch
    // resets once per file, most files touch a few rows, and the rows' pages are only
    // paid for once they are used. Only the bins spans wrote are cleared.
    for (int layer = 0; layer < kMapLayers; ++layer) {
        if (!(usedLayers_ & (1u << layer))) continue;
        std::fill_n(partial_[size_t(layer)].begin(), usedBins_, 0);
        // Settling the covers clears them; only a map never drawn still holds some.
        if (coversPending_) std::fill_n(cover_[size_t(layer)].begin(), usedBins_ + 1, 0);
    }
    for (int s = 0; s < kMapStreams; ++s)
        if (timedStreams_ & (1u << s))
            std::fill(cells_[size_t(s)].begin(), cells_[size_t(s)].end(), StoredCell());
    usedBins_ = 0;
    coversPending_ = false;
    totals_ = {};
    usedLayers_ = 0;
    timedStreams_ = 0;
    spans_ = 0;
    for (std::string& n : names_)
        n.clear();
    seen_ = 0;
    timeBinSeconds_ = kFirstTimeBin;
    timeEnd_ = 0;
}

void FileMap::beginFile(uint64_t fileSize, uint64_t readEnd) {
    reset();
    hasFile_ = true;
    fileSize_ = fileSize;
    readEnd_ = std::min(readEnd, fileSize);
    // The first width holds the file in the budget; spans past it widen the bins.
    binBytes_ = std::max<uint64_t>(1, fileSize / byteBins_ + (fileSize % byteBins_ != 0));
}

void FileMap::declareEnd(uint64_t end) {
    declaredEnd_ = end;
    widenBytesTo(end);
}

void FileMap::readTo(uint64_t end) {
    readEnd_ = std::min(readEnd_, end);
}

void FileMap::nameStream(int stream, const std::string& name) {
    if (stream < 0 || stream >= kMapStreams) return;
    names_[stream] = name.substr(0, 64);
    seen_ |= 1u << stream;
}

bool FileMap::streamSeen(int stream) const {
    return stream >= 0 && stream < kMapStreams && (seen_ & (1u << stream));
}

std::string FileMap::streamName(int stream) const {
    if (stream < 0 || stream >= kMapStreams) return std::string();
    return names_[stream].empty() ? "Stream " + std::to_string(stream + 1) : names_[stream];
}

uint64_t FileMap::extent() const {
    return std::max({fileSize_, declaredEnd_, spanEnd_});
}

int FileMap::binCount() const {
    const uint64_t e = extent();
    const uint64_t n = e / binBytes_ + (e % binBytes_ != 0);
    return static_cast<int>(std::min<uint64_t>(n, byteBins_));
}

void FileMap::settleCovers() const {
    if (!coversPending_) return;
    for (int layer = 0; layer < kMapLayers; ++layer) {
        if (!(usedLayers_ & (1u << layer))) continue;
        // Covers start and end inside the bins spans reached.
        int64_t running = 0;
        for (int b = 0; b <= usedBins_ && b < byteBins_; ++b) {
            running += cover(layer, b);
            cover(layer, b) = 0;
            if (running > 0)
                partial(layer, b) = saturatingAdd(partial(layer, b), uint64_t(running) * binBytes_);
        }
    }
    coversPending_ = false;
}

void FileMap::widenBytesTo(uint64_t end) {
    // Each round doubles the width, so at most 64 rounds reach any 64-bit end; a round
    // touches only the bins that hold anything.
    while (end / binBytes_ > uint64_t(byteBins_) ||
           (end / binBytes_ == uint64_t(byteBins_) && end % binBytes_ != 0)) {
        if (binBytes_ > UINT64_MAX / 2) return;
        settleCovers();
        const int merged = (usedBins_ + 1) / 2;
        for (int layer = 0; layer < kMapLayers; ++layer) {
            if (!(usedLayers_ & (1u << layer))) continue;
            uint64_t* row = partial_[size_t(layer)].data();
            for (int b = 0; b < merged; ++b) {
                const uint64_t high = 2 * b + 1 < usedBins_ ? row[2 * b + 1] : 0;
                row[b] = saturatingAdd(row[2 * b], high);
            }
            for (int b = merged; b < usedBins_; ++b)
                row[b] = 0;
        }
        usedBins_ = merged;
        binBytes_ *= 2;
    }
}

void FileMap::widenTimeTo(double seconds) {
    while (seconds >= timeBinSeconds_ * timeBins_) {
        for (int s = 0; s < kMapStreams; ++s) {
            if (!(timedStreams_ & (1u << s))) continue;
            StoredCell* row = cells_[size_t(s)].data();
            for (int b = 0; b < timeBins_; ++b) {
                StoredCell merged;
                for (int k = 2 * b; k <= 2 * b + 1 && k < timeBins_; ++k) {
                    merged.notFirst = std::max(merged.notFirst, row[k].notFirst);
                    merged.last = std::max(merged.last, row[k].last);
                }
                row[b] = merged; // k >= b, so every source is read before it is written
            }
        }
        timeBinSeconds_ *= 2;
    }
}

void FileMap::addTime(int stream, double start, double end, uint64_t first, uint64_t last) {
    if (!(start >= 0) || !(end >= start) || end > kLongestSeconds) return;
    widenTimeTo(end);
    if (cells_[size_t(stream)].empty()) cells_[size_t(stream)].resize(size_t(timeBins_));
    timedStreams_ |= 1u << stream;
    timeEnd_ = std::max(timeEnd_, end);
    int b0 = static_cast<int>(start / timeBinSeconds_);
    const double edges = end / timeBinSeconds_;
    int b1 = static_cast<int>(edges);
    // A span ending exactly on a bin edge does not reach into the next bin. The width
    // is a power of two, so the quotient is exact and whole just when the end is a
    // multiple of it (what fmod would say, without its long division).
    if (b1 > b0 && edges == std::floor(edges)) --b1;
    b1 = std::min(b1, timeBins_ - 1);
    StoredCell* row = cells_[size_t(stream)].data();
    // A span over several bins (a WAVE data chunk, an index entry) is taken to hold its
    // time evenly along its bytes: each bin gets its own share of the range.
    const double duration = end - start, bytes = double(last - first);
    const auto bytesTo = [&](double t) {
        const double part = bytes * ((t - start) / duration);
        // A span's length near 2^64 can round past what the type holds.
        return part < 18446744073709551616.0 ? static_cast<uint64_t>(part) : last - first;
    };
    for (int b = b0; b <= b1; ++b) {
        uint64_t lo = first, hi = last;
        if (b1 > b0 && duration > 0) {
            const double t0 = std::max(start, b * timeBinSeconds_);
            const double t1 = std::min(end, (b + 1) * timeBinSeconds_);
            lo = first + bytesTo(t0);
            hi = std::min(std::max(lo, first + bytesTo(t1)), last);
        }
        row[b].notFirst = std::max(row[b].notFirst, ~lo);
        row[b].last = std::max(row[b].last, hi);
    }
}

void FileMap::addSpan(const FileSpan& span) {
    if (!hasFile_ || span.size == 0) return;
    const uint64_t end = saturatingAdd(span.offset, span.size);
    widenBytesTo(end);
    ++spans_;
    const int layer = layerOf(span);
    if (partial_[size_t(layer)].empty()) {
        partial_[size_t(layer)].resize(size_t(byteBins_));
        cover_[size_t(layer)].resize(size_t(byteBins_) + 1);
    }
    usedLayers_ |= 1u << layer;
    totals_[layer] = saturatingAdd(totals_[layer], span.size);
    spanEnd_ = std::max(spanEnd_, end);
    if (span.stream >= 0 && span.stream < kMapStreams) seen_ |= 1u << span.stream;
    // Past the widest bins (an end near 2^64): the part beyond the last bin is left out.
    const uint64_t limit =
        binBytes_ * byteBins_ / byteBins_ == binBytes_ ? binBytes_ * byteBins_ : UINT64_MAX;
    const uint64_t clipped = std::min(end, limit);
    if (span.offset < clipped) {
        const int b0 = static_cast<int>(span.offset / binBytes_);
        const int b1 = static_cast<int>((clipped - 1) / binBytes_);
        usedBins_ = std::max(usedBins_, b1 + 1);
        if (b0 == b1) {
            partial(layer, b0) = saturatingAdd(partial(layer, b0), clipped - span.offset);
        } else {
            partial(layer, b0) =
                saturatingAdd(partial(layer, b0), (uint64_t(b0) + 1) * binBytes_ - span.offset);
            partial(layer, b1) =
                saturatingAdd(partial(layer, b1), clipped - uint64_t(b1) * binBytes_);
            if (b1 > b0 + 1) {
                cover(layer, b0 + 1) += 1;
                cover(layer, b1) -= 1;
                coversPending_ = true;
            }
        }
    }
    if (span.stream >= 0 && span.stream < kMapStreams && span.kind != SpanKind::Header)
        addTime(span.stream, span.start, span.end, span.offset, end);
}

// a * b / c rounded down, for a <= c: exact while a * b fits, else with a and c
// halved together until it does; never more than b.
static uint64_t scaledShare(uint64_t a, uint64_t b, uint64_t c) {
    while (a > 0 && b > UINT64_MAX / a) {
        a >>= 1;
        c >>= 1;
    }
    if (c == 0) return 0;
    const uint64_t share = a * b / c;
    return share < b ? share : b;
}

MapBinView FileMap::bin(int index) const {
    MapBinView v;
    if (index < 0 || index >= binCount()) return v;
    settleCovers();
    fillBin(index, extent(), v);
    return v;
}

void FileMap::fillBin(int index, uint64_t extent, MapBinView& v) const {
    v.begin = uint64_t(index) * binBytes_;
    v.end = std::min(saturatingAdd(v.begin, binBytes_), extent);
    const uint64_t width = v.end - v.begin;
    // Past the file's actual end every byte is missing, whatever a span declared there.
    v.missing = overlap(v.begin, v.end, fileSize_, UINT64_MAX);
    const uint64_t present = width - v.missing;
    uint64_t covered = 0;
    for (uint32_t used = usedLayers_; used != 0; used &= used - 1) {
        const int layer = __builtin_ctz(used);
        v.layers[size_t(layer)] = partial(layer, index);
        covered = saturatingAdd(covered, v.layers[size_t(layer)]);
    }
    if (covered > present) {
        // Overlapping spans, or spans running past the end: scaled to share what is
        // there, in integers, so that 32-bit and 64-bit builds draw the same map.
        const uint64_t total = covered;
        covered = 0;
        for (uint64_t& bytes : v.layers) {
            bytes = scaledShare(bytes, present, total);
            covered += bytes;
        }
    }
    const uint64_t rest = present - covered;
    // A file no reader mapped (a container that feeds no spans) is unread, not a gap.
    const uint64_t readTo = spans_ > 0 ? std::min(readEnd_, fileSize_) : 0;
    if (v.end <= readTo) {
        // Most bins lie wholly in the part read: what no span covers is gap.
        v.gap = rest;
        v.unread = 0;
        return;
    }
    const uint64_t gapRange = overlap(v.begin, v.end, 0, readTo);
    const uint64_t unreadRange = overlap(v.begin, v.end, readTo, fileSize_);
    v.gap = v.unread = 0;
    if (covered == 0) {
        v.gap = gapRange;
        v.unread = unreadRange;
    } else if (gapRange + unreadRange > 0) {
        v.unread = static_cast<uint64_t>(double(rest) * unreadRange / (gapRange + unreadRange));
        v.gap = rest - v.unread;
    }
}

void FileMap::fillColumns(uint64_t* const* columns) const {
    settleCovers();
    const uint64_t end = extent();
    const int n = binCount();
    int layers[kMapLayers];
    int used = 0;
    for (uint32_t rest = usedLayers_; rest != 0; rest &= rest - 1)
        layers[used++] = __builtin_ctz(rest);
    uint64_t* const gap = columns[kMapLayers];
    uint64_t* const unread = columns[kMapLayers + 1];
    uint64_t* const missing = columns[kMapLayers + 2];
    const uint64_t readTo = spans_ > 0 ? std::min(readEnd_, fileSize_) : 0;
    // Most bins lie wholly in the file and in the part read, with no more bytes than
    // they hold: their layers are the rows as they stand and the rest is gap. Bins
    // wholly past the part read that no span reached are unread. Any other bin is
    // drawn in full.
    const uint64_t plainEnd = std::min({readTo, fileSize_, end});
    MapBinView v;
    for (int b = 0; b < n; ++b) {
        const uint64_t begin = uint64_t(b) * binBytes_;
        // The last bin of an extent near 2^64 is a byte short of the others.
        const uint64_t stop = saturatingAdd(begin, binBytes_);
        const uint64_t width = stop - begin;
        if (stop <= plainEnd) {
            uint64_t covered = 0;
            bool over = false;
            for (int k = 0; k < used; ++k) {
                const uint64_t bytes = partial(layers[k], b);
                columns[layers[k]][b] = bytes;
                over |= bytes > UINT64_MAX - covered;
                covered += bytes;
            }
            if (!over && covered <= width) {
                gap[b] = width - covered;
                unread[b] = 0;
                missing[b] = 0;
                continue;
            }
        } else if (begin >= readTo && stop <= std::min(fileSize_, end)) {
            // Past the part read, in a large file: mostly bins nothing covers.
            bool empty = true;
            for (int k = 0; k < used && empty; ++k)
                empty = partial(layers[k], b) == 0;
            if (empty) {
                for (int k = 0; k < used; ++k)
                    columns[layers[k]][b] = 0;
                gap[b] = 0;
                unread[b] = width;
                missing[b] = 0;
                continue;
            }
        }
        fillBin(b, end, v);
        for (int k = 0; k < used; ++k)
            columns[layers[k]][b] = v.layers[size_t(layers[k])];
        gap[b] = v.gap;
        unread[b] = v.unread;
        missing[b] = v.missing;
    }
}

int FileMap::timeBinCount() const {
    if (timeEnd_ <= 0) return 0;
    const int n = static_cast<int>(std::ceil(timeEnd_ / timeBinSeconds_));
    return std::min(std::max(n, 1), timeBins_);
}

MapTimeCell FileMap::timeCell(int stream, int bin) const {
    if (stream < 0 || stream >= kMapStreams || bin < 0 || bin >= timeBins_) return MapTimeCell();
    const std::vector<StoredCell>& row = cells_[size_t(stream)];
    if (row.empty()) return MapTimeCell();
    MapTimeCell cell;
    cell.first = ~row[size_t(bin)].notFirst;
    cell.last = row[size_t(bin)].last;
    return cell;
}

} // namespace tavro
