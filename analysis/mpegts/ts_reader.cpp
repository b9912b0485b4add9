#include "analysis/mpegts/ts_reader.h"

#include <algorithm>
#include <map>
#include <vector>

#include "analysis/mpegts/pes_header.h"
#include "analysis/mpegts/psi_section.h"
#include "analysis/mpegts/ts_codecs.h"
#include "analysis/mpegts/ts_packet.h"
#include "analysis/streams/map_feed.h"

namespace tavro {

namespace {

constexpr uint64_t kPtsWrap = 1ull << 33;
constexpr uint64_t kPtsMask = kPtsWrap - 1;

// Signed distance from `b` to `a` on the 33-bit clock, the short way round.
int64_t ptsDelta(uint64_t a, uint64_t b) {
    const uint64_t d = (a - b) & kPtsMask;
    return d >= kPtsWrap / 2 ? static_cast<int64_t>(d) - static_cast<int64_t>(kPtsWrap)
                             : static_cast<int64_t>(d);
}

// The PES packets of one window, for a bitrate: the bytes of all but the one with the
// latest time, over the span from the earliest time to that latest. The window's
// last packet may be cut, so only packets another one followed are counted.
struct RateWindow {
    bool open = false; // a timed PES packet is being counted
    int64_t openRel = 0;
    uint64_t openBytes = 0;
    bool any = false;
    int64_t minRel = 0, maxRel = 0; // PTS relative to the stream's first, in ticks
    uint64_t latestBytes = 0, bytes = 0;

    void close() {
        if (!open) return;
        open = false;
        if (!any) {
            any = true;
            minRel = maxRel = openRel;
            latestBytes = openBytes;
        } else if (openRel > maxRel) {
            bytes += latestBytes;
            maxRel = openRel;
            latestBytes = openBytes;
        } else {
            bytes += openBytes;
            minRel = std::min(minRel, openRel);
        }
    }
    bool spanned() const { return any && maxRel > minRel; }
};

// What the walk keeps per stream beside the record: the probe bytes and time bounds.
struct StreamWork {
    ByteBuffer probe;
    bool gathering = false;         // a PES start was seen in this window
    int64_t minRel = 0, maxRel = 0; // PTS relative to the stream's first, in ticks
    int64_t headMaxRel = 0;
    uint64_t headPts = 0; // PES packets with a PTS in the head
    RateWindow headRate, tailRate;
    // For the file map: the PTS of the PES packet the stream's packets now carry.
    bool hasCurrentPts = false;
    uint64_t currentPts = 0;
};

// Packets of one PID laid end to end, kept for the file map until the file's first
// time is known: their PTS as ticks from the first PTS the walk met.
struct PacketRun {
    uint64_t offset = 0, size = 0;
    SpanKind kind = SpanKind::Data;
    int stream = kNoSpanStream;
    bool timed = false;
    bool tail = false; // read in the tail window
    int64_t from = 0, to = 0;
};

class PacketWalk {
  public:
    PacketWalk(const TsLimits& limits, TsFile& file, bool mapped)
        : limits_(limits), file_(file), mapped_(mapped), pidStream_(8192, -1), lastCc_(8192, -1) {}

    // Walks the packets of one window of the file, `data` holding its bytes from
    // `offset`; `reachesEnd` when the window runs to the file's end.
    void walk(const uint8_t* data, size_t size, uint64_t offset, bool reachesEnd, bool head) {
        head_ = head;
        std::fill(lastCc_.begin(), lastCc_.end(), int8_t(-1));
        for (StreamWork& w : work_)
            w.gathering = w.hasCurrentPts = false;
        for (auto& a : sections_)
            a.second.reset();
        const uint32_t stride = file_.packetSize;
        size_t p =
            head ? file_.firstSync - offset : findResync(data, size, 0, stride, limits_.syncRun);
        // Bytes before the tail's first packet belong to a packet read in part.
        while (p < size) {
            if (kTsPacketBytes > size - p) break;
            if (file_.packetsRead >= limits_.maxPackets) {
                file_.note(TsProblem::tooManyPackets);
                return;
            }
            if (data[p] != kTsSync) {
                const size_t next = findResync(data, size, p + 1, stride, 3);
                file_.note(TsProblem::syncLost);
                ++file_.resyncs;
                file_.bytesSkipped += next - p;
                p = next;
                continue;
            }
            ++file_.packetsRead;
            packet(data + p);
            if (mapped_) {
                // An M2TS packet opens with its timestamp; the window may cut it.
                const size_t unit = p - std::min<size_t>(p, stride == 192 ? 4 : 0);
                const size_t end = std::min<size_t>(size, p + (stride == 192 ? 188 : stride));
                mapPacket(offset + unit, end - unit, data + p);
            }
            p += stride; // may step past the end: the last packet was whole
        }
        // A final packet the file ends inside; an M2TS packet starts at its timestamp.
        const size_t prefix = stride == 192 ? 4 : 0;
        if (reachesEnd && p >= prefix && p - prefix < size) {
            const size_t unit = p - prefix;
            if (size - unit < stride && (p >= size || data[p] == kTsSync)) {
                file_.truncatedBytes = size - unit;
                file_.note(TsProblem::truncatedPacket);
            }
        }
    }

