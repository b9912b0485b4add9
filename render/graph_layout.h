// Where each part of the render graph's picture goes: filters as boxes in columns
// by their distance from the source, pins down the box edges, connections as
// arrows between pins with the media type as label. The SVG writer and the
// window's GDI drawing both draw from it, so they show the same picture.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "codecs/codec_database.h"
#include "render/graph_description.h"

namespace tavro {

enum class GraphRole { None, Source, Splitter, Decoder, Renderer, Helper };

// The role of each described filter, from the render test's classification (only
// the first FilterTable::kCapacity filters are classified; later ones get None).
std::vector<GraphRole> graphRoles(const GraphDescription& graph);
const char* graphRoleName(GraphRole role);   // "source", "decoder", ...; "" for None
const char* graphRoleColour(GraphRole role); // "#rrggbb"

struct GraphLayoutPin {
    std::string name; // shortened for the box
    bool input = false;
    double y = 0; // its row; inputs sit on the box's left edge, outputs on its right
};

struct GraphLayoutBox {
    double x = 0, y = 0, width = 0, height = 0;
    std::string name; // shortened for the box
    std::string fullName;
    Guid clsid{};
    GraphRole role = GraphRole::None;
    std::vector<GraphLayoutPin> pins; // in the filter's pin order
};

struct GraphLayoutArrow {
    int from = 0, to = 0;                  // box indices
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0; // output pin to input pin
    std::string label;                     // the connection's media type
};

struct GraphLayout {
    double width = 0, height = 0; // of the whole picture, margins included
    std::vector<GraphLayoutBox> boxes;
    std::vector<GraphLayoutArrow> arrows;
};

// `db` names the media types; null leaves their GUIDs.
GraphLayout layOutGraph(const GraphDescription& graph, const CodecDatabase* db);

} // namespace tavro
