#include "render/graph_layout.h"

#include <algorithm>

#include "render/filter_roles.h"
#include "render/filter_table.h"
#include "render/render_fields.h"

namespace tavro {
namespace {

constexpr double kBoxWidth = 200;
constexpr double kColumnStep = 300;
constexpr double kPinStep = 16;
constexpr double kBoxGap = 30;
constexpr double kMargin = 20;
constexpr size_t kNameChars = 32;

struct Edge {
    int from, fromPin, to, toPin;
    std::string label;
};

std::string typeLabel(const GraphPin& pin, const CodecDatabase* db) {
    const std::string major = mediaSubtypeName(db, pin.major);
    const std::string sub = mediaSubtypeName(db, pin.subtype);
    if (major.empty()) return sub;
    return sub.empty() ? major : major + " / " + sub;
}

std::string shortName(const std::string& name) {
    if (name.size() <= kNameChars) return name;
    // Cut on a character boundary, then mark the cut.
    size_t cut = kNameChars;
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
        --cut;
    return name.substr(0, cut) + "...";
}

// Each output pin's connection to a pin of another described filter.
std::vector<Edge> edgesOf(const GraphDescription& graph, const CodecDatabase* db) {
    std::vector<Edge> edges;
    for (size_t f = 0; f < graph.filters.size(); ++f) {
        const std::vector<GraphPin>& pins = graph.filters[f].pins;
        for (size_t p = 0; p < pins.size(); ++p) {
            if (pins[p].direction != PinDirection::Output || pins[p].peer == 0) continue;
            const int to = graph.filterOfPin(pins[p].peer);
            if (to < 0 || to == static_cast<int>(f)) continue;
            const std::vector<GraphPin>& peerPins = graph.filters[to].pins;
            int toPin = 0;
            for (size_t q = 0; q < peerPins.size(); ++q)
                if (peerPins[q].id == pins[p].peer) toPin = static_cast<int>(q);
            edges.push_back(
                {static_cast<int>(f), static_cast<int>(p), to, toPin, typeLabel(pins[p], db)});
        }
    }
    return edges;
}

// Columns by the longest chain of connections from a filter fed by none; a cycle
// (which a real graph never has) stops growing after one round per filter.
std::vector<int> columnsOf(size_t filters, const std::vector<Edge>& edges) {
    std::vector<int> column(filters, 0);
    for (size_t round = 0; round < filters; ++round) {
        bool moved = false;
        for (const Edge& e : edges)
            if (column[e.to] < column[e.from] + 1 && column[e.from] + 1 < int(filters)) {
                column[e.to] = column[e.from] + 1;
                moved = true;
            }
        if (!moved) break;
    }
    return column;
}

} // namespace

std::vector<GraphRole> graphRoles(const GraphDescription& graph) {
    std::vector<GraphRole> roles(graph.filters.size(), GraphRole::None);
    FilterTable table;
    fillFilterTable(graph, table);
    const FilterRoles r = classifyFilters(table);
    auto set = [&](int index, GraphRole role) {
        if (index >= 0 && size_t(index) < roles.size()) roles[index] = role;
    };
    set(r.source, GraphRole::Source);
    set(r.splitter, GraphRole::Splitter);
    set(r.videoDecoder, GraphRole::Decoder);
    set(r.audioDecoder, GraphRole::Decoder);
    set(r.videoRenderer, GraphRole::Renderer);
    set(r.audioRenderer, GraphRole::Renderer);
    for (int helper :
         {r.audioPostFilter, r.videoPostFilter, r.videoPreFilter, r.audioPreFilter, r.extra})
        set(helper, GraphRole::Helper);
    return roles;
}

const char* graphRoleName(GraphRole role) {
    switch (role) {
    case GraphRole::Source:
        return "source";
    case GraphRole::Splitter:
        return "splitter";
    case GraphRole::Decoder:
        return "decoder";
    case GraphRole::Renderer:
        return "renderer";
    case GraphRole::Helper:
        return "filter";
    case GraphRole::None:
        break;
    }
    return "";
}

const char* graphRoleColour(GraphRole role) {
    switch (role) {
    case GraphRole::Source:
        return "#a6c8e8";
    case GraphRole::Splitter:
        return "#f7c58b";
    case GraphRole::Decoder:
        return "#a8dba0";
    case GraphRole::Renderer:
        return "#f2a5a6";
    case GraphRole::Helper:
        return "#d9d2e9";
    case GraphRole::None:
        break;
    }
    return "#f4f4f4";
}

GraphLayout layOutGraph(const GraphDescription& graph, const CodecDatabase* db) {
    const size_t n = graph.filters.size();
    const std::vector<Edge> edges = edgesOf(graph, db);
    const std::vector<int> column = columnsOf(n, edges);
    const std::vector<GraphRole> roles = graphRoles(graph);
    GraphLayout layout;
    layout.boxes.resize(n);
    std::vector<double> columnBottom(n + 1, kMargin + 10);
    layout.width = kMargin * 2 + kBoxWidth;
    layout.height = kMargin * 2 + 40;
    for (size_t f = 0; f < n; ++f) {
        const GraphFilter& filter = graph.filters[f];
        size_t inputs = 0, outputs = 0;
        GraphLayoutBox& box = layout.boxes[f];
        box.x = kMargin + column[f] * kColumnStep;
        box.y = columnBottom[column[f]];
        box.width = kBoxWidth;
        box.name = shortName(filter.name);
        box.fullName = filter.name;
        box.clsid = filter.clsid;
        box.role = roles[f];
        for (const GraphPin& pin : filter.pins) {
            const bool input = pin.direction == PinDirection::Input;
            size_t& k = input ? inputs : outputs;
            box.pins.push_back({shortName(pin.name), input, box.y + 44 + kPinStep * k++});
        }
        box.height = 44 + kPinStep * std::max<size_t>(std::max(inputs, outputs), 1);
        columnBottom[column[f]] = box.y + box.height + kBoxGap;
        layout.width = std::max(layout.width, box.x + kBoxWidth + kMargin);
        layout.height = std::max(layout.height, box.y + box.height + kMargin);
    }
    for (const Edge& e : edges) {
        const GraphLayoutBox& from = layout.boxes[e.from];
        const GraphLayoutBox& to = layout.boxes[e.to];
        layout.arrows.push_back({e.from, e.to, from.x + from.width, from.pins[e.fromPin].y, to.x,
                                 to.pins[e.toPin].y, e.label});
    }
    return layout;
}

} // namespace tavro