    // Whether every stream the walk has timed starts a PES packet with a time in
    // `data`, a tail window: one that does not would end where the head saw it last.
    bool timesEveryStream(const uint8_t* data, size_t size) const {
        std::vector<bool> waiting(work_.size());
        size_t left = 0;
        for (size_t i = 0; i < work_.size(); ++i)
            if (file_.streams[i].hasPts) waiting[i] = true, ++left;
        const uint32_t stride = file_.packetSize;
        size_t p = findResync(data, size, 0, stride, limits_.syncRun);
        while (left > 0 && p < size && kTsPacketBytes <= size - p) {
            if (data[p] != kTsSync) {
                p = findResync(data, size, p + 1, stride, 3);
                continue;
            }
            const TsPacketHeader h = parseTsPacketHeader(data + p);
            const int index = pidStream_[h.pid];
            if (index >= 0 && waiting[size_t(index)] && h.unitStart && !h.transportError &&
                !h.scrambling && h.hasPayload && h.payloadOffset < kTsPacketBytes) {
                const PesHeader pes =
                    parsePesHeader(data + p + h.payloadOffset, kTsPacketBytes - h.payloadOffset);
                if (pes.ok && pes.hasPts) waiting[size_t(index)] = false, --left;
            }
            p += stride;
        }
        return left == 0;
    }

    // Reads the gathered payload of each stream for its codec configuration.
    void probe() {
        for (size_t i = 0; i < work_.size(); ++i) {
            TsStream& s = file_.streams[i];
            if (!s.configFound && !work_[i].probe.empty())
                probeTsStream(s, work_[i].probe.data(), work_[i].probe.size());
            work_[i].probe.clear();
            work_[i].probe.shrink_to_fit();
        }
    }

    // Time spans from the PTS bounds, each stream's and the whole file's.
    void finish() {
        bool any = false;
        uint64_t reference = 0;
        int64_t start = 0, end = 0;
        for (size_t i = 0; i < work_.size(); ++i) {
            TsStream& s = file_.streams[i];
            const StreamWork& w = work_[i];
            s.frameRate = configFrameRate(s);
            // A counted rate wants a few pictures and a span of a tenth of a second.
            if (s.frameRate == 0 && s.kind == TsStream::Kind::video && w.headPts >= 4 &&
                w.headMaxRel >= 9000)
                s.frameRate = snapFrameRate(double(w.headPts) * 90000.0 / double(w.headMaxRel));
            if (!s.hasPts) continue;
            // The last PTS starts the last frame; the span runs to that frame's end.
            s.frameTicks = frameTicksOf(s);
            s.spanTicks = static_cast<uint64_t>(w.maxRel - w.minRel) + s.frameTicks;
            // The tail's packets tell the steady rate; the head's start with the
            // first pictures, often the largest of the file.
            const RateWindow& rate = w.tailRate.spanned() ? w.tailRate : w.headRate;
            if (rate.spanned()) {
                s.rateBytes = rate.bytes;
                s.rateTicks = static_cast<uint64_t>(rate.maxRel - rate.minRel);
            }
            if (!any) reference = s.firstPts;
            const int64_t base = ptsDelta(s.firstPts, reference);
            if (!any || base + w.minRel < start) start = base + w.minRel;
            const int64_t last = base + w.maxRel + static_cast<int64_t>(s.frameTicks);
            if (!any || last > end) end = last;
            any = true;
        }
        if (any) file_.seconds = static_cast<double>(end - start) / 90000.0;
        // The map's runs count from the first PTS the walk met; the file's time from
        // the earliest of any stream.
        if (any && hasFirstPts_) mapShift_ = ptsDelta(firstPts_, reference) - start;
    }

