#include "analysis/elementary/elementary_reader.h"

#include <algorithm>
#include <vector>

#include "analysis/elementary/annexb_video.h"
#include "analysis/elementary/audio_frames.h"
#include "analysis/streams/map_feed.h"

namespace tavro {

bool ElementaryFile::has(ElementaryProblem p) const {
    return std::find(problems.begin(), problems.end(), p) != problems.end();
}

void ElementaryFile::note(ElementaryProblem p) {
    if (!has(p)) problems.push_back(p);
}

namespace {

// ID3v2 tags some tools put before raw AAC, skipped by offset (a tag with cover art
// may be larger than the head); false on a read error or a tag past the file's end.
bool skipId3(RandomAccessReader& reader, ElementaryFile& f) {
    for (int i = 0; i < 4; ++i) {
        uint8_t h[10];
        size_t got = 0;
        if (!reader.readAt(f.id3Bytes, h, sizeof h, &got)) {
            f.status = ElementaryStatus::readError;
            return false;
        }
        if (got < sizeof h || h[0] != 'I' || h[1] != 'D' || h[2] != '3') return true;
        if ((h[6] | h[7] | h[8] | h[9]) & 0x80) return true;
        uint64_t size = uint64_t(h[6]) << 21 | uint64_t(h[7]) << 14 | h[8] << 7 | h[9];
        size += (h[5] & 0x10) ? 20 : 10;
        if (f.id3Bytes > f.fileSize || size > f.fileSize - f.id3Bytes) {
            f.note(ElementaryProblem::id3PastEnd);
            return false;
        }
        f.id3Bytes += size;
    }
    return true;
}

// The next position from `from` where a run of frames starts, or size.
size_t findRun(const ByteView& b, size_t from, size_t until, uint32_t count) {
    for (size_t pos = from; pos < until && pos < b.size(); ++pos)
        if (audioRunAt(b.data(), b.size(), pos, count)) return pos;
    return b.size();
}

// Follows the frames through the head, passing over junk between runs.
void walkAudio(const ByteView& b, size_t start, ElementaryFile& f,
               const ElementaryLimits& limits) {
    f.firstFrameOffset = f.id3Bytes + start;
    if (start > 0) f.note(ElementaryProblem::leadingJunk);
    const AudioFrame first = audioFrameAt(b.data() + start, b.size() - start);
    f.kind = first.kind;
    f.sampleRate = first.sampleRate;
    f.samplesPerFrame = first.samples;
    size_t pos = start, wholeEnd = start;
    uint32_t resyncs = 0;
    while (pos < b.size()) {
        const AudioFrame fr = audioFrameAt(b.data() + pos, b.size() - pos);
        if (!fr.ok || fr.sampleRate != f.sampleRate) {
            f.note(ElementaryProblem::syncLost);
            if (++resyncs > limits.maxResyncs) break;
            const size_t next = findRun(b, pos + 1, b.size(), limits.runFrames);
            if (next >= b.size()) break;
            f.junkBytes += next - pos;
            pos = next;
            continue;
        }
        if (fr.kind == ElementaryKind::eac3) f.kind = ElementaryKind::eac3;
        if (fr.bytes > b.size() - pos) {
            if (f.wholeFileRead) f.note(ElementaryProblem::lastFrameCut);
            break;
        }
        if (fr.timed) {
            ++f.frames;
            f.samples += fr.samples;
        }
        pos += fr.bytes;
        wholeEnd = pos;
    }
    f.frameBytes = wholeEnd - start;
}

void audioFacts(const ByteView& b, size_t start, ElementaryFile& f) {
    const uint8_t* p = b.data() + start;
    const size_t n = b.size() - start;
    if (f.kind == ElementaryKind::adts) {
        f.adts = parseAdtsHeader(p, n);
        f.channels = f.adts.channelConfig == 7 ? 8 : f.adts.channelConfig;
    } else if (f.kind == ElementaryKind::ac3 || f.kind == ElementaryKind::eac3) {
        f.ac3 = parseAc3FrameHeader(p, n);
        f.channels = f.ac3.channels;
        f.nominalBitrate = f.ac3.bitRate;
    } else if (f.kind == ElementaryKind::dts) {
        f.dts = parseDtsFrameHeader(p, n);
        f.channels = f.dts.channels;
        f.nominalBitrate = f.dts.bitRate;
    }
}

void figure(ElementaryFile& f) {
    const uint64_t span = f.fileSize - f.firstFrameOffset;
    double counted = 0;
    uint64_t countedBytes = 0;
    if (f.kind == ElementaryKind::h264 || f.kind == ElementaryKind::hevc) {
        // Pictures over the rate the SPS states; without it no honest length exists.
        if (f.frameRate > 0 && f.pictures) counted = static_cast<double>(f.pictures) / f.frameRate;
        countedBytes = f.headBytes;
    } else if (f.sampleRate) {
        counted = static_cast<double>(f.samples) / f.sampleRate;
        countedBytes = f.frameBytes;
    }
    if (!(counted > 0) || !countedBytes) return;
    f.seconds = counted;
    if (!f.wholeFileRead && span > countedBytes) {
        f.seconds = counted * static_cast<double>(span) / static_cast<double>(countedBytes);
        f.extrapolated = true;
    }
    const double rate = static_cast<double>(countedBytes) * 8 / counted;
    if (rate < 1e12) f.bitrate = static_cast<uint64_t>(rate);
}

// The tags, and the stream's bytes the head holds as one run over the time they were
// counted to hold (frames followed, or pictures at the stated rate); the rest of the
// file was not read.
void mapStream(SpanSink& sink, const ElementaryFile& f) {
    MapFeed map(sink);
    map.readTo(f.id3Bytes + f.headBytes);
    map.add(0, f.id3Bytes, SpanKind::Header);
    const bool video = f.kind == ElementaryKind::h264 || f.kind == ElementaryKind::hevc;
    const uint64_t bytes = video ? f.headBytes : f.frameBytes;
    double seconds = -1;
    if (video && f.frameRate > 0 && f.pictures)
        seconds = static_cast<double>(f.pictures) / f.frameRate;
    else if (!video && f.sampleRate)
        seconds = static_cast<double>(f.samples) / f.sampleRate;
    map.add(f.firstFrameOffset, bytes, SpanKind::Data, 0, seconds > 0 ? 0 : -1, seconds);
}

} // namespace

ElementaryFile readElementaryStream(RandomAccessReader& reader, const ElementaryLimits& limits) {
    ElementaryFile f;
    f.fileSize = reader.size();
    if (!skipId3(reader, f)) return f;
    // The head: the bytes after any tags, read once.
    const uint64_t want = std::min<uint64_t>(f.fileSize - f.id3Bytes, limits.headBytes);
    ByteBuffer held;
    ByteView b;
    if (want && !reader.view(f.id3Bytes, static_cast<size_t>(want), held, b)) {
        f.status = ElementaryStatus::readError;
        return f;
    }
    f.headBytes = b.size();
    f.wholeFileRead = f.id3Bytes + f.headBytes == f.fileSize;
    if (b.size() == 0) return f;

    if (readAnnexBHead(b.data(), b.size(), limits.runFrames, f)) {
        f.firstFrameOffset = f.id3Bytes;
        f.status = ElementaryStatus::ok;
    } else {
        const size_t start = findRun(b, 0, limits.searchBytes, limits.runFrames);
        if (start >= b.size()) return f;
        walkAudio(b, start, f, limits);
        audioFacts(b, start, f);
        f.status = ElementaryStatus::ok;
    }
    figure(f);
    if (limits.spans) mapStream(*limits.spans, f);
    return f;
}

const char* elementaryStatusText(ElementaryStatus status) {
    switch (status) {
    case ElementaryStatus::ok:
        return "raw stream";
    case ElementaryStatus::notRecognised:
        return "not a raw stream Tavro knows";
    case ElementaryStatus::readError:
        return "read error";
    }
    return "?";
}

const char* elementaryKindText(ElementaryKind kind) {
    switch (kind) {
    case ElementaryKind::h264:
        return "AVC";
    case ElementaryKind::hevc:
        return "HEVC";
    case ElementaryKind::adts:
        return "AAC";
    case ElementaryKind::ac3:
        return "AC-3";
    case ElementaryKind::eac3:
        return "E-AC-3";
    case ElementaryKind::dts:
        return "DTS";
    case ElementaryKind::unknown:
        break;
    }
    return "";
}

const char* elementaryProblemText(ElementaryProblem problem) {
    switch (problem) {
    case ElementaryProblem::leadingJunk:
        return "bytes before the first frame";
    case ElementaryProblem::syncLost:
        return "frames stop following one another";
    case ElementaryProblem::lastFrameCut:
        return "the file ends inside its last frame";
    case ElementaryProblem::id3PastEnd:
        return "ID3v2 tag runs past the end of the file";
    }
    return "?";
}

} // namespace tavro
