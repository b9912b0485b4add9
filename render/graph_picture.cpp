#include "render/graph_picture.h"

#include <algorithm>
#include <cmath>

#include "common/svg_markup.h"
#include "render/filter_roles.h"
#include "render/filter_table.h"
#include "render/render_fields.h"

namespace tavro {
namespace {

using svg::escape;
using svg::num;

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

const char* roleFill(GraphRole role) {
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

// Position of a pin on its box: inputs down the left edge, outputs down the right.
struct Box {
    double x = 0, y = 0, height = 0;
    std::vector<double> pinY;
};

std::string dotText(const std::string& text) {
    std::string clean = escape(text); // valid UTF-8, no control characters
    // Undo the XML entities: DOT quotes only need '"' and '\' escaped.
    std::string plain;
    for (size_t i = 0; i < clean.size();) {
        static const std::pair<const char*, char> kEntities[] = {
            {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
        bool replaced = false;
        for (const auto& [entity, c] : kEntities) {
            const size_t n = std::char_traits<char>::length(entity);
            if (clean.compare(i, n, entity) == 0) {
                plain.push_back(c);
                i += n;
                replaced = true;
                break;
            }
        }
        if (!replaced) plain.push_back(clean[i++]);
    }
    std::string out = "\"";
    for (char c : plain) {
        if (c == '"' || c == '\\') out.push_back('\\');
        if (c == '\n' || c == '\t') c = ' ';
        out.push_back(c);
    }
    return out + "\"";
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

std::string graphSvg(const GraphDescription& graph, const CodecDatabase* db) {
    const size_t n = graph.filters.size();
    const std::vector<Edge> edges = edgesOf(graph, db);
    const std::vector<int> column = columnsOf(n, edges);
    const std::vector<GraphRole> roles = graphRoles(graph);
    std::vector<Box> boxes(n);
    std::vector<double> columnBottom(n + 1, kMargin + 10);
    double width = kMargin * 2 + kBoxWidth, height = kMargin * 2 + 40;
    for (size_t f = 0; f < n; ++f) {
        const std::vector<GraphPin>& pins = graph.filters[f].pins;
        size_t inputs = 0, outputs = 0;
        Box& box = boxes[f];
        box.x = kMargin + column[f] * kColumnStep;
        box.y = columnBottom[column[f]];
        for (const GraphPin& pin : pins) {
            size_t& k = pin.direction == PinDirection::Input ? inputs : outputs;
            box.pinY.push_back(box.y + 44 + kPinStep * k++);
        }
        box.height = 44 + kPinStep * std::max<size_t>(std::max(inputs, outputs), 1);
        columnBottom[column[f]] = box.y + box.height + kBoxGap;
        width = std::max(width, box.x + kBoxWidth + kMargin);
        height = std::max(height, box.y + box.height + kMargin);
    }
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" +
                      num(width) + "\" height=\"" + num(height) + "\" viewBox=\"0 0 " + num(width) +
                      " " + num(height) +
                      "\" font-family=\"sans-serif\">\n"
                      "<defs><marker id=\"arrow\" markerWidth=\"10\" markerHeight=\"8\" refX=\"9\" "
                      "refY=\"4\" orient=\"auto\"><path d=\"M0,0 L10,4 L0,8 z\" fill=\"#333333\"/>"
                      "</marker></defs>\n"
                      "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
    if (n == 0)
        out += "<text x=\"" + num(kMargin) + "\" y=\"" + num(kMargin + 20) +
               "\" font-size=\"13\">No graph was built</text>\n";
    for (size_t f = 0; f < n; ++f) {
        const GraphFilter& filter = graph.filters[f];
        const Box& box = boxes[f];
        char clsid[39];
        formatRegistryGuid(filter.clsid, clsid);
        const char* role = graphRoleName(roles[f]);
        out += "<g class=\"filter\" data-role=\"" + std::string(*role ? role : "none") +
               "\"><title>" + escape(filter.name + " " + clsid) + "</title>";
        out += "<rect x=\"" + num(box.x) + "\" y=\"" + num(box.y) + "\" width=\"" + num(kBoxWidth) +
               "\" height=\"" + num(box.height) + "\" rx=\"6\" fill=\"" + roleFill(roles[f]) +
               "\" stroke=\"#444444\"/>";
        out += "<text x=\"" + num(box.x + 8) + "\" y=\"" + num(box.y + 17) +
               "\" font-size=\"12\" font-weight=\"bold\">" + escape(shortName(filter.name)) +
               "</text>";
        if (*role)
            out += "<text x=\"" + num(box.x + 8) + "\" y=\"" + num(box.y + 32) +
                   "\" font-size=\"11\" fill=\"#333333\">" + role + "</text>";
        for (size_t p = 0; p < filter.pins.size(); ++p) {
            const bool input = filter.pins[p].direction == PinDirection::Input;
            const double y = box.pinY[p];
            out += "<text x=\"" + num(input ? box.x + 6 : box.x + kBoxWidth - 6) + "\" y=\"" +
                   num(y + 4) + "\" font-size=\"10\" text-anchor=\"" + (input ? "start" : "end") +
                   "\">" + escape(shortName(filter.pins[p].name)) + "</text>";
        }
        out += "</g>\n";
    }
    for (const Edge& e : edges) {
        const double x1 = boxes[e.from].x + kBoxWidth, y1 = boxes[e.from].pinY[e.fromPin];
        const double x2 = boxes[e.to].x, y2 = boxes[e.to].pinY[e.toPin];
        // Forward arrows bend gently; one to an earlier or the same column loops out.
        const double bend = std::max(40.0, std::abs(x2 - x1) / 2);
        out += "<g class=\"connection\"><path d=\"M" + num(x1) + "," + num(y1) + " C" +
               num(x1 + bend) + "," + num(y1) + " " + num(x2 - bend) + "," + num(y2) + " " +
               num(x2) + "," + num(y2) +
               "\" fill=\"none\" stroke=\"#333333\" stroke-width=\"1.5\" "
               "marker-end=\"url(#arrow)\"/>";
        out += "<text x=\"" + num((x1 + x2) / 2) + "\" y=\"" + num((y1 + y2) / 2 - 5) +
               "\" font-size=\"10\" text-anchor=\"middle\" fill=\"#1a4d80\">" + escape(e.label) +
               "</text></g>\n";
    }
    out += "</svg>\n";
    return out;
}

std::string graphDot(const GraphDescription& graph, const CodecDatabase* db) {
    const std::vector<GraphRole> roles = graphRoles(graph);
    std::string out = "digraph render_graph {\n"
                      "  rankdir=LR;\n"
                      "  node [shape=box, style=\"rounded,filled\", fontname=\"sans-serif\"];\n"
                      "  edge [fontname=\"sans-serif\", fontsize=10];\n";
    for (size_t f = 0; f < graph.filters.size(); ++f) {
        std::string label = graph.filters[f].name;
        if (*graphRoleName(roles[f])) label += std::string(" (") + graphRoleName(roles[f]) + ")";
        out += "  f" + std::to_string(f) + " [label=" + dotText(label) + ", fillcolor=\"" +
               roleFill(roles[f]) + "\"];\n";
    }
    for (const Edge& e : edgesOf(graph, db))
        out += "  f" + std::to_string(e.from) + " -> f" + std::to_string(e.to) +
               " [label=" + dotText(e.label) + "];\n";
    out += "}\n";
    return out;
}

} // namespace tavro