    // The runs kept, to the map, with their times from the file's start.
    void feedMap(MapFeed& map) const {
        bool tail = false;
        for (const PacketRun& r : runs_) {
            // The tail's packets do not follow the head's.
            if (r.tail && !tail) map.cut();
            tail = r.tail;
            if (r.timed && r.from + mapShift_ >= 0) {
                // A PES packet lasts until its stream's next.
                map.addOpen(r.offset, r.size, r.stream,
                            static_cast<double>(r.from + mapShift_) / 90000.0,
                            static_cast<double>(r.to + mapShift_) / 90000.0);
            } else {
                map.add(r.offset, r.size, r.kind, r.stream);
            }
        }
    }

  private:
    // The packet at `at` of the file: tables are structure, null packets padding, and
    // the rest data of its stream (or of none), carrying its PES packet's time.
    void mapPacket(uint64_t at, uint64_t size, const uint8_t* p) {
        const uint16_t pid = static_cast<uint16_t>((p[1] & 0x1F) << 8 | p[2]);
        PacketRun r;
        r.offset = at;
        r.size = size;
        r.tail = !head_;
        if (p[1] & 0x80) {
            // Flagged in error: its PID may be wrong.
        } else if (pid == kNullPid) {
            r.kind = SpanKind::Junk;
        } else if (pid < 0x20 || isPmtPid(pid)) {
            r.kind = SpanKind::Header;
        } else if (pidStream_[pid] >= 0) {
            r.stream = pidStream_[pid];
            const StreamWork& w = work_[static_cast<size_t>(r.stream)];
            if (w.hasCurrentPts && hasFirstPts_) {
                r.timed = true;
                r.from = r.to = ptsDelta(w.currentPts, firstPts_);
            }
        }
        if (!runs_.empty()) {
            PacketRun& last = runs_.back();
            if (last.kind == r.kind && last.stream == r.stream && last.timed == r.timed &&
                last.tail == r.tail && last.offset + last.size == at) {
                last.size += size;
                last.from = std::min(last.from, r.from);
                last.to = std::max(last.to, r.to);
                return;
            }
        }
        if (runs_.size() < kMapSpanBudget) runs_.push_back(r);
    }

    void packet(const uint8_t* p) {
        const TsPacketHeader h = parseTsPacketHeader(p);
        if (h.transportError) {
            ++file_.transportErrorPackets;
            file_.note(TsProblem::transportErrors);
            return; // the header itself may be wrong
        }
        if (h.pid == kNullPid) return;
        const int index = pidStream_[h.pid];
        TsStream* stream = index >= 0 ? &file_.streams[static_cast<size_t>(index)] : nullptr;
        if (stream) ++stream->packets;
        checkContinuity(h, stream);
        if (h.scrambling) {
            ++file_.scrambledPackets;
            file_.note(TsProblem::scrambled);
            if (stream) ++stream->scrambledPackets;
            return; // the payload is enciphered
        }
        if (!h.hasPayload || h.payloadOffset >= kTsPacketBytes) return;
        const uint8_t* payload = p + h.payloadOffset;
        const size_t size = kTsPacketBytes - h.payloadOffset;
        if (h.pid == 0 || isPmtPid(h.pid)) {
            section(h.pid, payload, size, h.unitStart);
        } else if (stream) {
            pes(static_cast<size_t>(index), *stream, payload, size, h.unitStart);
        }
    }

    void checkContinuity(const TsPacketHeader& h, TsStream* stream) {
        int8_t& last = lastCc_[h.pid];
        if (!h.hasPayload) return; // the counter only moves with a payload
        const int8_t cc = static_cast<int8_t>(h.continuity);
        // One repeat is allowed; a discontinuity flag restarts the count.
        if (last >= 0 && !h.discontinuity && cc != last && cc != ((last + 1) & 0x0F)) {
            ++file_.ccErrors;
            file_.note(TsProblem::ccErrors);
            if (stream) ++stream->ccErrors;
            auto it = sections_.find(h.pid);
            if (it != sections_.end()) it->second.reset(); // a section across the gap is lost
        }
        last = cc;
    }

    bool isPmtPid(uint16_t pid) const {
        return std::find(pmtPids_.begin(), pmtPids_.end(), pid) != pmtPids_.end();
    }

    void section(uint16_t pid, const uint8_t* payload, size_t size, bool unitStart) {
        SectionAssembler& a = sections_[pid];
        const auto result = a.feed(payload, size, unitStart, [&](const uint8_t* s, size_t n) {
            if (pid == 0)
                takePat(s, n);
            else
                takePmt(pid, s, n);
        });
        if (result == SectionAssembler::Result::bad) file_.note(TsProblem::badSection);
    }

