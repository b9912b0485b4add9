#include "report/map/map_svg.h"

#include <algorithm>
#include <vector>

#include "analysis/size_text.h"
#include "common/svg_markup.h"
#include "report/map/map_layout.h"

namespace tavro {
namespace {

using svg::escape;
using svg::num;

constexpr double kLeft = 70;
constexpr double kPlotWidth = 900;
constexpr double kByteTop = 50;
constexpr double kByteHeight = 60;
constexpr double kTimeTop = 185;
constexpr double kTimeHeight = 170;
constexpr double kLegendTop = 400;
constexpr double kWidth = kLeft + kPlotWidth + 30;

constexpr int kColumnParts = kMapParts;
constexpr int kRestGap = kPartGap, kRestUnread = kPartUnread, kRestMissing = kPartMissing;

const char* partClass(int part) {
    static const char* const kRest[] = {"gap", "unread", "missing"};
    return part < kMapLayers ? mapLayerKey(part) : kRest[part - kMapLayers];
}

const char* partFill(int part) {
    if (part < kMapLayers) return mapLayerColour(part);
    if (part == kRestGap) return "#ffffff";
    if (part == kRestUnread) return "#e4e4e4";
    return "url(#missing)";
}

std::string bytesText(uint64_t n) {
    return sizeText(n, true);
}

std::string secondsText(double s) {
    return num(s) + " s";
}

// A bin column as heights in tenths of a pixel per part, so bins that look alike
// are drawn as one run.
using Column = std::array<int, kColumnParts>;

Column columnOf(const MapBinView& v) {
    Column c{};
    const uint64_t width = v.end > v.begin ? v.end - v.begin : 1;
    auto tenths = [&](uint64_t bytes) {
        return static_cast<int>(double(bytes) / double(width) * kByteHeight * 10 + 0.5);
    };
    for (int l = 0; l < kMapLayers; ++l)
        c[l] = tenths(v.layers[l]);
    c[kRestGap] = tenths(v.gap);
    c[kRestUnread] = tenths(v.unread);
    c[kRestMissing] = tenths(v.missing);
    return c;
}

class Picture {
  public:
    Picture(const FileMap& map) : map_(map), extent_(std::max<uint64_t>(map.extent(), 1)) {
        for (int b = 0; b < map.binCount(); ++b) {
            const MapBinView v = map.bin(b);
            anyGap_ = anyGap_ || v.gap > 0;
            anyUnread_ = anyUnread_ || v.unread > 0;
        }
    }

    double xOfByte(uint64_t offset) const {
        return kLeft + double(offset) / double(extent_) * kPlotWidth;
    }
    double yOfByte(uint64_t offset) const {
        return kTimeTop + double(offset) / double(extent_) * kTimeHeight;
    }

    void byteBand(std::string& out) const;
    void marks(std::string& out) const;
    void timeBand(std::string& out) const;
    // Returns the rows it took.
    int legend(std::string& out) const;

