// AMF0, the value encoding of FLV script tags: enough to read onMetaData's top-level
// numbers, booleans and strings, with nested values walked past under hard caps.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tavro {

struct AmfValue {
    enum class Type { number, boolean, string, other } type = Type::other;
    double number = 0;
    bool boolean = false;
    std::string text; // string values, cut at kMaxAmfText
};

struct AmfEntry {
    std::string key;
    AmfValue value;
};

constexpr size_t kMaxAmfText = 256;

struct AmfLimits {
    int maxDepth = 16;
    size_t maxValues = 20000; // every value walked, nested or not
    size_t maxEntries = 256;  // top-level entries kept
};

struct AmfScript {
    bool ok = false;               // a name and a value parsed
    bool complete = true;          // every value was walked to its end
    bool capped = false;           // a depth or count cap stopped the walk
    std::string name;              // "onMetaData"
    std::vector<AmfEntry> entries; // the top-level object or ECMA array, in order
    const AmfEntry* find(const char* key) const;
    // A number entry, or `fallback` when missing or not a finite number.
    double number(const char* key, double fallback = 0) const;
};

// Reads a script tag's data: a string (the event name) and its value.
AmfScript parseAmfScript(const uint8_t* data, size_t size, const AmfLimits& limits = AmfLimits{});

} // namespace tavro
