#include "analysis/asf/asf_reader.h"

#include <algorithm>
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

// The objects after the header: the Data Object (its fixed fields only) and the
// indexes, by offset.
void walkTop(Source& src, AsfFile& f, const AsfLimits& limits) {
    uint64_t offset = f.headerSize;
    std::vector<uint8_t> b;
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
        if (size > f.fileSize - offset) {
            f.note(isData ? AsfProblem::dataTruncated : AsfProblem::objectPastParent);
            if (isData) f.bytesMissing = size - (f.fileSize - offset);
            break;
        }
        offset += size;
    }
    if (!f.hasData) f.note(AsfProblem::noDataObject);
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
    std::vector<uint8_t> b;
    if (src.read(0, 30, b) && b.size() == 30 && asf_guid::header.is(b.data())) {
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
            if (held > 30 && src.read(30, static_cast<size_t>(held - 30), b)) {
                if (b.size() < held - 30) f.note(AsfProblem::headerPastEnd);
                parseAsfHeaderObjects(b.data(), b.size(), f, limits);
            } else {
                f.note(AsfProblem::noFileProperties);
            }
            if (!f.has(AsfProblem::headerPastEnd)) walkTop(src, f, limits);
            figure(f);
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
