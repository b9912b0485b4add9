#include "analysis/matroska/mkv_reader.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <set>
#include <vector>

#include "analysis/matroska/ebml.h"
#include "analysis/matroska/mkv_cluster.h"
#include "analysis/matroska/mkv_codec.h"
#include "analysis/streams/map_feed.h"

namespace tavro {

namespace {

constexpr size_t kHeaderBytes = 12; // a 4-byte ID and an 8-byte size
constexpr uint64_t kEbmlHeaderCap = 4096;
constexpr size_t kElementsBeforeSegment = 64;

// Reads through the caller's reader and stops giving bytes once the budget is spent.
class BudgetReader {
  public:
    BudgetReader(RandomAccessReader& reader, uint64_t budget, MkvFile& file)
        : reader_(reader), left_(budget), file_(file) {}

    // False on an I/O error; `out` holds what arrived (short at the file's end or when
    // the budget ran out). The budget pays for what is asked: that is what is held.
    bool read(uint64_t offset, uint64_t want, ByteBuffer& out) {
        const uint64_t size = file_.fileSize;
        want = offset < size ? std::min(want, size - offset) : 0;
        if (want > left_) {
            want = left_;
            file_.note(MkvProblem::readBudget);
        }
        out.clear();
        if (want && !reader_.readInto(offset, static_cast<size_t>(want), out)) return false;
        left_ -= want;
        file_.bytesRead += out.size();
        return true;
    }

  private:
    RandomAccessReader& reader_;
    uint64_t left_;
    MkvFile& file_;
};

enum class Step { ok, stop, ioError };

// What an element of the Segment (or before it) is on the file map.
SpanKind spanKindOf(uint32_t id) {
    switch (id) {
    case mkvid::kSeekHead:
    case mkvid::kCues:
        return SpanKind::Index;
    case mkvid::kVoid:
        return SpanKind::Junk;
    default:
        return SpanKind::Header;
    }
}

// An element on the file map; of one whose size is unknown only the header is sure.
void mapElement(MapFeed& map, const ElementHeader& h) {
    map.add(h.offset, h.unknownSize ? h.headerSize : h.headerSize + h.size, spanKindOf(h.id));
}

// True when a cluster starts at `pos` of the span: a known kind of first child, and
// where it ends the span ends or another element of the Segment begins.
bool clusterStartsAt(const uint8_t* data, size_t size, size_t pos) {
    ElementHeader h, child, next;
    if (parseElementHeader(data + pos, size - pos, pos, size, h) != HeaderStatus::ok ||
        h.id != mkvid::kCluster)
        return false;
    const size_t payload = pos + h.headerSize;
    if (parseElementHeader(data + payload, size - payload, payload, size, child) !=
            HeaderStatus::ok ||
        (child.id != mkvid::kTimestamp && child.id != mkvid::kCrc32 && child.id != mkvid::kVoid))
        return false;
    if (h.unknownSize || h.end() == size) return true;
    const size_t end = static_cast<size_t>(h.end());
    return parseElementHeader(data + end, size - end, end, size, next) == HeaderStatus::ok &&
           (isSegmentLevelId(next.id) || next.id == mkvid::kVoid);
}

class SegmentReader {
  public:
    SegmentReader(BudgetReader& in, const MkvLimits& limits, MkvFile& file, MapFeed* map)
        : in_(in), limits_(limits), file_(file), map_(map) {}

    // Reads the header at `offset` inside a parent ending at `parentEnd`.
    Step header(uint64_t offset, uint64_t parentEnd, ElementHeader& h) {
        ByteBuffer b;
        if (!in_.read(offset, kHeaderBytes, b)) return Step::ioError;
        const HeaderStatus s = parseElementHeader(b.data(), b.size(), offset, parentEnd, h);
        if (s == HeaderStatus::ok) return Step::ok;
        if (s == HeaderStatus::invalid || b.size() == kHeaderBytes)
            file_.note(MkvProblem::badElement);
        return Step::stop;
    }

