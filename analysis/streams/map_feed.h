// The modern readers' side of the file map (see analysis/file_spans.h): the spans a
// reader meets while it reads go to the sink, a run of one kind and stream laid end
// to end (chunks, packets, blocks) joined into one span, and no more spans per file
// than a fixed budget. A reader makes a feed only when its limits carry a sink, so
// without a map it holds a null feed and computes nothing for it.
#pragma once
#include <array>
#include <cstdint>

#include "analysis/file_spans.h"

namespace tavro {

// As many spans as the AVI walk can meet in the largest head it reads.
constexpr uint64_t kMapSpanBudget = 65536;

class MapFeed {
  public:
    explicit MapFeed(SpanSink& sink, uint64_t budget = kMapSpanBudget)
        : sink_(sink), left_(budget) {}
    ~MapFeed() { cut(); }
    MapFeed(const MapFeed&) = delete;
    MapFeed& operator=(const MapFeed&) = delete;

    // Times in seconds of the stream, negative when not known. Spans of no bytes, and
    // spans past the budget, are dropped.
    void add(uint64_t offset, uint64_t size, SpanKind kind, int stream = kNoSpanStream,
             double start = -1, double end = -1);
    // A stream's data whose time the container gives by when it starts (a tag's or a
    // packet's timestamp): it lasts from `start` to at least `end`, and on until the
    // stream's next span starts.
    void addOpen(uint64_t offset, uint64_t size, int stream, double start, double end);
    void declareEnd(uint64_t end);
    // The reader walked the head only to `end`: what lies past it was not read.
    void readTo(uint64_t end);
    // A jump in the reading (from the head to the tail): every run so far goes to the
    // sink, and none of them lasts until a span after the jump.
    void cut();
    // Spans the budget still allows.
    uint64_t left() const { return left_; }

  private:
    enum class Timing : uint8_t { none, closed, open };
    struct Run {
        FileSpan span;
        Timing timing = Timing::none;
        bool held = false;
    };
    void put(const FileSpan& span, Timing timing);
    void flush(Run& run);

    SpanSink& sink_;
    uint64_t left_;
    // A run being joined per stream, for the first streams; the rest, and what is no
    // stream's data, share the last.
    static constexpr int kJoinedStreams = 10;
    std::array<Run, kJoinedStreams + 1> runs_;
};

} // namespace tavro
