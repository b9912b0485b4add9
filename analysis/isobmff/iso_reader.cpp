#include "analysis/isobmff/iso_reader.h"

#include <algorithm>
#include <initializer_list>
#include <optional>
#include <vector>

#include "analysis/isobmff/box_header.h"
#include "analysis/isobmff/fragments.h"
#include "analysis/isobmff/movie_box.h"

namespace tavro {

namespace {

constexpr size_t kMaxTopBoxesKept = 64;
constexpr size_t kMaxBrands = 64;

// Boxes a file of this family may open with.
bool isLeadingBox(uint32_t type) {
    for (const char* t : {"ftyp", "styp", "moov", "mdat", "free", "skip", "wide", "pnot", "sidx",
                          "moof", "uuid", "meta"})
        if (type == fourCCOf(t)) return true;
    return false;
}

bool readBytes(RandomAccessReader& reader, uint64_t offset, uint64_t size, ByteBuffer& out) {
    return reader.readInto(offset, static_cast<size_t>(size), out);
}

void readFtyp(const ByteBuffer& p, IsoFile& file) {
    if (p.size() < 8) return;
    file.majorBrand = fourCCText(fourCCOf(reinterpret_cast<const char*>(p.data())));
    file.minorVersion = fourCCOf(reinterpret_cast<const char*>(p.data() + 4));
    for (size_t at = 8; at + 4 <= p.size() && file.compatibleBrands.size() < kMaxBrands; at += 4)
        file.compatibleBrands.push_back(
            fourCCText(fourCCOf(reinterpret_cast<const char*>(p.data() + at))));
}

bool isOneOf(uint32_t type, std::initializer_list<const char*> types) {
    for (const char* t : types)
        if (type == fourCCOf(t)) return true;
    return false;
}

// What a box is on the file map: the sample tables (and the fragments' and segments'
// own indexes) are the index, free space is padding, the rest is structure.
SpanKind spanKindOf(uint32_t type) {
    if (isOneOf(type,
                {"stts", "ctts", "stsc", "stsz", "stz2", "stco", "co64", "stss", "stps", "sdtp",
                 "sbgp", "sgpd", "subs", "saiz", "saio", "cslg", "sidx", "ssix", "mfra", "moof"}))
        return SpanKind::Index;
    if (isOneOf(type, {"free", "skip", "wide"})) return SpanKind::Junk;
    return SpanKind::Header;
}

bool holdsBoxes(uint32_t type) {
    return isOneOf(type, {"trak", "mdia", "minf", "stbl", "edts", "dinf", "mvex", "udta"});
}

// The movie box's children on the file map, from the copy in memory: `base` is the
// offset in the file of `data`'s first byte.
void mapBoxes(MapFeed& map, const uint8_t* data, size_t size, uint64_t base, size_t maxChildren,
              int depth) {
    forEachBox(data, size, maxChildren, [&](const BoxSpan& b) {
        const BoxHeader& h = b.header;
        if (depth < 6 && holdsBoxes(h.type)) {
            map.add(base + h.offset, h.headerSize, SpanKind::Header);
            mapBoxes(map, b.payload, b.payloadSize, base + h.payloadOffset(), maxChildren,
                     depth + 1);
        } else {
            map.add(base + h.offset, h.size, spanKindOf(h.type));
        }
        return true;
    });
}

class TopLevelWalk {
  public:
    TopLevelWalk(RandomAccessReader& reader, const IsoLimits& limits, IsoFile& file, MapFeed* map)
        : reader_(reader), limits_(limits), file_(file), map_(map) {}

    // Where the boxes walked say the file ends: past its size when it was cut.
    uint64_t declaredEnd() const { return declaredEnd_; }

    // True when the movie box was found but left unread for its size.
    bool moovTooLarge() const { return tooLarge_; }

