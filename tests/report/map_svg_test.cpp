#include "report/map/map_svg.h"

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
