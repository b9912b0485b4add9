#include "analysis/isobmff/movie_box.h"

#include <algorithm>

#include "analysis/isobmff/box_header.h"
#include "analysis/isobmff/sample_entry.h"
#include "analysis/isobmff/sample_tables.h"

namespace tavro {

namespace {

constexpr size_t kMaxNameBytes = 256;

TrackKind kindOfHandler(uint32_t handler) {
    if (handler == fourCC("vide")) return TrackKind::video;
    if (handler == fourCC("soun")) return TrackKind::audio;
    if (handler == fourCC("subt") || handler == fourCC("sbtl")) return TrackKind::subtitle;
    if (handler == fourCC("text")) return TrackKind::text;
    return TrackKind::other;
}

// Printable text up to the first NUL, at most kMaxNameBytes.
std::string cleanText(const uint8_t* p, size_t n) {
    std::string out;
    for (size_t i = 0; i < n && out.size() < kMaxNameBytes; ++i) {
        if (p[i] == 0) break;
        if (p[i] >= 0x20 && p[i] != 0x7f) out.push_back(static_cast<char>(p[i]));
    }
    return out;
}

// ISO files end the handler name with a NUL; QuickTime writes a counted string.
std::string handlerName(const uint8_t* p, size_t n) {
    if (n > 0 && p[0] == n - 1 && p[0] != 0) return cleanText(p + 1, n - 1);
    return cleanText(p, n);
}

// Three 5-bit letters offset from 0x60; smaller values are Macintosh language codes.
std::string packedLanguage(uint16_t code) {
    if (code < 0x400) return "";
    std::string text;
    for (int shift = 10; shift >= 0; shift -= 5) {
        const char c = static_cast<char>(((code >> shift) & 0x1f) + 0x60);
        if (c < 'a' || c > 'z') return "";
        text.push_back(c);
    }
    return text;
}

void readTkhd(const BoxSpan& b, IsoTrack& t) {
    BeCursor c(b.payload, b.payloadSize);
    const uint8_t version = c.u8();
    t.enabled = (c.u24() & 1) != 0;
    c.skip(version == 1 ? 16 : 8);
    t.trackId = c.u32();
    c.skip(4 + (version == 1 ? 8 : 4) + 8 + 8 + 36); // duration, layer, volume, matrix
    const uint32_t w = c.u32(), h = c.u32();
    if (c.overrun()) return;
    t.displayWidth = w >> 16, t.displayHeight = h >> 16;
}

void readMdhd(const BoxSpan& b, IsoTrack& t) {
    BeCursor c(b.payload, b.payloadSize);
    const uint8_t version = c.u8();
    c.skip(3 + (version == 1 ? 16 : 8));
    const uint32_t scale = c.u32();
    const uint64_t duration = version == 1 ? c.u64() : c.u32();
    const uint16_t language = c.u16();
    if (c.overrun()) return;
    t.timescale = scale, t.duration = duration, t.language = packedLanguage(language);
}

void readHdlr(const BoxSpan& b, IsoTrack& t) {
    BeCursor c(b.payload, b.payloadSize);
    c.skip(8);
    const uint32_t handler = c.u32();
    c.skip(12);
    if (c.overrun()) return;
    t.handler = fourCCText(handler);
    t.kind = kindOfHandler(handler);
    if (t.name.empty()) t.name = handlerName(c.here(), c.left());
}

TablePayload tableOf(const BoxSpan& b) {
    return {b.payload, b.payloadSize};
}

void readStbl(const BoxSpan& stbl, const IsoLimits& limits, IsoTrack& t, IsoFile& file,
              const SampleMap* map) {
    SampleTableBoxes tables;
    forEachBox(stbl.payload, stbl.payloadSize, limits.maxChildren, [&](const BoxSpan& b) {
        const uint32_t type = b.header.type;
        if (type == fourCC("stsd"))
            readSampleDescriptions(b.payload, b.payloadSize, t);
        else if (type == fourCC("stts"))
            tables.stts = tableOf(b);
        else if (type == fourCC("stsz"))
            tables.stsz = tableOf(b);
        else if (type == fourCC("stz2"))
            tables.stz2 = tableOf(b);
        else if (type == fourCC("stsc"))
            tables.stsc = tableOf(b);
        else if (type == fourCC("stco"))
            tables.stco = tableOf(b);
        else if (type == fourCC("co64"))
            tables.co64 = tableOf(b);
        return true;
    });
    summariseSampleTables(tables, file.fileSize, limits.maxTableEntries, t, file, map);
}

void readMdia(const BoxSpan& mdia, const IsoLimits& limits, IsoTrack& t, IsoFile& file,
              const SampleMap* map) {
    // The handler decides how the sample entry reads, so it goes first whatever the order.
    forEachBox(mdia.payload, mdia.payloadSize, limits.maxChildren, [&](const BoxSpan& b) {
        if (b.header.type == fourCC("mdhd"))
            readMdhd(b, t);
        else if (b.header.type == fourCC("hdlr"))
            readHdlr(b, t);
        return true;
    });
    forEachBox(mdia.payload, mdia.payloadSize, limits.maxChildren, [&](const BoxSpan& minf) {
        if (minf.header.type != fourCC("minf")) return true;
        forEachBox(minf.payload, minf.payloadSize, limits.maxChildren, [&](const BoxSpan& b) {
            if (b.header.type == fourCC("stbl")) readStbl(b, limits, t, file, map);
            return true;
        });
        return false;
    });
}

void readTrackUdta(const BoxSpan& udta, IsoTrack& t) {
    forEachBox(udta.payload, udta.payloadSize, 64, [&](const BoxSpan& b) {
        if (b.header.type != fourCC("name")) return true;
        const std::string name = cleanText(b.payload, b.payloadSize);
        if (!name.empty()) t.name = name, t.nameIsTitle = true;
        return false;
    });
}

IsoTrack readTrak(const BoxSpan& trak, const IsoLimits& limits, IsoFile& file,
                  const SampleMap* map) {
    IsoTrack t;
    if (!forEachBox(trak.payload, trak.payloadSize, limits.maxChildren, [&](const BoxSpan& b) {
            if (b.header.type == fourCC("tkhd"))
                readTkhd(b, t);
            else if (b.header.type == fourCC("udta"))
                readTrackUdta(b, t);
            return true;
        }))
        file.note(IsoProblem::boxPastParent);
    forEachBox(trak.payload, trak.payloadSize, limits.maxChildren, [&](const BoxSpan& b) {
        if (b.header.type != fourCC("mdia")) return true;
        readMdia(b, limits, t, file, map);
        return false;
    });
    return t;
}

void readMvex(const BoxSpan& mvex, IsoFile& file, std::vector<TrackDefaults>& defaults) {
    file.fragmented = true;
    forEachBox(mvex.payload, mvex.payloadSize, 1024, [&](const BoxSpan& b) {
        BeCursor c(b.payload, b.payloadSize);
        const uint8_t version = c.u8();
        c.skip(3);
        if (b.header.type == fourCC("mehd")) {
            const uint64_t d = version == 1 ? c.u64() : c.u32();
            if (!c.overrun()) file.fragmentDuration = d;
        } else if (b.header.type == fourCC("trex")) {
            TrackDefaults d;
            d.trackId = c.u32();
            c.skip(4); // sample description index
            d.sampleDuration = c.u32();
            d.sampleSize = c.u32();
            if (!c.overrun()) defaults.push_back(d);
        }
        return true;
    });
}

// The text of an item list entry: its data box holds a type, a locale, then UTF-8.
std::string itemText(const BoxSpan& item) {
    std::string text;
    forEachBox(item.payload, item.payloadSize, 16, [&](const BoxSpan& data) {
        if (data.header.type != fourCC("data") || data.payloadSize < 8) return true;
        text = cleanText(data.payload + 8, data.payloadSize - 8);
        return false;
    });
    return text;
}

void readMovieUdta(const BoxSpan& udta, IsoFile& file) {
    forEachBox(udta.payload, udta.payloadSize, 256, [&](const BoxSpan& b) {
        if (b.header.type == fourCC("\xA9nam") && b.payloadSize > 4 && file.title.empty()) {
            // QuickTime's form: a 16-bit length and a language code before the text.
            const size_t length = static_cast<size_t>(b.payload[0] << 8 | b.payload[1]);
            file.title = cleanText(b.payload + 4, std::min(length, b.payloadSize - 4));
        } else if (b.header.type == fourCC("meta") && b.payloadSize >= 8) {
            // ISO's meta is a full box; QuickTime's is not and opens with its hdlr.
            const size_t skip =
                fourCCOf(reinterpret_cast<const char*>(b.payload + 4)) == fourCC("hdlr") ? 0 : 4;
            forEachBox(b.payload + skip, b.payloadSize - skip, 256, [&](const BoxSpan& ilst) {
                if (ilst.header.type != fourCC("ilst")) return true;
                forEachBox(ilst.payload, ilst.payloadSize, 4096, [&](const BoxSpan& item) {
                    if (item.header.type == fourCC("\xA9nam")) file.title = itemText(item);
                    return file.title.empty();
                });
                return false;
            });
        }
        return true;
    });
}

void readMvhd(const BoxSpan& b, IsoFile& file) {
    BeCursor c(b.payload, b.payloadSize);
    const uint8_t version = c.u8();
    c.skip(3 + (version == 1 ? 16 : 8));
    const uint32_t scale = c.u32();
    const uint64_t duration = version == 1 ? c.u64() : c.u32();
    if (c.overrun()) return;
    file.timescale = scale, file.duration = duration;
}

} // namespace

void readMovieBox(const uint8_t* payload, size_t size, const IsoLimits& limits, IsoFile& file,
                  std::vector<TrackDefaults>& defaults, MapFeed* map) {
    // The tracks share what is left of the map's budget; one that takes less leaves
    // the rest to those after it.
    uint64_t tracksLeft = 0;
    if (map)
        forEachBox(payload, size, limits.maxChildren, [&](const BoxSpan& b) {
            tracksLeft += b.header.type == fourCC("trak");
            return true;
        });
    const bool whole = forEachBox(payload, size, limits.maxChildren, [&](const BoxSpan& b) {
        const uint32_t type = b.header.type;
        if (type == fourCC("mvhd")) {
            readMvhd(b, file);
        } else if (type == fourCC("mvex")) {
            readMvex(b, file, defaults);
        } else if (type == fourCC("udta")) {
            readMovieUdta(b, file);
        } else if (type == fourCC("trak")) {
            ++file.trackCount;
            if (file.tracks.size() < limits.maxTracks) {
                SampleMap samples;
                if (map) {
                    samples.feed = map;
                    samples.stream = static_cast<int>(file.tracks.size());
                    samples.spans = map->left() / std::max<uint64_t>(tracksLeft, 1);
                    tracksLeft -= tracksLeft > 0;
                }
                file.tracks.push_back(readTrak(b, limits, file, map ? &samples : nullptr));
            } else
                file.note(IsoProblem::tooManyTracks);
        }
        return true;
    });
    if (!whole) file.note(IsoProblem::boxPastParent);
    if (file.timescale) file.seconds = static_cast<double>(file.duration) / file.timescale;
    if (file.timescale)
        file.fragmentSeconds = static_cast<double>(file.fragmentDuration) / file.timescale;
}

void finishTrack(IsoTrack& t) {
    if (!t.timescale) return;
    const double scale = t.timescale;
    const uint64_t span = t.duration ? t.duration : t.sttsDuration;
    t.seconds = span / scale;
    uint64_t covered = 0;
    const uint32_t delta = t.deltas.dominant(&covered);
    if (t.kind == TrackKind::video && delta && covered * 2 > t.sttsSamples)
        t.frameRate = scale / delta;
    else if (t.kind == TrackKind::video && t.sttsDuration && t.sttsSamples)
        t.frameRate = t.sttsSamples / (t.sttsDuration / scale);
    if (t.seconds > 0) {
        // A tiny duration over many bytes exceeds any integer; such a rate is nonsense anyway.
        const double rate = t.sampleBytes * 8.0 / t.seconds;
        t.bitRate = rate < 1e18 ? static_cast<uint64_t>(rate) : 0;
    }
    if (t.sampleCount && t.samplesPastEnd)
        t.secondsMissing = t.seconds * static_cast<double>(t.samplesPastEnd) / t.sampleCount;
}

} // namespace tavro