    void takePat(const uint8_t* s, size_t n) {
        if (patSeen_) return;
        const PatSection pat = parsePatSection(s, n, limits_.maxPrograms);
        if (!pat.ok || !pat.crcOk) {
            file_.note(TsProblem::badSection);
            return;
        }
        patSeen_ = true;
        file_.hasPat = true;
        file_.transportStreamId = pat.transportStreamId;
        file_.programCount = pat.programsDeclared;
        for (const PatEntry& e : pat.programs)
            if (e.pid != 0 && e.pid != kNullPid && !isPmtPid(e.pid)) pmtPids_.push_back(e.pid);
    }

    void takePmt(uint16_t pid, const uint8_t* s, size_t n) {
        if (std::find(pmtsRead_.begin(), pmtsRead_.end(), pid) != pmtsRead_.end()) return;
        const PmtSection pmt = parsePmtSection(s, n, limits_.maxStreams);
        if (!pmt.ok || !pmt.crcOk) {
            file_.note(TsProblem::badSection);
            return;
        }
        pmtsRead_.push_back(pid);
        ++file_.pmtCount;
        file_.streamCount += pmt.streamsDeclared;
        if (pmt.streamsDeclared > pmt.streams.size()) file_.note(TsProblem::tooManyStreams);
        for (const PmtStreamEntry& e : pmt.streams) {
            if (e.pid == 0 || e.pid == kNullPid || pidStream_[e.pid] >= 0 || isPmtPid(e.pid))
                continue;
            if (file_.streams.size() >= limits_.maxStreams) {
                file_.note(TsProblem::tooManyStreams);
                break;
            }
            TsStream st;
            st.pid = e.pid;
            st.programNumber = pmt.programNumber;
            st.streamType = e.streamType;
            st.registration = e.registration;
            st.descriptorTag = e.codecDescriptor;
            st.language = e.language;
            classifyTsStream(st, pmt.registration);
            pidStream_[e.pid] = static_cast<int>(file_.streams.size());
            file_.streams.push_back(std::move(st));
            work_.emplace_back();
        }
    }

    void pes(size_t index, TsStream& s, const uint8_t* payload, size_t size, bool unitStart) {
        StreamWork& w = work_[index];
        s.payloadBytes += size;
        RateWindow& rate = head_ ? w.headRate : w.tailRate;
        const bool wantProbe =
            !s.configFound && (s.kind == TsStream::Kind::video || s.kind == TsStream::Kind::audio);
        if (unitStart) {
            const PesHeader pes = parsePesHeader(payload, size);
            w.hasCurrentPts = false;
            if (!pes.ok) return;
            // A PES packet without a time is counted with the timed one before it.
            if (pes.hasPts) {
                takePts(s, w, pes.pts);
                rate.close();
                rate.open = true;
                rate.openRel = ptsDelta(pes.pts, s.firstPts);
                rate.openBytes = 0;
            }
            w.gathering = wantProbe;
            if (wantProbe && pes.payloadOffset < size)
                gather(w, payload + pes.payloadOffset, size - pes.payloadOffset);
        } else if (w.gathering) {
            gather(w, payload, size);
        }
        if (rate.open) rate.openBytes += size;
    }

    void gather(StreamWork& w, const uint8_t* p, size_t n) {
        if (w.probe.size() >= limits_.probeBytes) {
            w.gathering = false;
            return;
        }
        n = std::min(n, limits_.probeBytes - w.probe.size());
        w.probe.insert(w.probe.end(), p, p + n);
    }

    void takePts(TsStream& s, StreamWork& w, uint64_t pts) {
        if (mapped_) {
            w.hasCurrentPts = true;
            w.currentPts = pts;
            if (!hasFirstPts_) hasFirstPts_ = true, firstPts_ = pts;
        }
        if (!s.hasPts) {
            s.hasPts = true;
            s.firstPts = pts;
            return;
        }
        const int64_t rel = ptsDelta(pts, s.firstPts);
        w.minRel = std::min(w.minRel, rel);
        w.maxRel = std::max(w.maxRel, rel);
        if (head_) {
            w.headMaxRel = std::max(w.headMaxRel, rel);
            ++w.headPts;
        }
    }