    Step run() {
        const uint64_t start = file_.segmentDataStart;
        const uint64_t end = visibleEnd_ = std::min(file_.segmentDeclaredEnd, file_.fileSize);
        uint64_t offset = start;
        for (size_t n = 0; offset < end; ++n) {
            if (n == limits_.maxSegmentElements) {
                file_.note(MkvProblem::tooManyElements);
                break;
            }
            ElementHeader h;
            const Step s = header(offset, end, h);
            if (s != Step::ok) {
                if (s == Step::ioError) return s;
                break;
            }
            noteClamp(h);
            if (h.id == mkvid::kCluster) {
                if (firstCluster(h) == Step::ioError) return Step::ioError;
                break; // the rest is found through the SeekHead and the tail
            }
            if (map_) mapOnce(h);
            if (visit(h) == Step::ioError) return Step::ioError;
            if (h.unknownSize) break; // nothing says where it ends
            offset = h.end();
        }
        if (followSeeks() == Step::ioError) return Step::ioError;
        return readTail();
    }

  private:
    // A SeekHead may point at an element the walk has mapped already.
    void mapOnce(const ElementHeader& h) {
        if (mapped_.insert(h.offset).second) mapElement(*map_, h);
    }

    // The stream a track number is on the map: the track's place in the list.
    int streamOf(uint64_t number) const {
        for (size_t i = 0; i < file_.tracks.size(); ++i)
            if (file_.tracks[i].number == number) return static_cast<int>(i);
        return kNoSpanStream;
    }

    // A cluster's child at `base` + its offset, unless the first cluster's read held
    // it already.
    void mapChild(uint64_t base, const ClusterChild& c) {
        const uint64_t at = base + c.offset;
        if (at < mappedTo_) return;
        if (!c.block) {
            map_->add(at, c.size, SpanKind::Header);
            return;
        }
        const int stream = streamOf(c.track);
        if (!c.hasTimestamp) {
            map_->add(at, c.size, SpanKind::Data, stream);
            return;
        }
        const double start = seconds(c.timestamp, c.time);
        const double length = blockSeconds(c.track, c.duration, c.frames);
        // Without a length the block lasts until its track's next.
        if (length > 0)
            map_->add(at, c.size, SpanKind::Data, stream, start, start + length);
        else
            map_->addOpen(at, c.size, stream, start, start);
    }

    // The clusters of the tail read `t` (the file from `start`), and what lies after
    // them: from its start when an element begins there (`atElement`), else from the
    // first cluster found whole in it, else from the last complete cluster.
    void mapTail(const ByteBuffer& t, uint64_t start, bool atElement, const LastCluster& last) {
        const size_t n = t.size();
        size_t pos = atElement ? 0 : n;
        size_t tried = 0;
        for (size_t i = 0; pos == n && i + 4 <= n && tried < limits_.maxClusterCandidates; ++i) {
            // Candidates are found by their rare first byte, jumping from one to the next.
            const auto* first = static_cast<const uint8_t*>(std::memchr(&t[i], 0x1F, n - 3 - i));
            if (!first) break;
            i = static_cast<size_t>(first - t.data());
            if (t[i + 1] != 0x43 || t[i + 2] != 0xB6 || t[i + 3] != 0x75) continue;
            ++tried;
            if (clusterStartsAt(t.data(), n, i)) pos = i;
        }
        if (pos == n && last.found) pos = static_cast<size_t>(last.offset);
        uint64_t base = 0; // the cluster's payload in the file
        const ClusterChildSink children = [&](const ClusterChild& c) { mapChild(base, c); };
        for (size_t k = 0; pos < n && k < limits_.maxSegmentElements; ++k) {
            ElementHeader h;
            if (parseElementHeader(t.data() + pos, n - pos, pos, n, h) != HeaderStatus::ok ||
                !(isSegmentLevelId(h.id) || h.id == mkvid::kVoid))
                return;
            if (h.id != mkvid::kCluster) {
                ElementHeader at = h;
                at.offset += start;
                mapOnce(at);
                if (h.unknownSize) return;
                pos = static_cast<size_t>(h.end());
                continue;
            }
            const size_t payload = pos + h.headerSize;
            base = start + payload;
            if (start + pos >= mappedTo_) map_->add(start + pos, h.headerSize, SpanKind::Header);
            const ClusterScan c = scanCluster(t.data() + payload, static_cast<size_t>(h.size),
                                              h.unknownSize, limits_.maxBlocks, nullptr, children);
            const size_t end = h.unknownSize ? payload + c.end : static_cast<size_t>(h.end());
            if (end <= pos) return;
            pos = end;
        }
    }

