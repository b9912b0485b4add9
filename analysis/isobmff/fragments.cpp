#include "analysis/isobmff/fragments.h"

#include "analysis/isobmff/box_header.h"

namespace tavro {

namespace {

struct RunDefaults {
    uint32_t duration = 0;
    uint32_t size = 0;
};

IsoTrack* trackById(IsoFile& file, uint32_t id) {
    for (IsoTrack& t : file.tracks)
        if (t.trackId == id) return &t;
    return nullptr;
}

// tfhd: the track and the defaults its runs fall back on.
IsoTrack* readTfhd(const BoxSpan& b, const std::vector<TrackDefaults>& defaults, IsoFile& file,
                   RunDefaults& d) {
    BeCursor c(b.payload, b.payloadSize);
    const uint32_t flags = c.u32() & 0xffffff;
    const uint32_t id = c.u32();
    for (const TrackDefaults& t : defaults)
        if (t.trackId == id) d.duration = t.sampleDuration, d.size = t.sampleSize;
    if (flags & 0x1) c.skip(8); // base data offset
    if (flags & 0x2) c.skip(4); // sample description index
    if (flags & 0x8) d.duration = c.u32();
    if (flags & 0x10) d.size = c.u32();
    return c.overrun() ? nullptr : trackById(file, id);
}

void readTrun(const BoxSpan& b, const RunDefaults& d, uint64_t maxEntries, IsoTrack& t,
              IsoFile& file) {
    BeCursor c(b.payload, b.payloadSize);
    const uint32_t flags = c.u32() & 0xffffff;
    uint64_t count = c.u32();
    if (flags & 0x1) c.skip(4); // data offset
    if (flags & 0x4) c.skip(4); // first sample flags
    if (c.overrun()) return;
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
    if (!durations && !sizes) return;
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
}

} // namespace

void readMovieFragment(const uint8_t* payload, size_t size, const IsoLimits& limits,
                       const std::vector<TrackDefaults>& defaults, IsoFile& file) {
    forEachBox(payload, size, limits.maxChildren, [&](const BoxSpan& traf) {
        if (traf.header.type != fourCC("traf")) return true;
        IsoTrack* track = nullptr;
        RunDefaults d;
        forEachBox(traf.payload, traf.payloadSize, limits.maxChildren, [&](const BoxSpan& b) {
            if (b.header.type == fourCC("tfhd"))
                track = readTfhd(b, defaults, file, d);
            else if (b.header.type == fourCC("trun") && track)
                readTrun(b, d, limits.maxTableEntries, *track, file);
            return true;
        });
        return true;
    });
}

} // namespace tavro