  private:
    void run(std::string& out, const Column& c, uint64_t begin, uint64_t end) const;
    const FileMap& map_;
    uint64_t extent_;
    bool anyGap_ = false, anyUnread_ = false;
};

void Picture::run(std::string& out, const Column& c, uint64_t begin, uint64_t end) const {
    const double x = xOfByte(begin), w = std::max(xOfByte(end) - x, 0.05);
    out += "<g><title>" + escape("bytes " + std::to_string(begin) + " to " + std::to_string(end)) +
           "</title>";
    double y = kByteTop;
    for (int part = 0; part < kColumnParts; ++part) {
        if (c[part] == 0) continue;
        const double h = c[part] / 10.0;
        out += "<rect class=\"" + std::string(partClass(part)) + "\" x=\"" + num(x) + "\" y=\"" +
               num(y) + "\" width=\"" + num(w) + "\" height=\"" + num(h) + "\" fill=\"" +
               partFill(part) + "\"/>";
        y += h;
    }
    out += "</g>\n";
}

void Picture::byteBand(std::string& out) const {
    out += "<g id=\"byte-band\">\n";
    out += "<rect x=\"" + num(kLeft) + "\" y=\"" + num(kByteTop) + "\" width=\"" + num(kPlotWidth) +
           "\" height=\"" + num(kByteHeight) + "\" fill=\"#ffffff\" stroke=\"#888888\"/>\n";
    const int bins = map_.binCount();
    Column current{};
    uint64_t runBegin = 0, runEnd = 0;
    for (int b = 0; b < bins; ++b) {
        const MapBinView v = map_.bin(b);
        const Column c = columnOf(v);
        if (b > 0 && c == current) {
            runEnd = v.end;
            continue;
        }
        if (b > 0) run(out, current, runBegin, runEnd);
        current = c;
        runBegin = v.begin;
        runEnd = v.end;
    }
    if (bins > 0) run(out, current, runBegin, runEnd);
    // Offsets along the band.
    for (int k = 0; k <= 4; ++k) {
        const uint64_t at = extent_ / 4 * k + (k == 4 ? extent_ % 4 : 0);
        const double x = xOfByte(at);
        const char* anchor = k == 0 ? "start" : k == 4 ? "end" : "middle";
        out += "<text x=\"" + num(x) + "\" y=\"" + num(kByteTop + kByteHeight + 14) +
               "\" font-size=\"11\" text-anchor=\"" + anchor + "\">" + escape(bytesText(at)) +
               "</text>\n";
    }
    out += "</g>\n";
}

void Picture::marks(std::string& out) const {
    auto line = [&](const char* id, uint64_t at, const char* colour, const char* dash,
                    const std::string& label, double labelY) {
        const double x = xOfByte(at);
        out += "<g id=\"" + std::string(id) + "\"><line x1=\"" + num(x) + "\" y1=\"" +
               num(kByteTop - 12) + "\" x2=\"" + num(x) + "\" y2=\"" +
               num(kByteTop + kByteHeight + 4) + "\" stroke=\"" + colour + "\" stroke-width=\"2\"" +
               (dash ? std::string(" stroke-dasharray=\"") + dash + "\"" : "") + "/><text x=\"" +
               num(x) + "\" y=\"" + num(labelY) + "\" font-size=\"11\" fill=\"" + colour +
               "\" text-anchor=\"" + (x > kLeft + kPlotWidth / 2 ? "end" : "start") + "\">" +
               escape(label) + "</text></g>\n";
    };
    if (map_.truncated()) {
        line("file-end", map_.fileSize(), "#c00000", nullptr,
             "file ends at " + bytesText(map_.fileSize()), kByteTop - 16);
        line("declared-end", map_.declaredEnd(), "#c00000", "4 3",
             "declared end " + bytesText(map_.declaredEnd()) + ", " +
                 bytesText(map_.declaredEnd() - map_.fileSize()) + " missing",
             kByteTop - 28);
    }
    if (map_.spanCount() > 0 && map_.readEnd() < map_.fileSize())
        line("read-end", map_.readEnd(), "#606060", "2 2", "read to " + bytesText(map_.readEnd()),
             kByteTop + kByteHeight + 28);
}

void Picture::timeBand(std::string& out) const {
    out += "<g id=\"time-band\">\n";
    out += "<text x=\"" + num(kLeft) + "\" y=\"" + num(kTimeTop - 22) +
           "\" font-size=\"12\">Streams along time (down: byte offset)</text>\n";
    out += "<rect x=\"" + num(kLeft) + "\" y=\"" + num(kTimeTop) + "\" width=\"" + num(kPlotWidth) +
           "\" height=\"" + num(kTimeHeight) + "\" fill=\"#fafafa\" stroke=\"#888888\"/>\n";
    const int bins = map_.timeBinCount();
    const double total = map_.timeExtent();
    if (bins == 0 || total <= 0) {
        out +=
            "<text x=\"" + num(kLeft + kPlotWidth / 2) + "\" y=\"" +
            num(kTimeTop + kTimeHeight / 2) +
            "\" font-size=\"12\" text-anchor=\"middle\">No stream times are known</text>\n</g>\n";
        return;
    }
    const double step = map_.timeBinSeconds();
    for (int s = 0; s < kMapStreams; ++s) {
        if (!map_.streamSeen(s)) continue;
        out += "<g class=\"stream-time\" data-stream=\"" + std::to_string(s) + "\" fill=\"" +
               mapLayerColour(kLayerStream0 + s) + "\" fill-opacity=\"0.7\"><title>" +
               escape(map_.streamName(s)) + "</title>";
        for (int b = 0; b < bins; ++b) {
            const MapTimeCell cell = map_.timeCell(s, b);
            if (!cell.used()) continue;
            const double t0 = b * step, t1 = std::min((b + 1) * step, total);
            const double x = kLeft + t0 / total * kPlotWidth;
            const double w = std::max((t1 - t0) / total * kPlotWidth, 0.5);
            const double y = yOfByte(cell.first);
            const double h = std::max(yOfByte(cell.last) - y, 1.5);
            out += "<rect x=\"" + num(x) + "\" y=\"" + num(y) + "\" width=\"" + num(w) +
                   "\" height=\"" + num(h) + "\"/>";
        }
        out += "</g>\n";
    }
    if (map_.truncated()) {
        const double y = yOfByte(map_.fileSize());
        out += "<line x1=\"" + num(kLeft) + "\" y1=\"" + num(y) + "\" x2=\"" +
               num(kLeft + kPlotWidth) + "\" y2=\"" + num(y) +
               "\" stroke=\"#c00000\" stroke-width=\"1.5\"/>\n";
    }
    for (int k = 0; k <= 4; ++k) {
        const double x = kLeft + kPlotWidth * k / 4;
        const char* anchor = k == 0 ? "start" : k == 4 ? "end" : "middle";
        out += "<text x=\"" + num(x) + "\" y=\"" + num(kTimeTop + kTimeHeight + 14) +
               "\" font-size=\"11\" text-anchor=\"" + anchor + "\">" +
               escape(secondsText(total * k / 4)) + "</text>\n";
    }
    out += "<text x=\"" + num(kLeft - 4) + "\" y=\"" + num(kTimeTop + 10) +
           "\" font-size=\"11\" text-anchor=\"end\">0</text>\n";
    out += "<text x=\"" + num(kLeft - 4) + "\" y=\"" + num(kTimeTop + kTimeHeight) +
           "\" font-size=\"11\" text-anchor=\"end\">" + escape(bytesText(extent_)) + "</text>\n";
    out += "</g>\n";
}

int Picture::legend(std::string& out) const {
    std::vector<int> entries;
    for (int l = 0; l < kLayerStream0; ++l)
        if (map_.layerTotal(l) > 0) entries.push_back(l);
    for (int s = 0; s < kMapStreams; ++s)
        if (map_.streamSeen(s)) entries.push_back(kLayerStream0 + s);
    if (anyGap_) entries.push_back(kRestGap);
    if (anyUnread_) entries.push_back(kRestUnread);
    if (map_.truncated()) entries.push_back(kRestMissing);
    out += "<g id=\"legend\">\n";
    for (size_t i = 0; i < entries.size(); ++i) {
        const double x = kLeft + (i % 4) * (kPlotWidth / 4);
        const double y = kLegendTop + (i / 4) * 20;
        const int part = entries[i];
        std::string label = mapPartName(map_, part);
        if (part < kMapLayers) label += " (" + bytesText(map_.layerTotal(part)) + ")";
        out += "<g class=\"legend-" + std::string(partClass(part)) + "\"><rect x=\"" + num(x) +
               "\" y=\"" + num(y) + "\" width=\"14\" height=\"14\" fill=\"" + partFill(part) +
               "\" stroke=\"#888888\"/><text x=\"" + num(x + 20) + "\" y=\"" + num(y + 11) +
               "\" font-size=\"12\">" + escape(label) + "</text></g>\n";
    }
    out += "</g>\n";
    return static_cast<int>((entries.size() + 3) / 4);
}

} // namespace

const char* mapLayerColour(int layer) {
    static const char* const kColours[kMapLayers] = {
        "#56606b", "#ff8c00", "#d8cba0", "#9c755f", "#1f77b4", "#2ca02c", "#d62728",
        "#9467bd", "#17becf", "#bcbd22", "#e377c2", "#008080", "#000080", "#800000"};
    return layer >= 0 && layer < kMapLayers ? kColours[layer] : "#000000";
}

std::string fileMapSvg(const FileMap& map, const std::string& title) {
    Picture picture(map);
    std::string body;
    picture.byteBand(body);
    picture.marks(body);
    picture.timeBand(body);
    const int legendRows = picture.legend(body);
    const double height = kLegendTop + legendRows * 20 + 20;
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" +
                      num(kWidth) + "\" height=\"" + num(height) + "\" viewBox=\"0 0 " +
                      num(kWidth) + " " + num(height) +
                      "\" font-family=\"sans-serif\">\n"
                      "<defs><pattern id=\"missing\" width=\"6\" height=\"6\" "
                      "patternUnits=\"userSpaceOnUse\" patternTransform=\"rotate(45)\">"
                      "<rect width=\"6\" height=\"6\" fill=\"#f8d0d0\"/>"
                      "<line x1=\"0\" y1=\"0\" x2=\"0\" y2=\"6\" stroke=\"#c00000\" "
                      "stroke-width=\"2\"/></pattern></defs>\n"
                      "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
    out += "<text x=\"" + num(kLeft) + "\" y=\"18\" font-size=\"14\" font-weight=\"bold\">" +
           escape(title) + "</text>\n";
    out += "<text x=\"" + num(kLeft) + "\" y=\"34\" font-size=\"11\">" +
           escape(bytesText(map.fileSize()) + ", " + std::to_string(map.binCount()) + " bins of " +
                  bytesText(map.binBytes())) +
           "</text>\n";
    out += body;
    out += "</svg>\n";
    return out;
}

} // namespace tavro
