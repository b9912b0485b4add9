#include "analysis/isobmff/fragments.h"

#include "analysis/isobmff/box_header.h"

namespace tavro {

namespace {

struct RunDefaults {
    uint32_t duration = 0;
    uint32_t size = 0;
    uint64_t base = 0; // where the runs' data offsets count from
};

// Where a run's samples lie: from its data offset, else after the run before it.
struct RunPlace {
    bool hasOffset = false;
    int32_t offset = 0;
};

IsoTrack* trackById(IsoFile& file, uint32_t id) {
    for (IsoTrack& t : file.tracks)
        if (t.trackId == id) return &t;
    return nullptr;
}

// tfhd: the track and the defaults its runs fall back on. The base data offset is
// given, or the moof's first byte when flagged so; else `d.base` stays as the caller
// set it (where the track fragment before this one ended).
IsoTrack* readTfhd(const BoxSpan& b, const std::vector<TrackDefaults>& defaults, IsoFile& file,
                   uint64_t moofOffset, RunDefaults& d) {
    BeCursor c(b.payload, b.payloadSize);
    const uint32_t flags = c.u32() & 0xffffff;
    const uint32_t id = c.u32();
    for (const TrackDefaults& t : defaults)
        if (t.trackId == id) d.duration = t.sampleDuration, d.size = t.sampleSize;
    if (flags & 0x1)
        d.base = c.u64();
    else if (flags & 0x20000)
        d.base = moofOffset;
    if (flags & 0x2) c.skip(4); // sample description index
    if (flags & 0x8) d.duration = c.u32();
    if (flags & 0x10) d.size = c.u32();
    return c.overrun() ? nullptr : trackById(file, id);
}

RunPlace readTrun(const BoxSpan& b, const RunDefaults& d, uint64_t maxEntries, IsoTrack& t,
                  IsoFile& file) {
    BeCursor c(b.payload, b.payloadSize);
    const uint32_t flags = c.u32() & 0xffffff;
    uint64_t count = c.u32();
    RunPlace place;
    place.hasOffset = (flags & 0x1) != 0;
    if (place.hasOffset) place.offset = static_cast<int32_t>(c.u32());
    if (flags & 0x4) c.skip(4); // first sample flags
    if (c.overrun()) return RunPlace();
    const bool durations = flags & 0x100, sizes = flags & 0x200;
    const size_t entryBytes = 4u * (durations + sizes + !!(flags & 0x400) + !!(flags & 0x800));
    if (entryBytes) {
        const uint64_t room = c.left() / entryBytes;
        if (count > room || count > maxEntries) file.note(IsoProblem::tableTruncated);
        if (count > room) count = room;
        if (count > maxEntries) count = maxEntries;
    }
    t.sampleCount += count;
    t.sttsSamples += count;
    if (!durations) {
        t.sttsDuration += count * d.duration;
        t.deltas.add(d.duration, count);
    }
    if (!sizes) t.sampleBytes += count * d.size;
    if (!durations && !sizes) return place;
    for (uint64_t i = 0; i < count; ++i) {
        const uint8_t* e = c.take(entryBytes);
        BeCursor entry(e, entryBytes);
        if (durations) {
            const uint32_t delta = entry.u32();
            t.sttsDuration += delta;
            t.deltas.add(delta, 1);
        }
        if (sizes) t.sampleBytes += entry.u32();
    }
    return place;
}

// The run just read, as the bytes and time its samples added to the track; returns
// where the next run's data follows.
uint64_t mapRun(MapFeed& map, const IsoFile& file, const IsoTrack& t, const RunPlace& place,
                uint64_t next, uint64_t base, uint64_t bytesBefore, uint64_t ticksBefore) {
    uint64_t at = next;
    if (place.hasOffset) {
        const int64_t o = place.offset;
        if (o < 0 && base < static_cast<uint64_t>(-o)) return next;
        at = o < 0 ? base - static_cast<uint64_t>(-o) : base + static_cast<uint64_t>(o);
    }
    const uint64_t bytes = t.sampleBytes - bytesBefore;
    double start = -1, end = -1;
    if (t.timescale) {
        start = static_cast<double>(ticksBefore) / t.timescale;
        end = static_cast<double>(t.sttsDuration) / t.timescale;
    }
    map.add(at, bytes, SpanKind::Data, static_cast<int>(&t - file.tracks.data()), start, end);
    return bytes <= UINT64_MAX - at ? at + bytes : UINT64_MAX;
}

} // namespace

void readMovieFragment(const uint8_t* payload, size_t size, const IsoLimits& limits,
                       const std::vector<TrackDefaults>& defaults, IsoFile& file, MapFeed* map,
                       uint64_t moofOffset) {
    uint64_t next = moofOffset; // where the data of the runs read so far ends
    forEachBox(payload, size, limits.maxChildren, [&](const BoxSpan& traf) {
        if (traf.header.type != fourCC("traf")) return true;
        IsoTrack* track = nullptr;
        RunDefaults d;
        d.base = next;
        forEachBox(traf.payload, traf.payloadSize, limits.maxChildren, [&](const BoxSpan& b) {
            if (b.header.type == fourCC("tfhd")) {
                track = readTfhd(b, defaults, file, moofOffset, d);
                next = d.base;
            } else if (b.header.type == fourCC("trun") && track) {
                const uint64_t bytes = track->sampleBytes, ticks = track->sttsDuration;
                const RunPlace place = readTrun(b, d, limits.maxTableEntries, *track, file);
                if (map) next = mapRun(*map, file, *track, place, next, d.base, bytes, ticks);
            }
            return true;
        });
        return true;
    });
}

} // namespace tavro
