#include "analysis/span_feed.h"

#include <cstring>

#include "analysis/media_info.h"
#include "common/fourcc_text.h"

namespace tavro {
namespace {

constexpr uint32_t kListHeader = 12;

uint64_t paddedChunk(uint32_t size) {
    return 8 + ((uint64_t(size) + 1) & ~uint64_t(1));
}

bool codeIs(const std::string& path, const char* code) {
    return path.size() >= 5 && path[path.size() - 5] == '/' &&
           path.compare(path.size() - 4, 4, code) == 0;
}

// "ix00".."ix99" and "00ix".."99ix": OpenDML standard index chunks.
bool isStandardIndex(const std::string& path) {
    if (path.size() < 5 || path[path.size() - 5] != '/') return false;
    const char* c = path.c_str() + path.size() - 4;
    return (c[0] == 'i' && c[1] == 'x') || (c[2] == 'i' && c[3] == 'x');
}

bool inMovi(const std::string& path) {
    return path.rfind("/RIFF:AVI /LIST:movi/", 0) == 0;
}

// Seconds per chunk (block-aligned streams, video) or per byte of slot's stream: 0
// when the headers give no usable rate.
struct SlotRate {
    double perChunk = 0;
    double perByte = 0;
};

SlotRate slotRate(const AviHeaderModel& avi, int slot) {
    SlotRate r;
    if (slot == 0) {
        const StreamHeaderBytes& h = avi.videoHeader;
        if (h.scale() != 0 && h.rate() != 0)
            r.perChunk = double(h.scale()) / h.rate();
        else if (avi.mainHeader.microSecPerFrame() != 0)
            r.perChunk = avi.mainHeader.microSecPerFrame() * 1e-6;
        return r;
    }
    const int n = slot - 1;
    if (n < 0 || n >= avi.audioStreams || n >= kMaxAudioStreams) return r;
    const StreamHeaderBytes& h = avi.audioHeader[n];
    const uint32_t sampleSize = readLe32(&h.raw[44]);
    // A sample size of 0 means one block (one compressed frame) per chunk.
    if (sampleSize == 0 && h.scale() != 0 && h.rate() != 0)
        r.perChunk = double(h.scale()) / h.rate();
    else if (avi.audioFormat[n].avgBytesPerSec() != 0)
        r.perByte = 1.0 / avi.audioFormat[n].avgBytesPerSec();
    return r;
}

void nameSlot(MediaInfo& info, SpanSink& sink, int slot) {
    if (slot < 0 || slot > 3 || (info.spanClocks.named & (1u << slot))) return;
    info.spanClocks.named |= 1u << slot;
    if (slot == 0)
        sink.nameStream(0, "Video " + fourccText(info.avi.videoFormat.compression()));
    else
        sink.nameStream(slot, "Audio " + std::to_string(slot));
}

// Seconds per tick of the super index's stream: a frame, or an audio block.
double secondsPerTick(const AviHeaderModel& avi, int slot) {
    const StreamHeaderBytes* h = slot == 0 ? &avi.videoHeader
                                 : slot > 0 && slot - 1 < avi.audioStreams
                                     ? &avi.audioHeader[slot - 1]
                                     : nullptr;
    if (!h || h->scale() == 0 || h->rate() == 0) return 0;
    return double(h->scale()) / h->rate();
}

// The strl a leaf of hdrl belongs to is the last one whose strh was kept.
int strlSlot(const AviHeaderModel& avi) {
    if (!avi.strfWanted) return kNoSpanStream;
    if (avi.strlKind == 0) return avi.videoStreams == 1 ? 0 : kNoSpanStream;
    return avi.audioStreams; // 1..3: the stream just counted
}

// AVISUPERINDEX: longs per entry (4), sub type, type 0 (index of indexes), entries
// in use, chunk id, 12 reserved bytes, then 16-byte entries of 64-bit offset, size
// and duration in stream ticks. Only the entries the head holds are read.
void mapSuperIndex(MediaInfo& info, SpanSink& sink, uint32_t chunk, uint32_t size) {
    const ByteView head = info.head();
    const uint64_t payload = uint64_t(chunk) + 8;
    if (payload >= head.size()) return;
    const uint64_t left = head.size() - payload;
    const uint64_t available = size < left ? size : left;
    if (available < 24) return;
    if (head.u16(payload) != 4 || head.u8(payload + 3) != 0) return;
    uint64_t entries = (available - 24) / 16;
    const uint32_t inUse = head.u32(payload + 4);
    if (inUse < entries) entries = inUse;
    const int slot = strlSlot(info.avi);
    const double tick = slot >= 0 ? secondsPerTick(info.avi, slot) : 0;
    if (slot >= 0) nameSlot(info, sink, slot);
    uint64_t ticks = 0;
    for (uint64_t i = 0; i < entries; ++i) {
        const uint64_t e = payload + 24 + 16 * i;
        const uint64_t offset = uint64_t(head.u32(e)) | uint64_t(head.u32(e + 4)) << 32;
        const uint32_t bytes = head.u32(e + 8);
        const uint32_t duration = head.u32(e + 12);
        FileSpan span;
        span.offset = offset;
        span.size = bytes;
        span.kind = SpanKind::Index;
        span.stream = slot;
        if (tick > 0) {
            span.start = double(ticks) * tick;
            span.end = double(ticks + duration) * tick;
        }
        ticks += duration;
        if (bytes != 0) sink.addSpan(span);
    }
}

} // namespace

SpanSink* spanSinkOf(const MediaInfo& info) {
    return info.wrap.waveDepth == 0 ? info.spans : nullptr;
}

void beginFileMap(MediaInfo& info, uint64_t fileSize) {
    info.spanClocks = SpanClocks();
    if (SpanSink* sink = spanSinkOf(info)) sink->beginFile(fileSize, info.headLength);
}

void mapRiffList(MediaInfo& info, uint32_t chunk, uint32_t size, bool root) {
    SpanSink* sink = spanSinkOf(info);
    if (!sink) return;
    FileSpan span;
    span.offset = chunk;
    span.size = kListHeader;
    sink->addSpan(span);
    if (root) sink->declareEnd(uint64_t(chunk) + paddedChunk(size));
}

void mapRiffLeaf(MediaInfo& info, uint32_t chunk, uint32_t size, const std::string& path,
                 int dataSlot) {
    SpanSink* sink = spanSinkOf(info);
    if (!sink) return;
    FileSpan span;
    span.offset = chunk;
    span.size = paddedChunk(size);
    if (dataSlot >= 0 && dataSlot < 4) {
        SpanClocks& c = info.spanClocks;
        const SlotRate rate = slotRate(info.avi, dataSlot);
        span.kind = SpanKind::Data;
        span.stream = dataSlot;
        if (rate.perChunk > 0) {
            span.start = double(c.chunks[dataSlot]) * rate.perChunk;
            span.end = span.start + rate.perChunk;
        } else if (rate.perByte > 0) {
            span.start = double(c.bytes[dataSlot]) * rate.perByte;
            span.end = double(c.bytes[dataSlot] + size) * rate.perByte;
        }
        c.chunks[dataSlot] += 1;
        c.bytes[dataSlot] += size;
        nameSlot(info, *sink, dataSlot);
    } else if (path == "/RIFF:WAVE/data") {
        const uint32_t avg = info.wrap.waveFmt.avgBytesPerSec();
        span.kind = SpanKind::Data;
        span.stream = 1;
        if (avg != 0) {
            span.start = 0;
            span.end = double(size) / avg;
        }
        sink->nameStream(1, "Audio");
    } else if (codeIs(path, "idx1") || isStandardIndex(path)) {
        span.kind = SpanKind::Index;
    } else if (codeIs(path, "indx")) {
        span.kind = SpanKind::Index;
        mapSuperIndex(info, *sink, chunk, size);
    } else if (codeIs(path, "JUNK") || codeIs(path, "junk")) {
        span.kind = SpanKind::Junk;
    } else if (inMovi(path)) {
        span.kind = SpanKind::Data; // a stream the walk does not keep
    }
    sink->addSpan(span);
}

void mapMpegAudioFile(MediaInfo& info) {
    SpanSink* sink = spanSinkOf(info);
    const MpegScanState& scan = info.mpegScanFile;
    if (!sink || scan.verdict == kMpegNone || !scan.firstFrame) return;
    const uint8_t* head = info.headBuffer();
    if (scan.firstFrame < head || scan.firstFrame >= head + info.headLength) return;
    const uint64_t first = static_cast<uint64_t>(scan.firstFrame - head);
    if (first > 0) {
        FileSpan tag;
        tag.size = first;
        sink->addSpan(tag);
    }
    sink->nameStream(0, "MPEG audio");
    // Entry k of the table is the end of the k-th frame, counted from the head's start.
    uint64_t begin = first;
    const int32_t count =
        scan.tableCount < kMpegFrameTableSize ? scan.tableCount : kMpegFrameTableSize - 1;
    for (int32_t k = 1; k <= count; ++k) {
        const uint64_t end = scan.frameTable ? scan.frameTable[k] : 0;
        if (end <= begin || end > info.headLength) break;
        FileSpan frame;
        frame.offset = begin;
        frame.size = end - begin;
        frame.kind = SpanKind::Data;
        frame.stream = 0;
        if (scan.frameDuration > 0) {
            frame.start = (k - 1) * scan.frameDuration;
            frame.end = k * scan.frameDuration;
        }
        sink->addSpan(frame);
        begin = end;
    }
}

} // namespace tavro
