#include "analysis/flv/flv_reader.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "analysis/flv/flv_tags.h"
#include "analysis/streams/map_feed.h"

namespace tavro {

namespace {

constexpr size_t kHeaderBytes = 9;

uint32_t be32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

bool readWindow(RandomAccessReader& reader, uint64_t offset, uint64_t want, ByteBuffer& out) {
    return reader.readInto(offset, static_cast<size_t>(want), out);
}

void takeTimestamp(FlvFile& f, const FlvTagHeader& h) {
    if (h.type == kFlvScriptTag) return;
    if (!f.haveTimestamps) {
        f.haveTimestamps = true;
        f.firstTimestamp = h.timestamp;
    }
    f.lastTimestamp = std::max(f.lastTimestamp, h.timestamp);
}

void readMetadata(const uint8_t* d, size_t n, FlvFile& f) {
    AmfScript script = parseAmfScript(d, n);
    if (!script.ok || script.name != "onMetaData" || f.hasMetadata) return;
    f.hasMetadata = true;
    f.metadata = std::move(script);
    const AmfScript& m = f.metadata;
    f.metaSeconds = m.number("duration");
    f.metaWidth = m.number("width");
    f.metaHeight = m.number("height");
    f.metaFrameRate = m.number("framerate");
    f.metaVideoKbps = m.number("videodatarate");
    f.metaAudioKbps = m.number("audiodatarate");
    f.metaSampleRate = m.number("audiosamplerate");
    f.metaAudioCodecId = m.number("audiocodecid", -1);
    f.metaVideoCodecId = m.number("videocodecid", -1);
    f.metaFileSize = m.number("filesize");
}

// The streams of an FLV file on the map: video first, as the report lists them.
constexpr int kVideoStream = 0;
constexpr int kAudioStream = 1;

class TagWalk {
  public:
    TagWalk(RandomAccessReader& reader, const FlvLimits& limits, FlvFile& file, uint64_t end,
            MapFeed* map)
        : reader_(reader), limits_(limits), file_(file), end_(end), map_(map) {}

    // Walks the tags of the head window `w` (bytes from offset 0) from `pos`. False on
    // an I/O error.
    bool walkHead(const ByteView& w, uint64_t pos) {
        const uint64_t windowEnd = w.size();
        const bool windowIsAll = windowEnd >= end_;
        for (;;) {
            if (file_.tagsRead >= limits_.maxTags) {
                file_.note(FlvProblem::tooManyTags);
                return true;
            }
            if (pos >= end_) {
                file_.endKnown = true;
                return true;
            }
            if (kFlvTagHeaderBytes > windowEnd - std::min(pos, windowEnd)) {
                if (windowIsAll) truncated(pos + kFlvTagHeaderBytes + 4);
                return true;
            }
            const FlvTagHeader h = parseFlvTagHeader(w.data() + pos);
            if (!h.knownType()) {
                file_.note(FlvProblem::badTag);
                return true;
            }
            ++file_.tagsRead;
            takeTimestamp(file_, h);
            const uint64_t body = pos + kFlvTagHeaderBytes;
            const uint64_t dataEnd = body + h.dataSize;
            const size_t inWindow =
                body < windowEnd
                    ? static_cast<size_t>(std::min<uint64_t>(h.dataSize, windowEnd - body))
                    : 0;
            // Filtered (encrypted) tag bodies cannot be read.
            if (!h.filtered && inWindow > 0 && !visit(h, w.data() + body, inWindow, body))
                return false;
            if (map_) mapTag(h, pos);
            if (dataEnd > end_ || 4 > end_ - dataEnd) {
                truncated(dataEnd + 4);
                return true;
            }
            if (dataEnd + 4 <= windowEnd && be32(w.data() + dataEnd) != h.dataSize + 11)
                file_.note(FlvProblem::badPreviousTagSize);
            pos = dataEnd + 4;
        }
    }

    // The tail window `w`, holding the file's bytes from `offset` to the end: back from
    // the end by the back pointers, or, where the last tag is cut, forward from the
    // first place a chain of tags starts.
    void walkTail(const ByteBuffer& w, uint64_t offset) {
        if (w.size() < 4 || offset + w.size() != end_) return;
        if (walkBack(w, offset)) return;
        const size_t n = w.size();
        for (size_t q = 0; n - q >= kFlvTagHeaderBytes + 4 + kFlvTagHeaderBytes; ++q) {
            if (!chainStartsAt(w, q)) continue;
            walkForward(w, q, offset);
            return;
        }
    }

