#include "analysis/asf/asf_reader.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "analysis/asf/asf_guid.h"
#include "analysis/streams/budget_source.h"

namespace tavro {

bool AsfFile::has(AsfProblem p) const {
    return std::find(problems.begin(), problems.end(), p) != problems.end();
}

void AsfFile::note(AsfProblem p) {
    if (!has(p)) problems.push_back(p);
}

AsfStream* AsfFile::stream(uint16_t number) {
    for (AsfStream& s : streams)
        if (s.number == number) return &s;
    return nullptr;
}

std::string AsfFile::tag(const char* name) const {
    for (const auto& t : tags)
        if (t.first == name) return t.second;
    return {};
}

namespace {

uint64_t le(const uint8_t* p, int n) {
    uint64_t v = 0;
    for (int i = n - 1; i >= 0; --i)
        v = v << 8 | p[i];
    return v;
}

using Source = BudgetSource;

// The Data Object's fields before its packets.
constexpr uint64_t kDataFixedBytes = 50;

// A top-level object on the file map, as much of it as the file holds: the packets
// are data of no one stream (they are not read), the indexes the index.
void mapTopObject(MapFeed& map, const AsfFile& f, const uint8_t* guid, uint64_t offset,
                  uint64_t size) {
    const uint64_t held = std::min(size, f.fileSize - offset);
    if (asf_guid::data.is(guid)) {
        map.add(offset, std::min(held, kDataFixedBytes), SpanKind::Header);
        if (held > kDataFixedBytes)
            map.add(offset + kDataFixedBytes, held - kDataFixedBytes, SpanKind::Data);
    } else {
        const bool index = asf_guid::simpleIndex.is(guid) || asf_guid::index.is(guid);
        map.add(offset, held, index ? SpanKind::Index : SpanKind::Header);
    }
}

// The objects after the header: the Data Object (its fixed fields only) and the
// indexes, by offset. Returns where the last object read says it ends.
uint64_t walkTop(Source& src, AsfFile& f, const AsfLimits& limits, MapFeed* map) {
    uint64_t claimedEnd = 0;
    uint64_t offset = f.headerSize;
    ByteBuffer b;
    for (uint64_t i = 0; offset < f.fileSize && f.fileSize - offset >= 24; ++i) {
        if (i >= limits.maxTopObjects) {
            f.note(AsfProblem::tooManyObjects);
            break;
        }
        if (!src.read(offset, 50, b) || b.size() < 24) break;
        ++f.topObjectCount;
        const uint64_t size = le(&b[16], 8);
        const bool isData = asf_guid::data.is(b.data());
        if (asf_guid::simpleIndex.is(b.data()) || asf_guid::index.is(b.data())) f.hasIndex = true;
        if (isData && !f.hasData) {
            f.hasData = true;
            f.dataOffset = offset;
            f.dataClaimedSize = size;
            f.dataSize = std::min(size, f.fileSize - offset);
            if (b.size() >= 48) f.dataPackets = le(&b[40], 8);
        }
        if (size < 24) {
            f.note(AsfProblem::badObjectSize);
            break;
        }
        if (map) {
            mapTopObject(*map, f, b.data(), offset, size);
            claimedEnd = size <= UINT64_MAX - offset ? offset + size : UINT64_MAX;
        }
        if (size > f.fileSize - offset) {
            f.note(isData ? AsfProblem::dataTruncated : AsfProblem::objectPastParent);
            if (isData) f.bytesMissing = size - (f.fileSize - offset);
            break;
        }
        offset += size;
    }
    if (!f.hasData) f.note(AsfProblem::noDataObject);
    return claimedEnd;
}

void figure(AsfFile& f) {
    if (f.hasFileProperties && !f.broadcast) {
        const double play = static_cast<double>(f.playDuration) / 1e7;
        const double preroll = static_cast<double>(f.preroll) / 1e3;
        f.seconds = play > preroll ? play - preroll : 0;
        if (f.declaredFileSize > f.fileSize) f.note(AsfProblem::fileShorterThanDeclared);
    }
    if (!f.has(AsfProblem::dataTruncated)) return;
    // Fixed-size packets (the usual case) tell how many are gone, and so the time.
    const uint64_t packets = f.dataPackets ? f.dataPackets : f.packetCount;
    const uint32_t packet = f.minPacketSize == f.maxPacketSize ? f.maxPacketSize : 0;
    if (!packet || !packets || f.dataSize < 50) return;
    const uint64_t present = std::min<uint64_t>((f.dataSize - 50) / packet, packets);
    f.packetsMissing = packets - present;
    // Rounding must not make the missing part longer than the whole.
    const double share = static_cast<double>(f.packetsMissing) / static_cast<double>(packets);
    if (f.seconds > 0) f.secondsMissing = std::min(f.seconds, f.seconds * share);
}

} // namespace

AsfFile readAsfFile(RandomAccessReader& reader, const AsfLimits& limits) {
    AsfFile f;
    f.fileSize = reader.size();
    Source src(reader, limits.maxBytesRead);
    std::optional<MapFeed> feed;
    if (limits.spans) feed.emplace(*limits.spans);
    MapFeed* map = feed ? &*feed : nullptr;
    ByteBuffer b;
    if (src.read(0, 30, b) && b.size() == 30 && asf_guid::header.is(b.data())) {
        if (map) map->add(0, 30, SpanKind::Header);
        f.headerSize = le(&b[16], 8);
        f.headerObjectCount = static_cast<uint32_t>(le(&b[24], 4));
        if (f.headerSize < 30) {
            f.status = AsfStatus::headerDamaged;
            f.note(AsfProblem::badObjectSize);
        } else {
            f.status = AsfStatus::ok;
            uint64_t held = f.headerSize;
            if (held > f.fileSize) {
                f.note(AsfProblem::headerPastEnd);
                held = f.fileSize;
            }
            if (held > limits.maxHeaderBytes) {
                f.note(AsfProblem::headerTooLarge);
                held = limits.maxHeaderBytes;
            }
            uint64_t parsed = 30;
            if (held > 30 && src.read(30, static_cast<size_t>(held - 30), b)) {
                if (b.size() < held - 30) f.note(AsfProblem::headerPastEnd);
                parseAsfHeaderObjects(b.data(), b.size(), f, limits, map, 30);
                parsed += b.size();
            } else {
                f.note(AsfProblem::noFileProperties);
            }
            uint64_t claimedEnd = f.headerSize;
            if (map) {
                // What of the header lies past the part held (or the file).
                const uint64_t headerEnd = std::min(f.headerSize, f.fileSize);
                if (headerEnd > parsed) map->add(parsed, headerEnd - parsed, SpanKind::Header);
            }
            if (!f.has(AsfProblem::headerPastEnd))
                claimedEnd = std::max(claimedEnd, walkTop(src, f, limits, map));
            figure(f);
            if (map) {
                // The header's file size counts unless the file is a broadcast's.
                if (f.hasFileProperties && !f.broadcast)
                    claimedEnd = std::max(claimedEnd, f.declaredFileSize);
                map->declareEnd(claimedEnd);
            }
        }
    }
    if (src.ioError()) f.status = AsfStatus::readError;
    f.bytesRead = src.used();
    return f;
}

const char* asfStatusText(AsfStatus status) {
    switch (status) {
    case AsfStatus::ok:
        return "ASF";
    case AsfStatus::notAsf:
        return "not an ASF file";
    case AsfStatus::headerDamaged:
        return "ASF header damaged";
    case AsfStatus::readError:
        return "read error";
    }
    return "?";
}

const char* asfProblemText(AsfProblem problem) {
    switch (problem) {
    case AsfProblem::headerPastEnd:
        return "header runs past the end of the file";
    case AsfProblem::headerTooLarge:
        return "header larger than the reader holds";
    case AsfProblem::objectPastParent:
        return "object runs past its parent";
    case AsfProblem::badObjectSize:
        return "object size smaller than its header";
    case AsfProblem::tooManyObjects:
        return "too many objects; the rest were not read";
    case AsfProblem::objectCountMismatch:
        return "header object count differs from the objects";
    case AsfProblem::noFileProperties:
        return "no file properties";
    case AsfProblem::streamDamaged:
        return "stream properties damaged";
    case AsfProblem::tooManyStreams:
        return "too many streams; the rest were counted";
    case AsfProblem::extensionDamaged:
        return "header extension damaged";
    case AsfProblem::tagsDamaged:
        return "title or tags damaged";
    case AsfProblem::tooManyTags:
        return "too many tags; the rest were counted";
    case AsfProblem::noDataObject:
        return "no data object";
    case AsfProblem::dataTruncated:
        return "data object runs past the end of the file";
    case AsfProblem::fileShorterThanDeclared:
        return "file shorter than its header says";
    case AsfProblem::broadcast:
        return "broadcast flag set: duration unknown";
    }
    return "?";
}

} // namespace tavro
