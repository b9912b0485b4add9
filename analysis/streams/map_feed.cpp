#include "analysis/streams/map_feed.h"

namespace tavro {

void MapFeed::add(uint64_t offset, uint64_t size, SpanKind kind, int stream, double start,
                  double end) {
    const bool timed = start >= 0 && end >= start;
    put(fileSpan(offset, size, kind, stream, timed ? start : -1, timed ? end : -1),
        timed ? Timing::closed : Timing::none);
}

void MapFeed::addOpen(uint64_t offset, uint64_t size, int stream, double start, double end) {
    if (!(start >= 0)) {
        add(offset, size, SpanKind::Data, stream);
        return;
    }
    put(fileSpan(offset, size, SpanKind::Data, stream, start, end > start ? end : start),
        Timing::open);
}

void MapFeed::put(const FileSpan& s, Timing timing) {
    if (s.size == 0) return;
    const bool data = s.kind == SpanKind::Data && s.stream >= 0;
    Run& run = runs_[data && s.stream < kJoinedStreams ? s.stream : kJoinedStreams];
    FileSpan& p = run.span;
    const bool sameStream = run.held && p.kind == s.kind && p.stream == s.stream;
    // The stream's last span, if it gave only its start, lasts until this one starts.
    if (sameStream && data && run.timing == Timing::open && s.start > p.end) p.end = s.start;
    // A span that goes on where the last ended, of the same kind, stream and timing,
    // lengthens it; its time widens to hold both.
    if (sameStream && run.timing == timing && p.size <= UINT64_MAX - p.offset &&
        p.offset + p.size == s.offset) {
        p.size = s.size <= UINT64_MAX - p.size ? p.size + s.size : UINT64_MAX;
        if (timing != Timing::none) {
            if (s.start < p.start) p.start = s.start;
            if (s.end > p.end) p.end = s.end;
        }
        return;
    }
    flush(run);
    if (left_ == 0) return;
    --left_;
    p = s;
    run.timing = timing;
    run.held = true;
}

void MapFeed::declareEnd(uint64_t end) {
    sink_.declareEnd(end);
}

void MapFeed::readTo(uint64_t end) {
    sink_.readTo(end);
}

void MapFeed::cut() {
    for (Run& run : runs_)
        flush(run);
}

void MapFeed::flush(Run& run) {
    if (!run.held) return;
    run.held = false;
    sink_.addSpan(run.span);
}

} // namespace tavro
