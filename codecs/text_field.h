// Bounded copies into the fixed, zero-terminated text fields of the codec records:
// over-long texts are cut, never refused.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace tavro {

// Copies at most min(size - 1, limit) characters and a terminator.
inline void copyText(char* out, size_t size, const char* text,
                     size_t limit = static_cast<size_t>(-1)) {
    if (!out || size == 0) return;
    size_t n = 0;
    if (text) {
        const size_t cap = size - 1 < limit ? size - 1 : limit;
        while (n < cap && text[n])
            ++n;
        std::memcpy(out, text, n);
    }
    out[n] = '\0';
}

template <size_t N> void copyText(char (&out)[N], const std::string& text) {
    copyText(out, N, text.c_str());
}
template <size_t N> void copyText(char (&out)[N], const char* text) {
    copyText(out, N, text);
}

inline char asciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
inline char asciiLowerChar(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Whole-text comparison ignoring ASCII case.
inline bool equalsNoCase(const char* a, const char* b) {
    for (;; ++a, ++b) {
        if (asciiLowerChar(*a) != asciiLowerChar(*b)) return false;
        if (*a == '\0') return true;
    }
}

// A FourCC code as the text of its bytes in file order; a zero byte ends it early.
inline void fourccText(uint32_t code, char out[5]) {
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<char>((code >> (8 * i)) & 0xFF);
    out[4] = '\0';
}

} // namespace tavro
