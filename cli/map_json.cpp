#include "cli/map_json.h"

#include <charconv>
#include <nlohmann/json.hpp>
#include <vector>

#include "cli/json_writer.h"

namespace tavro {
namespace {

void appendNumber(std::string& out, uint64_t value) {
    char digits[24];
    const auto done = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, done.ptr);
}

// Members or elements of one object or array, with the library's layout: one per
// line at `inner` spaces when pretty, "key": with a space, and "{}" / "[]" when empty.
class Container {
  public:
    Container(std::string& out, char open, int indent, int at)
        : out_(out), close_(open == '{' ? '}' : ']'), indent_(indent), at_(at),
          inner_(indent >= 0 ? at + indent : at) {
        out_.push_back(open);
    }
    int inner() const { return inner_; }
    std::string& next() {
        if (!first_) out_.push_back(',');
        first_ = false;
        if (indent_ >= 0) lineStart(inner_);
        return out_;
    }
    std::string& key(const char* name) {
        next().push_back('"');
        out_ += name;
        out_ += indent_ >= 0 ? "\": " : "\":";
        return out_;
    }
    void close() {
        if (!first_ && indent_ >= 0) lineStart(at_);
        out_.push_back(close_);
    }

  private:
    void lineStart(int spaces) {
        out_.push_back('\n');
        out_.append(static_cast<size_t>(spaces), ' ');
    }
    std::string& out_;
    const char close_;
    const int indent_, at_, inner_;
    bool first_ = true;
};

// Scalars the library must print itself (doubles, texts) go through the writer.
void appendValue(std::string& out, const nlohmann::json& value) {
    appendJson(out, value, -1);
}

void appendNumbers(std::string& out, const std::vector<uint64_t>& values, int indent, int at) {
    Container array(out, '[', indent, at);
    for (uint64_t v : values)
        appendNumber(array.next(), v);
    array.close();
}

void appendLayers(std::string& out, const FileMap& map, int indent, int at) {
    const int bins = map.binCount();
    const int kParts = kMapLayers + 3;
    // Only the layers some span fed can hold bytes; the others stay empty.
    std::vector<std::vector<uint64_t>> parts(kParts);
    const uint32_t used = map.usedLayers();
    for (int p = 0; p < kParts; ++p)
        if (p >= kMapLayers || (used & (1u << p))) parts[size_t(p)].resize(size_t(bins));
    for (int b = 0; b < bins; ++b) {
        const MapBinView v = map.bin(b);
        for (int l = 0; l < kMapLayers; ++l)
            if (used & (1u << l)) parts[size_t(l)][size_t(b)] = v.layers[size_t(l)];
        parts[kMapLayers][size_t(b)] = v.gap;
        parts[kMapLayers + 1][size_t(b)] = v.unread;
        parts[kMapLayers + 2][size_t(b)] = v.missing;
    }
    // The keys in byte order, as an object's members are printed.
    struct Key {
        const char* name;
        int part;
    };
    static const Key kOrder[] = {{"gap", kMapLayers},
                                 {"header", kLayerHeader},
                                 {"index", kLayerIndex},
                                 {"junk", kLayerJunk},
                                 {"missing", kMapLayers + 2},
                                 {"other", kLayerOther},
                                 {"stream0", kLayerStream0},
                                 {"stream1", kLayerStream0 + 1},
                                 {"stream2", kLayerStream0 + 2},
                                 {"stream3", kLayerStream0 + 3},
                                 {"stream4", kLayerStream0 + 4},
                                 {"stream5", kLayerStream0 + 5},
                                 {"stream6", kLayerStream0 + 6},
                                 {"stream7", kLayerStream0 + 7},
                                 {"stream8", kLayerStream0 + 8},
                                 {"stream9", kLayerStream0 + 9},
                                 {"unread", kMapLayers + 1}};
    static_assert(sizeof kOrder / sizeof kOrder[0] == kMapLayers + 3, "every part has a key");
    Container layers(out, '{', indent, at);
    for (const Key& k : kOrder) {
        const std::vector<uint64_t>& values = parts[size_t(k.part)];
        bool any = false;
        for (uint64_t v : values)
            any = any || v != 0;
        if (any) appendNumbers(layers.key(k.name), values, indent, layers.inner());
    }
    layers.close();
}

void appendOffsets(std::string& out, const FileMap& map, int stream, bool last, int indent,
                   int at) {
    Container array(out, '[', indent, at);
    const int bins = map.timeBinCount();
    for (int b = 0; b < bins; ++b) {
        const MapTimeCell cell = map.timeCell(stream, b);
        if (cell.used())
            appendNumber(array.next(), last ? cell.last : cell.first);
        else
            array.next() += "null";
    }
    array.close();
}

void appendStreams(std::string& out, const FileMap& map, int indent, int at) {
    Container streams(out, '[', indent, at);
    for (int s = 0; s < kMapStreams; ++s) {
        if (!map.streamSeen(s)) continue;
        Container one(streams.next(), '{', indent, streams.inner());
        appendNumber(one.key("bytes"), map.layerTotal(kLayerStream0 + s));
        appendNumber(one.key("index"), uint64_t(s));
        appendValue(one.key("name"), map.streamName(s));
        appendOffsets(one.key("time_first_offset"), map, s, false, indent, one.inner());
        appendOffsets(one.key("time_last_offset"), map, s, true, indent, one.inner());
        one.close();
    }
    streams.close();
}

} // namespace

void appendFileMapJson(std::string& out, const FileMap& map, int indent, int currentIndent) {
    if (!map.hasFile()) {
        out += "null";
        return;
    }
    // A file whose reader fed no spans has nothing to bin: every byte would read
    // "unread", two thousand times over.
    const bool mapped = map.spanCount() > 0;
    Container object(out, '{', indent, currentIndent);
    const int at = object.inner();
    if (mapped) {
        appendNumber(object.key("bin_bytes"), map.binBytes());
        appendNumber(object.key("bins"), uint64_t(map.binCount()));
    }
    if (map.declaredEnd())
        appendNumber(object.key("declared_end"), map.declaredEnd());
    else
        object.key("declared_end") += "null";
    if (mapped) appendValue(object.key("duration_s"), map.timeExtent());
    appendNumber(object.key("file_size"), map.fileSize());
    if (mapped) appendLayers(object.key("layers"), map, indent, at);
    object.key("mapped") += mapped ? "true" : "false";
    appendNumber(object.key("read_end"), map.readEnd());
    if (mapped) {
        appendStreams(object.key("streams"), map, indent, at);
        appendValue(object.key("time_bin_seconds"), map.timeBinSeconds());
        appendNumber(object.key("time_bins"), uint64_t(map.timeBinCount()));
    }
    object.key("truncated") += map.truncated() ? "true" : "false";
    object.close();
}

} // namespace tavro
