#include "render/graph_picture.h"

#include <gtest/gtest.h>

#include "tests/render/graph_builder.h"
#include "tests/support/xml_check.h"

namespace tavro {
namespace {

using namespace test;

size_t count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

// File Source -> AVI Splitter -> decoder -> Video Renderer, and the splitter's audio
// into a sound renderer; listed renderers first, as Windows enumerates them.
GraphSketch aviGraph(const std::string& decoderName) {
    GraphSketch g;
    const int renderer = g.add("Video Renderer");
    const int decoder = g.add(decoderName, kClsidAviDec);
    const int sound = g.add("Default DirectSound Device");
    const int splitter = g.add("AVI Splitter");
    const int source = g.add("clip.avi");
    g.connect(source, splitter, kMediaTypeStream, kMediaSubtypeAvi, "Output", "input pin");
    g.connect(splitter, decoder, kMediaTypeVideo, fourccSubtype('M', 'J', 'P', 'G'), "Stream 00",
              "XForm In");
    g.connect(decoder, renderer, kMediaTypeVideo, kMediaSubtypeRgb24, "XForm Out", "Input");
    g.connect(splitter, sound, kMediaTypeAudio, kMediaSubtypePcm, "Stream 01", "Audio Input");
    return g;
}

TEST(GraphPicture, BoxesArrowsAndRolesOfDescribedGraphs) {
    struct Case {
        const char* name;
        GraphDescription graph;
        size_t filters, connections;
        std::vector<GraphRole> roles;
        std::vector<const char*> svgHas, dotHas;
    };
    GraphSketch cycle;
    const int a = cycle.add("A"), b = cycle.add("B");
    cycle.connect(a, b, kMediaTypeVideo, kMediaSubtypeRgb24);
    cycle.connect(b, a, kMediaTypeVideo, kMediaSubtypeRgb24);
    const Case cases[] = {
        {"player graph",
         aviGraph("AVI Decompressor").graph,
         5,
         4,
         {GraphRole::Renderer, GraphRole::Decoder, GraphRole::Renderer, GraphRole::Splitter,
          GraphRole::Source},
         {"data-role=\"decoder\"", "data-role=\"source\"", ">renderer<",
          "{73646976-0000-0010-8000-00AA00389B71}"},
         {"f4 -> f3", "f3 -> f1", "f1 -> f0", "f3 -> f2", "\"AVI Decompressor (decoder)\""}},
        {"hostile names are escaped",
         aviGraph("Bad \"<dec>\" & \\ \x01 name").graph,
         5,
         4,
         {GraphRole::Renderer, GraphRole::Decoder, GraphRole::Renderer, GraphRole::Splitter,
          GraphRole::Source},
         {"Bad &quot;&lt;dec&gt;&quot; &amp;"},
         {"\"Bad \\\"<dec>\\\" & \\\\ \xEF\xBF\xBD name (decoder)\""}},
        {"no graph", GraphDescription{}, 0, 0, {}, {"No graph was built"}, {"digraph"}},
        {"a cycle still ends", cycle.graph, 2, 2, {}, {"class=\"connection\""}, {"f1 -> f0"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string svg = graphSvg(c.graph, nullptr);
        EXPECT_EQ(xmlProblem(svg), "");
        EXPECT_EQ(count(svg, "class=\"filter\""), c.filters);
        EXPECT_EQ(count(svg, "class=\"connection\""), c.connections);
        if (!c.roles.empty()) {
            EXPECT_EQ(graphRoles(c.graph), c.roles);
        }
        for (const char* text : c.svgHas)
            EXPECT_NE(svg.find(text), std::string::npos) << text;
        const std::string dot = graphDot(c.graph, nullptr);
        EXPECT_EQ(count(dot, " -> "), c.connections);
        for (const char* text : c.dotHas)
            EXPECT_NE(dot.find(text), std::string::npos) << text;
    }
}

} // namespace
} // namespace tavro