    // False on an I/O error.
    bool run() {
        uint64_t offset = 0;
        const uint64_t end = file_.fileSize;
        while (offset < end) {
            if (file_.topBoxCount == limits_.maxTopBoxes) {
                file_.note(IsoProblem::tooManyBoxes);
                break;
            }
            uint8_t head[32];
            size_t got = 0;
            if (!reader_.readAt(offset, head, sizeof head, &got)) return false;
            BoxHeader h;
            const BoxHeaderStatus s = parseBoxHeader(head, got, offset, end, h);
            if (s == BoxHeaderStatus::shortRead || s == BoxHeaderStatus::badSize) {
                if (offset > 0) file_.note(IsoProblem::badBoxSize);
                break;
            }
            if (offset == 0 && !isLeadingBox(h.type)) break;
            if (s == BoxHeaderStatus::clamped)
                file_.note(h.type == fourCC("moov") ? IsoProblem::moovTruncated
                                                    : IsoProblem::boxPastParent);
            ++file_.topBoxCount;
            if (file_.topBoxes.size() < kMaxTopBoxesKept)
                file_.topBoxes.push_back({fourCCText(h.type), h.offset, h.size, h.claimedSize});
            if (map_) mapTopBox(h);
            if (!visit(h)) return false;
            offset = h.end();
        }
        return true;
    }

  private:
    // The movie box is mapped once read; the media data's payload is its samples.
    void mapTopBox(const BoxHeader& h) {
        const uint64_t end =
            h.claimedSize <= UINT64_MAX - h.offset ? h.offset + h.claimedSize : UINT64_MAX;
        declaredEnd_ = std::max(declaredEnd_, end);
        if (h.type == fourCC("mdat"))
            map_->add(h.offset, h.headerSize, SpanKind::Header);
        else if (h.type != fourCC("moov") || file_.hasMoov)
            map_->add(h.offset, h.size, spanKindOf(h.type));
    }

    bool visit(const BoxHeader& h) {
        ByteBuffer payload;
        if (h.type == fourCC("ftyp")) {
            if (!readBytes(reader_, h.payloadOffset(), std::min<uint64_t>(h.payloadSize(), 4096),
                           payload))
                return false;
            if (file_.majorBrand.empty()) readFtyp(payload, file_);
        } else if (h.type == fourCC("mdat")) {
            if (file_.mdatCount++ == 0) {
                file_.mdatOffset = h.offset;
                file_.mdatSize = h.size;
                file_.mdatClaimedSize = h.claimedSize;
            }
        } else if (h.type == fourCC("moov")) {
            return visitMoov(h);
        } else if (h.type == fourCC("moof")) {
            ++file_.fragmentCount;
            file_.fragmented = true;
            if (h.payloadSize() > limits_.maxMoofBytes || file_.tracks.empty()) return true;
            if (!readBytes(reader_, h.payloadOffset(), h.payloadSize(), payload)) return false;
            readMovieFragment(payload.data(), payload.size(), limits_, defaults_, file_, map_,
                              h.offset);
        }
        return true;
    }

    bool visitMoov(const BoxHeader& h) {
        if (file_.hasMoov) {
            file_.note(IsoProblem::secondMoov);
            return true;
        }
        file_.hasMoov = true;
        file_.moovOffset = h.offset;
        file_.moovSize = h.size;
        file_.moovAtHead = file_.mdatCount == 0;
        if (!file_.moovAtHead) file_.note(IsoProblem::moovAfterMdat);
        if (h.payloadSize() > limits_.maxMoovBytes) {
            tooLarge_ = true;
            // Left unread: nearly all of a box that large is sample tables.
            if (map_) map_->add(h.offset, h.size, SpanKind::Index);
            return true;
        }
        ByteBuffer payload;
        if (!readBytes(reader_, h.payloadOffset(), h.payloadSize(), payload)) return false;
        if (payload.size() < h.payloadSize()) file_.note(IsoProblem::moovTruncated);
        if (map_) {
            map_->add(h.offset, h.headerSize, SpanKind::Header);
            mapBoxes(*map_, payload.data(), payload.size(), h.payloadOffset(), limits_.maxChildren,
                     0);
        }
        readMovieBox(payload.data(), payload.size(), limits_, file_, defaults_, map_);
        return true;
    }

