#include "analysis/matroska/mkv_cluster.h"

#include "common/byte_search.h"

#include "analysis/matroska/ebml.h"

namespace tavro {

namespace {

struct BlockHead {
    bool ok = false;
    uint64_t track = 0;
    int16_t time = 0;
    uint8_t flags = 0;
    size_t headerSize = 0;
};

// A Block or SimpleBlock: track number, 16-bit relative time, flags.
BlockHead parseBlockHead(const uint8_t* data, size_t size) {
    BlockHead b;
    Vint track;
    if (readVint(data, size, 8, track) != VintStatus::ok || size - track.length < 3) return b;
    b.track = track.value;
    b.time = static_cast<int16_t>(data[track.length] << 8 | data[track.length + 1]);
    b.flags = data[track.length + 2];
    b.headerSize = track.length + 3;
    b.ok = true;
    return b;
}

void noteBlock(ClusterScan& scan, const BlockHead& b, uint64_t duration) {
    if (!scan.hasBlock || b.time >= scan.lastBlockTime) {
        scan.lastBlockTime = b.time;
        scan.lastBlockTrack = b.track;
        scan.lastBlockDuration = duration;
    }
    scan.hasBlock = true;
    ++scan.blocks;
}

// The frames of a block: a laced one counts them (less one) after its header.
uint32_t framesOf(const BlockHead& b, const uint8_t* data, size_t size) {
    return (b.flags & 0x06) && size > b.headerSize ? data[b.headerSize] + 1u : 1u;
}

void sendFrame(const BlockSink& sink, const BlockHead& b, const uint8_t* data, size_t size) {
    // Laced blocks hold several frames behind a lace table; the first frame of an
    // unlaced block is all that the codec readers want.
    if (sink && (b.flags & 0x06) == 0) sink(b.track, data + b.headerSize, size - b.headerSize);
}

} // namespace

ClusterScan scanCluster(const uint8_t* data, size_t size, bool unknownSize, size_t maxChildren,
                        const BlockSink& sink, const ClusterChildSink& children) {
    ClusterScan scan;
    size_t pos = 0;
    for (size_t n = 0; pos < size && n < maxChildren; ++n) {
        ElementHeader h;
        const HeaderStatus s = parseElementHeader(data + pos, size - pos, pos, size, h);
        if (s != HeaderStatus::ok) {
            scan.cutShort = s == HeaderStatus::shortRead;
            break;
        }
        if (unknownSize && isSegmentLevelId(h.id)) break;
        if (h.clamped || h.unknownSize) {
            // Only the part in the span is there: a block cut short is not counted.
            scan.cutShort = true;
            break;
        }
        const uint8_t* p = data + pos + h.headerSize;
        const size_t n2 = static_cast<size_t>(h.size);
        ClusterChild child;
        if (h.id == mkvid::kTimestamp && !scan.hasTimestamp && !scan.hasBlock && n2 <= 8) {
            scan.hasTimestamp = true;
            scan.timestamp = ebmlUint(p, n2);
        } else if (h.id == mkvid::kSimpleBlock) {
            const BlockHead b = parseBlockHead(p, n2);
            if (b.ok) {
                noteBlock(scan, b, 0);
                sendFrame(sink, b, p, n2);
                child.block = true;
                child.track = b.track;
                child.time = b.time;
                if (children) child.frames = framesOf(b, p, n2);
            }
        } else if (h.id == mkvid::kBlockGroup) {
            BlockHead b;
            const uint8_t* blockData = nullptr;
            size_t blockSize = 0;
            uint64_t duration = 0;
            forEachChild(p, n2, 64, [&](const ElementHeader& c, const uint8_t* q) {
                if (c.id == mkvid::kBlock && !c.clamped) {
                    b = parseBlockHead(q, static_cast<size_t>(c.size));
                    blockData = q;
                    blockSize = static_cast<size_t>(c.size);
                }
                if (c.id == mkvid::kBlockDuration) duration = ebmlUint(q, c.size);
                return true;
            });
            if (b.ok) {
                noteBlock(scan, b, duration);
                sendFrame(sink, b, blockData, blockSize);
                child.block = true;
                child.track = b.track;
                child.time = b.time;
                child.duration = duration;
                if (children) child.frames = framesOf(b, blockData, blockSize);
            }
        }
        if (children) {
            child.offset = pos;
            child.size = static_cast<size_t>(h.end()) - pos;
            child.hasTimestamp = scan.hasTimestamp;
            child.timestamp = scan.timestamp;
            children(child);
        }
        pos = static_cast<size_t>(h.end());
    }
    scan.end = pos;
    return scan;
}

LastCluster findLastCluster(const uint8_t* data, size_t size, size_t maxCandidates,
                            size_t maxChildren) {
    LastCluster partial;
    size_t tried = 0;
    // Candidates from the end back, each found by its rare first byte.
    for (size_t below = size >= 4 ? size - 3 : 0; below > 0 && tried < maxCandidates;) {
        const uint8_t* first = findLastByte(data, below, 0x1F);
        if (!first) break;
        const size_t i = static_cast<size_t>(first - data);
        below = i;
        if (data[i + 1] == 0x43 && data[i + 2] == 0xB6 && data[i + 3] == 0x75) {
            ++tried;
            ElementHeader h;
            // Parsed against a parent without end, so a size past the span shows.
            const uint64_t far = UINT64_MAX / 2;
            if (parseElementHeader(data + i, size - i, 0, far, h) == HeaderStatus::ok) {
                const size_t start = i + h.headerSize;
                const bool whole = h.unknownSize || h.size <= size - start;
                const size_t span =
                    whole && !h.unknownSize ? static_cast<size_t>(h.size) : size - start;
                LastCluster c;
                c.found = true;
                c.offset = i;
                c.scan = scanCluster(data + start, span, h.unknownSize, maxChildren);
                c.end = start + (h.unknownSize ? c.scan.end : span);
                c.complete = whole && !(h.unknownSize && c.scan.cutShort);
                // A real cluster opens with its time (CRC-32 and Void may come first); an
                // ID seen inside frame data mostly does not.
                if (c.scan.hasTimestamp) {
                    if (c.complete) {
                        c.cutAfter = partial.found;
                        c.cut = partial.scan;
                        return c;
                    }
                    if (!partial.found) {
                        partial = c;
                        partial.cutAfter = true;
                        partial.cut = c.scan;
                    }
                }
            }
        }
    }
    return partial;
}

} // namespace tavro
