#include "cli/map_json.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "tests/support/file_span.h"

namespace tavro {
namespace {

using test::span;

std::string mapText(const FileMap& map, int indent, int at = 0) {
    std::string out;
    appendFileMapJson(out, map, indent, at);
    return out;
}

// Maps of several shapes, each fed into `map` (fresh or reused).
void feed(FileMap& map, int shape) {
    switch (shape) {
    case 0: // no file at all
        break;
    case 1: // a file no reader mapped
        map.beginFile(5000, 5000);
        break;
    case 2: // an interleaved file, cut short of its declared end, with a long index span
        map.beginFile(100000, 90000);
        map.declareEnd(150000);
        map.nameStream(0, "Video \"MJPG\"");
        map.addSpan(span(0, 2048, SpanKind::Header));
        for (int i = 0; i < 40; ++i) {
            map.addSpan(span(2048 + i * 2000, 1500, SpanKind::Data, 0, i * 0.04, (i + 1) * 0.04));
            map.addSpan(span(3548 + i * 2000, 500, SpanKind::Data, 1, i * 0.04, (i + 1) * 0.04));
        }
        map.addSpan(span(82048, 60000, SpanKind::Index));
        break;
    case 3: // one stream far past the first bins' width, and a junk span
        map.beginFile(1 << 20, 1 << 20);
        map.addSpan(span(0, 12, SpanKind::Junk));
        map.addSpan(span(uint64_t(1) << 33, 4096, SpanKind::Data, 9, 1000, 2000));
        break;
    }
}

// The map's text is what the library prints for the same numbers: parsed and printed
// again it is unchanged, on one line and indented, and a map reused for another file
// writes what a fresh one does.
TEST(MapJson, WritesWhatTheLibraryWrites) {
    for (int shape = 0; shape < 4; ++shape) {
        FileMap fresh;
        feed(fresh, shape);
        const std::string pretty = mapText(fresh, 2);
        const nlohmann::json parsed = nlohmann::json::parse(pretty);
        EXPECT_EQ(pretty, parsed.dump(2)) << shape;
        EXPECT_EQ(mapText(fresh, -1), parsed.dump()) << shape;
        // Shifted a little, and far enough in that a line's lead outgrows the writer's
        // fixed-size copy.
        for (int at : {4, 60}) {
            std::string shifted;
            for (char c : pretty) {
                shifted.push_back(c);
                if (c == '\n') shifted.append(size_t(at), ' ');
            }
            EXPECT_EQ(mapText(fresh, 2, at), shifted) << shape << " at " << at;
        }

        // Reused after each other shape, that map drawn or not (a map never drawn
        // still holds its whole-bin covers when it is reset).
        for (int before = 0; before < 4; ++before) {
            for (bool drawn : {false, true}) {
                FileMap reused;
                feed(reused, before);
                if (drawn) mapText(reused, -1);
                reused.reset();
                feed(reused, shape);
                EXPECT_EQ(mapText(reused, -1), mapText(fresh, -1)) << shape << " after " << before;
            }
        }
    }
}

TEST(MapJson, HoldsOnlyWhatTheFileHas) {
    FileMap map;
    feed(map, 1);
    EXPECT_EQ(mapText(map, -1),
              R"({"declared_end":null,"file_size":5000,"mapped":false,"read_end":5000,)"
              R"("truncated":false})");
    map.reset();
    feed(map, 2);
    const nlohmann::json parsed = nlohmann::json::parse(mapText(map, -1));
    std::vector<std::string> layers;
    for (const auto& [key, value] : parsed["layers"].items())
        layers.push_back(key);
    // No junk, other or unused stream layers; the index runs over the cut tail.
    EXPECT_EQ(layers,
              (std::vector<std::string>{"header", "index", "missing", "stream0", "stream1"}));
    EXPECT_TRUE(parsed["truncated"].get<bool>());
    EXPECT_EQ(parsed["streams"][0]["name"], "Video \"MJPG\"");
    EXPECT_EQ(parsed["streams"].size(), 2u);
}

} // namespace
} // namespace tavro
