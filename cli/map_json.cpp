#include "cli/map_json.h"

#include <charconv>
#include <cstring>
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

// One array of numbers (or nulls) in the library's layout, written through a small
// buffer with each element's line lead copied whole: a map holds thousands of
// numbers, and appending comma, newline, spaces and digits one by one to the string
// cost more than analysing the file.
class NumberArray {
  public:
    NumberArray(std::string& out, int indent, int at) : out_(out), pretty_(indent >= 0), at_(at) {
        const size_t spaces = pretty_ ? static_cast<size_t>(at + indent) : 0;
        leadLength_ = pretty_ ? 2 + spaces : 1;
        if (leadLength_ <= kLeadRoom) {
            std::memset(lead_, ' ', sizeof lead_);
            lead_[0] = ',';
            lead_[1] = '\n';
        } else {
            longLead_ = ",\n" + std::string(spaces, ' ');
        }
        *p_++ = '[';
    }
    ~NumberArray() { flush(); }
    void number(uint64_t value) {
        lead();
        if (value < 10)
            *p_++ = char('0' + value); // most bins are empty or tiny
        else
            p_ = std::to_chars(p_, p_ + kDigits, value).ptr;
    }
    // A run of numbers, in batches that surely fit the buffer, with the write position
    // kept in a local: stores through it would otherwise reload the member each time.
    void numbers(const uint64_t* values, int count) {
        int i = 0;
        if (first_ && count > 0) number(values[i++]);
        while (i < count) {
            const size_t fit = size_t(buffer_ + sizeof buffer_ - p_) / (kLeadRoom + kDigits);
            if (fit == 0 || leadLength_ > kLeadRoom) {
                number(values[i++]);
                continue;
            }
            const int stop = count - i < int(fit) ? count : i + int(fit);
            char* p = p_;
            for (; i < stop; ++i) {
                // Most of a map is long runs of empty bins: their text is one element's
                // text over and over, copied from a prepared run.
                if (values[i] == 0 && i + kZeroRunMin <= count &&
                    values[i + kZeroRunMin - 1] == 0) {
                    p_ = p;
                    i = zeros(values, i, count);
                    p = p_;
                    break;
                }
                std::memcpy(p, lead_, kLeadRoom);
                p += leadLength_;
                const uint64_t value = values[i];
                if (value < 10)
                    *p++ = char('0' + value);
                else
                    p = std::to_chars(p, p + kDigits, value).ptr;
            }
            p_ = p;
        }
    }
    // The zeros from values[i] on, up to the first non-zero; returns where they end.
    int zeros(const uint64_t* values, int i, int count) {
        int end = i;
        while (end < count && values[end] == 0)
            ++end;
        if (zeroRun_.empty()) {
            zeroRun_.reserve(kZeroRunMax * (leadLength_ + 1));
            for (int k = 0; k < kZeroRunMax; ++k) {
                zeroRun_.append(lead_, leadLength_);
                zeroRun_.push_back('0');
            }
        }
        const size_t unit = leadLength_ + 1;
        for (int left = end - i; left > 0;) {
            const int take = left < kZeroRunMax ? left : kZeroRunMax;
            room(unit * size_t(take));
            std::memcpy(p_, zeroRun_.data(), unit * size_t(take));
            p_ += unit * size_t(take);
            left -= take;
        }
        return end;
    }
    void null() {
        lead();
        std::memcpy(p_, "null", 4);
        p_ += 4;
    }
    void close() {
        flush();
        if (!first_ && pretty_) {
            out_.push_back('\n');
            out_.append(static_cast<size_t>(at_), ' ');
        }
        out_.push_back(']');
    }

  private:
    static constexpr size_t kLeadRoom = 48;
    static constexpr size_t kDigits = 24;
    static constexpr int kZeroRunMin = 4;
    static constexpr int kZeroRunMax = 64; // a run's text stays well inside the buffer
    // Makes room for `n` bytes, at most one element's lead and digits.
    void room(size_t n) {
        if (size_t(buffer_ + sizeof buffer_ - p_) < n) flush();
    }
    // The comma (none before the first element), and the new line and spaces when pretty.
    void lead() {
        const size_t skip = first_ ? 1 : 0;
        first_ = false;
        if (leadLength_ <= kLeadRoom) {
            room(kLeadRoom + kDigits);
            // A fixed-size copy: cheaper than one of the lead's own length.
            std::memcpy(p_, lead_ + skip, kLeadRoom);
            p_ += leadLength_ - skip;
        } else {
            flush();
            out_.append(longLead_, skip, std::string::npos);
            room(kDigits);
        }
    }
    void flush() {
        out_.append(buffer_, size_t(p_ - buffer_));
        p_ = buffer_;
    }
    std::string& out_;
    const bool pretty_;
    const int at_;
    size_t leadLength_;
    char lead_[kLeadRoom + 1];
    std::string longLead_;
    std::string zeroRun_;
    bool first_ = true;
    char buffer_[8192];
    char* p_ = buffer_;
};

void appendNumbers(std::string& out, const uint64_t* values, int count, int indent, int at) {
    NumberArray array(out, indent, at);
    array.numbers(values, count);
    array.close();
}

void appendLayers(std::string& out, const FileMap& map, int indent, int at) {
    const int bins = map.binCount();
    const int kParts = kMapLayers + 3;
    // Column by column, in one store kept for the thread's next file; only the layers
    // some span fed can hold bytes, so only theirs are written.
    thread_local std::vector<uint64_t> store;
    if (store.size() < size_t(kParts) * size_t(bins)) store.resize(size_t(kParts) * size_t(bins));
    const auto column = [&](int part) { return store.data() + size_t(part) * size_t(bins); };
    const uint32_t used = map.usedLayers();
    uint64_t* columns[kParts];
    for (int part = 0; part < kParts; ++part)
        columns[part] = column(part);
    map.fillColumns(columns);
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
        // Layers no span fed are zero throughout and their columns were not written.
        if (k.part < kMapLayers && !(used & (1u << k.part))) continue;
        const uint64_t* values = column(k.part);
        bool any = false;
        for (int b = 0; b < bins && !any; ++b)
            any = values[b] != 0;
        if (any) appendNumbers(layers.key(k.name), values, bins, indent, layers.inner());
    }
    layers.close();
}

void appendOffsets(std::string& out, const FileMap& map, int stream, bool last, int indent,
                   int at) {
    NumberArray array(out, indent, at);
    const int bins = map.timeBinCount();
    for (int b = 0; b < bins; ++b) {
        const MapTimeCell cell = map.timeCell(stream, b);
        if (cell.used())
            array.number(last ? cell.last : cell.first);
        else
            array.null();
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
