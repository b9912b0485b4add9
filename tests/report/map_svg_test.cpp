#include "report/map/map_svg.h"

#include "report/map/map_layout.h"

#include <gtest/gtest.h>

#include "tests/support/xml_check.h"

namespace tavro {
namespace {

FileSpan dataSpan(uint64_t offset, uint64_t size, int stream, double start, double end) {
    FileSpan s;
    s.offset = offset;
    s.size = size;
    s.kind = SpanKind::Data;
    s.stream = stream;
    s.start = start;
    s.end = end;
    return s;
}

TEST(FileMapSvg, DrawsBandsMarksAndLegendAsTheMapSays) {
    struct Case {
        const char* name;
        bool cut, partRead, timed;
        std::vector<const char*> present, absent;
    };
    const Case cases[] = {
        {"whole file",
         false,
         false,
         true,
         {"id=\"byte-band\"", "id=\"time-band\"", "class=\"stream0\"", "data-stream=\"1\"",
          "Video &lt;1&gt; &amp; &quot;x&quot;"},
         {"id=\"file-end\"", "id=\"read-end\"", "legend-missing", "No stream times"}},
        {"cut file",
         true,
         false,
         true,
         {"id=\"file-end\"", "id=\"declared-end\"", "class=\"missing\"", "legend-missing"},
         {"id=\"read-end\""}},
        {"head read only, no times",
         false,
         true,
         false,
         {"id=\"read-end\"", "class=\"unread\"", "No stream times are known"},
         {"id=\"file-end\"", "class=\"stream-time\""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FileMap map;
        map.beginFile(100000, c.partRead ? 20000 : 100000);
        if (c.cut) map.declareEnd(150000);
        map.nameStream(0, "Video <1> & \"x\"");
        FileSpan header;
        header.size = 500;
        map.addSpan(header);
        for (int i = 0; i < 10; ++i) {
            const double t = c.timed ? i * 0.1 : -1;
            map.addSpan(dataSpan(500 + i * 1500, 1000, 0, t, c.timed ? t + 0.1 : -1));
            map.addSpan(dataSpan(1500 + i * 1500, 500, 1, t, c.timed ? t + 0.1 : -1));
        }
        // A title with a control character and a byte that is not UTF-8.
        const std::string svg = fileMapSvg(map, std::string("clip\x01\xff.avi"));
        EXPECT_EQ(test::xmlProblem(svg), "");
        EXPECT_NE(svg.find("clip\xEF\xBF\xBD\xEF\xBF\xBD.avi"), std::string::npos);
        for (const char* text : c.present)
            EXPECT_NE(svg.find(text), std::string::npos) << text;
        for (const char* text : c.absent)
            EXPECT_EQ(svg.find(text), std::string::npos) << text;
    }
}

} // namespace
} // namespace tavro

namespace tavro {
namespace {

TEST(FileMapLayout, ColumnsAndPointerTexts) {
    // Header 0..1000, video 1000..5000, audio 5000..9000, a cut tail to 12000.
    FileMap map;
    map.beginFile(10000, 10000);
    map.declareEnd(12000);
    map.nameStream(0, "Video MJPG");
    FileSpan header;
    header.size = 1000;
    map.addSpan(header);
    map.addSpan(dataSpan(1000, 4000, 0, 0, 2));
    map.addSpan(dataSpan(5000, 4000, 1, 0, 2));
    struct Case {
        int pixels;
        int column;
        int part;
        double share;
    };
    const Case columns[] = {
        {12, 0, kLayerHeader, 1.0},      {12, 3, kLayerStream0, 1.0},
        {12, 7, kLayerStream0 + 1, 1.0}, {12, 9, kPartGap, 1.0},
        {12, 11, kPartMissing, 1.0},     {3, 0, kLayerStream0, 0.75},
        {3, 2, kPartMissing, 0.5},       {50000, 49999, kPartMissing, 1.0},
    };
    for (const Case& c : columns) {
        const std::vector<MapColumn> cols = mapColumns(map, c.pixels);
        ASSERT_EQ(cols.size(), size_t(c.pixels));
        EXPECT_NEAR(cols[c.column][c.part], c.share, 0.02) << c.pixels << " " << c.column;
    }
    const struct {
        uint64_t offset;
        const char* has;
    } bytes[] = {{0, "Header 100%"},
                 {2000, "Video MJPG 100%"},
                 {11000, "Missing (past the end)"},
                 {12000, ""}};
    for (const auto& c : bytes) {
        const std::string text = mapByteInfo(map, c.offset);
        if (*c.has == 0)
            EXPECT_EQ(text, "");
        else
            EXPECT_NE(text.find(c.has), std::string::npos) << text;
    }
    // Each stream's two seconds lie evenly along its bytes: one second in, halfway.
    EXPECT_EQ(mapTimeInfo(map, 1.0),
              "at 1.00 s: Video MJPG in bytes 3,000 to 3,031; Stream 2 in bytes 7,000 to 7,031");
    EXPECT_EQ(mapTimeInfo(map, 3.0), "");
}

} // namespace
} // namespace tavro