    const TsLimits& limits_;
    TsFile& file_;
    const bool mapped_;
    std::vector<PacketRun> runs_;
    bool hasFirstPts_ = false;
    uint64_t firstPts_ = 0;
    int64_t mapShift_ = 0;
    bool head_ = true;
    std::vector<int> pidStream_; // stream index by PID
    std::vector<int8_t> lastCc_;
    std::vector<StreamWork> work_; // parallel to file_.streams
    std::map<uint16_t, SectionAssembler> sections_;
    std::vector<uint16_t> pmtPids_;
    std::vector<uint16_t> pmtsRead_;
    bool patSeen_ = false;
};

bool readWindow(RandomAccessReader& reader, uint64_t offset, uint64_t want, ByteBuffer& out) {
    return reader.readInto(offset, static_cast<size_t>(want), out);
}

} // namespace

bool TsFile::has(TsProblem p) const {
    return std::find(problems.begin(), problems.end(), p) != problems.end();
}

void TsFile::note(TsProblem p) {
    if (!has(p)) problems.push_back(p);
}

TsFile readTransportStream(RandomAccessReader& reader, const TsLimits& limits) {
    TsFile file;
    file.fileSize = reader.size();
    const uint64_t headWant = std::min(file.fileSize, limits.headBytes);
    ByteBuffer held;
    ByteView head;
    if (!reader.view(0, static_cast<size_t>(headWant), held, head)) {
        file.status = TsStatus::readError;
        return file;
    }
    file.bytesRead += head.size();
    const TsFraming framing =
        findTsFraming(head.data(), head.size(), limits.syncSearchBytes, limits.syncRun);
    if (framing.stride == 0) {
        file.status = TsStatus::notTransportStream;
        return file;
    }
    file.packetSize = framing.stride;
    file.firstSync = framing.firstSync;

    PacketWalk walk(limits, file, limits.spans != nullptr);
    // A short read ends the file where the bytes end, whatever its claimed length.
    const bool headIsAll = headWant == file.fileSize || head.size() < headWant;
    walk.walk(head.data(), head.size(), 0, headIsAll, true);
    walk.probe();

    uint64_t tailStart = file.fileSize;
    ByteBuffer tail;
    const auto read = [&](uint64_t at, uint64_t count, ByteBuffer& out) {
        return readWindow(reader, at, count, out);
    };
    for (uint64_t want : {limits.tailBytes, limits.longTailBytes}) {
        const uint64_t start = file.fileSize - std::min(file.fileSize - headWant, want);
        if (headIsAll || start >= tailStart) continue;
        if (!extendWindowBack(start, tailStart, tail, read)) {
            file.status = TsStatus::readError;
            return file;
        }
        tailStart = start;
        if (walk.timesEveryStream(tail.data(), tail.size())) break;
    }
    if (tailStart < file.fileSize) {
        file.bytesRead += tail.size();
        file.tailRead = true;
        walk.walk(tail.data(), tail.size(), tailStart, true, false);
        walk.probe();
    }
    walk.finish();
    if (limits.spans) {
        MapFeed map(*limits.spans);
        walk.feedMap(map);
        // A packet cut short: the framing says where it, and so the file, should end.
        if (file.has(TsProblem::truncatedPacket))
            map.declareEnd(file.fileSize - file.truncatedBytes + file.packetSize);
    }

    if (file.pmtCount > 0)
        file.status = TsStatus::ok;
    else if (file.hasPat)
        file.status = TsStatus::noPmt;
    else
        file.status = TsStatus::noPat;
    return file;
}

const char* tsStatusText(TsStatus status) {
    switch (status) {
    case TsStatus::ok:
        return "ok";
    case TsStatus::notTransportStream:
        return "not an MPEG transport stream";
    case TsStatus::noPat:
        return "no program association table";
    case TsStatus::noPmt:
        return "no program map table";
    case TsStatus::readError:
        return "read error";
    }
    return "";
}

const char* tsProblemText(TsProblem problem) {
    switch (problem) {
    case TsProblem::syncLost:
        return "sync lost: bytes between packets were skipped";
    case TsProblem::truncatedPacket:
        return "the file ends inside a packet";
    case TsProblem::ccErrors:
        return "continuity counter errors: packets are missing";
    case TsProblem::scrambled:
        return "scrambled packets";
    case TsProblem::transportErrors:
        return "packets flagged with transport errors";
    case TsProblem::badSection:
        return "a table section is malformed";
    case TsProblem::tooManyStreams:
        return "too many streams; the rest were counted only";
    case TsProblem::tooManyPackets:
        return "too many packets; the walk stopped early";
    }
    return "";
}

} // namespace tavro