    // A block's length: its BlockDuration, else its frames' at its track's frame
    // duration; 0 unknown.
    double blockSeconds(uint64_t track, uint64_t duration, uint32_t frames) const {
        if (duration)
            return static_cast<double>(duration) * static_cast<double>(file_.timestampScale) / 1e9;
        for (const MkvTrack& t : file_.tracks)
            if (t.number == track) return static_cast<double>(t.defaultDuration) * frames / 1e9;
        return 0;
    }

    void noteClamp(const ElementHeader& h) {
        if (!h.clamped) return;
        // Past the file's end only in a file cut short: that finding covers it.
        const uint64_t room = file_.segmentDeclaredEnd > h.payloadOffset()
                                  ? file_.segmentDeclaredEnd - h.payloadOffset()
                                  : 0;
        if (h.claimedSize <= room) return;
        // A Segment without a size ends with the file: a cluster past it was cut off.
        if (file_.segmentSizeUnknown && h.id == mkvid::kCluster)
            file_.note(MkvProblem::lastClusterCut);
        else
            file_.note(MkvProblem::elementPastParent);
    }

    bool done(uint32_t id) const {
        switch (id) {
        case mkvid::kInfo:
            return file_.hasInfo;
        case mkvid::kTracks:
            return file_.hasTracks;
        case mkvid::kTags:
            return file_.hasTags;
        case mkvid::kCues:
            return file_.hasCues;
        default:
            return false;
        }
    }

    Step readPayload(const ElementHeader& h, ByteBuffer& out) {
        if (h.size > limits_.maxElementBytes) {
            file_.note(MkvProblem::elementTooLarge);
            return Step::stop;
        }
        if (!in_.read(h.payloadOffset(), h.size, out)) return Step::ioError;
        return Step::ok;
    }

    Step visit(const ElementHeader& h) {
        const MkvElementLimits& el = limits_.elements;
        switch (h.id) {
        case mkvid::kCues:
            file_.hasCues = true;
            return Step::ok;
        case mkvid::kChapters:
            file_.hasChapters = true;
            return Step::ok;
        case mkvid::kAttachments:
            file_.hasAttachments = true;
            return Step::ok;
        case mkvid::kSeekHead:
        case mkvid::kInfo:
        case mkvid::kTracks:
        case mkvid::kTags:
            break;
        default:
            return Step::ok;
        }
        if (done(h.id)) return Step::ok;
        if (h.id == mkvid::kSeekHead && seekHeads_ >= 4) return Step::ok;
        ByteBuffer p;
        const Step s = readPayload(h, p);
        if (s != Step::ok) return s;
        if (p.size() < h.size) file_.note(MkvProblem::readBudget);
        switch (h.id) {
        case mkvid::kSeekHead: {
            ++seekHeads_;
            file_.hasSeekHead = true;
            for (const SeekEntry& e : parseSeekHead(p.data(), p.size(), el, file_))
                if (seeks_.size() < el.maxSeekEntries) seeks_.push_back(e);
            break;
        }
        case mkvid::kInfo:
            parseInfo(p.data(), p.size(), el, file_);
            break;
        case mkvid::kTracks:
            parseTracks(p.data(), p.size(), el, file_);
            break;
        case mkvid::kTags:
            parseTags(p.data(), p.size(), el, file_);
            break;
        }
        return Step::ok;
    }

    // The entries of the SeekHead (and of a second one it points to), each checked
    // against the file's size and the element found there.
    Step followSeeks() {
        for (size_t i = 0; i < seeks_.size(); ++i) {
            const SeekEntry e = seeks_[i];
            if (e.id != mkvid::kInfo && e.id != mkvid::kTracks && e.id != mkvid::kTags &&
                e.id != mkvid::kCues && e.id != mkvid::kSeekHead)
                continue;
            const uint64_t start = file_.segmentDataStart;
            if (e.position >= file_.fileSize - std::min(file_.fileSize, start)) {
                file_.note(MkvProblem::seekPastEnd);
                continue;
            }
            if (done(e.id)) continue;
            const uint64_t at = start + e.position;
            if (at == seekHeadVisited_) continue;
            ElementHeader h;
            const Step s = header(at, visibleEnd_, h);
            if (s == Step::ioError) return s;
            if (s != Step::ok || h.id != e.id) {
                file_.note(MkvProblem::seekMismatch);
                continue;
            }
            noteClamp(h);
            if (e.id == mkvid::kSeekHead) seekHeadVisited_ = at;
            if (map_) mapOnce(h);
            if (visit(h) == Step::ioError) return Step::ioError;
        }
        return Step::ok;
    }

