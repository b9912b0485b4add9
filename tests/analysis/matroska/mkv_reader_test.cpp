// The reader over hand-built files: one small valid file, then hostile shapes of it.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "analysis/matroska/mkv_reader.h"
#include "analysis/matroska/mkv_streams.h"
#include "tests/analysis/matroska/ebml_builder.h"

namespace tavro {
namespace {

using namespace test;

// Counts what the reader asks for, to hold it to its budget.
class CountingReader : public RandomAccessReader {
  public:
    CountingReader(const Bytes& b, uint64_t claimed) : inner_(b.data(), b.size(), claimed) {}
    uint64_t size() const override { return inner_.size(); }
    bool readAt(uint64_t offset, void* buffer, size_t want, size_t* got) override {
        asked += want;
        ++reads;
        return inner_.readAt(offset, buffer, want, got);
    }
    uint64_t asked = 0;
    uint64_t reads = 0;

  private:
    BufferReader inner_;
};

struct Read {
    MkvFile file;
    MediaStreams streams;
    uint64_t asked = 0;
};

Read read(const Bytes& b, uint64_t claimed = UINT64_MAX, const MkvLimits& limits = {}) {
    CountingReader reader(b, claimed == UINT64_MAX ? b.size() : claimed);
    Read r;
    r.file = readMatroskaFile(reader, limits);
    r.streams = describeMatroska(r.file);
    r.asked = reader.asked;
    return r;
}

bool hasFinding(const MediaStreams& m, const std::string& code) {
    return std::any_of(m.findings.begin(), m.findings.end(),
                       [&](const FileFinding& f) { return f.code == code; });
}

TEST(MkvReader, SmallFile) {
    const Read r = read(smallFile());
    ASSERT_EQ(r.file.status, MkvStatus::ok);
    EXPECT_TRUE(r.file.problems.empty()) << mkvProblemText(r.file.problems[0]);
    EXPECT_TRUE(r.streams.findings.empty());
    EXPECT_EQ(r.streams.container, "WebM");
    EXPECT_EQ(r.streams.brand, "webm");
    EXPECT_EQ(r.streams.title, "Clip");
    EXPECT_DOUBLE_EQ(r.streams.seconds, 2.0);
    EXPECT_FALSE(r.streams.secondsEstimated);
    ASSERT_EQ(r.streams.streams.size(), 2u);
    const StreamFacts& v = r.streams.streams[0];
    EXPECT_EQ(v.codec, "VP8");
    EXPECT_EQ(v.width, 320u);
    EXPECT_DOUBLE_EQ(v.frameRate, 25);
    EXPECT_EQ(v.language, "und");
    EXPECT_TRUE(v.isDefault); // FlagDefault left out: 1
    const StreamFacts& a = r.streams.streams[1];
    EXPECT_EQ(a.codec, "Opus");
    EXPECT_EQ(a.sampleRate, 48000u);
    EXPECT_EQ(a.channels, 2u);
    EXPECT_EQ(a.language, "eng"); // Language left out: English
    EXPECT_FALSE(a.isDefault);
    // The second cluster starts at 1 s; its last frame at 1.96 s lasts 40 ms.
    EXPECT_DOUBLE_EQ(r.file.lastClusterSeconds, 1.0);
    EXPECT_NEAR(r.file.endSeconds, 2.0, 1e-9);
}

// Tracks, Tags and Cues after the clusters, found only through the SeekHead; the
// statistics tags give each track's rate and duration.
TEST(MkvReader, SeekHeadFindsTheMetadataAtTheEnd) {
    const Bytes head = cat({info(2000)});
    const Bytes clusters = cat({cluster(0, 25), cluster(1000, 25)});
    const Bytes tags =
        el(0x1254C367,
           el(0x7373, cat({el(0x63C0, uintEl(0x63C5, 101)),
                           el(0x67C8, cat({strEl(0x45A3, "BPS"), strEl(0x4487, "123456")})),
                           el(0x67C8, cat({strEl(0x45A3, "DURATION"),
                                           strEl(0x4487, "00:00:01.960000000")}))})));
    // Positions from the Segment's data start; the SeekHead's own size is fixed first.
    auto seekHead = [&](uint64_t tracksAt, uint64_t tagsAt, uint64_t cuesAt) {
        auto seek = [](uint32_t id, uint64_t pos) {
            return el(0x4DBB, cat({el(0x53AB, idOf(id)), uintEl(0x53AC, pos, 8)}));
        };
        return el(0x114D9B74, cat({seek(0x1654AE6B, tracksAt), seek(0x1254C367, tagsAt),
                                   seek(0x1C53BB6B, cuesAt)}));
    };
    const size_t sh = seekHead(0, 0, 0).size();
    const uint64_t tracksAt = sh + head.size() + clusters.size();
    const uint64_t tagsAt = tracksAt + tracks().size();
    const uint64_t cuesAt = tagsAt + tags.size();
    const Bytes file =
        cat({ebmlHeader("matroska"), segment(cat({seekHead(tracksAt, tagsAt, cuesAt), head,
                                                  clusters, tracks(), tags, cues()}))});
    const Read r = read(file);
    ASSERT_EQ(r.file.status, MkvStatus::ok);
    EXPECT_TRUE(r.file.problems.empty()) << mkvProblemText(r.file.problems[0]);
    EXPECT_TRUE(r.file.hasCues);
    ASSERT_EQ(r.streams.streams.size(), 2u);
    EXPECT_EQ(r.streams.streams[0].bitrate, 123456u);
    EXPECT_DOUBLE_EQ(r.streams.streams[0].seconds, 1.96);
    EXPECT_EQ(r.streams.streams[1].bitrate, 0u);
}

// A MediaRecorder-style file: unknown sizes everywhere, no Duration, no Cues.
TEST(MkvReader, LiveRecordingIsEstimatedFromItsLastCluster) {
    auto liveCluster = [](uint64_t ts) {
        Bytes p = uintEl(0xE7, ts);
        for (int i = 0; i < 25; ++i)
            p = cat({p, simpleBlock(1, static_cast<int16_t>(40 * i))});
        return elSized(0x1F43B675, unknownSize(8), p);
    };
    const Bytes live = cat(
        {ebmlHeader("webm"), elSized(0x18538067, unknownSize(8),
                                     cat({el(0x1549A966, uintEl(0x2AD7B1, 1000000)), tracks(),
                                          liveCluster(0), liveCluster(1000), liveCluster(2000)}))});
    const Read r = read(live);
    ASSERT_EQ(r.file.status, MkvStatus::ok);
    EXPECT_TRUE(r.file.segmentSizeUnknown);
    EXPECT_TRUE(r.file.clusterSizeUnknown);
    EXPECT_TRUE(r.streams.secondsEstimated);
    EXPECT_NEAR(r.streams.seconds, 3.0, 1e-9);
    ASSERT_TRUE(hasFinding(r.streams, "mkv.live_no_duration"));
    EXPECT_FALSE(hasFinding(r.streams, "mkv.no_cues"));
    // Cut inside the last frame: the estimate stops at the last whole frame.
    const Read cut = read(Bytes(live.begin(), live.end() - 3));
    EXPECT_TRUE(hasFinding(cut.streams, "mkv.live_no_duration"));
    EXPECT_TRUE(hasFinding(cut.streams, "mkv.last_cluster_cut"));
    EXPECT_NEAR(cut.streams.seconds, 2.96, 1e-9);
}

struct HostileCase {
    const char* what;
    Bytes bytes;
    MkvStatus status;
    const char* finding; // expected among the findings; null for none in particular
};

Bytes segmentSized(const Bytes& size, const Bytes& payload) {
    return cat({ebmlHeader(), elSized(0x18538067, size, payload)});
}

Bytes mkv(const Bytes& segmentPayload) {
    return cat({ebmlHeader(), segment(segmentPayload)});
}

Bytes nestedSimpleTags(int depth) {
    Bytes t = cat({strEl(0x45A3, "X"), strEl(0x4487, "y")});
    for (int i = 0; i < depth; ++i)
        t = el(0x67C8, t);
    return el(0x1254C367, el(0x7373, t));
}

Bytes nestedSegments(int depth) {
    Bytes s = tracks();
    for (int i = 0; i < depth; ++i)
        s = segment(s);
    return s;
}

// The same small entry again and again: the reader counts them all and keeps the cap.
Bytes manyTracks(int n) {
    const Bytes one = el(0xAE, cat({uintEl(0xD7, 1), uintEl(0x83, 2), strEl(0x86, "A_AAC")}));
    Bytes entries;
    entries.reserve(one.size() * static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        entries.insert(entries.end(), one.begin(), one.end());
    return el(0x1654AE6B, entries);
}

Bytes manyTags(int n) {
    const Bytes one =
        el(0x7373, cat({el(0x63C0, uintEl(0x63C5, 101)),
                        el(0x67C8, cat({strEl(0x45A3, "BPS"), strEl(0x4487, "1")}))}));
    Bytes all;
    for (int i = 0; i < n; ++i)
        all.insert(all.end(), one.begin(), one.end());
    return el(0x1254C367, all);
}

std::vector<HostileCase> hostileCases() {
    const Bytes body = cat({info(2000), tracks(), cluster(0, 5)});
    Bytes riff = {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'A', 'V', 'I', ' '};
    Bytes mp4 = {0, 0, 0, 16, 'f', 't', 'y', 'p', 'i', 's', 'o', 'm', 0, 0, 0, 0};
    Bytes ogg = {'O', 'g', 'g', 'S', 0, 2, 0, 0, 0, 0, 0, 0, 0, 0};
    return {
        {"RIFF", riff, MkvStatus::notEbml, "mkv.not_ebml"},
        {"MP4", mp4, MkvStatus::notEbml, "mkv.not_ebml"},
        {"Ogg", ogg, MkvStatus::notEbml, "mkv.not_ebml"},
        {"empty", {}, MkvStatus::notEbml, "mkv.not_ebml"},
        {"header only", ebmlHeader(), MkvStatus::noSegment, "mkv.no_segment"},
        {"header of unknown size", elSized(0x1A45DFA3, unknownSize(1), {}), MkvStatus::noSegment,
         "mkv.no_segment"},
        {"header size 2^32-1", elSized(0x1A45DFA3, vsize(0xFFFFFFFFull, 8), strEl(0x4282, "webm")),
         MkvStatus::noSegment, "mkv.no_segment"},
        {"unknown DocType", cat({ebmlHeader("mpegts"), segment(body)}), MkvStatus::ok,
         "mkv.unknown_doctype"},
        {"segment size 0", segmentSized(vsize(0), body), MkvStatus::ok, "mkv.no_tracks"},
        {"segment size 1", segmentSized(vsize(1), body), MkvStatus::ok, "mkv.no_tracks"},
        {"segment size 2^32-1", segmentSized(vsize(0xFFFFFFFFull), body), MkvStatus::ok,
         "mkv.cut_short"},
        {"segment size 2^56-2", segmentSized(vsize((1ull << 56) - 2, 8), body), MkvStatus::ok,
         "mkv.cut_short"},
        {"segment unknown size", segmentSized(unknownSize(1), body), MkvStatus::ok, "mkv.no_cues"},
        {"track entry past Tracks",
         segmentSized(vsize(40), cat({elSized(0x1654AE6B, vsize(30),
                                              elSized(0xAE, vsize(1000), uintEl(0xD7, 1)))})),
         MkvStatus::ok, "mkv.element_past_parent"},
        {"bad element in Info",
         mkv(cat({el(0x1549A966, Bytes{0x2A, 0xD7, 0xB1, 0x00, 0x01}), tracks()})), MkvStatus::ok,
         "mkv.bad_element"},
        {"SeekHead past the end",
         mkv(cat({el(0x114D9B74, el(0x4DBB, cat({el(0x53AB, idOf(0x1654AE6B)),
                                                 uintEl(0x53AC, UINT64_MAX, 8)}))),
                  tracks()})),
         MkvStatus::ok, "mkv.bad_seek_head"},
        {"SeekHead at the wrong element",
         mkv(cat(
             {el(0x114D9B74, el(0x4DBB, cat({el(0x53AB, idOf(0x1254C367)), uintEl(0x53AC, 0, 8)}))),
              tracks()})),
         MkvStatus::ok, "mkv.bad_seek_head"},
        {"8-byte values at their limit",
         mkv(cat({el(0x1549A966, cat({uintEl(0x2AD7B1, UINT64_MAX, 8), floatEl(0x4489, 1e300)})),
                  tracks(), cluster(UINT64_MAX, 2), cues()})),
         MkvStatus::ok, nullptr},
        {"nesting 1000 deep", mkv(cat({tracks(), nestedSimpleTags(1000)})), MkvStatus::ok,
         "mkv.read_limits"},
        {"segments 1000 deep", cat({ebmlHeader(), nestedSegments(1000)}), MkvStatus::ok,
         "mkv.no_tracks"},
        {"100,000 tracks", mkv(manyTracks(100000)), MkvStatus::ok, "mkv.read_limits"},
        {"100,000 tags", mkv(cat({tracks(), manyTags(100000)})), MkvStatus::ok, nullptr},
    };
}

TEST(MkvReader, HostileInputGetsAClearStatusWithinBudget) {
    for (const HostileCase& c : hostileCases()) {
        SCOPED_TRACE(c.what);
        const Read r = read(c.bytes);
        EXPECT_EQ(r.file.status, c.status) << mkvStatusText(r.file.status);
        if (c.status != MkvStatus::ok) {
            EXPECT_FALSE(r.streams.findings.empty());
        }
        if (c.finding) {
            EXPECT_TRUE(hasFinding(r.streams, c.finding));
        }
        EXPECT_LE(r.asked, MkvLimits{}.maxBytesRead);
        for (const FileFinding& f : r.streams.findings) {
            EXPECT_FALSE(f.status.empty());
            EXPECT_FALSE(f.detail.empty());
        }
        EXPECT_LE(r.file.tracks.size(), MkvElementLimits{}.maxTracks);
        EXPECT_GE(r.file.trackCount, r.file.tracks.size());
        // Every claimed length gives the same verdict without reading past the bytes.
        for (uint64_t claimed : {uint64_t{0}, uint64_t{1}, uint64_t{0xFFFFFFFF}, UINT64_MAX - 1}) {
            const Read big = read(c.bytes, claimed);
            EXPECT_LE(big.asked, MkvLimits{}.maxBytesRead);
        }
    }
}

TEST(MkvReader, HundredThousandTracksAreCountedNotKept) {
    const Read r = read(mkv(manyTracks(100000)));
    EXPECT_EQ(r.file.trackCount, 100000u);
    EXPECT_EQ(r.streams.streamCount, 100000u);
    EXPECT_EQ(r.file.tracks.size(), MkvElementLimits{}.maxTracks);
}

// A tiny budget still ends in a status, and reads no more than it allows.
TEST(MkvReader, ReadBudgetHolds) {
    MkvLimits limits;
    limits.maxBytesRead = 200;
    const Read r = read(smallFile(), UINT64_MAX, limits);
    EXPECT_LE(r.asked, 200u);
    EXPECT_EQ(r.file.status, MkvStatus::ok);
    EXPECT_TRUE(r.file.has(MkvProblem::readBudget));
    EXPECT_TRUE(hasFinding(r.streams, "mkv.read_limits"));
}

// A subtitle's BlockGroup gives its own length; the last frame ends where it says.
TEST(MkvReader, BlockDurationEndsTheLastBlock) {
    Bytes block = vsize(1);
    block.insert(block.end(), {0x01, 0xF4, 0x00, 'h', 'i'}); // at 500 ms
    const Bytes group = el(0xA0, cat({el(0xA1, block), uintEl(0x9B, 1500)}));
    const Bytes file = cat(
        {ebmlHeader(), segment(cat({info(5000), tracks(),
                                    el(0x1F43B675, cat({uintEl(0xE7, 3000), group})), cues()}))});
    const Read r = read(file);
    EXPECT_DOUBLE_EQ(r.file.lastBlockSeconds, 3.5);
    EXPECT_DOUBLE_EQ(r.file.endSeconds, 5.0);
}

// A cluster longer than the first tail read is found by the next, larger one, up to
// the largest.
TEST(MkvReader, LongClustersGetALargerTailRead) {
    struct Case {
        uint64_t tail, longTail, maxTail;
        bool found;
    };
    for (const Case c : {Case{100, 2 << 20, 8 << 20, true}, Case{100, 100, 8 << 20, true},
                         Case{100, 100, 100, false}, Case{2 << 20, 100, 100, true}}) {
        SCOPED_TRACE(c.longTail);
        MkvLimits limits;
        limits.tailBytes = c.tail;
        limits.longTailBytes = c.longTail;
        limits.maxTailBytes = c.maxTail;
        const Read r = read(smallFile(), UINT64_MAX, limits);
        EXPECT_EQ(r.file.status, MkvStatus::ok);
        EXPECT_EQ(r.file.hasLastCluster, c.found);
        if (c.found) {
            EXPECT_DOUBLE_EQ(r.file.lastClusterSeconds, 1.0);
        }
        EXPECT_DOUBLE_EQ(r.streams.seconds, 2.0); // the header's duration stands either way
    }
}

// Cutting the file anywhere never reads past the bytes; past the Segment's header, a
// cut says how much is missing.
TEST(MkvReader, EveryTruncationIsReported) {
    const Bytes whole = smallFile();
    const size_t segmentData = ebmlHeader("webm").size() + 4 + 2; // ID and a 2-byte size
    for (size_t n = 0; n < whole.size(); ++n) {
        SCOPED_TRACE(n);
        const Read r = read(Bytes(whole.begin(), whole.begin() + static_cast<long>(n)));
        EXPECT_FALSE(r.streams.findings.empty());
        if (n < ebmlHeader("webm").size()) {
            EXPECT_NE(r.file.status, MkvStatus::ok);
        } else if (n >= segmentData) {
            ASSERT_EQ(r.file.status, MkvStatus::ok);
            EXPECT_EQ(r.file.bytesMissing, whole.size() - n);
            EXPECT_TRUE(hasFinding(r.streams, "mkv.cut_short"));
        }
    }
}

TEST(MkvReader, CodecPrivateOfWindowsCodecs) {
    Bytes bih(40, 0);
    bih[0] = 40;
    bih[4] = 0x40; // 320 wide
    bih[5] = 0x01;
    bih[8] = 0xF0; // 240 high
    std::memcpy(&bih[16], "XVID", 4);
    Bytes wfx = {0x61, 0x01, 2, 0, 0x44, 0xAC, 0, 0, 0, 0, 0, 0, 0, 0, 16, 0, 0, 0};
    const Bytes t =
        el(0x1654AE6B, cat({el(0xAE, cat({uintEl(0xD7, 1), uintEl(0x83, 1),
                                          strEl(0x86, "V_MS/VFW/FOURCC"), el(0x63A2, bih)})),
                            el(0xAE, cat({uintEl(0xD7, 2), uintEl(0x83, 2), strEl(0x86, "A_MS/ACM"),
                                          el(0x63A2, wfx)}))}));
    const Read r = read(mkv(t));
    ASSERT_EQ(r.streams.streams.size(), 2u);
    EXPECT_EQ(r.streams.streams[0].codec, "MPEG-4 Visual");
    EXPECT_EQ(r.streams.streams[0].fourcc, 0x44495658u);
    EXPECT_EQ(r.streams.streams[0].width, 320u);
    EXPECT_EQ(r.streams.streams[1].codec, "WMA");
    EXPECT_EQ(r.streams.streams[1].formatTag, 0x0161u);
    EXPECT_EQ(r.streams.streams[1].sampleRate, 44100u);
    EXPECT_EQ(r.streams.streams[1].channels, 2u);
}

// Empty elements take their defaults; a track without a type is known by its codec.
TEST(MkvReader, TrackDefaultsAndInference) {
    const Bytes t =
        el(0x1654AE6B,
           cat({el(0xAE, cat({uintEl(0xD7, 1), strEl(0x86, "A_VORBIS"), el(0x88, {}),
                              el(0x22B59C, {}), strEl(0x22B59D, "pt-BR")})),
                el(0xAE, cat({uintEl(0xD7, 2), strEl(0x86, "V_MPEG4/MS/V3"), el(0xB9, {})})),
                el(0xAE, cat({uintEl(0xD7, 3), strEl(0x86, "S_HDMV/PGS"), el(0x22B59C, {})})),
                el(0xAE, cat({uintEl(0xD7, 4), strEl(0x86, "S_VOBSUB"), strEl(0x22B59C, "ger"),
                              strEl(0x22B59D, "de")}))}));
    const Read r = read(mkv(t));
    ASSERT_EQ(r.streams.streams.size(), 4u);
    const StreamFacts& a = r.streams.streams[0];
    EXPECT_EQ(a.kind, StreamKind::audio);
    EXPECT_EQ(a.codec, "Vorbis");
    EXPECT_TRUE(a.isDefault);
    EXPECT_EQ(a.language, "pt-BR"); // the BCP 47 tag wins
    EXPECT_EQ(a.channels, 1u);      // Channels left out: one
    const StreamFacts& v = r.streams.streams[1];
    EXPECT_EQ(v.kind, StreamKind::video);
    EXPECT_EQ(v.codec, "");
    EXPECT_EQ(v.fourcc, 0x33564944u); // "DIV3"
    EXPECT_EQ(r.streams.streams[2].kind, StreamKind::subtitle);
    EXPECT_EQ(r.streams.streams[2].codec, "PGS");
    EXPECT_EQ(r.streams.streams[2].language, "eng");
    EXPECT_EQ(r.streams.streams[3].codec, "VobSub");
    EXPECT_EQ(r.streams.streams[3].language, "ger"); // "de" says no more than that
}

} // namespace
} // namespace tavro
