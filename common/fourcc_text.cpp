#include "common/fourcc_text.h"

#include <cstring>

namespace tavro {

std::string fourccText(const uint8_t* bytes) {
    std::string text;
    for (int i = 0; i < 4 && bytes[i] != 0; ++i)
        text.push_back(static_cast<char>(bytes[i]));
    return text;
}

std::string fourccText(uint32_t code) {
    const uint8_t bytes[4] = {static_cast<uint8_t>(code), static_cast<uint8_t>(code >> 8),
                              static_cast<uint8_t>(code >> 16), static_cast<uint8_t>(code >> 24)};
    return fourccText(bytes);
}

void fourccText(uint32_t code, char out[5]) {
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<char>((code >> (8 * i)) & 0xFF);
    out[4] = '\0';
}

bool equalsNoCase(const char* a, const char* b) {
    for (;; ++a, ++b) {
        if (asciiLower(*a) != asciiLower(*b)) return false;
        if (*a == '\0') return true;
    }
}

bool equalsNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (asciiLower(a[i]) != asciiLower(b[i])) return false;
    return true;
}

bool startsWithNoCase(const uint8_t* data, size_t size, const char* prefix) {
    size_t n = std::strlen(prefix);
    if (size < n) return false;
    for (size_t i = 0; i < n; ++i)
        if (asciiLower(static_cast<char>(data[i])) != asciiLower(prefix[i])) return false;
    return true;
}

} // namespace tavro