    Step firstCluster(const ElementHeader& h) {
        file_.hasCluster = true;
        file_.firstClusterOffset = h.offset;
        file_.clusterSizeUnknown = h.unknownSize;
        ByteBuffer p;
        if (!in_.read(h.payloadOffset(), std::min(h.size, limits_.firstClusterBytes), p))
            return Step::ioError;
        const uint64_t base = h.payloadOffset();
        ClusterChildSink children;
        if (map_) {
            map_->add(h.offset, h.headerSize, SpanKind::Header);
            children = [&](const ClusterChild& c) { mapChild(base, c); };
        }
        const ClusterScan scan = scanCluster(
            p.data(), p.size(), h.unknownSize, limits_.maxBlocks,
            [&](uint64_t track, const uint8_t* frame, size_t size) {
                for (MkvTrack& t : file_.tracks)
                    if (t.number == track && wantsFirstFrame(t)) readFirstFrame(t, frame, size);
            },
            children);
        mappedTo_ = base + scan.end;
        // The cluster's blocks past the part read are not known.
        if (map_) map_->readTo(mappedTo_);
        return Step::ok;
    }

    // The last complete cluster, from a bounded read of the file's end; larger reads
    // when clusters are too long for a read to hold a whole one.
    Step readTail() {
        const uint64_t from = file_.hasCluster ? file_.firstClusterOffset : file_.segmentDataStart;
        const uint64_t end = visibleEnd_;
        if (from >= end) return Step::ok;
        ByteBuffer t;
        LastCluster last;
        uint64_t start = end;
        const auto read = [&](uint64_t at, uint64_t count, ByteBuffer& out) {
            return in_.read(at, count, out);
        };
        for (uint64_t want : {limits_.tailBytes, limits_.longTailBytes, limits_.maxTailBytes}) {
            if (want <= end - start) continue; // no larger than the read before
            const uint64_t next = std::max(from, end - std::min(end, want));
            if (!extendWindowBack(next, start, t, read)) return Step::ioError;
            start = next;
            last = findLastCluster(t.data(), t.size(), limits_.maxClusterCandidates,
                                   limits_.maxBlocks);
            if (last.complete || start == from) break;
        }
        if (map_) {
            // What the tail holds does not follow the first cluster's blocks.
            map_->cut();
            mapTail(t, start, start == from, last);
        }
        if (!last.found) return Step::ok;
        file_.hasCluster = true;
        if (last.cutAfter) file_.note(MkvProblem::lastClusterCut);
        if (last.complete) {
            readAfterLastCluster(t, static_cast<size_t>(last.end));
            const ClusterScan& c = last.scan;
            file_.hasLastCluster = true;
            file_.lastClusterOffset = start + last.offset;
            file_.lastClusterTimestamp = c.timestamp;
            file_.lastClusterSeconds = seconds(c.timestamp, 0);
            file_.lastBlockSeconds = seconds(c.timestamp, c.lastBlockTime);
            file_.endSeconds = file_.lastBlockSeconds + frameSeconds(c);
            file_.reachedSeconds = file_.endSeconds;
        }
        if (last.cutAfter && last.cut.hasBlock)
            file_.reachedSeconds =
                std::max(file_.reachedSeconds, seconds(last.cut.timestamp, last.cut.lastBlockTime) +
                                                   frameSeconds(last.cut));
        return Step::ok;
    }

    // What follows the last cluster in the tail: Cues and Tags a file without a SeekHead
    // entry for them keeps there.
    void readAfterLastCluster(const ByteBuffer& tail, size_t from) {
        size_t pos = from;
        for (size_t n = 0; pos < tail.size() && n < 64; ++n) {
            ElementHeader h;
            if (parseElementHeader(tail.data() + pos, tail.size() - pos, pos, tail.size(), h) !=
                    HeaderStatus::ok ||
                h.id == mkvid::kCluster || h.clamped || h.unknownSize)
                return;
            const uint8_t* p = tail.data() + pos + h.headerSize;
            const size_t size = static_cast<size_t>(h.size);
            if (h.id == mkvid::kCues) file_.hasCues = true;
            if (h.id == mkvid::kTags && !file_.hasTags) parseTags(p, size, limits_.elements, file_);
            pos = static_cast<size_t>(h.end());
        }
    }

