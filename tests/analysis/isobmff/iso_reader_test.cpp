// The reader over hand-built files: one small valid movie, then hostile shapes of it.
#include <gtest/gtest.h>

#include <algorithm>

#include "analysis/isobmff/iso_reader.h"
#include "analysis/streams/map_feed.h"
#include "tests/analysis/isobmff/box_builder.h"
#include "tests/support/span_log.h"

namespace tavro {
namespace {

using namespace test;

IsoFile read(const Bytes& b, const IsoLimits& limits = IsoLimits{}) {
    BufferReader reader(b.data(), b.size());
    return readIsoFile(reader, limits);
}

TEST(IsoReader, SmallMovie) {
    const IsoFile f = read(smallMovie());
    ASSERT_EQ(f.status, IsoStatus::ok);
    EXPECT_EQ(f.majorBrand, "isom");
    EXPECT_EQ(f.compatibleBrands, (std::vector<std::string>{"isom", "mp41"}));
    EXPECT_TRUE(f.moovAtHead);
    ASSERT_EQ(f.tracks.size(), 1u);
    const IsoTrack& t = f.tracks[0];
    EXPECT_EQ(t.handler, "vide");
    EXPECT_EQ(t.sampleEntry, "avc1");
    EXPECT_EQ(t.name, "Cam");
    EXPECT_EQ(t.language, "eng");
    EXPECT_EQ(t.width, 176u);
    EXPECT_EQ(t.displayHeight, 144u);
    EXPECT_EQ(t.sampleCount, 3u);
    EXPECT_EQ(t.sampleBytes, 60u);
    EXPECT_DOUBLE_EQ(t.frameRate, 25);
    EXPECT_EQ(t.dataEnd, smallMovie().size());
    EXPECT_TRUE(f.problems.empty());
}

// Durations come from trex, sizes from the run itself.
TEST(IsoReader, FragmentsAddUpPerTrack) {
    const IsoFile f = read(fragmentedMovie());
    ASSERT_EQ(f.tracks.size(), 1u);
    EXPECT_TRUE(f.fragmented);
    EXPECT_EQ(f.fragmentCount, 1u);
    EXPECT_DOUBLE_EQ(f.fragmentSeconds, 2.0);
    EXPECT_EQ(f.tracks[0].sampleCount, 2u);
    EXPECT_EQ(f.tracks[0].sampleBytes, 200u);
    EXPECT_EQ(f.tracks[0].sttsDuration, 1024u);
}

// What the reader hands the file map: the boxes as structure and index, each track's
// samples where the tables put them, with their times, and where the boxes say the
// file ends.
TEST(IsoReader, FeedsTheFileMap) {
    const Bytes movie = smallMovie(), fragments = fragmentedMovie();
    const char kMoof[] = "moof";
    const uint64_t moof =
        static_cast<uint64_t>(std::search(fragments.begin(), fragments.end(), kMoof, kMoof + 4) -
                              fragments.begin()) -
        4;
    struct Case {
        const char* name;
        const Bytes& file;
        uint64_t size;          // as the reader is told
        uint64_t dataAt, bytes; // the track's samples
        double seconds;         // where their time ends
        bool whole;             // every byte is on the map once
    };
    const Case cases[] = {
        {"moov before the samples", movie, movie.size(), movie.size() - 60, 60, 3 * 512 / 12800.0,
         true},
        {"cut inside the samples", movie, movie.size() - 30, movie.size() - 60, 60,
         3 * 512 / 12800.0, false},
        {"a fragment's run from its moof", fragments, fragments.size(), moof, 200,
         2 * 512 / 12800.0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SpanLog log;
        IsoLimits limits;
        limits.spans = &log;
        BufferReader reader(c.file.data(), static_cast<size_t>(c.size));
        readIsoFile(reader, limits);
        EXPECT_EQ(log.bytes(SpanKind::Data, 0), c.bytes);
        uint64_t first = UINT64_MAX, all = 0;
        double end = 0;
        for (const FileSpan& s : log.spans) {
            all += s.size;
            if (s.kind != SpanKind::Data) continue;
            first = std::min(first, s.offset);
            end = std::max(end, s.end);
        }
        EXPECT_EQ(first, c.dataAt);
        EXPECT_DOUBLE_EQ(end, c.seconds);
        EXPECT_GT(log.bytes(SpanKind::Header), 0u);
        EXPECT_GT(log.bytes(SpanKind::Index), 0u);
        // The mdat's size as written, however much of it the file still holds.
        EXPECT_EQ(log.declared, c.file.size());
        if (c.whole) EXPECT_EQ(all, c.file.size());
    }
}

// Two hundred thousand chunks, none next to another, go to the map as no more spans
// than its budget, with every sample's byte and the whole time still there.
TEST(IsoReader, ManyChunksStayInTheMapBudget) {
    const uint32_t n = 200000;
    Bytes offsets;
    for (uint32_t k = 0; k < n; ++k)
        put32(offsets, 1000000 + 2 * k);
    const Bytes tables = cat({fullBox("stts", 0, {1, n, 1}), fullBox("stsz", 0, {1, n}),
                              fullBox("stsc", 0, {1, 1, 1, 1}), fullBox("stco", 0, {n}, offsets)});
    const Bytes file =
        cat({ftyp(),
             box("moov", cat({fullBox("mvhd", 0, {0, 0, 1000, 0}), videoTrakWith(1, n, tables)}))});
    SpanLog log;
    IsoLimits limits;
    limits.spans = &log;
    BufferReader reader(file.data(), file.size(), 2000000);
    readIsoFile(reader, limits);
    uint64_t spans = 0;
    double end = 0;
    for (const FileSpan& s : log.spans)
        if (s.kind == SpanKind::Data) ++spans, end = std::max(end, s.end);
    EXPECT_LE(spans, kMapSpanBudget);
    EXPECT_GT(spans, kMapSpanBudget / 4);
    EXPECT_EQ(log.bytes(SpanKind::Data, 0), n);
    EXPECT_DOUBLE_EQ(end, n / 12800.0);
}

// Cutting the file anywhere never reads past the bytes; a cut movie box says so.
TEST(IsoReader, EveryTruncationIsReported) {
    const Bytes whole = smallMovie();
    const size_t moovEnd = whole.size() - 68;
    for (size_t n = 0; n < whole.size(); ++n) {
        const IsoFile f = read(Bytes(whole.begin(), whole.begin() + static_cast<long>(n)));
        if (n < ftyp().size() + 8) {
            EXPECT_NE(f.status, IsoStatus::ok) << n;
        } else if (n < moovEnd) {
            EXPECT_TRUE(f.has(IsoProblem::moovTruncated)) << n;
        } else {
            EXPECT_EQ(f.status, IsoStatus::ok) << n;
            EXPECT_TRUE(f.has(IsoProblem::sampleDataPastEnd)) << n;
            EXPECT_EQ(f.bytesPastEnd, whole.size() - std::max(n, moovEnd + 8)) << n;
        }
    }
}

// The file's length as claimed can exceed the bytes that arrive.
TEST(IsoReader, ClaimedLengthBeyondTheBytes) {
    const Bytes whole = smallMovie();
    BufferReader reader(whole.data(), whole.size() - 30, whole.size() + 1000);
    const IsoFile f = readIsoFile(reader);
    EXPECT_EQ(f.status, IsoStatus::ok);
    EXPECT_TRUE(f.has(IsoProblem::badBoxSize));
}

struct HostileCase {
    const char* name;
    Bytes file;
    IsoStatus status;
    bool flagged; // whether `problem` is expected among the problems
    IsoProblem problem;
};

Bytes nested(int depth) {
    Bytes b = box("free", {});
    for (int i = 0; i < depth; ++i)
        b = box(i % 2 ? "trak" : "mdia", b);
    return cat({ftyp(), box("moov", b)});
}

Bytes manyTracks(size_t count) {
    Bytes traks;
    for (size_t i = 0; i < count; ++i) {
        const Bytes t = box("trak", {});
        traks.insert(traks.end(), t.begin(), t.end());
    }
    return cat({ftyp(), box("moov", traks)});
}

Bytes withMoovSize(uint32_t size) {
    Bytes b = cat({ftyp(), box("moov", fullBox("mvhd", 0, {0, 0, 1000, 10}))});
    b[ftyp().size()] = static_cast<uint8_t>(size >> 24);
    b[ftyp().size() + 1] = static_cast<uint8_t>(size >> 16);
    b[ftyp().size() + 2] = static_cast<uint8_t>(size >> 8);
    b[ftyp().size() + 3] = static_cast<uint8_t>(size);
    return b;
}

// A track whose single chunk starts 1 GB past the end of the file.
Bytes chunkPastEnd() {
    return cat({ftyp(), box("moov", videoTrak(1, {100, 100}, 1u << 30))});
}

// A child of a track claims more than the track holds.
Bytes childPastParent() {
    Bytes trak = box("trak", fullBox("tkhd", 0, {0, 0, 7, 0, 0}));
    trak[8 + 3] = 200;
    return cat({ftyp(), box("moov", trak)});
}

// stsz claims four billion entries and holds none.
Bytes hugeSizeTable() {
    Bytes t = videoTrak(1, {}, 0);
    const Bytes claim = fullBox("stsz", 0, {0, 0xFFFFFFFF});
    const Bytes empty = fullBox("stsz", 0, {0, 0});
    auto at = std::search(t.begin(), t.end(), empty.begin(), empty.end());
    std::copy(claim.begin(), claim.end(), at);
    return cat({ftyp(), box("moov", t)});
}

const HostileCase kHostile[] = {
    {"nested_1000", nested(1000), IsoStatus::ok, false, IsoProblem::boxPastParent},
    {"tracks_100000", manyTracks(100000), IsoStatus::ok, true, IsoProblem::tooManyTracks},
    {"moov_size_zero", withMoovSize(0), IsoStatus::ok, false, IsoProblem::boxPastParent},
    {"moov_size_max", withMoovSize(0xFFFFFFFF), IsoStatus::ok, true, IsoProblem::moovTruncated},
    {"moov_size_two", withMoovSize(2), IsoStatus::noMoov, true, IsoProblem::badBoxSize},
    {"chunk_past_end", chunkPastEnd(), IsoStatus::ok, true, IsoProblem::sampleDataPastEnd},
    {"child_past_parent", childPastParent(), IsoStatus::ok, true, IsoProblem::boxPastParent},
    {"huge_size_table", hugeSizeTable(), IsoStatus::ok, true, IsoProblem::tableTruncated},
    {"mdat_only", cat({ftyp(), box("mdat", Bytes(100, 0))}), IsoStatus::noMoov, false,
     IsoProblem::boxPastParent},
    {"not_boxes", Bytes(64, 'x'), IsoStatus::notIsoBmff, false, IsoProblem::boxPastParent},
};

class Hostile : public ::testing::TestWithParam<HostileCase> {};

TEST_P(Hostile, ClearStatusNoCrash) {
    const HostileCase& c = GetParam();
    const IsoFile f = read(c.file);
    EXPECT_EQ(f.status, c.status) << isoStatusText(f.status);
    EXPECT_EQ(f.has(c.problem), c.flagged) << isoProblemText(c.problem);
    EXPECT_LE(f.tracks.size(), 256u);
}

INSTANTIATE_TEST_SUITE_P(Shapes, Hostile, ::testing::ValuesIn(kHostile),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(IsoReader, ManyTracksAreCountedAll) {
    EXPECT_EQ(read(manyTracks(100000)).trackCount, 100000u);
}

TEST(IsoReader, OversizedMovieBoxIsNotRead) {
    IsoLimits limits;
    limits.maxMoovBytes = 64;
    const IsoFile f = read(smallMovie(), limits);
    EXPECT_EQ(f.status, IsoStatus::moovTooLarge);
    EXPECT_TRUE(f.tracks.empty());
}

// QuickTime's own title: a length and a language before the text, which may be
// followed by padding the length leaves out.
TEST(IsoReader, QuickTimeTitle) {
    Bytes text;
    put16(text, 5);
    put16(text, 0);
    for (char c : std::string("Title junk"))
        text.push_back(static_cast<uint8_t>(c));
    const IsoFile f = read(cat({ftyp(), box("moov", box("udta", box("\xA9nam", text)))}));
    EXPECT_EQ(f.title, "Title");
}

TEST(IsoReader, IndexAfterTheSampleData) {
    const Bytes b = cat({ftyp(), box("mdat", Bytes(16, 0)), box("moov", {})});
    const IsoFile f = read(b);
    EXPECT_FALSE(f.moovAtHead);
    EXPECT_TRUE(f.has(IsoProblem::moovAfterMdat));
}

} // namespace
} // namespace tavro
