#include "render/graph_picture.h"

#include <algorithm>
#include <cmath>

#include "common/svg_markup.h"

namespace tavro {
namespace {

using svg::escape;
using svg::num;

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

std::string graphSvg(const GraphDescription& graph, const CodecDatabase* db) {
    const GraphLayout layout = layOutGraph(graph, db);
    const double width = layout.width, height = layout.height;
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" +
                      num(width) + "\" height=\"" + num(height) + "\" viewBox=\"0 0 " + num(width) +
                      " " + num(height) +
                      "\" font-family=\"sans-serif\">\n"
                      "<defs><marker id=\"arrow\" markerWidth=\"10\" markerHeight=\"8\" refX=\"9\" "
                      "refY=\"4\" orient=\"auto\"><path d=\"M0,0 L10,4 L0,8 z\" fill=\"#333333\"/>"
                      "</marker></defs>\n"
                      "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
    if (layout.boxes.empty())
        out += "<text x=\"20\" y=\"40\" font-size=\"13\">No graph was built</text>\n";
    for (const GraphLayoutBox& box : layout.boxes) {
        char clsid[39];
        formatRegistryGuid(box.clsid, clsid);
        const char* role = graphRoleName(box.role);
        out += "<g class=\"filter\" data-role=\"" + std::string(*role ? role : "none") +
               "\"><title>" + escape(box.fullName + " " + clsid) + "</title>";
        out += "<rect x=\"" + num(box.x) + "\" y=\"" + num(box.y) + "\" width=\"" + num(box.width) +
               "\" height=\"" + num(box.height) + "\" rx=\"6\" fill=\"" +
               graphRoleColour(box.role) + "\" stroke=\"#444444\"/>";
        out += "<text x=\"" + num(box.x + 8) + "\" y=\"" + num(box.y + 17) +
               "\" font-size=\"12\" font-weight=\"bold\">" + escape(box.name) + "</text>";
        if (*role)
            out += "<text x=\"" + num(box.x + 8) + "\" y=\"" + num(box.y + 32) +
                   "\" font-size=\"11\" fill=\"#333333\">" + role + "</text>";
        for (const GraphLayoutPin& pin : box.pins)
            out += "<text x=\"" + num(pin.input ? box.x + 6 : box.x + box.width - 6) + "\" y=\"" +
                   num(pin.y + 4) + "\" font-size=\"10\" text-anchor=\"" +
                   (pin.input ? "start" : "end") + "\">" + escape(pin.name) + "</text>";
        out += "</g>\n";
    }
    for (const GraphLayoutArrow& a : layout.arrows) {
        // Forward arrows bend gently; one to an earlier or the same column loops out.
        const double bend = std::max(40.0, std::abs(a.x2 - a.x1) / 2);
        out += "<g class=\"connection\"><path d=\"M" + num(a.x1) + "," + num(a.y1) + " C" +
               num(a.x1 + bend) + "," + num(a.y1) + " " + num(a.x2 - bend) + "," + num(a.y2) + " " +
               num(a.x2) + "," + num(a.y2) +
               "\" fill=\"none\" stroke=\"#333333\" stroke-width=\"1.5\" "
               "marker-end=\"url(#arrow)\"/>";
        out += "<text x=\"" + num((a.x1 + a.x2) / 2) + "\" y=\"" + num((a.y1 + a.y2) / 2 - 5) +
               "\" font-size=\"10\" text-anchor=\"middle\" fill=\"#1a4d80\">" + escape(a.label) +
               "</text></g>\n";
    }
    out += "</svg>\n";
    return out;
}

std::string graphDot(const GraphDescription& graph, const CodecDatabase* db) {
    const GraphLayout layout = layOutGraph(graph, db);
    std::string out = "digraph render_graph {\n"
                      "  rankdir=LR;\n"
                      "  node [shape=box, style=\"rounded,filled\", fontname=\"sans-serif\"];\n"
                      "  edge [fontname=\"sans-serif\", fontsize=10];\n";
    for (size_t f = 0; f < graph.filters.size(); ++f) {
        const GraphRole role = layout.boxes[f].role;
        std::string label = graph.filters[f].name;
        if (*graphRoleName(role)) label += std::string(" (") + graphRoleName(role) + ")";
        out += "  f" + std::to_string(f) + " [label=" + dotText(label) + ", fillcolor=\"" +
               graphRoleColour(role) + "\"];\n";
    }
    for (const GraphLayoutArrow& a : layout.arrows)
        out += "  f" + std::to_string(a.from) + " -> f" + std::to_string(a.to) +
               " [label=" + dotText(a.label) + "];\n";
    out += "}\n";
    return out;
}

} // namespace tavro
