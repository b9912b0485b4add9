#include "report/map/map_layout.h"

#include <algorithm>
#include <cstdio>

namespace tavro {
namespace {

std::string grouped(uint64_t n) {
    std::string digits = std::to_string(n), out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out.push_back(',');
        out.push_back(digits[i]);
    }
    return out;
}

std::array<uint64_t, kMapParts> partsOf(const MapBinView& v) {
    std::array<uint64_t, kMapParts> p{};
    for (int l = 0; l < kMapLayers; ++l)
        p[l] = v.layers[l];
    p[kPartGap] = v.gap;
    p[kPartUnread] = v.unread;
    p[kPartMissing] = v.missing;
    return p;
}

} // namespace

std::string mapPartName(const FileMap& map, int part) {
    static const char* const kFixed[] = {"Header", "Index", "JUNK", "Other data"};
    if (part >= 0 && part < kLayerStream0) return kFixed[part];
    if (part >= kLayerStream0 && part < kMapLayers) return map.streamName(part - kLayerStream0);
    if (part == kPartGap) return "Gap";
    if (part == kPartUnread) return "Not read";
    if (part == kPartMissing) return "Missing (past the end)";
    return std::string();
}

std::vector<MapColumn> mapColumns(const FileMap& map, int pixels) {
    pixels = std::clamp(pixels, 1, 100000);
    std::vector<MapColumn> columns(pixels, MapColumn{});
    const int bins = map.binCount();
    if (bins == 0) return columns;
    std::vector<std::array<double, kMapParts>> sums(pixels);
    std::vector<double> totals(pixels, 0);
    // Each bin goes to the column its middle falls in; a column with no bin of its
    // own (more pixels than bins) takes its nearest bin's.
    const double extent = double(std::max<uint64_t>(map.extent(), 1));
    std::vector<int> owner(pixels, -1);
    for (int b = 0; b < bins; ++b) {
        const MapBinView v = map.bin(b);
        const double middle = (double(v.begin) + double(v.end)) / 2 / extent;
        const int c = std::min(pixels - 1, static_cast<int>(middle * pixels));
        const auto parts = partsOf(v);
        for (int p = 0; p < kMapParts; ++p) {
            sums[c][p] += double(parts[p]);
            totals[c] += double(parts[p]);
        }
        owner[c] = b;
    }
    for (int c = 0; c < pixels; ++c) {
        if (totals[c] <= 0) {
            const uint64_t at = static_cast<uint64_t>((c + 0.5) / pixels * extent);
            const int b = std::min<int>(bins - 1, static_cast<int>(at / map.binBytes()));
            const auto parts = partsOf(map.bin(b));
            double total = 0;
            for (int p = 0; p < kMapParts; ++p)
                total += double(parts[p]);
            for (int p = 0; p < kMapParts && total > 0; ++p)
                columns[c][p] = double(parts[p]) / total;
            continue;
        }
        for (int p = 0; p < kMapParts; ++p)
            columns[c][p] = sums[c][p] / totals[c];
    }
    return columns;
}

std::string mapByteInfo(const FileMap& map, uint64_t offset) {
    if (map.binCount() == 0 || offset >= map.extent()) return std::string();
    const int b = std::min<int>(map.binCount() - 1, static_cast<int>(offset / map.binBytes()));
    const MapBinView v = map.bin(b);
    const auto parts = partsOf(v);
    const double width = double(std::max<uint64_t>(v.end - v.begin, 1));
    char percent[32];
    std::snprintf(percent, sizeof percent, " (%.1f%%)", 100.0 * v.begin / double(map.extent()));
    std::string text = "bytes " + grouped(v.begin) + " to " + grouped(v.end) + percent + ":";
    bool first = true;
    for (int p = 0; p < kMapParts; ++p) {
        if (parts[p] == 0) continue;
        char share[16];
        std::snprintf(share, sizeof share, " %.0f%%", 100.0 * double(parts[p]) / width);
        text += (first ? " " : ", ") + mapPartName(map, p) + share;
        first = false;
    }
    return text;
}

std::string mapTimeInfo(const FileMap& map, double seconds) {
    if (!(seconds >= 0) || seconds > map.timeExtent() || map.timeBinCount() == 0)
        return std::string();
    const int b =
        std::min(map.timeBinCount() - 1, static_cast<int>(seconds / map.timeBinSeconds()));
    char at[32];
    std::snprintf(at, sizeof at, "at %.2f s:", seconds);
    std::string text = at;
    bool any = false;
    for (int s = 0; s < kMapStreams; ++s) {
        const MapTimeCell cell = map.timeCell(s, b);
        if (!map.streamSeen(s) || !cell.used()) continue;
        text += (any ? "; " : " ") + map.streamName(s) + " in bytes " + grouped(cell.first) +
                " to " + grouped(cell.last);
        any = true;
    }
    return any ? text : text + " no stream data";
}

} // namespace tavro
