// Bounded copies into the fixed, zero-terminated text fields of the codec records:
// over-long texts are cut, never refused.
#pragma once
#include <cstddef>
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

} // namespace tavro