    double seconds(uint64_t timestamp, int64_t relative) const {
        const double units = static_cast<double>(timestamp) + static_cast<double>(relative);
        return std::max(0.0, units * static_cast<double>(file_.timestampScale) / 1e9);
    }

    // The last block's length: its BlockDuration, else its track's frame duration.
    double frameSeconds(const ClusterScan& c) const {
        if (!c.hasBlock) return 0;
        if (c.lastBlockDuration)
            return static_cast<double>(c.lastBlockDuration) *
                   static_cast<double>(file_.timestampScale) / 1e9;
        for (const MkvTrack& t : file_.tracks)
            if (t.number == c.lastBlockTrack) return static_cast<double>(t.defaultDuration) / 1e9;
        return 0;
    }

    BudgetReader& in_;
    const MkvLimits& limits_;
    MkvFile& file_;
    MapFeed* map_;
    std::vector<SeekEntry> seeks_;
    size_t seekHeads_ = 0;
    uint64_t seekHeadVisited_ = UINT64_MAX;
    uint64_t visibleEnd_ = 0;
    std::set<uint64_t> mapped_; // offsets of the elements mapped outside clusters
    uint64_t mappedTo_ = 0;     // the end of the first cluster's part read
};

// The EBML header's DocType and versions.
void parseEbmlHeader(const uint8_t* data, size_t size, MkvFile& file) {
    const ChildWalk w = forEachChild(data, size, 64, [&](const ElementHeader& h, const uint8_t* p) {
        const size_t n = static_cast<size_t>(h.size);
        if (h.id == mkvid::kDocType) file.docType = ebmlString(p, n, 32);
        if (h.id == mkvid::kDocTypeVersion) file.docTypeVersion = ebmlUint(p, n);
        if (h.id == mkvid::kDocTypeReadVersion) file.docTypeReadVersion = ebmlUint(p, n);
        return true;
    });
    if (w.clamped) file.note(MkvProblem::elementPastParent);
    if (w.bad) file.note(MkvProblem::badElement);
    // The element's default, for a header that leaves it out.
    if (file.docType.empty()) file.docType = "matroska";
}

// Finds the Segment after the EBML header; Void and CRC elements may sit between.
Step findSegment(BudgetReader& in, uint64_t offset, MkvFile& file, ElementHeader& segment,
                 MapFeed* map) {
    for (size_t n = 0; n < kElementsBeforeSegment && offset < file.fileSize; ++n) {
        ByteBuffer b;
        if (!in.read(offset, kHeaderBytes, b)) return Step::ioError;
        ElementHeader h;
        // Parsed against a parent without end, so a Segment larger than the file shows.
        if (parseElementHeader(b.data(), b.size(), offset, UINT64_MAX, h) != HeaderStatus::ok)
            return Step::stop;
        if (h.id == mkvid::kSegment) {
            segment = h;
            return Step::ok;
        }
        if (h.unknownSize || h.size > file.fileSize - std::min(file.fileSize, h.payloadOffset()))
            return Step::stop;
        if (map) mapElement(*map, h);
        offset = h.end();
    }
    return Step::stop;
}

} // namespace

bool MkvFile::has(MkvProblem p) const {
    return std::find(problems.begin(), problems.end(), p) != problems.end();
}

void MkvFile::note(MkvProblem p) {
    if (!has(p)) problems.push_back(p);
}

MkvFile readMatroskaFile(RandomAccessReader& reader, const MkvLimits& limits) {
    MkvFile file;
    file.fileSize = reader.size();
    BudgetReader in(reader, limits.maxBytesRead, file);
    std::optional<MapFeed> feed;
    if (limits.spans) feed.emplace(*limits.spans);
    MapFeed* map = feed ? &*feed : nullptr;

    ByteBuffer b;
    if (!in.read(0, kHeaderBytes, b)) {
        file.status = MkvStatus::readError;
        return file;
    }
    ElementHeader ebml;
    if (parseElementHeader(b.data(), b.size(), 0, file.fileSize, ebml) != HeaderStatus::ok ||
        ebml.id != mkvid::kEbml) {
        file.status = MkvStatus::notEbml;
        return file;
    }
    if (ebml.clamped) file.note(MkvProblem::elementPastParent);
    if (!in.read(ebml.payloadOffset(), std::min(ebml.size, kEbmlHeaderCap), b)) {
        file.status = MkvStatus::readError;
        return file;
    }
    parseEbmlHeader(b.data(), b.size(), file);
    if (file.docType != "matroska" && file.docType != "webm") file.note(MkvProblem::unknownDocType);
    if (map) mapElement(*map, ebml);

    ElementHeader segment;
    const Step found =
        ebml.unknownSize ? Step::stop : findSegment(in, ebml.end(), file, segment, map);
    if (found != Step::ok) {
        file.status = found == Step::ioError ? MkvStatus::readError : MkvStatus::noSegment;
        return file;
    }
    file.segmentOffset = segment.offset;
    file.segmentDataStart = segment.payloadOffset();
    file.segmentSizeUnknown = segment.unknownSize;
    if (segment.unknownSize) {
        file.segmentDeclaredEnd = file.fileSize;
        file.note(MkvProblem::unknownSizeSegment);
    } else {
        // Subtracted first: the declared size may be near 2^56.
        const uint64_t room = UINT64_MAX - segment.payloadOffset();
        file.segmentDeclaredEnd =
            segment.claimedSize > room ? UINT64_MAX : segment.payloadOffset() + segment.claimedSize;
        if (file.segmentDeclaredEnd > file.fileSize) {
            file.bytesMissing = file.segmentDeclaredEnd - file.fileSize;
            file.note(MkvProblem::segmentPastEnd);
        }
        if (map) map->declareEnd(file.segmentDeclaredEnd);
    }
    if (map) map->add(segment.offset, segment.headerSize, SpanKind::Header);

    SegmentReader walk(in, limits, file, map);
    if (walk.run() == Step::ioError) {
        file.status = MkvStatus::readError;
        return file;
    }
    if (file.clusterSizeUnknown) file.note(MkvProblem::unknownSizeCluster);
    if (file.hasDuration) {
        file.seconds = file.duration * static_cast<double>(file.timestampScale) / 1e9;
        // A duration past any clock (a huge float times a huge scale) says nothing.
        if (!std::isfinite(file.seconds) || file.seconds > 1e12) {
            file.hasDuration = false;
            file.seconds = 0;
        }
    }
    if (file.tracks.empty()) file.note(MkvProblem::noTracks);
    if (!file.hasCues && file.hasCluster) file.note(MkvProblem::noCues);
    file.status = MkvStatus::ok;
    return file;
}

const char* mkvStatusText(MkvStatus status) {
    switch (status) {
    case MkvStatus::ok:
        return "ok";
    case MkvStatus::notEbml:
        return "not an EBML file";
    case MkvStatus::noSegment:
        return "no Segment after the EBML header";
    case MkvStatus::readError:
        return "read error";
    }
    return "";
}

const char* mkvProblemText(MkvProblem problem) {
    switch (problem) {
    case MkvProblem::unknownDocType:
        return "the DocType is neither matroska nor webm";
    case MkvProblem::segmentPastEnd:
        return "the Segment is larger than the file";
    case MkvProblem::elementPastParent:
        return "an element runs past its parent";
    case MkvProblem::badElement:
        return "an element header does not parse";
    case MkvProblem::tooManyElements:
        return "too many elements; the rest were not read";
    case MkvProblem::tooManyTracks:
        return "too many tracks; the rest were counted only";
    case MkvProblem::nestingTooDeep:
        return "elements nested too deep were passed over";
    case MkvProblem::readBudget:
        return "the read budget ran out";
    case MkvProblem::seekPastEnd:
        return "a SeekHead entry points past the end of the file";
    case MkvProblem::seekMismatch:
        return "a SeekHead entry points at another element";
    case MkvProblem::elementTooLarge:
        return "a metadata element too large to read was skipped";
    case MkvProblem::unknownSizeSegment:
        return "the Segment's size is unknown";
    case MkvProblem::unknownSizeCluster:
        return "the clusters' sizes are unknown";
    case MkvProblem::noCues:
        return "no Cues (seek index)";
    case MkvProblem::noTracks:
        return "no tracks";
    case MkvProblem::lastClusterCut:
        return "the last cluster is cut short";
    }
    return "";
}

} // namespace tavro
