#include "report/map/file_map.h"

#include <gtest/gtest.h>
#include <vector>

#include "analysis/riff_walker.h"
#include "analysis/span_feed.h"
#include "analysis/streams/map_feed.h"
#include "tests/support/analysis_fixture.h"
#include "tests/support/file_span.h"
#include "tests/support/span_log.h"

namespace tavro {
namespace {

using namespace test;

// Every bin's parts add up to the bin, the bins tile the extent, and the columns
// hold what the bins do.
void expectBinsTile(const FileMap& map) {
    const size_t n = size_t(map.binCount());
    std::vector<std::vector<uint64_t>> rows(kMapLayers + 3, std::vector<uint64_t>(n));
    std::vector<uint64_t*> columns;
    for (auto& row : rows)
        columns.push_back(row.data());
    map.fillColumns(columns.data());
    uint64_t next = 0;
    for (int b = 0; b < map.binCount(); ++b) {
        const MapBinView v = map.bin(b);
        for (int l = 0; l < kMapLayers; ++l)
            EXPECT_EQ(rows[size_t(l)][size_t(b)], v.layers[size_t(l)]) << b << " layer " << l;
        EXPECT_EQ(rows[kMapLayers][size_t(b)], v.gap) << b;
        EXPECT_EQ(rows[kMapLayers + 1][size_t(b)], v.unread) << b;
        EXPECT_EQ(rows[kMapLayers + 2][size_t(b)], v.missing) << b;
        ASSERT_EQ(v.begin, next) << b;
        uint64_t sum = v.gap + v.unread + v.missing;
        for (uint64_t bytes : v.layers)
            sum += bytes;
        EXPECT_EQ(sum, v.end - v.begin) << b;
        next = v.end;
    }
    EXPECT_EQ(next, map.extent());
    EXPECT_LE(map.binCount(), kMapByteBins);
}

TEST(FileMap, BinsHoldWhatTheSpansSay) {
    struct Case {
        const char* name;
        uint64_t fileSize, readEnd, declared;
        std::vector<FileSpan> spans;
        int layer;             // a layer whose total is checked
        uint64_t layerBytes;   // its total
        uint64_t missingBytes; // summed over the bins
        uint64_t unreadBytes;
    };
    const uint64_t kGiB = uint64_t(1) << 30;
    const Case cases[] = {
        {"header and two streams",
         4096,
         4096,
         0,
         {span(0, 100, SpanKind::Header), span(100, 1000, SpanKind::Data, 0, 0, 1),
          span(1100, 1000, SpanKind::Data, 1, 0, 1)},
         kLayerStream0 + 1,
         1000,
         0,
         0},
        {"cut file: the declared tail is missing",
         1000,
         1000,
         3000,
         {span(0, 12, SpanKind::Header), span(12, 2988, SpanKind::Data, 0)},
         kLayerStream0,
         2988,
         2000,
         0},
        {"large file read only at its head",
         10 * kGiB,
         524288,
         0,
         {span(0, 2048, SpanKind::Header), span(2048, 4096, SpanKind::Junk)},
         kLayerJunk,
         4096,
         0,
         10 * kGiB - 524288},
        {"a span near the 64-bit end widens the bins",
         4096,
         4096,
         0,
         {span(UINT64_MAX - 10, 5, SpanKind::Index), span(0, 64, SpanKind::Header)},
         kLayerIndex,
         5,
         UINT64_MAX - 5 - 4096,
         0},
        {"a file claimed to reach the 64-bit end, read at its head",
         UINT64_MAX,
         1000,
         0,
         {span(0, 100, SpanKind::Header)},
         kLayerHeader,
         100,
         0,
         UINT64_MAX - 1000},
        {"overlapping spans are scaled into their bin",
         1000,
         1000,
         0,
         {span(0, 1000, SpanKind::Data, 0), span(0, 1000, SpanKind::Data, 1),
          span(0, 1000, SpanKind::Index)},
         kLayerIndex,
         1000,
         0,
         0},
        {"a reader that feeds no spans leaves the file unread, not a gap",
         5000,
         5000,
         0,
         {},
         kLayerHeader,
         0,
         0,
         5000},
        {"stream numbers past the table are other data",
         1000,
         1000,
         0,
         {span(0, 10, SpanKind::Data, kMapStreams), span(10, 10, SpanKind::Data, -5)},
         kLayerOther,
         20,
         0,
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FileMap map;
        map.beginFile(c.fileSize, c.readEnd);
        if (c.declared) map.declareEnd(c.declared);
        for (const FileSpan& s : c.spans)
            map.addSpan(s);
        expectBinsTile(map);
        EXPECT_EQ(map.layerTotal(c.layer), c.layerBytes);
        uint64_t missing = 0, unread = 0;
        for (int b = 0; b < map.binCount(); ++b) {
            missing += map.bin(b).missing;
            unread += map.bin(b).unread;
        }
        // Parts are rounded per bin.
        const double slack = 4.0 * map.binCount() + 1e-9 * double(c.missingBytes);
        EXPECT_NEAR(double(missing), double(c.missingBytes), slack);
        EXPECT_NEAR(double(unread), double(c.unreadBytes), slack);
        EXPECT_EQ(map.truncated(), c.declared > c.fileSize);
    }
}

TEST(FileMap, TimeCellsKeepEachStreamsOffsets) {
    // Video in the first half, audio in the second: the bands lie far apart.
    FileMap map;
    map.beginFile(200000, 200000);
    for (int i = 0; i < 100; ++i) {
        map.addSpan(span(uint64_t(i) * 1000, 1000, SpanKind::Data, 0, i * 0.04, (i + 1) * 0.04));
        map.addSpan(
            span(100000 + uint64_t(i) * 1000, 1000, SpanKind::Data, 1, i * 0.04, (i + 1) * 0.04));
    }
    ASSERT_GT(map.timeBinCount(), 0);
    EXPECT_DOUBLE_EQ(map.timeExtent(), 4.0);
    for (int b = 0; b < map.timeBinCount(); ++b) {
        const MapTimeCell video = map.timeCell(0, b), audio = map.timeCell(1, b);
        ASSERT_TRUE(video.used() && audio.used()) << b;
        EXPECT_LE(video.last, 100000u);
        EXPECT_GE(audio.first, 100000u);
    }
    // Times that cannot be a stream's are left out, not binned.
    map.addSpan(span(0, 10, SpanKind::Data, 0, 0, 1e300));
    map.addSpan(span(0, 10, SpanKind::Data, 0, 5, 1));
    EXPECT_DOUBLE_EQ(map.timeExtent(), 4.0);
}

TEST(FileMap, SpanEndingOnATimeBinEdgeStaysOutOfTheNextBin) {
    struct Case {
        double end;
        bool nextBinUsed;
    };
    // Bins of 1/64 s at first; 2/64 is an edge, a little past it is not.
    for (const Case c :
         {Case{2.0 / 64, false}, Case{2.0 / 64 + 1e-9, true}, Case{1.5 / 64, false}}) {
        FileMap map;
        map.beginFile(100000, 100000);
        map.addSpan(span(0, 1000, SpanKind::Data, 0, 0, c.end));
        map.addSpan(span(50000, 10, SpanKind::Data, 1, 0, 1.0)); // widens nothing
        EXPECT_TRUE(map.timeCell(0, 1).used()) << c.end;
        EXPECT_EQ(map.timeCell(0, 2).used(), c.nextBinUsed) << c.end;
    }
}

// An OpenDML super index in the head of a 10 GB file (built here, not a real file).
Bytes superIndex(uint32_t entries, uint64_t fileSize, uint32_t entrySize, uint32_t ticks) {
    Bytes p;
    putLe16(p, 4); // longs per entry
    p.push_back(0);
    p.push_back(0); // index of indexes
    putLe32(p, entries);
    putText(p, "00dc");
    for (int i = 0; i < 3; ++i)
        putLe32(p, 0);
    for (uint32_t i = 0; i < entries; ++i) {
        const uint64_t offset = 4096 + (fileSize - 8192) / entries * i;
        putLe32(p, static_cast<uint32_t>(offset));
        putLe32(p, static_cast<uint32_t>(offset >> 32));
        putLe32(p, entrySize);
        putLe32(p, ticks);
    }
    return chunk("indx", p);
}

TEST(FileMap, TenGigabyteIndexStaysInTheBinBudget) {
    const uint64_t kFileSize = uint64_t(10) << 30;
    const uint32_t kEntries = 20000;
    Bytes video =
        list("LIST", "strl",
             strh("vids", "MJPG", 1, 25, kEntries * 25) + bitmapStrf(320, 240, fourcc("MJPG")) +
                 superIndex(kEntries, kFileSize, 4000, 25));
    Bytes audio = list("LIST", "strl",
                       strh("auds", std::string(4, '\0'), 1, 1, 0) +
                           chunk("strf", waveFormat(0x55, 2, 48000, 16000, 1, 0)) +
                           superIndex(kEntries / 2, kFileSize, 2000, 2));
    Bytes file = list("RIFF", "AVI ",
                      list("LIST", "hdrl", avih(40000, kEntries * 25, 2, 320, 240) + video + audio),
                      int64_t(kFileSize - 8) & 0xFFFFFFFF);
    LoadedHead h(file);
    FileMap map;
    h.info->spans = &map;
    beginFileMap(*h.info, kFileSize);
    ASSERT_TRUE(walkRiff(h.a));
    expectBinsTile(map);
    EXPECT_EQ(map.extent(), kFileSize);
    EXPECT_GE(map.binBytes() * uint64_t(map.binCount()), kFileSize);
    EXPECT_GE(map.layerTotal(kLayerIndex), uint64_t(kEntries) * 4000 + kEntries / 2 * 2000);
    EXPECT_LE(map.timeBinCount(), kMapTimeBins);
    EXPECT_NEAR(map.timeExtent(), kEntries * 1.0, 1e-6); // 25 frames a second per entry
    EXPECT_TRUE(map.streamSeen(0));
    EXPECT_TRUE(map.streamSeen(1));
    // Both streams run along the whole time: first and last bins hold each of them.
    for (int s = 0; s < 2; ++s) {
        EXPECT_TRUE(map.timeCell(s, 0).used()) << s;
        EXPECT_TRUE(map.timeCell(s, map.timeBinCount() - 1).used()) << s;
        EXPECT_GT(map.timeCell(s, map.timeBinCount() - 1).first, kFileSize / 2) << s;
    }
}

TEST(FileMap, AviWalkFeedsChunksWithTimes) {
    // Declared 4000 bytes past the end: the map marks it cut.
    Bytes file = simpleAvi();
    const uint32_t declared = static_cast<uint32_t>(file.size() - 8 + 4000);
    file[4] = uint8_t(declared);
    file[5] = uint8_t(declared >> 8);
    file[6] = uint8_t(declared >> 16);
    file[7] = uint8_t(declared >> 24);
    LoadedHead h(file);
    FileMap map;
    h.info->spans = &map;
    beginFileMap(*h.info, file.size());
    ASSERT_TRUE(walkRiff(h.a));
    EXPECT_TRUE(map.truncated());
    EXPECT_EQ(map.declaredEnd(), file.size() + 4000);
    EXPECT_EQ(map.layerTotal(kLayerStream0), 10u * 108);
    EXPECT_EQ(map.layerTotal(kLayerStream0 + 1), 10u * 72);
    EXPECT_EQ(map.streamName(0), "Video MJPG");
    // Ten frames at 25 per second; 640 bytes of 176400 per second of audio.
    EXPECT_NEAR(map.timeExtent(), 0.4, 1e-9);
    expectBinsTile(map);
    // A wrapped payload's pass has offsets of its own and feeds nothing.
    h.info->wrap.waveDepth = 1;
    EXPECT_EQ(spanSinkOf(*h.info), nullptr);
}

TEST(MapFeed, JoinsRunsOfAStreamWithinTheBudget) {
    // One step: a span (open: timed by its start until the stream's next), or a cut.
    struct Step {
        FileSpan span;
        bool open = false;
        bool cut = false;
    };
    auto open = [](uint64_t offset, uint64_t size, int stream, double start) {
        return Step{span(offset, size, SpanKind::Data, stream, start, start), true};
    };
    const Step kCut{FileSpan(), false, true};
    struct Case {
        const char* name;
        uint64_t budget;
        std::vector<Step> steps;
        std::vector<FileSpan> want; // by offset
    };
    const SpanKind D = SpanKind::Data;
    const Case cases[] = {
        {"chunks laid end to end join, their times widen",
         100,
         {{span(0, 10, D, 0, 0, 1)}, {span(10, 10, D, 0, 1, 2)}},
         {span(0, 20, D, 0, 0, 2)}},
        {"another stream between them keeps its own run",
         100,
         {{span(0, 10, D, 0, 0, 1)}, {span(10, 5, D, 1, 0, 1)}, {span(15, 10, D, 0, 1, 2)}},
         {span(0, 10, D, 0, 0, 1), span(10, 5, D, 1, 0, 1), span(15, 10, D, 0, 1, 2)}},
        {"timed and untimed data do not join",
         100,
         {{span(0, 10, D, 0, 0, 1)}, {span(10, 10, D, 0)}},
         {span(0, 10, D, 0, 0, 1), span(10, 10, D, 0)}},
        {"an open span lasts until its stream's next starts",
         100,
         {open(0, 10, 0, 1.0), {span(10, 10, D, 1, 0, 3)}, open(20, 10, 0, 1.5)},
         {span(0, 10, D, 0, 1.0, 1.5), span(10, 10, D, 1, 0, 3), span(20, 10, D, 0, 1.5, 1.5)}},
        {"a cut keeps it from reaching past the jump",
         100,
         {open(0, 10, 0, 1.0), kCut, open(100, 10, 0, 5.0)},
         {span(0, 10, D, 0, 1.0, 1.0), span(100, 10, D, 0, 5.0, 5.0)}},
        {"past the budget spans are dropped, a run still lengthens",
         2,
         {{span(0, 10, SpanKind::Header)},
          {span(20, 10, SpanKind::Index)},
          {span(30, 10, SpanKind::Index)},
          {span(50, 5, SpanKind::Junk)}},
         {span(0, 10, SpanKind::Header), span(20, 20, SpanKind::Index)}},
        {"empty spans are nothing", 100, {{span(5, 0, SpanKind::Header)}}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SpanLog log;
        {
            MapFeed feed(log, c.budget);
            for (const Step& st : c.steps) {
                const FileSpan& s = st.span;
                if (st.cut)
                    feed.cut();
                else if (st.open)
                    feed.addOpen(s.offset, s.size, s.stream, s.start, s.end);
                else
                    feed.add(s.offset, s.size, s.kind, s.stream, s.start, s.end);
            }
        }
        const std::vector<FileSpan> got = log.sorted();
        ASSERT_EQ(got.size(), c.want.size());
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].offset, c.want[i].offset) << i;
            EXPECT_EQ(got[i].size, c.want[i].size) << i;
            EXPECT_EQ(got[i].kind, c.want[i].kind) << i;
            EXPECT_EQ(got[i].stream, c.want[i].stream) << i;
            EXPECT_DOUBLE_EQ(got[i].start, c.want[i].start) << i;
            EXPECT_DOUBLE_EQ(got[i].end, c.want[i].end) << i;
        }
    }
}

} // namespace
} // namespace tavro
