#include "analysis/fourcc.h"

#include <cstring>

namespace tavro {
namespace {

char lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

std::string fourccText(const uint8_t* bytes) {
    std::string text;
    for (int i = 0; i < 4 && bytes[i] != 0; ++i)
        text.push_back(static_cast<char>(bytes[i]));
    return text;
}

std::string fourccText(uint32_t value) {
    const uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                              static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
    return fourccText(bytes);
}

bool equalsNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

bool startsWithNoCase(const uint8_t* data, size_t size, const char* prefix) {
    size_t n = std::strlen(prefix);
    if (size < n) return false;
    for (size_t i = 0; i < n; ++i)
        if (lower(static_cast<char>(data[i])) != lower(prefix[i])) return false;
    return true;
}

} // namespace tavro
