#include "analysis/leaf_handler.h"

#include <cstring>
#include <string_view>

#include "analysis/chunk_recorder.h"
#include "analysis/identify.h"
#include "analysis/span_feed.h"
#include "analysis/text_run.h"
#include "common/fourcc_text.h"

namespace tavro {

// Paths are compared as string views, so most candidates are refused by their length
// alone: this runs for every chunk of the movi list.
using namespace std::string_view_literals;

namespace {

constexpr int kMaxJunkTexts = 5;

struct Leaf {
    ByteView head;
    uint32_t chunk;
    uint32_t size;
    uint64_t payload() const { return uint64_t(chunk) + 8; }
    // Bytes of the payload that are really there: the chunk's size, cut by the head.
    uint64_t available() const {
        uint64_t left = head.size() > payload() ? head.size() - payload() : 0;
        return size < left ? size : left;
    }
    // Fixed-size header copies take what the chunk and the head hold and zero the rest.
    template <size_t N> void copyTo(std::array<uint8_t, N>& out) const {
        head.copyOut(payload(), available(), out.data(), N);
    }
    std::string text() const {
        const char* p = reinterpret_cast<const char*>(head.data() + payload());
        size_t n = static_cast<size_t>(available());
        const void* nul = std::memchr(p, 0, n);
        return std::string(p, nul ? static_cast<const char*>(nul) - p : n);
    }
};

bool endsWithNoCase(const std::string& s, const char* tail) {
    size_t n = std::strlen(tail);
    return s.size() >= n &&
           startsWithNoCase(reinterpret_cast<const uint8_t*>(s.data() + s.size() - n), n, tail);
}

void addComment(Analysis& a, uint32_t chunk, const std::string& code, const std::string& text) {
    CommentRow row;
    row.code = code;
    row.text = text;
    row.chunk = chunk;
    a.report.addComment(row);
    a.info.avi.commentRows += 1;
}

void onStreamHeader(AviHeaderModel& avi, const Leaf& leaf) {
    StreamHeaderBytes header;
    leaf.copyTo(header.raw);
    std::string type(reinterpret_cast<const char*>(header.type()), 4);
    if (equalsNoCase(type, "vids")) {
        avi.strlKind = 0;
        avi.videoStreams += 1;
        avi.strfWanted = avi.videoStreams == 1;
        if (avi.strfWanted) avi.videoHeader = header;
    } else if (equalsNoCase(type, "auds")) {
        avi.strlKind = 1;
        avi.strfWanted = avi.audioStreams < kMaxAudioStreams;
        if (avi.strfWanted) avi.audioHeader[avi.audioStreams++] = header;
    } else {
        avi.strfWanted = false;
    }
}

void onStreamFormat(AviHeaderModel& avi, const Leaf& leaf) {
    if (!avi.strfWanted) return;
    if (avi.strlKind == 1) {
        const int n = avi.audioStreams - 1;
        leaf.copyTo(avi.audioFormat[n].raw);
        const uint64_t held = leaf.available();
        avi.audioExtraOffset[n] = held > 16 ? static_cast<uint32_t>(leaf.payload() + 16) : 0;
        avi.audioExtraLength[n] = held > 16 ? static_cast<uint32_t>(held - 16) : 0;
    } else
        leaf.copyTo(avi.videoFormat.raw);
}

void onJunk(Analysis& a, const Leaf& leaf) {
    AviHeaderModel& avi = a.info.avi;
    if (avi.largestJunk == kNoChunk || leaf.size > avi.largestJunkSize) {
        avi.largestJunk = leaf.chunk;
        avi.largestJunkSize = leaf.size;
    }
    // Text is looked for in this chunk's own payload only.
    const uint8_t* data = leaf.head.data() + leaf.payload();
    size_t length = static_cast<size_t>(leaf.available());
    size_t pos = 0;
    TextRun run;
    while (avi.junkTexts < kMaxJunkTexts && pos < length &&
           findTextRun(data + pos, length - pos, &run)) {
        avi.junkTexts += 1;
        addComment(a, kNoChunk, "JUNK",
                   std::string(reinterpret_cast<const char*>(data + pos + run.start), run.length));
        pos += run.start + run.length;
    }
}

// Called for every leaf of the movi list, so it compares in place, building nothing.
int audioStreamOf(const std::string& path) {
    static const char* const kLists[] = {"/RIFF:AVI /LIST:movi/",
                                         "/RIFF:AVI /LIST:movi/LIST:rec /"};
    for (const char* list : kLists) {
        const size_t n = std::strlen(list);
        if (path.size() != n + 4 || path.compare(0, n, list) != 0) continue;
        // "01wb", "02wb" or "03wb".
        if (path[n] == '0' && path[n + 1] >= '1' && path[n + 1] <= '3' &&
            path.compare(n + 2, 2, "wb") == 0)
            return path[n + 1] - '1';
    }
    return -1;
}

} // namespace

void onLeafChunk(Analysis& a, uint32_t chunk, const std::string& path) {
    MediaInfo& info = a.info;
    AviHeaderModel& avi = info.avi;
    Leaf leaf{info.head(), chunk, info.head().u32(uint64_t(chunk) + 4)};
    int dataSlot = -1; // the interleave slot of recorded stream data
    if (path == "/RIFF:WAVE/fmt "sv) {
        leaf.copyTo(info.wrap.waveFmt.raw);
    } else if (path == "/RIFF:WAVE/data"sv) {
        info.wrap.waveDataFound = 1;
        info.wrap.wavePayload = static_cast<uint32_t>(leaf.payload());
        info.wrap.wavePayloadSize = leaf.size;
        info.wrap.wrapperKind = kWrapWav;
    } else if (path == "/RIFF:CDXA/data"sv) {
        cdxaScan(a, chunk);
    } else if (path == "/RIFF:AVI /LIST:hdrl/LIST:odml/dmlh"sv) {
        std::array<uint8_t, 4> frames;
        leaf.copyTo(frames);
        avi.odmlTotalFrames = readLe32(frames.data());
    } else if (path == "/RIFF:AVI /LIST:hdrl/segm"sv) {
        std::array<uint8_t, 1> number;
        leaf.copyTo(number);
        avi.segmentNumber = static_cast<int8_t>(number[0]) + 1;
    } else if (path == "/RIFF:AVI /LIST:hdrl/LIST:strl/strh"sv) {
        onStreamHeader(avi, leaf);
    } else if (path == "/RIFF:AVI /LIST:hdrl/LIST:strl/strf"sv) {
        onStreamFormat(avi, leaf);
    } else if (path == "/RIFF:AVI /LIST:hdrl/avih"sv) {
        leaf.copyTo(avi.mainHeader.raw);
    } else if (int n = audioStreamOf(path); n >= 0) {
        recordAudioChunk(info, chunk, n);
        dataSlot = n + 1;
    } else if (path == "/RIFF:AVI /LIST:movi/00dc"sv || path == "/RIFF:AVI /LIST:movi/00db"sv) {
        recordVideoChunk(info, chunk);
        dataSlot = 0;
    } else if (path == "/RIFF:AVI /LIST:movi/LIST:rec /00dc"sv) {
        recordVideoChunk(info, chunk);
        avi.recList = 1;
        dataSlot = 0;
    } else if (path.find("/LIST:INFO/") != std::string::npos) {
        addComment(a, chunk, path.substr(path.size() - 4), leaf.text());
        if (avi.firstInfoChunk == kNoChunk) avi.firstInfoChunk = chunk;
    } else if (path == "/RIFF:AVI /LIST:hdrl/ISFT"sv) {
        addComment(a, chunk, "ISFT", leaf.text());
    } else if (endsWithNoCase(path, "/JUNK")) {
        onJunk(a, leaf);
    }
    mapRiffLeaf(info, chunk, leaf.size, path, dataSlot);
}

} // namespace tavro