  private:
    // The tag at `at`, with its back pointer: audio and video are their streams' data at
    // their time from the first tag's, the metadata structure (or the index, when it
    // lists the keyframes' places).
    void mapTag(const FlvTagHeader& h, uint64_t at) {
        const uint64_t tagEnd = at + kFlvTagHeaderBytes + h.dataSize + 4;
        const uint64_t size = std::min(tagEnd, end_) - std::min(at, end_);
        if (h.type == kFlvScriptTag) {
            const bool index = file_.hasMetadata && file_.metadata.find("keyframes");
            map_->add(at, size, index ? SpanKind::Index : SpanKind::Header);
            return;
        }
        double time = -1;
        if (file_.haveTimestamps && h.timestamp >= file_.firstTimestamp)
            time = static_cast<double>(h.timestamp - file_.firstTimestamp) / 1000.0;
        // A tag lasts until its stream's next.
        map_->addOpen(at, size, h.type == kFlvVideoTag ? kVideoStream : kAudioStream, time, time);
    }

    void truncated(uint64_t wantedEnd) {
        file_.note(FlvProblem::truncatedTag);
        file_.truncatedBytes = wantedEnd > end_ ? wantedEnd - end_ : 0;
        file_.endKnown = true;
    }

    bool visit(const FlvTagHeader& h, const uint8_t* d, size_t n, uint64_t body) {
        switch (h.type) {
        case kFlvAudioTag:
            readFlvAudioTag(d, n, h.timestamp, file_.audio);
            break;
        case kFlvVideoTag:
            readFlvVideoTag(d, n, h.timestamp, file_.video);
            break;
        case kFlvScriptTag: {
            if (file_.hasMetadata) break;
            // All of it is here, or all the cap allows, or all the file holds.
            if (n == h.dataSize || n >= limits_.maxScriptBytes || body + n >= end_) {
                readMetadata(d, std::min<size_t>(n, limits_.maxScriptBytes), file_);
                break;
            }
            // The script runs past the head window: read it on its own, to the cap.
            ByteBuffer script;
            const uint64_t want = std::min<uint64_t>(h.dataSize, limits_.maxScriptBytes);
            if (!readWindow(reader_, body, want, script)) return false;
            file_.bytesRead += script.size();
            readMetadata(script.data(), script.size(), file_);
            break;
        }
        }
        return true;
    }

    static bool plausibleHeader(const uint8_t* p) {
        const FlvTagHeader h = parseFlvTagHeader(p);
        return h.knownType() && (p[0] & 0xC0) == 0 && h.streamId == 0;
    }

    // A whole tag at q whose back pointer matches, followed by another tag header.
    static bool chainStartsAt(const ByteBuffer& w, size_t q) {
        if (!plausibleHeader(w.data() + q)) return false;
        const uint32_t size = parseFlvTagHeader(w.data() + q).dataSize;
        const size_t n = w.size();
        const size_t left = n - q - kFlvTagHeaderBytes;
        if (size > left || left - size < 4 + kFlvTagHeaderBytes) return false;
        const size_t back = q + kFlvTagHeaderBytes + size;
        return be32(w.data() + back) == size + 11 && plausibleHeader(w.data() + back + 4);
    }

    bool walkBack(const ByteBuffer& w, uint64_t offset) {
        size_t at = w.size(); // just past a back pointer
        bool found = false;
        for (int step = 0; step < limits_.maxTailSteps && at >= 4; ++step) {
            const uint32_t tagBytes = be32(w.data() + at - 4);
            if (tagBytes < kFlvTagHeaderBytes || tagBytes > at - 4) break;
            const size_t q = at - 4 - tagBytes;
            const FlvTagHeader h = parseFlvTagHeader(w.data() + q);
            if (!h.knownType() || h.dataSize + kFlvTagHeaderBytes != tagBytes) break;
            found = true;
            if (h.type != kFlvScriptTag)
                file_.lastTimestamp = std::max(file_.lastTimestamp, h.timestamp);
            if (map_) mapTag(h, offset + q);
            at = q;
        }
        if (found) file_.endKnown = true;
        return found;
    }

    void walkForward(const ByteBuffer& w, size_t q, uint64_t offset) {
        const size_t n = w.size();
        for (uint64_t guard = 0; guard < limits_.maxTags; ++guard) {
            if (q == n) {
                file_.endKnown = true;
                return;
            }
            if (kFlvTagHeaderBytes > n - q) {
                truncated(offset + q + kFlvTagHeaderBytes + 4);
                return;
            }
            const FlvTagHeader h = parseFlvTagHeader(w.data() + q);
            if (!h.knownType()) return; // lost the chain: the end stays unknown
            if (h.type != kFlvScriptTag)
                file_.lastTimestamp = std::max(file_.lastTimestamp, h.timestamp);
            const size_t left = n - q - kFlvTagHeaderBytes;
            if (map_) mapTag(h, offset + q);
            if (h.dataSize > left || left - h.dataSize < 4) {
                truncated(offset + q + kFlvTagHeaderBytes + h.dataSize + 4);
                return;
            }
            q += kFlvTagHeaderBytes + h.dataSize + 4;
        }
    }

