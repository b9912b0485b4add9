#include "analysis/flv/amf0.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tavro {

namespace {

enum Marker : uint8_t {
    kNumber = 0,
    kBoolean = 1,
    kString = 2,
    kObject = 3,
    kNull = 5,
    kUndefined = 6,
    kReference = 7,
    kEcmaArray = 8,
    kObjectEnd = 9,
    kStrictArray = 10,
    kDate = 11,
    kLongString = 12,
};

class AmfWalk {
  public:
    AmfWalk(const uint8_t* d, size_t n, const AmfLimits& limits, AmfScript& out)
        : d_(d), n_(n), limits_(limits), out_(out) {}

    bool readName(std::string& name) {
        if (!need(1) || d_[at_] != kString) return false;
        ++at_;
        return readShortString(name);
    }

    // Reads one value; `top` entries of an object or array are kept in the result.
    bool value(int depth, AmfValue* keep, bool top) {
        if (depth > limits_.maxDepth || ++values_ > limits_.maxValues) {
            out_.capped = true;
            return false;
        }
        if (!need(1)) return false;
        const uint8_t marker = d_[at_++];
        switch (marker) {
        case kNumber: {
            if (!need(8)) return false;
            uint64_t bits = 0;
            for (int i = 0; i < 8; ++i)
                bits = bits << 8 | d_[at_ + static_cast<size_t>(i)];
            at_ += 8;
            if (keep) {
                keep->type = AmfValue::Type::number;
                std::memcpy(&keep->number, &bits, sizeof bits);
            }
            return true;
        }
        case kBoolean:
            if (!need(1)) return false;
            if (keep) {
                keep->type = AmfValue::Type::boolean;
                keep->boolean = d_[at_] != 0;
            }
            ++at_;
            return true;
        case kString:
        case kLongString: {
            std::string text;
            if (!(marker == kString ? readShortString(text) : readLongString(text))) return false;
            if (keep) {
                keep->type = AmfValue::Type::string;
                keep->text = std::move(text);
            }
            return true;
        }
        case kNull:
        case kUndefined:
            return true;
        case kReference:
            return skip(2);
        case kDate:
            return skip(10);
        case kObject:
            return properties(depth, top);
        case kEcmaArray:
            // The count is a hint only; the end marker closes the array.
            return skip(4) && properties(depth, top);
        case kStrictArray: {
            if (!need(4)) return false;
            const uint32_t count = uint32_t(d_[at_]) << 24 | uint32_t(d_[at_ + 1]) << 16 |
                                   uint32_t(d_[at_ + 2]) << 8 | d_[at_ + 3];
            at_ += 4;
            for (uint32_t i = 0; i < count; ++i)
                if (!value(depth + 1, nullptr, false)) return false;
            return true;
        }
        }
        return false; // a marker this reader does not know: the rest cannot be walked
    }

  private:
    bool need(size_t count) const { return at_ <= n_ && count <= n_ - at_; }
    bool skip(size_t count) {
        if (!need(count)) return false;
        at_ += count;
        return true;
    }

    bool readShortString(std::string& text) {
        if (!need(2)) return false;
        const size_t length = size_t(d_[at_]) << 8 | d_[at_ + 1];
        at_ += 2;
        return readText(length, text);
    }

    bool readLongString(std::string& text) {
        if (!need(4)) return false;
        const size_t length = size_t(d_[at_]) << 24 | size_t(d_[at_ + 1]) << 16 |
                              size_t(d_[at_ + 2]) << 8 | d_[at_ + 3];
        at_ += 4;
        return readText(length, text);
    }

    bool readText(size_t length, std::string& text) {
        if (!need(length)) return false;
        text.assign(reinterpret_cast<const char*>(d_ + at_), std::min(length, kMaxAmfText));
        at_ += length;
        return true;
    }

    // Key-value pairs up to the empty key and the end marker.
    bool properties(int depth, bool top) {
        for (;;) {
            std::string key;
            if (!readShortString(key)) return false;
            if (key.empty() && need(1) && d_[at_] == kObjectEnd) {
                ++at_;
                return true;
            }
            AmfValue v;
            const bool kept = top && out_.entries.size() < limits_.maxEntries;
            if (!value(depth + 1, kept ? &v : nullptr, false)) return false;
            if (kept) out_.entries.push_back({std::move(key), std::move(v)});
        }
    }

    const uint8_t* d_;
    size_t n_;
    size_t at_ = 0;
    size_t values_ = 0;
    const AmfLimits& limits_;
    AmfScript& out_;
};

} // namespace

const AmfEntry* AmfScript::find(const char* key) const {
    for (const AmfEntry& e : entries)
        if (e.key == key) return &e;
    return nullptr;
}

double AmfScript::number(const char* key, double fallback) const {
    const AmfEntry* e = find(key);
    if (!e || e->value.type != AmfValue::Type::number || !std::isfinite(e->value.number))
        return fallback;
    return e->value.number;
}

AmfScript parseAmfScript(const uint8_t* data, size_t size, const AmfLimits& limits) {
    AmfScript script;
    AmfWalk walk(data, size, limits, script);
    if (!walk.readName(script.name)) return script;
    AmfValue top;
    script.complete = walk.value(0, &top, true);
    // A cut or capped walk still keeps the entries read before it stopped.
    script.ok = script.complete || !script.entries.empty();
    return script;
}

} // namespace tavro