    RandomAccessReader& reader_;
    const IsoLimits& limits_;
    IsoFile& file_;
    MapFeed* map_;
    std::vector<TrackDefaults> defaults_;
    bool tooLarge_ = false;
    uint64_t declaredEnd_ = 0;
};

} // namespace

bool IsoFile::has(IsoProblem p) const {
    return std::find(problems.begin(), problems.end(), p) != problems.end();
}

void IsoFile::note(IsoProblem p) {
    if (!has(p)) problems.push_back(p);
}

IsoFile readIsoFile(RandomAccessReader& reader, const IsoLimits& limits) {
    IsoFile file;
    file.fileSize = reader.size();
    std::optional<MapFeed> map;
    if (limits.spans) map.emplace(*limits.spans);
    TopLevelWalk walk(reader, limits, file, map ? &*map : nullptr);
    if (!walk.run()) {
        file.status = IsoStatus::readError;
        return file;
    }
    if (map && walk.declaredEnd()) map->declareEnd(walk.declaredEnd());
    for (IsoTrack& t : file.tracks) {
        finishTrack(t);
        file.bytesPastEnd += t.bytesPastEnd;
        file.secondsMissing = std::max(file.secondsMissing, t.secondsMissing);
    }
    if (file.bytesPastEnd) file.note(IsoProblem::sampleDataPastEnd);
    if (walk.moovTooLarge())
        file.status = IsoStatus::moovTooLarge;
    else if (file.hasMoov)
        file.status = IsoStatus::ok;
    else if (file.topBoxCount > 0)
        file.status = IsoStatus::noMoov;
    else
        file.status = IsoStatus::notIsoBmff;
    return file;
}

void DeltaTally::add(uint32_t d, uint64_t n) {
    if (!d || !n) return;
    size_t empty = kSlots;
    for (size_t i = 0; i < kSlots; ++i) {
        if (delta[i] == d) {
            count[i] += n;
            return;
        }
        if (!count[i] && empty == kSlots) empty = i;
    }
    // Past eight distinct durations the rest are not tallied: such a track has no
    // single frame rate anyway.
    if (empty < kSlots) delta[empty] = d, count[empty] = n;
}

uint32_t DeltaTally::dominant(uint64_t* covered) const {
    size_t best = kSlots;
    for (size_t i = 0; i < kSlots; ++i)
        if (count[i] && (best == kSlots || count[i] > count[best])) best = i;
    *covered = best < kSlots ? count[best] : 0;
    return best < kSlots ? delta[best] : 0;
}

const char* isoStatusText(IsoStatus status) {
    switch (status) {
    case IsoStatus::ok:
        return "ok";
    case IsoStatus::notIsoBmff:
        return "not an ISO base media file";
    case IsoStatus::noMoov:
        return "no movie box (index missing)";
    case IsoStatus::moovTooLarge:
        return "movie box too large to read";
    case IsoStatus::readError:
        return "read error";
    }
    return "";
}

const char* isoProblemText(IsoProblem problem) {
    switch (problem) {
    case IsoProblem::boxPastParent:
        return "a box runs past its parent";
    case IsoProblem::badBoxSize:
        return "a box size is smaller than its header";
    case IsoProblem::moovTruncated:
        return "the movie box is cut short";
    case IsoProblem::tooManyBoxes:
        return "too many boxes; the rest were not read";
    case IsoProblem::tooManyTracks:
        return "too many tracks; the rest were counted only";
    case IsoProblem::tableTruncated:
        return "a sample table is cut short";
    case IsoProblem::tablesDisagree:
        return "the sample tables do not add up";
    case IsoProblem::sampleDataPastEnd:
        return "sample data runs past the end of the file";
    case IsoProblem::moovAfterMdat:
        return "the index follows the sample data";
    case IsoProblem::secondMoov:
        return "a second movie box was ignored";
    }
    return "";
}

} // namespace tavro