    RandomAccessReader& reader_;
    const FlvLimits& limits_;
    FlvFile& file_;
    uint64_t end_;
    MapFeed* map_;
};

} // namespace

double FlvFile::tagSeconds() const {
    if (!haveTimestamps || !endKnown || lastTimestamp < firstTimestamp) return 0;
    return double(lastTimestamp - firstTimestamp) / 1000.0;
}

bool FlvFile::has(FlvProblem p) const {
    return std::find(problems.begin(), problems.end(), p) != problems.end();
}

void FlvFile::note(FlvProblem p) {
    if (!has(p)) problems.push_back(p);
}

FlvFile readFlvFile(RandomAccessReader& reader, const FlvLimits& limits) {
    FlvFile file;
    file.fileSize = reader.size();
    ByteBuffer held;
    ByteView head;
    const uint64_t headWant = std::min(file.fileSize, limits.headBytes);
    if (!reader.view(0, static_cast<size_t>(headWant), held, head)) {
        file.status = FlvStatus::readError;
        return file;
    }
    file.bytesRead = head.size();
    if (!head.equals(0, "FLV", 3)) {
        file.status = FlvStatus::notFlv;
        return file;
    }
    file.status = FlvStatus::noTags;
    if (head.size() < kHeaderBytes) {
        file.note(FlvProblem::truncatedTag);
        return file;
    }
    file.version = head.u8(3);
    file.flagAudio = (head.u8(4) & 0x04) != 0;
    file.flagVideo = (head.u8(4) & 0x01) != 0;
    file.dataOffset = be32(head.data() + 5);
    // A short read ends the file where the bytes end, whatever its claimed length.
    const uint64_t end =
        head.size() < headWant ? head.size() : file.fileSize;
    uint64_t first = file.dataOffset;
    if (first != kHeaderBytes) {
        file.note(FlvProblem::badDataOffset);
        // An offset inside the header, or past the window, is not believed.
        if (first < kHeaderBytes || first > head.size()) first = kHeaderBytes;
    }
    std::optional<MapFeed> map;
    if (limits.spans) {
        map.emplace(*limits.spans);
        // The header and the first back pointer.
        map->add(0, std::min<uint64_t>(first + 4, end), SpanKind::Header);
    }
    TagWalk walk(reader, limits, file, end, map ? &*map : nullptr);
    if (!walk.walkHead(head, first + 4)) {
        file.status = FlvStatus::readError;
        return file;
    }
    // Tags past the head window were not walked.
    if (map) map->readTo(head.size());
    // After an unreadable tag the chain is lost; otherwise the end is looked for apart.
    if (!file.endKnown && !file.has(FlvProblem::badTag) && end > head.size()) {
        const uint64_t tailStart = end - std::min<uint64_t>(end - head.size(), limits.tailBytes);
        ByteBuffer tail;
        if (!readWindow(reader, tailStart, end - tailStart, tail)) {
            file.status = FlvStatus::readError;
            return file;
        }
        file.bytesRead += tail.size();
        file.tailRead = true;
        // The tail's tags do not follow the head's.
        if (map) map->cut();
        walk.walkTail(tail, tailStart);
    }

    // A tag cut short says by its size where the file should have ended.
    if (map && file.truncatedBytes) map->declareEnd(end + file.truncatedBytes);

    if (file.tagsRead > 0) file.status = FlvStatus::ok;
    if (file.status == FlvStatus::ok) {
        if (!file.hasMetadata) file.note(FlvProblem::noMetadata);
        if ((file.flagAudio && !file.audio.present && file.endKnown) ||
            (file.flagVideo && !file.video.present && file.endKnown) ||
            (file.audio.present && !file.flagAudio) || (file.video.present && !file.flagVideo))
            file.note(FlvProblem::flagsDisagree);
        const double tags = file.tagSeconds();
        if (file.metaSeconds > 0 && tags > 0 &&
            std::fabs(file.metaSeconds - tags) > std::max(1.0, file.metaSeconds * 0.1))
            file.note(FlvProblem::durationMismatch);
    }
    return file;
}

const char* flvStatusText(FlvStatus status) {
    switch (status) {
    case FlvStatus::ok:
        return "ok";
    case FlvStatus::notFlv:
        return "not an FLV file";
    case FlvStatus::noTags:
        return "no tags after the header";
    case FlvStatus::readError:
        return "read error";
    }
    return "";
}

const char* flvProblemText(FlvProblem problem) {
    switch (problem) {
    case FlvProblem::badDataOffset:
        return "the header's data offset is unusual";
    case FlvProblem::badPreviousTagSize:
        return "a back pointer disagrees with its tag";
    case FlvProblem::badTag:
        return "a tag of unknown type stopped the walk";
    case FlvProblem::truncatedTag:
        return "the file ends inside its last tag";
    case FlvProblem::noMetadata:
        return "no onMetaData";
    case FlvProblem::durationMismatch:
        return "the metadata duration disagrees with the tags";
    case FlvProblem::flagsDisagree:
        return "the header's stream flags disagree with the tags";
    case FlvProblem::tooManyTags:
        return "too many tags; the walk stopped early";
    }
    return "";
}

} // namespace tavro
